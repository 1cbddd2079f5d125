#include "platform/core/view_base.h"

#include "platform/core/document.h"

IMPLEMENT_DYNAMIC(CView, CCmdTarget)

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*) {}
