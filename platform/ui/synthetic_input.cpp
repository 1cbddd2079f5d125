#include "platform/ui/synthetic_input.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>

#include "platform/ui/window_peer.h"

namespace platform {

namespace {

Qt::MouseButtons ButtonsOf(UINT buttons)
{
    Qt::MouseButtons result;
    if (buttons & MK_LBUTTON)
        result |= Qt::LeftButton;
    if (buttons & MK_RBUTTON)
        result |= Qt::RightButton;
    if (buttons & MK_MBUTTON)
        result |= Qt::MiddleButton;
    return result;
}

Qt::KeyboardModifiers ModifiersOf(UINT keys)
{
    Qt::KeyboardModifiers result;
    if (keys & MK_SHIFT)
        result |= Qt::ShiftModifier;
    if (keys & MK_CONTROL)
        result |= Qt::ControlModifier;
    return result;
}

int QtKeyOf(int virtualKey)
{
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return Qt::Key_A + (virtualKey - 'A');
    if (virtualKey >= '0' && virtualKey <= '9')
        return Qt::Key_0 + (virtualKey - '0');
    if (virtualKey >= VK_F1 && virtualKey <= VK_F12)
        return Qt::Key_F1 + (virtualKey - VK_F1);
    // Every other key the translation knows, found through it.
    for (int key = Qt::Key_Escape; key <= Qt::Key_Direction_R; ++key)
        if (VirtualKeyOf(key) == virtualKey)
            return key;
    for (int key = Qt::Key_Space; key <= Qt::Key_AsciiTilde; ++key)
        if (VirtualKeyOf(key) == virtualKey)
            return key;
    return 0;
}

}  // namespace

void SendMouseInput(CWnd* wnd, MouseAction action, MouseButton button, POINT client, UINT buttons, UINT keys)
{
    WindowPeer* peer = wnd ? wnd->GetPeer() : nullptr;
    if (!peer)
        return;
    if (action == MouseAction::Leave) {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(peer, &leave);
        return;
    }
    const QPointF local(client.x, client.y);
    const QPointF global = QPointF(peer->mapToGlobal(QPoint(client.x, client.y)));
    Qt::MouseButton qtButton = Qt::NoButton;
    switch (button) {
    case MouseButton::Left:
        qtButton = Qt::LeftButton;
        break;
    case MouseButton::Right:
        qtButton = Qt::RightButton;
        break;
    case MouseButton::Middle:
        qtButton = Qt::MiddleButton;
        break;
    case MouseButton::None:
        break;
    }
    QEvent::Type type = QEvent::MouseMove;
    switch (action) {
    case MouseAction::Press:
        type = QEvent::MouseButtonPress;
        break;
    case MouseAction::Release:
        type = QEvent::MouseButtonRelease;
        break;
    case MouseAction::DoubleClick:
        type = QEvent::MouseButtonDblClick;
        break;
    case MouseAction::Move:
    case MouseAction::Leave:
        qtButton = Qt::NoButton;
        break;
    }
    QMouseEvent event(type, local, global, qtButton, ButtonsOf(buttons), ModifiersOf(keys));
    QCoreApplication::sendEvent(peer, &event);
}

void SendKeyInput(CWnd* wnd, int virtualKey, bool press, bool autoRepeat, UINT keys)
{
    WindowPeer* peer = wnd ? wnd->GetPeer() : nullptr;
    const int key = QtKeyOf(virtualKey);
    if (!peer || !key)
        return;
    QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key, ModifiersOf(keys), QString(), autoRepeat);
    QCoreApplication::sendEvent(peer, &event);
}

Surface GrabPresented(CWnd* wnd)
{
    WindowPeer* peer = wnd ? wnd->GetPeer() : nullptr;
    if (!peer)
        return Surface();
    const QImage image = peer->grab().toImage().convertToFormat(QImage::Format_RGB32);
    Surface surface(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            surface.SetPixel(x, y, RGB(qRed(row[x]), qGreen(row[x]), qBlue(row[x])));
    }
    return surface;
}

}  // namespace platform
