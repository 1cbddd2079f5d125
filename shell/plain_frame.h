// Hosts the pane until the kid frame does: shown maximised, the pane's origin
// placed as the kid frame places it, at (w / 2, h / 8 * 7).
#pragma once

#include "platform/ui/frame_wnd.h"

class CPlainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CPlainFrame)
public:
    void ActivateFrame(int) override { ShowWindow(SW_SHOWMAXIMIZED); }

protected:
    void OnSize(UINT type, int cx, int cy);

    DECLARE_MESSAGE_MAP()
};
