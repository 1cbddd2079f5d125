#include "platform/ui/wnd.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QPointer>
#include <QScreen>
#include <QResizeEvent>
#include <QWidget>

#include <algorithm>

#include "platform/core/cmd_ui.h"
#include "platform/ui/app.h"
#include "platform/ui/cursor.h"
#include "platform/ui/frame_wnd.h"
#include "platform/ui/ole_server_doc.h"
#include "platform/ui/win_app.h"
#include "platform/ui/window_peer.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

const AFX_MSGMAP* CWnd::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP messageMap = {&CCmdTarget::GetThisMessageMap, entries, "CWnd"};
    return &messageMap;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    if (m_hWnd)
        DestroyWindow();
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    return hwnd ? hwnd->Owner() : nullptr;
}

BOOL CWnd::Create(LPCTSTR className, LPCTSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                  CCreateContext* context)
{
    if (m_hWnd)
        return FALSE;
    platform::EnsureToolkit();
    CREATESTRUCT cs;
    cs.lpCreateParams = context;
    cs.hwndParent = parent;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = std::max<LONG>(0, rect.right - rect.left);
    cs.cy = std::max<LONG>(0, rect.bottom - rect.top);
    cs.style = style;
    cs.lpszName = windowName;
    cs.lpszClass = className;
    const bool allowed = PreCreateWindow(cs) != FALSE;
    const bool child = (cs.style & WS_CHILD) != 0;
    if (!allowed || (child && (!parent || !parent->m_hWnd))) {
        // As after a window that is destroyed at once: objects that delete
        // themselves with their window do so now.
        PostNcDestroy();
        return FALSE;
    }
    m_pParent = parent;
    m_nID = id;
    m_dwStyle = cs.style;
    auto* peer = new platform::WindowPeer(this, child ? parent->m_hWnd : nullptr);
    m_hWnd = peer;
    if (!child && !(cs.style & WS_CAPTION))
        peer->setWindowFlag(Qt::FramelessWindowHint);
    if (cs.lpszName)
        peer->setWindowTitle(QString::fromUtf8(cs.lpszName));
    const int width = std::max(0, cs.cx);
    const int height = std::max(0, cs.cy);
    peer->setGeometry(cs.x, cs.y, width, height);
    peer->Backing().Resize(width, height, RGB(255, 255, 255));

    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = RECT{cs.x, cs.y, cs.x + width, cs.y + height};
    SendMessage(WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&params));
    cs.cx = width;
    cs.cy = height;
    if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow();
        return FALSE;
    }
    if (!m_hWnd)
        return FALSE;
    if (!child)
        platform::ApplyMinTrackSize(this);
    if (!m_hWnd)
        return FALSE;
    SendMessage(WM_SIZE, SIZE_RESTORED, static_cast<LPARAM>(MAKELONG(static_cast<WORD>(width), static_cast<WORD>(height))));
    if (!m_hWnd)
        return FALSE;
    CRgn all;
    all.CreateRectRgn(0, 0, width, height);
    m_hWnd->AddUpdate(all, true);
    if (cs.style & WS_VISIBLE)
        ShowWindow(SW_SHOW);
    return TRUE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&)
{
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    if (platform::CaptureWindow() == this)
        platform::SetCaptureWindow(nullptr);
    SendMessage(WM_DESTROY);
    if (!m_hWnd)
        return TRUE;
    // Children go before their parent's last message.
    std::vector<CWnd*> children;
    for (QObject* object : m_hWnd->children())
        if (auto* peer = dynamic_cast<platform::WindowPeer*>(object))
            if (peer->Owner())
                children.push_back(peer->Owner());
    for (CWnd* child : children)
        child->DestroyWindow();
    if (!m_hWnd)
        return TRUE;
    // The last message: the default detaches the window and runs
    // PostNcDestroy, which may delete this object.
    SendMessage(WM_NCDESTROY);
    return TRUE;
}

void CWnd::PostNcDestroy() {}

// --- Messages -------------------------------------------------------------------

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return WindowProc(message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_hWnd)
        return FALSE;
    QPointer<platform::WindowPeer> peer(m_hWnd);
    QMetaObject::invokeMethod(
        m_hWnd,
        [peer, message, wParam, lParam] {
            if (peer && peer->Owner())
                peer->Deliver(message, wParam, lParam);
        },
        Qt::QueuedConnection);
    return TRUE;
}

namespace {

// The message being handled, for Default. It belongs to the thread, not to
// the window: a handler may destroy and delete its window, and nothing of the
// object is touched after the handler returns.
platform::WindowMessage*& CurrentMessage()
{
    static platform::WindowMessage* current = nullptr;
    return current;
}

class CurrentMessageScope {
public:
    explicit CurrentMessageScope(platform::WindowMessage* message) : m_previous(CurrentMessage())
    {
        CurrentMessage() = message;
    }
    ~CurrentMessageScope() { CurrentMessage() = m_previous; }

private:
    platform::WindowMessage* m_previous;
};

}  // namespace

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    platform::WindowMessage current{message, wParam, lParam, 0};
    CurrentMessageScope scope(&current);
    LRESULT result = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            result = DefWindowProc(message, wParam, lParam);
    } else if (!OnWndMsg(message, wParam, lParam, &result)) {
        result = DefWindowProc(message, wParam, lParam);
    }
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND)
        return OnCommand(wParam, lParam);
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn; ++entry) {
            if (entry->nMessage != message)
                continue;
            platform::WindowMessage m{message, wParam, lParam, 0};
            CurrentMessageScope scope(&m);
            entry->pfn(this, 0, &m);
            if (result)
                *result = m.result;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    // A control's notification (a button's click too) carries its code and
    // the control; only menus and accelerators have the update step.
    if (lParam != 0)
        return OnCmdMsg(id, static_cast<int>(static_cast<SHORT>(HIWORD(wParam))), nullptr, nullptr);
    // A command whose update handler disables it is not run.
    CCmdUI state;
    state.m_nID = id;
    state.m_bEnableChanged = FALSE;
    state.m_bEnabled = TRUE;
    if (OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &state, nullptr) && state.m_bEnableChanged && !state.m_bEnabled)
        return TRUE;
    return OnCmdMsg(id, CN_COMMAND, nullptr, nullptr);
}

LRESULT CWnd::Default()
{
    const platform::WindowMessage* current = CurrentMessage();
    if (!current)
        return 0;
    return DefWindowProc(current->message, current->wParam, current->lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(&paint);
        EndPaint(&paint);
        return 0;
    }
    case WM_ERASEBKGND: {
        auto* dc = reinterpret_cast<CDC*>(wParam);
        if (!dc)
            return 0;
        RECT clip;
        dc->GetClipBox(&clip);
        dc->FillRect(&clip, CBrush::StockBrush(WHITE_BRUSH));
        return 1;
    }
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursor(nullptr, IDC_ARROW));
            return TRUE;
        }
        return FALSE;
    case WM_SETTEXT:
        if (m_hWnd)
            m_hWnd->setWindowTitle(QString::fromUtf8(lParam ? reinterpret_cast<LPCTSTR>(lParam) : ""));
        return TRUE;
    case WM_GETTEXT:
        // lParam: the CString that receives the text.
        if (auto* text = reinterpret_cast<CString*>(lParam))
            *text = m_hWnd ? CString(m_hWnd->windowTitle().toUtf8().constData()) : CString();
        return TRUE;
    case WM_CLOSE:
        DestroyWindow();
        return 0;
    case WM_NCDESTROY:
        OnNcDestroy();
        return 0;
    default:
        return 0;
    }
}

// --- Geometry --------------------------------------------------------------------

void CWnd::GetClientRect(LPRECT rect) const
{
    if (!rect)
        return;
    *rect = m_hWnd ? RECT{0, 0, m_hWnd->width(), m_hWnd->height()} : RECT{};
}

void CWnd::GetWindowRect(LPRECT rect) const
{
    if (!rect)
        return;
    if (!m_hWnd) {
        *rect = RECT{};
        return;
    }
    const QPoint origin = m_hWnd->mapToGlobal(QPoint(0, 0));
    *rect = RECT{origin.x(), origin.y(), origin.x() + m_hWnd->width(), origin.y() + m_hWnd->height()};
}

void CWnd::ClientToScreen(LPPOINT point) const
{
    if (!point || !m_hWnd)
        return;
    const QPoint origin = m_hWnd->mapToGlobal(QPoint(0, 0));
    point->x += origin.x();
    point->y += origin.y();
}

void CWnd::ClientToScreen(LPRECT rect) const
{
    if (!rect || !m_hWnd)
        return;
    const QPoint origin = m_hWnd->mapToGlobal(QPoint(0, 0));
    OffsetRect(rect, origin.x(), origin.y());
}

void CWnd::ScreenToClient(LPPOINT point) const
{
    if (!point || !m_hWnd)
        return;
    const QPoint origin = m_hWnd->mapToGlobal(QPoint(0, 0));
    point->x -= origin.x();
    point->y -= origin.y();
}

void CWnd::ScreenToClient(LPRECT rect) const
{
    if (!rect || !m_hWnd)
        return;
    const QPoint origin = m_hWnd->mapToGlobal(QPoint(0, 0));
    OffsetRect(rect, -origin.x(), -origin.y());
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint)
{
    if (!m_hWnd)
        return;
    m_hWnd->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
    // Hidden widgets hear of their size only when shown; the window is told now.
    if (!m_hWnd->isVisible()) {
        QResizeEvent event(m_hWnd->size(), m_hWnd->size());
        QCoreApplication::sendEvent(m_hWnd, &event);
    }
    if (repaint)
        InvalidateRect(nullptr, TRUE);
}

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint)
{
    if (rect)
        MoveWindow(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL CWnd::ShowWindow(int command)
{
    if (!m_hWnd)
        return FALSE;
    const BOOL wasVisible = m_hWnd->isVisible();
    switch (command) {
    case SW_HIDE:
        m_hWnd->hide();
        m_dwStyle &= ~WS_VISIBLE;
        break;
    case SW_SHOWMAXIMIZED:
        if (m_hWnd->isWindow())
            if (QScreen* screen = QGuiApplication::primaryScreen())
                m_hWnd->setGeometry(screen->availableGeometry());
        m_hWnd->showMaximized();
        m_dwStyle |= WS_VISIBLE;
        break;
    default:
        m_hWnd->show();
        m_dwStyle |= WS_VISIBLE;
        break;
    }
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const
{
    return m_hWnd && m_hWnd->isVisible();
}

const platform::IconShape* CWnd::SetIcon(const platform::IconShape* icon, BOOL)
{
    const platform::IconShape* previous = m_icon;
    m_icon = icon;
    if (m_hWnd)
        m_hWnd->setWindowIcon(QIcon(platform::IconPixmap(icon)));
    return previous;
}

// Through WM_SETTEXT and WM_GETTEXT, so that a control reached as a CWnd
// (an edit, say) keeps its text where it shows it and reports the change.
void CWnd::SetWindowText(LPCTSTR text)
{
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
}

void CWnd::GetWindowText(CString& text) const
{
    text.Empty();
    const_cast<CWnd*>(this)->SendMessage(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(&text));
}

CWnd* CWnd::GetTopLevelParent() const
{
    const CWnd* wnd = this;
    while (wnd->m_pParent && (wnd->m_dwStyle & WS_CHILD))
        wnd = wnd->m_pParent;
    return const_cast<CWnd*>(wnd);
}

BOOL CWnd::EnableWindow(BOOL enable)
{
    if (!m_hWnd)
        return FALSE;
    const BOOL wasDisabled = !m_hWnd->isEnabled();
    m_hWnd->setEnabled(enable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const
{
    return m_hWnd && m_hWnd->isEnabled();
}

CFrameWnd* CWnd::GetParentFrame() const
{
    for (CWnd* wnd = m_pParent; wnd; wnd = wnd->m_pParent)
        if (wnd->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
            return static_cast<CFrameWnd*>(wnd);
    return nullptr;
}

// --- Painting ----------------------------------------------------------------------

void CWnd::InvalidateRect(LPCRECT rect, BOOL erase)
{
    if (!m_hWnd)
        return;
    CRgn region;
    if (rect)
        region.CreateRectRgnIndirect(rect);
    else
        region.CreateRectRgn(0, 0, m_hWnd->width(), m_hWnd->height());
    m_hWnd->AddUpdate(region, erase != FALSE);
}

void CWnd::InvalidateRgn(CRgn* region, BOOL erase)
{
    if (!region) {
        InvalidateRect(nullptr, erase);
        return;
    }
    if (m_hWnd)
        m_hWnd->AddUpdate(*region, erase != FALSE);
}

void CWnd::ValidateRect(LPCRECT rect)
{
    if (!m_hWnd)
        return;
    if (!rect) {
        m_hWnd->m_update.SetRectRgn(0, 0, 0, 0);
        m_hWnd->m_erase = false;
        return;
    }
    CRgn region;
    region.CreateRectRgnIndirect(rect);
    ValidateRgn(&region);
}

void CWnd::ValidateRgn(CRgn* region)
{
    if (!m_hWnd)
        return;
    if (!region) {
        ValidateRect(nullptr);
        return;
    }
    m_hWnd->m_update.CombineRgn(&m_hWnd->m_update, region, RGN_DIFF);
    if (m_hWnd->m_update.IsEmpty())
        m_hWnd->m_erase = false;
}

BOOL CWnd::GetUpdateRect(LPRECT rect, BOOL erase)
{
    if (!m_hWnd) {
        if (rect)
            *rect = RECT{};
        return FALSE;
    }
    if (erase && m_hWnd->m_erase && !m_hWnd->m_update.IsEmpty()) {
        m_hWnd->m_erase = false;
        CDC dc(&m_hWnd->Backing());
        dc.SetVisibleRegion(&m_hWnd->m_update);
        SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&dc));
        if (m_hWnd) {
            const RECT drawn = dc.GetDrawnBounds();
            m_hWnd->Present(drawn);
        }
    }
    RECT box{};
    if (m_hWnd)
        m_hWnd->m_update.GetRgnBox(&box);
    if (rect)
        *rect = box;
    return !IsRectEmpty(&box);
}

int CWnd::GetUpdateRgn(CRgn* region, BOOL erase)
{
    if (!region)
        return ERROR;
    RECT box;
    GetUpdateRect(&box, erase);
    if (!m_hWnd)
        return region->CreateRectRgn(0, 0, 0, 0), NULLREGION;
    return region->CopyRgn(&m_hWnd->m_update);
}

void CWnd::UpdateWindow()
{
    if (!m_hWnd || m_hWnd->m_update.IsEmpty())
        return;
    QPointer<platform::WindowPeer> peer(m_hWnd);
    SendMessage(WM_PAINT);
    // A handler that did not paint would be asked again and again.
    if (peer && peer->Owner() == this && !peer->m_update.IsEmpty()) {
        peer->m_update.SetRectRgn(0, 0, 0, 0);
        peer->m_erase = false;
    }
}

CDC* CWnd::BeginPaint(PAINTSTRUCT* paint)
{
    if (!paint)
        return nullptr;
    *paint = PAINTSTRUCT{};
    if (!m_hWnd)
        return nullptr;
    auto* dc = new CDC;
    PreparePaint(dc, paint);
    return dc;
}

void CWnd::PreparePaint(CDC* dc, PAINTSTRUCT* paint)
{
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    if (!m_hWnd)
        return;
    dc->SetSurface(&m_hWnd->Backing());
    CRgn update;
    update.CopyRgn(&m_hWnd->m_update);
    dc->SetVisibleRegion(&update);
    update.GetRgnBox(&paint->rcPaint);
    if (m_hWnd->m_erase) {
        m_hWnd->m_erase = false;
        paint->fErase = SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)) ? FALSE : TRUE;
    }
    if (m_hWnd)
        m_hWnd->m_update.SetRectRgn(0, 0, 0, 0);
}

void CWnd::FinishPaint(CDC* dc, const RECT& painted)
{
    if (!m_hWnd || !dc)
        return;
    RECT shown = dc->GetDrawnBounds();
    UnionRect(&shown, &shown, &painted);
    m_hWnd->Present(shown);
}

void CWnd::EndPaint(const PAINTSTRUCT* paint)
{
    if (!paint || !paint->hdc)
        return;
    FinishPaint(paint->hdc, paint->rcPaint);
    delete paint->hdc;
}

CDC* CWnd::GetDC()
{
    if (!m_hWnd)
        return nullptr;
    return new CDC(&m_hWnd->Backing());
}

int CWnd::ReleaseDC(CDC* dc)
{
    if (!dc)
        return 0;
    if (m_hWnd)
        m_hWnd->Present(dc->GetDrawnBounds());
    delete dc;
    return 1;
}

platform::Surface* CWnd::GetBackingSurface()
{
    return m_hWnd ? &m_hWnd->Backing() : nullptr;
}

// --- Mouse, keyboard and focus -----------------------------------------------------

CWnd* CWnd::SetCapture()
{
    CWnd* previous = platform::CaptureWindow();
    if (m_hWnd)
        platform::SetCaptureWindow(this);
    return previous;
}

CWnd* CWnd::GetCapture()
{
    return platform::CaptureWindow();
}

int GetSystemMetrics(int index)
{
    platform::EnsureToolkit();
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 0;
    switch (index) {
    case SM_CXSCREEN:
        return screen->geometry().width();
    case SM_CYSCREEN:
        return screen->geometry().height();
    default:
        return 0;
    }
}

BOOL IsWindow(HWND hwnd)
{
    return platform::IsLiveWindow(hwnd) && hwnd->Owner() ? TRUE : FALSE;
}

BOOL ReleaseCapture()
{
    platform::SetCaptureWindow(nullptr);
    return TRUE;
}

CWnd* CWnd::WindowFromPoint(POINT point)
{
    if (!qApp)
        return nullptr;
    QWidget* widget = QApplication::widgetAt(QPoint(point.x, point.y));
    for (; widget; widget = widget->parentWidget())
        if (auto* peer = dynamic_cast<platform::WindowPeer*>(widget))
            if (peer->Owner())
                return peer->Owner();
    return nullptr;
}

CWnd* CWnd::SetFocus()
{
    CWnd* previous = GetFocus();
    if (m_hWnd)
        m_hWnd->setFocus(Qt::OtherFocusReason);
    return previous;
}

CWnd* CWnd::GetFocus()
{
    if (!qApp)
        return nullptr;
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget())
        if (auto* peer = dynamic_cast<platform::WindowPeer*>(widget))
            return peer->Owner();
    return nullptr;
}

// --- Default handlers ------------------------------------------------------------------

int CWnd::OnCreate(LPCREATESTRUCT)
{
    return static_cast<int>(Default());
}

void CWnd::OnDestroy()
{
    Default();
}

void CWnd::OnNcDestroy()
{
    platform::WindowPeer* peer = m_hWnd;
    m_hWnd = nullptr;
    if (peer)
        peer->Detach();
    if (CWinThread* thread = AfxGetThread(); thread && thread->m_pMainWnd == this) {
        thread->m_pMainWnd = nullptr;
        // A program started by another one goes on serving it without a
        // window (a failed Open destroys the frame it made) while it is held.
        const CWinApp* app = AfxGetApp();
        const bool served = app && (app->RunAutomated() || app->RunEmbedded()) && !AfxOleCanExitApp();
        if (!served)
            PostQuitMessage(0);
    }
    PostNcDestroy();
}

void CWnd::OnPaint()
{
    Default();
}

void CWnd::OnSize(UINT, int, int)
{
    Default();
}

BOOL CWnd::OnEraseBkgnd(CDC*)
{
    return static_cast<BOOL>(Default());
}

void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*)
{
    Default();
}

BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT)
{
    return static_cast<BOOL>(Default());
}

void CWnd::OnLButtonDown(UINT, CPoint)
{
    Default();
}

void CWnd::OnLButtonUp(UINT, CPoint)
{
    Default();
}

void CWnd::OnLButtonDblClk(UINT, CPoint)
{
    Default();
}

void CWnd::OnRButtonDown(UINT, CPoint)
{
    Default();
}

void CWnd::OnRButtonUp(UINT, CPoint)
{
    Default();
}

void CWnd::OnMouseMove(UINT, CPoint)
{
    Default();
}

void CWnd::OnKeyDown(UINT, UINT, UINT)
{
    Default();
}

void CWnd::OnKeyUp(UINT, UINT, UINT)
{
    Default();
}

void CWnd::OnClose()
{
    Default();
}

void CWnd::OnSetFocus(CWnd*)
{
    Default();
}

void CWnd::OnKillFocus(CWnd*)
{
    Default();
}

void CWnd::OnTimer(UINT_PTR)
{
    Default();
}

// --- Client and paint contexts ---------------------------------------------------------

namespace {

std::vector<CClientDC*>& LiveClientDCs()
{
    static std::vector<CClientDC*> live;
    return live;
}

}  // namespace

CClientDC::CClientDC(CWnd* wnd)
    : CDC(wnd ? wnd->GetBackingSurface() : nullptr), m_pWnd(wnd), m_hWnd(wnd ? wnd->GetSafeHwnd() : nullptr)
{
    LiveClientDCs().push_back(this);
}

CClientDC::~CClientDC()
{
    PresentDrawing();
    auto& live = LiveClientDCs();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

void CClientDC::PresentDrawing()
{
    // The window may have gone while the context lived: then nothing is
    // shown, and its surface is not touched again.
    if (!m_hWnd || !platform::IsLiveWindow(m_hWnd)) {
        SetSurface(nullptr);
        return;
    }
    m_hWnd->Present(GetDrawnBounds());
    ResetDrawnBounds();
}

namespace platform {

void PresentClientDrawing()
{
    for (CClientDC* dc : LiveClientDCs())
        dc->PresentDrawing();
}

void ApplyMinTrackSize(CWnd* wnd)
{
    WindowPeer* peer = wnd ? wnd->GetSafeHwnd() : nullptr;
    if (!peer || (wnd->GetStyle() & WS_CHILD))
        return;
    MINMAXINFO info;
    wnd->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    if (!IsLiveWindow(peer))
        return;
    // The toolkit grows a window that is smaller than its new least size.
    peer->setMinimumSize(std::clamp<int>(info.ptMinTrackSize.x, 0, QWIDGETSIZE_MAX),
                         std::clamp<int>(info.ptMinTrackSize.y, 0, QWIDGETSIZE_MAX));
}

void CancelModes(CWnd* target)
{
    if (qApp)
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    if (target && target->GetSafeHwnd())
        target->SendMessage(WM_CANCELMODE);
}

void OfferPalette(CWnd* top)
{
    if (!top || !top->GetSafeHwnd() || !qApp)
        return;
    QPointer<WindowPeer> offered(top->GetSafeHwnd());
    if (!top->SendMessage(WM_QUERYNEWPALETTE) || !offered || !offered->Owner())
        return;
    std::vector<QPointer<WindowPeer>> others;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* peer = dynamic_cast<WindowPeer*>(widget); peer && peer != offered.data() && peer->Owner())
            others.emplace_back(peer);
    for (const QPointer<WindowPeer>& other : others)
        if (other && other->Owner() && offered)
            other->Owner()->SendMessage(WM_PALETTECHANGED, reinterpret_cast<WPARAM>(offered.data()));
}

}  // namespace platform

CPaintDC::CPaintDC(CWnd* wnd) : m_pWnd(wnd)
{
    if (wnd)
        wnd->PreparePaint(this, &m_ps);
}

CPaintDC::~CPaintDC()
{
    if (m_pWnd)
        m_pWnd->FinishPaint(this, m_ps.rcPaint);
}
