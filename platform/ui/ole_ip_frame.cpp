#include "platform/ui/ole_ip_frame.h"

#include "platform/ui/doc_template.h"
#include "platform/ui/res_templates.h"

IMPLEMENT_DYNAMIC(CToolBar, CWnd)
IMPLEMENT_DYNAMIC(COleResizeBar, CWnd)
IMPLEMENT_DYNAMIC(COleDropTarget, CCmdTarget)
IMPLEMENT_DYNCREATE(COleIPFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CToolBar, CWnd)
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

BOOL CToolBar::Create(CWnd* parent, DWORD style, UINT id)
{
    if (!parent || !parent->GetSafeHwnd())
        return FALSE;
    CRect client;
    parent->GetClientRect(&client);
    const RECT place{0, 0, client.Width(), kHeight};
    return CWnd::Create(nullptr, nullptr, (style & ~CBRS_TOP) | WS_CHILD, place, parent, id);
}

BOOL CToolBar::LoadBitmap(UINT resourceId)
{
    if (!FindResourceA(AfxGetResourceHandle(), MAKEINTRESOURCE(resourceId), RT_BITMAP))
        return FALSE;
    m_nIDBitmap = resourceId;
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* ids, int count)
{
    if (count < 0 || (count > 0 && !ids))
        return FALSE;
    m_buttons.assign(ids, ids + count);
    return TRUE;
}

UINT CToolBar::GetItemID(int index) const
{
    return index >= 0 && index < GetCount() ? m_buttons[static_cast<size_t>(index)] : ID_SEPARATOR;
}

int CToolBar::HitTest(CPoint point) const
{
    if (point.y < 0 || point.y >= kHeight)
        return -1;
    int left = 0;
    for (int index = 0; index < GetCount(); ++index) {
        const bool gap = m_buttons[static_cast<size_t>(index)] == ID_SEPARATOR;
        const int right = left + (gap ? kSeparatorWidth : kButtonWidth);
        if (point.x >= left && point.x < right)
            return gap ? -1 : index;
        left = right;
    }
    return -1;
}

void CToolBar::OnLButtonUp(UINT, CPoint point)
{
    const int index = HitTest(point);
    if (index < 0)
        return;
    if (CWnd* target = GetOwner())
        target->SendMessage(WM_COMMAND, GetItemID(index), 0);
}

BOOL COleResizeBar::Create(CWnd* parent, DWORD style, UINT id)
{
    if (!parent || !parent->GetSafeHwnd())
        return FALSE;
    // Empty, so that it never covers the view it surrounds.
    return CWnd::Create(nullptr, nullptr, style | WS_CHILD, RECT{}, parent, id);
}

BOOL COleDropTarget::Register(CWnd* wnd)
{
    if (!wnd || !wnd->GetSafeHwnd() || m_pWnd)
        return FALSE;
    m_pWnd = wnd;
    return TRUE;
}

void COleDropTarget::Revoke()
{
    m_pWnd = nullptr;
}

BEGIN_MESSAGE_MAP(COleIPFrameWnd, CFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

int COleIPFrameWnd::OnCreate(LPCREATESTRUCT createStruct)
{
    return CFrameWnd::OnCreate(createStruct);
}

BOOL COleIPFrameWnd::OnCreateControlBars(CFrameWnd*, CFrameWnd*)
{
    return TRUE;
}

namespace platform {

COleIPFrameWnd* ActivateInPlace(CDocTemplate& docTemplate, CDocument& document, CWnd& container,
                                CFrameWnd& containerFrame)
{
    const CRuntimeClass* frameClass = docTemplate.m_pInPlaceFrameClass;
    if (!frameClass || !container.GetSafeHwnd() || !containerFrame.GetSafeHwnd())
        return nullptr;
    CObject* object = frameClass->CreateObject();
    auto* frame = dynamic_cast<COleIPFrameWnd*>(object);
    if (!frame) {
        delete object;
        return nullptr;
    }
    CCreateContext context;
    context.m_pCurrentDoc = &document;
    context.m_pNewViewClass =
        docTemplate.m_pInPlaceViewClass ? docTemplate.m_pInPlaceViewClass : docTemplate.GetViewClass();
    context.m_pNewDocTemplate = &docTemplate;
    context.m_pCurrentFrame = frame;
    CRect client;
    container.GetClientRect(&client);
    // A frame that cannot be made has deleted itself (PostNcDestroy).
    if (!frame->CWnd::Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, client, &container, AFX_IDW_PANE_FIRST,
                             &context))
        return nullptr;
    // The document window is a frame only in containers that show several documents.
    if (!frame->OnCreateControlBars(&containerFrame, dynamic_cast<CFrameWnd*>(&container))) {
        frame->DestroyWindow();
        return nullptr;
    }
    frame->InitialUpdateFrame(&document, TRUE);
    return frame;
}

}  // namespace platform
