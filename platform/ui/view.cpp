#include "platform/ui/view.h"

#include "platform/ui/document.h"
#include "platform/ui/frame_wnd.h"
#include "platform/ui/print.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*)
{
    Invalidate(TRUE);
}

void CView::OnPrepareDC(CDC*, CPrintInfo* info)
{
    // A job that does not know its length prints one page.
    if (info && info->GetMaxPage() == 0xFFFF)
        info->m_bContinuePrinting = info->m_nCurPage == 1;
}

void CView::OnActivateView(BOOL, CView*, CView*) {}

BOOL CView::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    if (CWnd::OnCmdMsg(id, code, extra, handlerInfo))
        return TRUE;
    return m_pDocument && m_pDocument->OnCmdMsg(id, code, extra, handlerInfo);
}

int CView::OnCreate(LPCREATESTRUCT createStruct)
{
    if (CWnd::OnCreate(createStruct) == -1)
        return -1;
    if (auto* context = createStruct ? static_cast<CCreateContext*>(createStruct->lpCreateParams) : nullptr)
        if (context->m_pCurrentDoc)
            context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy()
{
    if (CFrameWnd* frame = GetParentFrame(); frame && frame->GetActiveView() == this)
        frame->SetActiveView(nullptr, FALSE);
    CWnd::OnDestroy();
}

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

void CView::PostNcDestroy()
{
    delete this;
}
