// The main window a child sees: the isometric pane in the middle and, around
// it, large picture buttons for the tools, the twelve colours, the eight
// moves, the file commands, undo, print and background, and the brick list.
// No caption and, until Ctrl+M, no menu bar; a backdrop of small brick
// pictures is tiled behind the controls.
#pragma once

#include <array>

#include "foundation/notifier.h"
#include "platform/ui/frame_wnd.h"
#include "platform/ui/menu.h"
#include "resources/resource_ids.h"
#include "shell/brick_list_box.h"
#include "shell/gtrans_button.h"

class CKidFrame : public CFrameWnd, public CNotifier {
    DECLARE_DYNCREATE(CKidFrame)
public:
    static constexpr DWORD kFrameStyle = WS_VISIBLE | WS_THICKFRAME;  // 0x10040000
    static constexpr int kButtonCount = 33;

    // The least client area the controls fit in without overlapping.
    static constexpr int kMinClientWidth = 640;
    static constexpr int kMinClientHeight = 480;

    CKidFrame();
    ~CKidFrame() override;

    // The radio check over first..last, then each button of the range shows
    // its pressed picture when it is `checkId`, its normal one otherwise.
    void CheckButtonRange(UINT first, UINT last, UINT checkId);
    // The class id of the selected row, which becomes the current class; a
    // kit row is opened or closed and answers -1.
    int OnBrickListSelect();
    void ShowPrintButton(BOOL show);

    LONG GetCurrentBrickClass() const { return m_nCurrentBrickClass; }
    RECT GetViewRect() const { return m_viewRect; }
    BOOL IsMenuBarShown() const { return m_bMenuBarShown; }
    SHORT GetListPage() const { return m_nListPage; }
    SHORT GetListRows() const { return m_nListRows; }
    CBrickListBox& GetBrickListBox() { return m_brickList; }
    // The button with control id `id`, or null.
    CGTransButton* GetButton(UINT id);
    // Times a picture or the backdrop could not be loaded and was reported.
    int GetLoadReports() const { return m_nLoadReports; }

    BOOL LoadFrame(UINT resourceId, DWORD style = kFrameStyle, CWnd* parent = nullptr,
                   CCreateContext* context = nullptr) override;
    // The frame places the pane itself, in OnSize.
    void RecalcLayout() override {}
    void ActivateFrame(int command = -1) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    void OnListPageUp();
    void OnListPageDown();
    void OnToggleMenuBar();

protected:
    int OnCreate(LPCREATESTRUCT createStruct);
    void OnSize(UINT type, int cx, int cy);
    void OnDestroy();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnPaletteChanged(CWnd* focusWnd);
    BOOL OnQueryNewPalette();
    void OnUpdateListPageUp(CCmdUI* cmdUI);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);

    BOOL CreateControls(int cx, int cy);
    // Everything placed for a client area of cx by cy starting `top` pixels
    // down (below the menu bar when it shows).
    void PlaceControls(int cx, int cy, int top);
    // Lays the controls and the pane out again for the window as it is.
    void Relayout();
    void RecalcListPage();
    void PaintBackdrop(CDC* dc);
    void ReportLoadFailure();

    LONG m_nCurrentBrickClass = 0;
    RECT m_viewRect{0, 0, 0, 0};  // left, top, right, bottom of the pane's area
    BOOL m_bMenuBarShown = TRUE;
    CMenu* m_pMenu = nullptr;
    SHORT m_nListPage = 0;
    SHORT m_nListRows = 0;
    std::array<CGTransButton, kButtonCount> m_buttons;
    CBrickListBox m_brickList;
    HACCEL m_hAccelTable = nullptr;
    UINT m_nBackdropId;  // the "BRICKIMAGE" tiled behind the controls
    BOOL m_bLoadReported = FALSE;
    int m_nLoadReports = 0;

    DECLARE_MESSAGE_MAP()
};
