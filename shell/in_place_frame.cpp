#include "shell/in_place_frame.h"

#include <iterator>

#include "resources/resource_ids.h"

IMPLEMENT_DYNCREATE(CInPlaceFrame, COleIPFrameWnd)

BEGIN_MESSAGE_MAP(CInPlaceFrame, COleIPFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(IDM_HELP_INDEX, OnHelpIndex)
    ON_COMMAND(IDM_HELP_USING, OnHelpUsing)
    ON_COMMAND(IDM_HELP, OnHelp)
    ON_COMMAND(IDM_DEFAULT_HELP, OnHelpIndex)
    ON_COMMAND(IDM_CONTEXT_HELP, OnContextHelp)
END_MESSAGE_MAP()

namespace {

constexpr UINT kButtons[] = {IDM_EDIT_CUT, IDM_EDIT_COPY, IDM_EDIT_PASTE, ID_SEPARATOR, IDM_APP_ABOUT, IDM_CONTEXT_HELP};

}  // namespace

int CInPlaceFrame::OnCreate(LPCREATESTRUCT createStruct)
{
    if (COleIPFrameWnd::OnCreate(createStruct) == -1)
        return -1;
    if (!m_wndResizeBar.Create(this, WS_CHILD | WS_VISIBLE, AFX_IDW_RESIZE_BAR))
        return -1;
    m_dropTarget.Register(this);
    return 0;
}

BOOL CInPlaceFrame::OnCreateControlBars(CFrameWnd* containerFrame, CFrameWnd*)
{
    if (!m_wndToolBar.Create(containerFrame, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR) ||
        !m_wndToolBar.LoadBitmap(IDB_INPLACE_TOOLBAR) ||
        !m_wndToolBar.SetButtons(kButtons, static_cast<int>(std::size(kButtons))))
        return FALSE;
    // Its commands reach this frame, and through the active pane the document.
    m_wndToolBar.SetOwner(this);
    return TRUE;
}
