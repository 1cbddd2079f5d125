// The frame that holds the document's pane while a model is edited inside
// another program's window: a small toolbar in the container's frame, a
// resize bar around the model and a drop target.
#pragma once

#include "platform/ui/ole_ip_frame.h"

class CInPlaceFrame : public COleIPFrameWnd {
    DECLARE_DYNCREATE(CInPlaceFrame)
public:
    CInPlaceFrame() = default;

    BOOL OnCreateControlBars(CFrameWnd* containerFrame, CFrameWnd* containerDoc) override;

    CToolBar& GetToolBar() { return m_wndToolBar; }
    COleResizeBar& GetResizeBar() { return m_wndResizeBar; }
    COleDropTarget& GetDropTarget() { return m_dropTarget; }

protected:
    int OnCreate(LPCREATESTRUCT createStruct);
    DECLARE_MESSAGE_MAP()

private:
    CToolBar m_wndToolBar;
    COleResizeBar m_wndResizeBar;
    COleDropTarget m_dropTarget;
};
