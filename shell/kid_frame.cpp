#include "shell/kid_frame.h"

#include <algorithm>

#include "document/dizado_doc.h"
#include "foundation/notification_codes.h"
#include "foundation/sound_player.h"
#include "model/bitmap_check.h"
#include "model/brick_group.h"
#include "model/kit_list.h"
#include "platform/core/cmd_ui.h"
#include "platform/core/hooks.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/palette.h"
#include "platform/ui/document.h"
#include "platform/ui/view.h"
#include "resources/resource_ids.h"
#include "shell/kid_frame_host.h"
#include "views/brick_pane.h"

IMPLEMENT_DYNCREATE(CKidFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CKidFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_GETMINMAXINFO()
    ON_WM_PALETTECHANGED()
    ON_WM_QUERYNEWPALETTE()
    ON_COMMAND(IDM_LIST_PAGE_UP, OnListPageUp)
    ON_COMMAND(IDM_LIST_PAGE_DOWN, OnListPageDown)
    ON_COMMAND(IDM_TOGGLE_MENU_BAR, OnToggleMenuBar)
    ON_UPDATE_COMMAND_UI(IDM_LIST_PAGE_UP, OnUpdateListPageUp)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

namespace {

// Written and read only by the menu bar toggle.
LONG g_savedWindowStyle = 0;

constexpr const char* kBackdropType = "BRICKIMAGE";

// Where a button goes for a client area of cx by cy: each coordinate is a
// fixed offset from the left or top edge, or from the right or bottom one.
struct ButtonSpec {
    UINT id;
    const char* text;
    UINT normal;
    UINT pressed;
    int width;
    int height;
    int x;
    bool fromRight;
    int y;
    bool fromBottom;
    bool toggle;
    DWORD extraStyle;
};

constexpr int kColourCount = 12;

std::array<ButtonSpec, CKidFrame::kButtonCount> MakeSpecs()
{
    std::array<ButtonSpec, CKidFrame::kButtonCount> specs{};
    int n = 0;
    const ButtonSpec tools[] = {
        {IDM_TOOL_SELECT, "h", IDB_TOOL_SELECT, IDB_TOOL_SELECT_PRESSED, 48, 48, 5, false, 5, false, true, 0},
        {IDM_TOOL_PAINT, "p", IDB_TOOL_PAINT, IDB_TOOL_PAINT_PRESSED, 48, 48, 5, false, 53, false, true, 0},
        {IDM_TOOL_NEW_BRICK, "b", IDB_TOOL_NEW_BRICK, IDB_TOOL_NEW_BRICK_PRESSED, 48, 48, 5, false, 101, false, true, 0},
        {IDM_TOOL_ERASE, "e", IDB_TOOL_ERASE, IDB_TOOL_ERASE_PRESSED, 48, 48, 5, false, 149, false, true, 0},
    };
    for (const ButtonSpec& s : tools)
        specs[static_cast<size_t>(n++)] = s;
    for (int i = 0; i < kColourCount; ++i)
        specs[static_cast<size_t>(n++)] = {static_cast<UINT>(IDM_COLOR_FIRST + i), "c", static_cast<UINT>(IDB_COLOR_FIRST + i),
                                           static_cast<UINT>(IDB_COLOR_PRESSED_FIRST + i), 24, 24, 5 + 24 * (i % 2),
                                           false, 199 + 24 * (i / 2), false, true, WS_GROUP};
    const ButtonSpec rest[] = {
        {IDM_FILE_NEW, "n", IDB_FILE_NEW, IDB_FILE_NEW_PRESSED, 50, 28, 5, false, 345, false, false, 0},
        {IDM_FILE_OPEN, "o", IDB_FILE_OPEN, IDB_FILE_OPEN_PRESSED, 50, 28, 5, false, 374, false, false, 0},
        {IDM_FILE_SAVE, "s", IDB_FILE_SAVE, IDB_FILE_SAVE_PRESSED, 50, 28, 5, false, 403, false, false, 0},
        {IDM_APP_EXIT, "q", IDB_FILE_EXIT, IDB_FILE_EXIT_PRESSED, 50, 28, 5, false, 432, false, false, 0},
        {IDM_FILE_PRINT, "p", IDB_PRINT, IDB_PRINT_PRESSED, 45, 45, 58, false, 50, true, false, 0},
        {IDM_EDIT_UNDO, "u", IDB_UNDO, IDB_UNDO_PRESSED, 45, 45, 103, false, 50, true, false, 0},
        {IDM_BACKGROUND, "b", IDB_BACKGROUND, IDB_BACKGROUND_PRESSED, 45, 45, 148, false, 50, true, false, 0},
        {IDM_MOVE_BACK_LEFT, "lu", IDB_MOVE_BACK_LEFT, IDB_MOVE_BACK_LEFT_PRESSED, 45, 45, 434, true, 50, true, false, 0},
        {IDM_MOVE_UP, "u", IDB_MOVE_UP, IDB_MOVE_UP_PRESSED, 45, 45, 389, true, 50, true, false, 0},
        {IDM_MOVE_BACK_RIGHT, "ru", IDB_MOVE_BACK_RIGHT, IDB_MOVE_BACK_RIGHT_PRESSED, 45, 45, 344, true, 50, true, false, 0},
        {IDM_TURN_LEFT, "cc", IDB_TURN_LEFT, IDB_TURN_LEFT_PRESSED, 45, 45, 299, true, 50, true, false, 0},
        {IDM_MOVE_FRONT_LEFT, "dl", IDB_MOVE_FRONT_LEFT, IDB_MOVE_FRONT_LEFT_PRESSED, 45, 45, 254, true, 50, true, false, 0},
        {IDM_MOVE_DOWN, "d", IDB_MOVE_DOWN, IDB_MOVE_DOWN_PRESSED, 45, 45, 209, true, 50, true, false, 0},
        {IDM_MOVE_FRONT_RIGHT, "dr", IDB_MOVE_FRONT_RIGHT, IDB_MOVE_FRONT_RIGHT_PRESSED, 45, 45, 164, true, 50, true, false, 0},
        {IDM_TURN_RIGHT, "c", IDB_TURN_RIGHT, IDB_TURN_RIGHT_PRESSED, 45, 45, 119, true, 50, true, false, 0},
        {IDM_LIST_PAGE_UP, "^", IDB_LIST_UP, IDB_LIST_UP_PRESSED, 64, 32, 69, true, 5, false, false, 0},
        {IDM_LIST_PAGE_DOWN, "v", IDB_LIST_DOWN, IDB_LIST_DOWN_PRESSED, 64, 32, 69, true, 37, true, false, 0},
    };
    for (const ButtonSpec& s : rest)
        specs[static_cast<size_t>(n++)] = s;
    return specs;
}

const std::array<ButtonSpec, CKidFrame::kButtonCount>& Specs()
{
    static const auto specs = MakeSpecs();
    return specs;
}

POINT PlaceOf(const ButtonSpec& spec, int cx, int cy, int top = 0)
{
    return POINT{spec.fromRight ? cx - spec.x : spec.x, top + (spec.fromBottom ? cy - spec.y : spec.y)};
}

}  // namespace

CKidFrame::CKidFrame() : m_nBackdropId(IDB_FRAME_BACKDROP) {}

CKidFrame::~CKidFrame()
{
    delete m_pMenu;
}

BOOL CKidFrame::LoadFrame(UINT resourceId, DWORD, CWnd* parent, CCreateContext* context)
{
    // No caption, no system menu, no boxes: only the sizing border.
    return CFrameWnd::LoadFrame(resourceId, kFrameStyle, parent, context);
}

CGTransButton* CKidFrame::GetButton(UINT id)
{
    for (size_t i = 0; i < Specs().size(); ++i)
        if (Specs()[i].id == id)
            return &m_buttons[i];
    return nullptr;
}

void CKidFrame::ReportLoadFailure()
{
    // Once per window: a missing picture must not bring a box up on every paint.
    if (m_bLoadReported)
        return;
    m_bLoadReported = TRUE;
    ++m_nLoadReports;
    AfxMessageBox("Scream and Yell", MB_OK);
}

int CKidFrame::OnCreate(LPCREATESTRUCT createStruct)
{
    SetNotifyId(NOTIFY_ID_FRAME);
    if (CFrameWnd::OnCreate(createStruct) == -1)
        return -1;
    if (!CreateControls(640, 480))
        return -1;
    m_brickList.SetRedraw(FALSE);
    GetKidFrameHost()->FillBrickList(&m_brickList);
    m_brickList.SetRedraw(TRUE);
    m_brickList.SetCurSel(0);
    m_pMenu = new CMenu;
    m_pMenu->LoadMenu(IDR_MAINFRAME);
    m_hAccelTable = LoadAccelerators(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME));
    OnToggleMenuBar();
    CheckButtonRange(IDM_TOOL_SELECT, IDM_TOOL_ERASE, IDM_TOOL_NEW_BRICK);
    CheckButtonRange(IDM_COLOR_FIRST, IDM_COLOR_LAST, IDM_COLOR_FIRST);
    return 0;
}

BOOL CKidFrame::CreateControls(int cx, int cy)
{
    CPalette* palette = GetKidFrameHost()->GetPalette();
    HINSTANCE resources = AfxGetResourceHandle();
    for (size_t i = 0; i < Specs().size(); ++i) {
        const ButtonSpec& spec = Specs()[i];
        CGTransButton& button = m_buttons[i];
        const POINT at = PlaceOf(spec, cx, cy);
        const RECT rect{at.x, at.y, at.x + spec.width, at.y + spec.height};
        if (!button.Create(spec.text, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | spec.extraStyle, rect, this, spec.id))
            return FALSE;
        const BOOL normal = button.LoadImageResource(resources, spec.normal, CGTransButton::kNormal);
        const BOOL pressed = button.LoadImageResource(resources, spec.pressed, CGTransButton::kPressed);
        if (!normal || !pressed)
            ReportLoadFailure();
        button.SetPalette(palette);
        button.SetAutoState(TRUE);
        // Without its picture a button keeps its place in the layout.
        button.SizeToImage(spec.width, spec.height);
        button.SetToggle(spec.toggle ? TRUE : FALSE);
    }
    const RECT listRect{cx - 69, 37, cx - 69 + 64, 37 + cy - 75};
    const DWORD listStyle = WS_VISIBLE | WS_BORDER | WS_TABSTOP | LBS_NOTIFY | LBS_SORT | LBS_OWNERDRAWVARIABLE;
    return m_brickList.Create(listStyle, listRect, this, IDM_BRICK_LIST);
}

void CKidFrame::PlaceControls(int cx, int cy, int top)
{
    for (size_t i = 0; i < Specs().size(); ++i) {
        const POINT at = PlaceOf(Specs()[i], cx, cy, top);
        m_buttons[i].SetWindowPos(nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    ShowPrintButton(GetKidFrameHost()->GetPrintOn());
    m_brickList.MoveWindow(cx - 69, top + 37, 64, cy - 75);
}

void CKidFrame::OnSize(UINT type, int cx, int cy)
{
    CFrameWnd::OnSize(type, cx, cy);
    // The menu bar lies over the top of the window: what is laid out starts
    // below it.
    const int top = platform::MenuBarHeight(this);
    cy = std::max(0, cy - top);
    m_viewRect = RECT{58, top, 58 + (cx - 132), top + cy - 55};
    if (CView* view = GetActiveView(); view && view->GetSafeHwnd()) {
        view->SetWindowPos(nullptr, 58, top - 1, cx - 132, cy - 55, SWP_NOZORDER);
        if (auto* pane = dynamic_cast<CBrickPane*>(view))
            pane->SetOrigin((cx - 132) / 2, ((cy - 55) / 8) * 7, TRUE);
    }
    if (m_buttons[0].GetSafeHwnd()) {
        PlaceControls(cx, cy, top);
        RecalcListPage();
    }
}

void CKidFrame::Relayout()
{
    RECT client;
    GetClientRect(&client);
    OnSize(SIZE_RESTORED, client.right, client.bottom);
    Invalidate(TRUE);
}

void CKidFrame::OnGetMinMaxInfo(MINMAXINFO* info)
{
    if (!info)
        return;
    info->ptMinTrackSize.x = kMinClientWidth;
    info->ptMinTrackSize.y = kMinClientHeight + platform::MenuBarHeight(this);
}

void CKidFrame::ActivateFrame(int command)
{
    CFrameWnd::ActivateFrame(command);
    // The pane became the active view after the first size: place it now.
    RECT client;
    GetClientRect(&client);
    OnSize(SIZE_RESTORED, client.right, client.bottom);
}

void CKidFrame::OnPaletteChanged(CWnd* focusWnd)
{
    CPalette* palette = GetKidFrameHost()->GetPalette();
    if (focusWnd == this || !palette || !GetSafeHwnd())
        return;
    CClientDC dc(this);
    CPalette* old = dc.SelectPalette(palette, TRUE);
    dc.RealizePalette();
    if (old)
        dc.SelectPalette(old, TRUE);
}

BOOL CKidFrame::OnQueryNewPalette()
{
    CPalette* palette = GetKidFrameHost()->GetPalette();
    if (palette && GetSafeHwnd()) {
        CClientDC dc(this);
        CPalette* old = dc.SelectPalette(palette, FALSE);
        dc.RealizePalette();
        if (old)
            dc.SelectPalette(old, FALSE);
    }
    return TRUE;
}

void CKidFrame::RecalcListPage()
{
    RECT client;
    m_brickList.GetClientRect(&client);
    const int rowHeight = m_brickList.GetItemHeight(0);
    m_nListPage = static_cast<SHORT>(rowHeight > 0 ? client.bottom / rowHeight : 0);
    m_nListRows = static_cast<SHORT>(m_brickList.GetCount());
}

void CKidFrame::OnDestroy()
{
    CFrameWnd::OnDestroy();
    // The kit list outlives the frame: it must not keep the list box.
    if (CKitList* kits = GetKidFrameHost()->GetKitList(); kits && kits->GetListBox() == &m_brickList)
        kits->FillListBox(nullptr);
    if (m_pMenu) {
        m_pMenu->DestroyMenu();
        delete m_pMenu;
        m_pMenu = nullptr;
    }
}

void CKidFrame::CheckButtonRange(UINT first, UINT last, UINT checkId)
{
    if (!GetSafeHwnd())
        return;
    CheckRadioButton(static_cast<int>(first), static_cast<int>(last), static_cast<int>(checkId));
    for (UINT id = first; id <= last; ++id)
        if (CGTransButton* button = GetButton(id); button && button->GetSafeHwnd())
            button->ShowImage(id == checkId ? CGTransButton::kPressed : CGTransButton::kNormal);
}

int CKidFrame::OnBrickListSelect()
{
    const int row = m_brickList.GetCurSel();
    // With no row chosen the current class stays.
    if (row == LB_ERR)
        return m_nCurrentBrickClass;
    auto* item = static_cast<CObject*>(m_brickList.GetItemDataPtr(row));
    if (auto* kit = dynamic_cast<CBrickKitListData*>(item)) {
        if (CKitList* kits = GetKidFrameHost()->GetKitList())
            kits->ExpandKit(kit, kit->m_bClosed);
        return -1;
    }
    if (auto* entry = dynamic_cast<CBrickModData*>(item))
        m_nCurrentBrickClass = entry->m_nClassId;
    return m_nCurrentBrickClass;
}

void CKidFrame::ShowPrintButton(BOOL show)
{
    if (CGTransButton* print = GetButton(IDM_FILE_PRINT); print && print->GetSafeHwnd())
        print->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

void CKidFrame::OnListPageUp()
{
    const int top = m_brickList.GetTopIndex();
    const int page = std::max<int>(1, m_nListPage);
    const int newTop = page < top ? top - page : 0;
    if (newTop == top)
        return;
    PlaySoundEffect("SEARCH");
    m_brickList.SetTopIndex(newTop);
}

void CKidFrame::OnListPageDown()
{
    const int top = m_brickList.GetTopIndex();
    const int rows = m_brickList.GetCount();
    const int page = std::max<int>(1, m_nListPage);
    // Never past the last full page: a top nearer the end would show a page
    // of blank list and send the next press back up.
    const int newTop = std::max(0, std::min(top + page, rows - page));
    if (newTop <= top)
        return;
    PlaySoundEffect("SEARCH");
    m_brickList.SetTopIndex(newTop);
}

void CKidFrame::OnUpdateListPageUp(CCmdUI* cmdUI)
{
    cmdUI->Enable(m_brickList.GetTopIndex() != 0);
}

void CKidFrame::OnToggleMenuBar()
{
    auto* document = dynamic_cast<CDizadoDoc*>(GetActiveDocument());
    CBrickGroup* held = document ? document->GetBrickList() : nullptr;
    if (held)
        held->HoldPaneRebuild(FALSE);
    if (m_bMenuBarShown) {
        if (g_savedWindowStyle != 0)
            SetWindowLong(GWL_STYLE, g_savedWindowStyle);
        SetMenu(nullptr);
        m_bMenuBarShown = FALSE;
    } else if (m_pMenu && m_pMenu->IsLoaded()) {
        g_savedWindowStyle = GetWindowLong(GWL_STYLE);
        SetWindowLong(GWL_STYLE, static_cast<LONG>(kFrameStyle));
        SetMenu(m_pMenu);
        m_bMenuBarShown = TRUE;
    }
    // The bar took or gave back the top of the window.
    if (m_buttons[0].GetSafeHwnd())
        Relayout();
    if (held)
        held->HoldPaneRebuild(TRUE);
}

BOOL CKidFrame::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_LBUTTONDOWN)
        platform::CancelModes(CWnd::FromHandle(msg->hwnd));
    if (CFrameWnd::PreTranslateMessage(msg))
        return TRUE;
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST || !m_hAccelTable)
        return FALSE;
    // The key's command may destroy the window that had the mouse: it gets
    // the capture back only while it still exists.
    CWnd* capture = GetCapture();
    HWND captureHandle = capture ? capture->GetSafeHwnd() : nullptr;
    if (capture)
        ReleaseCapture();
    const BOOL translated = TranslateAccelerator(this, m_hAccelTable, msg) ? TRUE : FALSE;
    if (captureHandle && IsWindow(captureHandle))
        if (CWnd* still = CWnd::FromHandle(captureHandle))
            still->SetCapture();
    return translated;
}

// The update handlers tick the tool and colour buttons and tell the list's
// page-up button whether it can go.
LRESULT CKidFrame::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
    if (!m_buttons[0].GetSafeHwnd())
        return 0;
    for (size_t i = 0; i < Specs().size(); ++i) {
        const UINT id = Specs()[i].id;
        const bool ticked = (id >= IDM_TOOL_SELECT && id <= IDM_TOOL_ERASE) || (id >= IDM_COLOR_FIRST && id <= IDM_COLOR_LAST);
        if (!ticked && id != IDM_LIST_PAGE_UP)
            continue;
        CCmdUI state(id);
        state.DoUpdate(this, FALSE);
        CGTransButton& button = m_buttons[i];
        if (ticked && state.m_bCheckChanged) {
            const int image = state.m_nCheck ? CGTransButton::kPressed : CGTransButton::kNormal;
            if (button.GetCurrentImage() != image)
                button.ShowImage(image);
        }
        if (state.m_bEnableChanged && (button.IsWindowEnabled() != FALSE) != (state.m_bEnabled != FALSE))
            button.EnableWindow(state.m_bEnabled);
    }
    return 0;
}

BOOL CKidFrame::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CKidFrame::OnPaint()
{
    CPaintDC dc(this);
    PaintBackdrop(&dc);
}

void CKidFrame::PaintBackdrop(CDC* dc)
{
    CPalette* palette = GetKidFrameHost()->GetPalette();
    CPalette* oldPalette = palette ? dc->SelectPalette(palette, FALSE) : nullptr;
    if (palette)
        dc->RealizePalette();
    RECT clip;
    dc->GetClipBox(&clip);

    HINSTANCE resources = AfxGetResourceHandle();
    HRSRC resource = FindResourceA(resources, MAKEINTRESOURCE(m_nBackdropId), kBackdropType);
    HGLOBAL data = resource ? LoadResource(resources, resource) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    BitmapLayout layout;
    if (!bytes || !CheckPackedBitmap(bytes, SizeofResource(resources, resource), true, &layout)) {
        if (data)
            FreeResource(data);
        if (palette)
            dc->SelectPalette(oldPalette, FALSE);
        ReportLoadFailure();
        return;
    }
    const int tileWidth = layout.width;
    const int tileHeight = layout.height;
    CDC memory;
    CBitmap tile;
    const auto* base = static_cast<const unsigned char*>(bytes);
    if (tileWidth > 0 && tileHeight > 0 && memory.CreateCompatibleDC(dc) &&
        tile.CreateCompatibleBitmap(dc, tileWidth, tileHeight)) {
        CBitmap* oldBitmap = memory.SelectObject(&tile);
        CPalette* oldMemoryPalette = palette ? memory.SelectPalette(palette, FALSE) : nullptr;
        memory.SetDIBitsToDevice(0, 0, static_cast<DWORD>(tileWidth), static_cast<DWORD>(tileHeight), 0, 0, 0,
                                 static_cast<UINT>(tileHeight), base + layout.pixelOffset,
                                 reinterpret_cast<const BITMAPINFO*>(base + layout.infoOffset), DIB_RGB_COLORS);
        for (int y = 0; y < clip.bottom; y += tileHeight) {
            for (int x = 0; x < clip.right; x += tileWidth) {
                const POINT topLeft{x, y};
                const POINT bottomRight{x + tileWidth, y + tileHeight};
                if (PtInRect(&m_viewRect, topLeft) && PtInRect(&m_viewRect, bottomRight))
                    continue;
                dc->BitBlt(x, y, tileWidth, tileHeight, &memory, 0, 0, SRCCOPY);
            }
        }
        if (palette)
            memory.SelectPalette(oldMemoryPalette, FALSE);
        memory.SelectObject(oldBitmap);
    }
    FreeResource(data);
    if (palette)
        dc->SelectPalette(oldPalette, FALSE);
}
