#include "shell/plain_frame.h"

#include "views/brick_pane.h"

IMPLEMENT_DYNCREATE(CPlainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CPlainFrame, CFrameWnd)
    ON_WM_SIZE()
END_MESSAGE_MAP()

void CPlainFrame::OnSize(UINT type, int cx, int cy)
{
    CFrameWnd::OnSize(type, cx, cy);
    if (auto* pane = dynamic_cast<CBrickPane*>(GetActiveView())) {
        RECT client;
        pane->GetClientRect(&client);
        pane->SetOrigin(client.right / 2, client.bottom / 8 * 7, TRUE);
    }
}
