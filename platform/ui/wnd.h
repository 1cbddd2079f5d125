// Windows: CWnd over a toolkit widget, with a retained 32-bit backing image
// (the window's "screen"). Paint and client device contexts draw into that
// image; the toolkit's expose only presents it, and releasing a client
// context presents what it drew, so inverting drawing outside a paint shows
// at once and drawing it twice gives the pixels back.
//
// Toolkit events are translated into window messages and dispatched through
// the message maps (ON_WM_... entries), a class's map before its base's;
// messages no map handles get the default processing of DefWindowProc.
// Invalidation accumulates an update region in client pixels; the paint
// message is sent once, when the toolkit's queue is empty, however many
// requests came, and the paint context is clipped to the region.
#pragma once

#include <memory>
#include <vector>

#include "platform/core/cmd_target.h"
#include "platform/core/cstring.h"
#include "platform/core/hooks.h"
#include "platform/core/rect.h"
#include "platform/core/resources.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/rgn.h"

class CWnd;
class CDocument;
class CDocTemplate;
class CFrameWnd;
class CView;
class CMenu;

namespace platform {
class WindowPeer;
struct IconShape;
}

// A window handle: the layer's peer of one window. CWnd::FromHandle maps it
// back.
using HWND = platform::WindowPeer*;

// --- Messages ------------------------------------------------------------------

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_NCCALCSIZE = 0x0083;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSELAST = 0x0209;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_HELPHITTEST = 0x0366;
constexpr UINT WM_USER = 0x0400;

// Key flags of mouse messages.
constexpr UINT MK_LBUTTON = 0x0001;
constexpr UINT MK_RBUTTON = 0x0002;
constexpr UINT MK_SHIFT = 0x0004;
constexpr UINT MK_CONTROL = 0x0008;
constexpr UINT MK_MBUTTON = 0x0010;

// Hit-test codes of WM_SETCURSOR.
constexpr UINT HTERROR = static_cast<UINT>(-2);
constexpr UINT HTNOWHERE = 0;
constexpr UINT HTCLIENT = 1;

// WM_SIZE types.
constexpr UINT SIZE_RESTORED = 0;
constexpr UINT SIZE_MINIMIZED = 1;
constexpr UINT SIZE_MAXIMIZED = 2;

// Virtual-key codes of key messages beyond those of GetKeyState. Letters and
// digits are their upper-case characters.
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70;
constexpr int VK_F12 = 0x7B;

// Window styles and show commands.
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD FWS_ADDTOTITLE = 0x00008000;

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWNA = 8;

// PeekMessage.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// The id of the view a frame makes for its client area.
constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;

struct CREATESTRUCT {
    void* lpCreateParams = nullptr;  // the CCreateContext of frames and views
    HINSTANCE hInstance = nullptr;
    CWnd* hwndParent = nullptr;
    int cy = 0;
    int cx = 0;
    int y = 0;
    int x = 0;
    DWORD style = 0;
    const char* lpszName = nullptr;
    const char* lpszClass = nullptr;
    DWORD dwExStyle = 0;
};
using LPCREATESTRUCT = CREATESTRUCT*;

struct NCCALCSIZE_PARAMS {
    RECT rgrc[3];
    void* lppos = nullptr;
};

struct PAINTSTRUCT {
    CDC* hdc = nullptr;
    BOOL fErase = FALSE;  // the background still needs erasing
    RECT rcPaint;         // bounding box of the update region, client pixels
};

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;  // screen
};
using LPMSG = MSG*;

// What frames and views are made with.
struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

namespace platform {

// What the thunk of a window-message entry receives.
struct WindowMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
};

}  // namespace platform

// For the dialog-era services of CWnd.
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_MEASUREITEM = 0x002C;
constexpr UINT WM_COMPAREITEM = 0x0039;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYLAST = 0x0109;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_DROPFILES = 0x0233;
constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_QUERYNEWPALETTE = 0x030F;
constexpr UINT WM_PALETTECHANGED = 0x0311;

// What a top-level window answers to WM_GETMINMAXINFO; the layer reads only
// the least size (ptMinTrackSize, window pixels, the menu bar included).
struct MINMAXINFO {
    POINT ptReserved{};
    POINT ptMaxSize{};
    POINT ptMaxPosition{};
    POINT ptMinTrackSize{};
    POINT ptMaxTrackSize{};
};
using LPMINMAXINFO = MINMAXINFO*;
constexpr int GWL_STYLE = -16;
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_CHILD = 5;
constexpr UINT BST_UNCHECKED = 0;
constexpr UINT BST_CHECKED = 1;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;

// --- Windows -------------------------------------------------------------------

class CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd();
    // Destroys the window if it still exists.
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    static CWnd* FromHandle(HWND hwnd);

    // Makes the window: a top-level one without WS_CHILD, else a child of
    // `parent`, at `rect` (parent client pixels for children). Sends
    // WM_NCCALCSIZE, WM_CREATE (with `context` as lpCreateParams) and WM_SIZE.
    // FALSE when the window cannot be made or WM_CREATE answers -1; either
    // way PostNcDestroy has run, so a window that deletes itself there is
    // gone. `className` is not used.
    virtual BOOL Create(LPCTSTR className, LPCTSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                        UINT id, CCreateContext* context = nullptr);
    // Before the window is made: may change the style, place and size that
    // Create then uses; FALSE fails Create. A top-level window whose style
    // has no WS_CAPTION is made without the window manager's title bar.
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // Sends WM_DESTROY to the window and its children (parents first), then
    // WM_NCDESTROY, whose default runs PostNcDestroy. FALSE without a window.
    virtual BOOL DestroyWindow();
    // After the window is gone; views and frames delete themselves here.
    virtual void PostNcDestroy();

    // --- Messages ------------------------------------------------------------

    // Dispatches at once.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Through the toolkit's queue; FALSE without a window.
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Commands to OnCommand, others to OnWndMsg, then DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The message maps; TRUE when an entry handled the message.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // WM_COMMAND: the id in the low word of wParam, routed through OnCmdMsg
    // (after its update handler, which may disable it).
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled (the thread's
    // innermost one).
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // --- Geometry --------------------------------------------------------------

    void GetClientRect(LPRECT rect) const;
    // Screen pixels.
    void GetWindowRect(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const;
    void ClientToScreen(LPRECT rect) const;
    void ScreenToClient(LPPOINT point) const;
    void ScreenToClient(LPRECT rect) const;
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(LPCRECT rect, BOOL repaint = TRUE);
    // SW_SHOWMAXIMIZED makes a top-level window as large as the screen's
    // work area first, so that it fills the screen without a window manager.
    BOOL ShowWindow(int command);
    BOOL IsWindowVisible() const;
    // The window's icon (`big` or small: one icon here); answers the one
    // set before.
    const platform::IconShape* SetIcon(const platform::IconShape* icon, BOOL big);
    void SetWindowText(LPCTSTR text);
    void GetWindowText(CString& text) const;
    CWnd* GetParent() const { return m_pParent; }
    CWnd* GetTopLevelParent() const;
    UINT GetDlgCtrlID() const { return m_nID; }
    DWORD GetStyle() const { return m_dwStyle; }
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;

    // The frame that holds this window (its nearest CFrameWnd parent).
    CFrameWnd* GetParentFrame() const;

    // --- Painting --------------------------------------------------------------

    // Null: the whole client area. Parts outside the client area are dropped.
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE);
    void InvalidateRgn(CRgn* region, BOOL erase = TRUE);
    void Invalidate(BOOL erase = TRUE) { InvalidateRect(nullptr, erase); }
    void ValidateRect(LPCRECT rect);
    void ValidateRgn(CRgn* region);
    // The bounding box of the update region; FALSE (and an empty rectangle)
    // when it is empty. With `erase` a pending erase is done first.
    BOOL GetUpdateRect(LPRECT rect, BOOL erase = FALSE);
    int GetUpdateRgn(CRgn* region, BOOL erase = FALSE);
    // Sends the paint message now when the update region is not empty.
    void UpdateWindow();
    // A context on the backing image clipped to the update region, which is
    // then empty; WM_ERASEBKGND first when an erase was asked for.
    CDC* BeginPaint(PAINTSTRUCT* paint);
    // Presents the painted area.
    void EndPaint(const PAINTSTRUCT* paint);
    // A context on the client area of the backing image.
    CDC* GetDC();
    // Presents what the context drew and deletes it. 1 when released.
    int ReleaseDC(CDC* dc);

    // The backing image, client pixels.
    platform::Surface* GetBackingSurface();

    // --- Mouse, keyboard and focus -------------------------------------------

    // Mouse messages of the thread go to this window, in its client
    // coordinates, until ReleaseCapture. Answers the window that had it.
    CWnd* SetCapture();
    static CWnd* GetCapture();
    // The window under a screen point: the innermost child that contains it.
    static CWnd* WindowFromPoint(POINT point);
    CWnd* SetFocus();
    static CWnd* GetFocus();

    // --- Handlers (default processing) -----------------------------------------
    int OnCreate(LPCREATESTRUCT createStruct);
    void OnDestroy();
    void OnNcDestroy();
    void OnPaint();
    void OnSize(UINT type, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnRButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnKeyDown(UINT key, UINT repeatCount, UINT flags);
    void OnKeyUp(UINT key, UINT repeatCount, UINT flags);
    void OnClose();
    void OnSetFocus(CWnd* oldWnd);
    void OnKillFocus(CWnd* newWnd);
    void OnTimer(UINT_PTR id);

    // --- Dialog-era services (platform/ui/wnd_services.cpp) -------------------

    // Input messages (keys, mouse buttons) go first to the target window's
    // PreTranslateMessage, then to each of its parents'; TRUE eats the message.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // WM_TIMER to this window every `elapse` ms (at least 10) of the layer's
    // clock; the same id restarts the timer. Answers the id, 0 without a window.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, void* unused = nullptr);
    BOOL KillTimer(UINT_PTR id);
    // Files dropped on the window go to OnDropFiles.
    void DragAcceptFiles(BOOL accept = TRUE);
    // The default opens each file with the application, in order.
    virtual void OnDropFiles(const std::vector<CString>& paths);
    // This object takes over `parent`'s child `id` (made by a dialog
    // template): it gets its window, and the object that had it lets go.
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    // The child with control id `id`, or null.
    CWnd* GetDlgItem(int id) const;
    void SetDlgItemText(int id, LPCTSTR text);
    int GetDlgItemText(int id, CString& text) const;
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Check boxes and radio buttons among the children.
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    void CheckRadioButton(int firstId, int lastId, int checkId);
    // GWL_STYLE reads and replaces the style bits.
    LONG GetWindowLong(int index) const;
    LONG SetWindowLong(int index, LONG value);
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    // Centres a top-level window over `alternate`, its owner, or the screen.
    void CenterWindow(CWnd* alternate = nullptr);
    // SWP_NOMOVE, SWP_NOSIZE, SWP_SHOWWINDOW, SWP_HIDEWINDOW are honoured;
    // the Z order is the toolkit's.
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    // While off, invalidations are kept but no paint is sent.
    void SetRedraw(BOOL redraw = TRUE);
    // Top-level menus: the frame shows the menu bar above its client area.
    BOOL SetMenu(CMenu* menu);
    CMenu* GetMenu() const;
    // Through the layer's notion of the active top-level window.
    CWnd* SetActiveWindow();
    static CWnd* GetActiveWindow();
    // The top-level windows in creation order (GW_HWNDFIRST, then GW_HWNDNEXT);
    // children of a window with GW_CHILD.
    CWnd* GetWindow(UINT command) const;
    // The owner of a top-level window made with a parent.
    CWnd* GetOwner() const;
    void SetOwner(CWnd* owner);

    // The layer's side; null before Create and after the window is gone.
    platform::WindowPeer* GetPeer() const { return m_hWnd; }

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;

private:
    friend class platform::WindowPeer;
    friend class CPaintDC;
    // BeginPaint's and EndPaint's work on a context the caller owns.
    void PreparePaint(CDC* dc, PAINTSTRUCT* paint);
    void FinishPaint(CDC* dc, const RECT& painted);

    CWnd* m_pParent = nullptr;
    const platform::IconShape* m_icon = nullptr;
    UINT m_nID = 0;
    DWORD m_dwStyle = 0;
};

// Releases the mouse capture, whichever window holds it.
BOOL ReleaseCapture();
// Whether the handle still names a window.
BOOL IsWindow(HWND hwnd);

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
// The primary screen's width and height in pixels; 0 for other indices.
int GetSystemMetrics(int index);

// Client contexts: a context on the window's backing image for drawing
// outside a paint; going out of scope presents what was drawn.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;

    // Presents what was drawn since the last time; tracking loops do this
    // for every live client context before they wait.
    void PresentDrawing();

protected:
    CWnd* m_pWnd;
    HWND m_hWnd;
};

namespace platform {

// Presents the drawing of every live client context (PeekMessage and
// WaitMessage do it before they wait).
void PresentClientDrawing();

// Asks a top-level window for its least size (WM_GETMINMAXINFO) and holds
// the window to it; the layer asks when the window is made and when its menu
// bar comes or goes.
void ApplyMinTrackSize(CWnd* wnd);
// The pending modes a left button press on `target` ends: an open popup menu
// closes and the window hears WM_CANCELMODE.
void CancelModes(CWnd* target);
// A top-level window became active: it may realise its palette
// (WM_QUERYNEWPALETTE); when it did, the other top-level windows hear
// WM_PALETTECHANGED with its handle.
void OfferPalette(CWnd* top);

}  // namespace platform

// The paint context of WM_PAINT handlers: BeginPaint and EndPaint.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps;

protected:
    CWnd* m_pWnd;
};

// --- Message-map entries for window messages -------------------------------------
//
// Each calls the handler with the message's arguments unpacked and stores
// its result. The handlers may be protected members of the class.

#define AFX_WM_ENTRY(msg, body)                                                         \
    {msg, 0, 0, 0, +[](CCmdTarget* target, UINT, void* extra) -> BOOL {                \
         auto* self = static_cast<ThisClass*>(target);                                  \
         auto* m = static_cast<platform::WindowMessage*>(extra);                        \
         (void)self;                                                                    \
         (void)m;                                                                       \
         body;                                                                          \
         return TRUE;                                                                   \
     }},

// int OnCreate(LPCREATESTRUCT)
#define ON_WM_CREATE() \
    AFX_WM_ENTRY(WM_CREATE, m->result = self->OnCreate(reinterpret_cast<LPCREATESTRUCT>(m->lParam)))
// void OnDestroy()
#define ON_WM_DESTROY() AFX_WM_ENTRY(WM_DESTROY, self->OnDestroy())
#define ON_WM_NCDESTROY() AFX_WM_ENTRY(WM_NCDESTROY, self->OnNcDestroy())
// void OnPaint()
#define ON_WM_PAINT() AFX_WM_ENTRY(WM_PAINT, self->OnPaint())
// void OnSize(UINT type, int cx, int cy)
#define ON_WM_SIZE()                                                                            \
    AFX_WM_ENTRY(WM_SIZE, self->OnSize(static_cast<UINT>(m->wParam), static_cast<SHORT>(LOWORD(m->lParam)), \
                                       static_cast<SHORT>(HIWORD(m->lParam))))
// BOOL OnEraseBkgnd(CDC*)
#define ON_WM_ERASEBKGND() AFX_WM_ENTRY(WM_ERASEBKGND, m->result = self->OnEraseBkgnd(reinterpret_cast<CDC*>(m->wParam)))
// void OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*)
#define ON_WM_NCCALCSIZE()                                                                      \
    AFX_WM_ENTRY(WM_NCCALCSIZE, self->OnNcCalcSize(static_cast<BOOL>(m->wParam),                \
                                                   reinterpret_cast<NCCALCSIZE_PARAMS*>(m->lParam)))
// BOOL OnSetCursor(CWnd*, UINT hitTest, UINT message)
#define ON_WM_SETCURSOR()                                                                       \
    AFX_WM_ENTRY(WM_SETCURSOR, m->result = self->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(m->wParam)), \
                                                             LOWORD(m->lParam), HIWORD(m->lParam)))
// void OnXxx(UINT flags, CPoint point)
#define AFX_WM_MOUSE_ENTRY(msg, fn) AFX_WM_ENTRY(msg, self->fn(static_cast<UINT>(m->wParam), CPoint(m->lParam)))
#define ON_WM_LBUTTONDOWN() AFX_WM_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_WM_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_WM_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_WM_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_WM_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_MOUSEMOVE() AFX_WM_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
// void OnKeyDown(UINT key, UINT repeatCount, UINT flags)
#define ON_WM_KEYDOWN()                                                                         \
    AFX_WM_ENTRY(WM_KEYDOWN, self->OnKeyDown(static_cast<UINT>(m->wParam), LOWORD(m->lParam), HIWORD(m->lParam)))
#define ON_WM_KEYUP()                                                                           \
    AFX_WM_ENTRY(WM_KEYUP, self->OnKeyUp(static_cast<UINT>(m->wParam), LOWORD(m->lParam), HIWORD(m->lParam)))
// void OnClose()
#define ON_WM_CLOSE() AFX_WM_ENTRY(WM_CLOSE, self->OnClose())
// void OnSetFocus(CWnd*), void OnKillFocus(CWnd*)
#define ON_WM_SETFOCUS() AFX_WM_ENTRY(WM_SETFOCUS, self->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(m->wParam))))
#define ON_WM_KILLFOCUS() AFX_WM_ENTRY(WM_KILLFOCUS, self->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(m->wParam))))
// void OnTimer(UINT_PTR id)
#define ON_WM_TIMER() AFX_WM_ENTRY(WM_TIMER, self->OnTimer(static_cast<UINT_PTR>(m->wParam)))
// void OnGetMinMaxInfo(MINMAXINFO*)
#define ON_WM_GETMINMAXINFO() \
    AFX_WM_ENTRY(WM_GETMINMAXINFO, self->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(m->lParam)))
// void OnPaletteChanged(CWnd* focusWnd): the window that realised its palette
#define ON_WM_PALETTECHANGED() \
    AFX_WM_ENTRY(WM_PALETTECHANGED, self->OnPaletteChanged(CWnd::FromHandle(reinterpret_cast<HWND>(m->wParam))))
// BOOL OnQueryNewPalette()
#define ON_WM_QUERYNEWPALETTE() AFX_WM_ENTRY(WM_QUERYNEWPALETTE, m->result = self->OnQueryNewPalette())
// LRESULT memberFxn(WPARAM, LPARAM), for any message
#define ON_MESSAGE(msg, memberFxn) AFX_WM_ENTRY(msg, m->result = self->memberFxn(m->wParam, m->lParam))
