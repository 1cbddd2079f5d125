#include "platform/ui/window_peer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPointer>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <set>

#include "platform/core/tick_count.h"
#include "platform/ui/app.h"
#include "platform/ui/cursor.h"

namespace platform {

namespace {

// Paint requests wait for everything else in the queue.
const QEvent::Type kPaintRequest = static_cast<QEvent::Type>(QEvent::User + 0x2D1);

QPointer<WindowPeer>& Capture()
{
    static QPointer<WindowPeer> capture;
    return capture;
}

struct Pointer {
    bool seen = false;
    QPoint global;
    // The last mouse move dispatched, to tell real moves from repeats.
    CWnd* lastMoveWindow = nullptr;
    LPARAM lastMovePoint = -1;
};

Pointer& PointerState()
{
    static Pointer pointer;
    return pointer;
}

std::set<const WindowPeer*>& LiveWindows()
{
    static std::set<const WindowPeer*> live;
    return live;
}

QPointer<WindowPeer>& CursorMessageSlot()
{
    static QPointer<WindowPeer> peer;
    return peer;
}

LPARAM PackPoint(int x, int y)
{
    const auto clamp16 = [](int v) { return static_cast<WORD>(static_cast<SHORT>(std::clamp(v, SHRT_MIN, SHRT_MAX))); };
    return static_cast<LPARAM>(MAKELONG(clamp16(x), clamp16(y)));
}

}  // namespace

namespace {

std::set<int>& HeldKeys()
{
    static std::set<int> held;
    return held;
}

}  // namespace

void NoteKey(int virtualKey, bool down)
{
    if (down)
        HeldKeys().insert(virtualKey);
    else
        HeldKeys().erase(virtualKey);
}

bool KeyHeld(int virtualKey)
{
    return HeldKeys().count(virtualKey) > 0;
}

bool IsLiveWindow(const WindowPeer* peer)
{
    return peer && LiveWindows().count(peer) > 0;
}

void RequestPendingPaints()
{
    for (const WindowPeer* live : LiveWindows()) {
        auto* peer = const_cast<WindowPeer*>(live);
        if (peer->Owner() && !peer->m_update.IsEmpty())
            peer->RequestPaint();
    }
}

WindowPeer* CursorMessageWindow()
{
    return CursorMessageSlot().data();
}

CWnd* CaptureWindow()
{
    WindowPeer* peer = Capture().data();
    return peer ? peer->Owner() : nullptr;
}

void SetCaptureWindow(CWnd* wnd)
{
    WindowPeer* previous = Capture().data();
    WindowPeer* next = wnd ? wnd->GetPeer() : nullptr;
    if (previous == next)
        return;
    Capture() = next;
    if (previous && previous->Owner())
        previous->Deliver(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(next));
}

void NotePointer(QPoint global)
{
    PointerState().seen = true;
    PointerState().global = global;
}

bool PointerSeen(QPoint* global)
{
    if (!PointerState().seen)
        return false;
    *global = PointerState().global;
    return true;
}

UINT MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    UINT flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        flags |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

int VirtualKeyOf(int key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return VK_F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Pause:
        return VK_PAUSE;
    case Qt::Key_CapsLock:
        return VK_CAPITAL;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Asterisk:
        return VK_MULTIPLY;
    case Qt::Key_Plus:
        return VK_ADD;
    case Qt::Key_Minus:
        return VK_SUBTRACT;
    case Qt::Key_Period:
        return VK_DECIMAL;
    case Qt::Key_Slash:
        return VK_DIVIDE;
    default:
        return 0;
    }
}

// --- The peer ------------------------------------------------------------------------

WindowPeer::WindowPeer(CWnd* owner, QWidget* parent) : QWidget(parent), m_owner(owner)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_update.CreateRectRgn(0, 0, 0, 0);
    LiveWindows().insert(this);
}

WindowPeer::~WindowPeer()
{
    LiveWindows().erase(this);
    if (m_owner)
        m_owner->m_hWnd = nullptr;
}

void WindowPeer::Detach()
{
    if (Capture().data() == this)
        SetCaptureWindow(nullptr);
    if (PointerState().lastMoveWindow == m_owner)
        PointerState().lastMoveWindow = nullptr;
    m_owner = nullptr;
    LiveWindows().erase(this);
    hide();
    setParent(nullptr);
    deleteLater();
}

void WindowPeer::AddUpdate(const CRgn& region, bool erase)
{
    // Short cuts for a model's worth of invalidations in a row: a region
    // wholly outside the window adds nothing, and nothing can be added to an
    // update region that is already the whole window.
    RECT box;
    region.GetRgnBox(&box);
    if (box.left >= width() || box.right <= 0 || box.top >= height() || box.bottom <= 0 || box.left >= box.right)
        return;
    if (m_update.Kind() == SIMPLEREGION) {
        RECT whole;
        m_update.GetRgnBox(&whole);
        if (whole.left <= 0 && whole.top <= 0 && whole.right >= width() && whole.bottom >= height()) {
            m_erase = m_erase || erase;
            RequestPaint();
            return;
        }
    }
    CRgn area;
    area.CreateRectRgn(0, 0, width(), height());
    area.CombineRgn(&area, &region, RGN_AND);
    if (area.IsEmpty())
        return;
    m_update.CombineRgn(&m_update, &area, RGN_OR);
    m_erase = m_erase || erase;
    RequestPaint();
}

void WindowPeer::RequestPaint()
{
    if (m_paintRequested)
        return;
    m_paintRequested = true;
    QCoreApplication::postEvent(this, new QEvent(kPaintRequest), Qt::LowEventPriority);
}

void WindowPeer::Present(const RECT& rect)
{
    if (IsRectEmpty(&rect))
        return;
    update(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top));
}

void WindowPeer::Deliver(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_owner)
        return;
    if (Tracking() && message != WM_PAINT) {
        MSG msg;
        msg.hwnd = this;
        msg.message = message;
        msg.wParam = wParam;
        msg.lParam = lParam;
        msg.time = GetTickCount();
        QueueMessage(msg);
        return;
    }
    NoteMessage(message);
    if (PreTranslateInput(this, message, wParam, lParam))
        return;
    if (m_owner)
        m_owner->SendMessage(message, wParam, lParam);
}

bool WindowPeer::event(QEvent* event)
{
    if (event->type() == kPaintRequest) {
        m_paintRequested = false;
        if (!m_owner)
            return true;
        // Paints wait while a tracking loop runs; its end asks again.
        if (Tracking())
            return true;
        m_owner->UpdateWindow();
        return true;
    }
    if (event->type() == QEvent::Leave && m_owner && Capture().data() == this &&
        QGuiApplication::mouseButtons() == Qt::NoButton) {
        // The toolkit sends no moves outside the window without a button
        // held; a captured window hears once that the pointer left, as a
        // move to where it is now.
        POINT p;
        if (GetCursorPos(&p))
            SendMouse(WM_MOUSEMOVE, mapFromGlobal(QPointF(p.x, p.y)), Qt::NoButton,
                      QGuiApplication::queryKeyboardModifiers());
        return true;
    }
    if (event->type() == QEvent::WindowActivate && m_owner && isWindow()) {
        const bool handled = QWidget::event(event);
        OfferPalette(m_owner);
        return handled;
    }
    return QWidget::event(event);
}

void WindowPeer::paintEvent(QPaintEvent* event)
{
    if (m_backing.Width() == 0 || m_backing.Height() == 0)
        return;
    const QImage image(reinterpret_cast<const uchar*>(m_backing.Bits()), m_backing.Width(), m_backing.Height(),
                       m_backing.Width() * 4, QImage::Format_RGB32);
    QPainter painter(this);
    for (const QRect& rect : event->region())
        painter.drawImage(rect.topLeft(), image, rect);
}

void WindowPeer::resizeEvent(QResizeEvent*)
{
    // The widget's own size: a maximised window may have been given less
    // than the event says.
    const int w = width();
    const int h = height();
    if (w != m_backing.Width() || h != m_backing.Height()) {
        // Keep what was drawn where it still fits: the window is repainted
        // whole anyway.
        Surface resized(w, h, RGB(255, 255, 255));
        const int cw = std::min(w, m_backing.Width());
        for (int y = 0; y < std::min(h, m_backing.Height()); ++y)
            std::copy(m_backing.ScanLine(y), m_backing.ScanLine(y) + cw, resized.ScanLine(y));
        m_backing = std::move(resized);
        CRgn outside;
        outside.CreateRectRgn(0, 0, w, h);
        m_update.CombineRgn(&m_update, &outside, RGN_AND);
    }
    if (!m_owner)
        return;
    QPointer<WindowPeer> self(this);
    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = RECT{x(), y(), x() + w, y() + h};
    m_owner->SendMessage(WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    if (!self || !m_owner)
        return;
    m_owner->SendMessage(WM_SIZE, isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED,
                         static_cast<LPARAM>(MAKELONG(static_cast<WORD>(w), static_cast<WORD>(h))));
    if (!self || !m_owner)
        return;
    CRgn all;
    all.CreateRectRgn(0, 0, w, h);
    AddUpdate(all, true);
}

void WindowPeer::SendMouse(UINT message, QPointF local, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    const QPoint global = mapToGlobal(local.toPoint());
    NotePointer(global);
    WindowPeer* target = this;
    QPoint client = local.toPoint();
    if (WindowPeer* capture = Capture().data(); capture && capture->Owner()) {
        target = capture;
        client = capture->mapFromGlobal(global);
    }
    CWnd* owner = target->Owner();
    if (!owner)
        return;
    const LPARAM point = PackPoint(client.x(), client.y());
    const WPARAM flags = MouseKeyFlags(buttons, modifiers);
    QPointer<WindowPeer> alive(target);
    if (!Capture() && !Tracking()) {
        CursorMessageSlot() = target;
        owner->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                           static_cast<LPARAM>(MAKELONG(static_cast<WORD>(HTCLIENT), static_cast<WORD>(message))));
        if (!alive || !alive->Owner())
            return;
    }
    if (message == WM_MOUSEMOVE) {
        Pointer& state = PointerState();
        const bool repeat = state.lastMoveWindow == owner && state.lastMovePoint == point;
        state.lastMoveWindow = owner;
        state.lastMovePoint = point;
        if (repeat && !Tracking()) {
            // Not a message that restarts the idle count.
            owner->SendMessage(message, flags, point);
            return;
        }
    }
    target->Deliver(message, flags, point);
}

void WindowPeer::MouseButton(QMouseEvent* event, bool press)
{
    UINT message = 0;
    switch (event->button()) {
    case Qt::LeftButton:
        message = press ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        break;
    case Qt::RightButton:
        message = press ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        break;
    case Qt::MiddleButton:
        message = press ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        break;
    default:
        return;
    }
    SendMouse(message, event->position(), event->buttons(), event->modifiers());
}

void WindowPeer::mousePressEvent(QMouseEvent* event)
{
    MouseButton(event, true);
}

void WindowPeer::mouseReleaseEvent(QMouseEvent* event)
{
    MouseButton(event, false);
}

// Windows of the program take no double clicks: a quick second press is a
// press.
void WindowPeer::mouseDoubleClickEvent(QMouseEvent* event)
{
    MouseButton(event, true);
}

void WindowPeer::mouseMoveEvent(QMouseEvent* event)
{
    SendMouse(WM_MOUSEMOVE, event->position(), event->buttons(), event->modifiers());
}

void WindowPeer::keyPressEvent(QKeyEvent* event)
{
    const int key = VirtualKeyOf(event->key());
    if (!key) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Flags word: scan code, bit 14 the key was already down.
    const WORD flags = static_cast<WORD>((event->nativeScanCode() & 0xFF) | (event->isAutoRepeat() ? 0x4000 : 0));
    NoteKey(key, true);
    Deliver(WM_KEYDOWN, static_cast<WPARAM>(key), static_cast<LPARAM>(MAKELONG(1, flags)));
}

void WindowPeer::keyReleaseEvent(QKeyEvent* event)
{
    const int key = VirtualKeyOf(event->key());
    if (!key || event->isAutoRepeat()) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    const WORD flags = static_cast<WORD>((event->nativeScanCode() & 0xFF) | 0xC000);
    NoteKey(key, false);
    Deliver(WM_KEYUP, static_cast<WPARAM>(key), static_cast<LPARAM>(MAKELONG(1, flags)));
}

void WindowPeer::closeEvent(QCloseEvent* event)
{
    // The window decides: WM_CLOSE destroys it by default.
    event->ignore();
    if (m_owner)
        Deliver(WM_CLOSE, 0, 0);
}

void WindowPeer::focusInEvent(QFocusEvent*)
{
    if (m_owner)
        Deliver(WM_SETFOCUS, 0, 0);
}

void WindowPeer::focusOutEvent(QFocusEvent*)
{
    // Keys let go in another program are never told here.
    if (!QApplication::activeWindow())
        HeldKeys().clear();
    if (m_owner)
        Deliver(WM_KILLFOCUS, 0, 0);
}

}  // namespace platform
