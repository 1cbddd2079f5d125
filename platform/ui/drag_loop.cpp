#include "platform/ui/drag_loop.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include "platform/core/tick_count.h"
#include "platform/ui/app.h"
#include "platform/ui/window_peer.h"

namespace platform {

namespace {

// The drag is over unless the window still shows and still holds the capture.
bool DragCanGoOn(CWnd* wnd)
{
    return wnd && wnd->GetPeer() && wnd->IsWindowVisible() && CWnd::GetCapture() == wnd;
}

}  // namespace

void GetDragMessage(CWnd* wnd, LPARAM lastPoint, MSG* msg)
{
    for (;;) {
        if (!DragCanGoOn(wnd)) {
            *msg = MSG{};
            msg->hwnd = wnd ? wnd->GetPeer() : nullptr;
            msg->message = WM_LBUTTONUP;
            msg->lParam = lastPoint;
            msg->time = GetTickCount();
            return;
        }
        if (::PeekMessage(msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE))
            return;
        // Until input arrives; a capture taken away arrives as a message too.
        ::WaitMessage();
    }
}

void PostMouseInput(CWnd* wnd, UINT message, POINT client, UINT keyFlags)
{
    WindowPeer* peer = wnd ? wnd->GetPeer() : nullptr;
    if (!peer)
        return;
    QEvent::Type type = QEvent::MouseMove;
    Qt::MouseButton button = Qt::NoButton;
    switch (message) {
    case WM_LBUTTONDOWN:
        type = QEvent::MouseButtonPress;
        button = Qt::LeftButton;
        break;
    case WM_LBUTTONUP:
        type = QEvent::MouseButtonRelease;
        button = Qt::LeftButton;
        break;
    case WM_RBUTTONDOWN:
        type = QEvent::MouseButtonPress;
        button = Qt::RightButton;
        break;
    case WM_RBUTTONUP:
        type = QEvent::MouseButtonRelease;
        button = Qt::RightButton;
        break;
    default:
        break;
    }
    Qt::MouseButtons buttons;
    if (keyFlags & MK_LBUTTON)
        buttons |= Qt::LeftButton;
    if (keyFlags & MK_RBUTTON)
        buttons |= Qt::RightButton;
    Qt::KeyboardModifiers modifiers;
    if (keyFlags & MK_SHIFT)
        modifiers |= Qt::ShiftModifier;
    if (keyFlags & MK_CONTROL)
        modifiers |= Qt::ControlModifier;
    const QPointF local(client.x, client.y);
    const QPointF global = peer->mapToGlobal(local);
    QCoreApplication::postEvent(peer, new QMouseEvent(type, local, global, button, buttons, modifiers));
}

}  // namespace platform
