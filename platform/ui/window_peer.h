// The toolkit side of a window: a widget that owns the window's backing
// image, presents it on expose, and turns the toolkit's events into the
// window's messages. Inside the layer only.
#pragma once

#include <QPixmap>
#include <QWidget>

#include "platform/gdi/rgn.h"
#include "platform/gdi/surface.h"
#include "platform/ui/wnd.h"

class CWnd;

namespace platform {

struct IconShape;

class WindowPeer : public QWidget {
public:
    WindowPeer(CWnd* owner, QWidget* parent);
    ~WindowPeer() override;

    CWnd* Owner() const { return m_owner; }
    // The window is gone: no more messages; the widget goes when it may.
    void Detach();
    // Another object takes the window over (a dialog's control subclassed by
    // the program's class): it gets the handle, parent, id and style, and
    // `Owner()`'s object lets go of the window.
    void TransferOwner(CWnd* owner);

    Surface& Backing() { return m_backing; }

    // The update region, client pixels, and whether it is to be erased.
    CRgn m_update;
    bool m_erase = false;
    // Adds to the update region (clipped to the client area) and asks for a
    // paint once.
    void AddUpdate(const CRgn& region, bool erase);
    void RequestPaint();
    // Shows the backing image's rectangle on the screen.
    void Present(const RECT& rect);

    // Mouse and key messages the layer made, for the translation.
    void SendMouse(UINT message, QPointF local, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    void Deliver(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void MouseButton(QMouseEvent* event, bool press);

    CWnd* m_owner;
    Surface m_backing;
    bool m_paintRequested = false;
};

// Offers an input message (keys, mouse buttons) to the PreTranslateMessage of
// `peer`'s window and its parents; true when one ate it.
bool PreTranslateInput(WindowPeer* peer, UINT message, WPARAM wParam, LPARAM lParam);

// The picture of an icon; null for none.
QPixmap IconPixmap(const IconShape* icon);

// Keys held down, as the key messages told them; cleared when the program
// loses the keyboard.
void NoteKey(int virtualKey, bool down);
bool KeyHeld(int virtualKey);

// Whether `peer` is a window that still exists (not yet detached).
bool IsLiveWindow(const WindowPeer* peer);
// Asks every window with an update region for its paint (after a tracking
// loop, during which paints wait).
void RequestPendingPaints();

// Layer-wide mouse state shared by the translation and the capture.
CWnd* CaptureWindow();
void SetCaptureWindow(CWnd* wnd);

// Key messages: the virtual-key code of a toolkit key, 0 for none.
int VirtualKeyOf(int qtKey);
// MK_ flags of a toolkit mouse state.
UINT MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

// The window whose WM_SETCURSOR is being handled: SetCursor sets its cursor.
WindowPeer* CursorMessageWindow();

// The last pointer position seen in an event, screen pixels.
void NotePointer(QPoint global);
bool PointerSeen(QPoint* global);

// Tracking loops (PeekMessage): translated messages are queued instead of
// dispatched while one runs.
bool Tracking();
void QueueMessage(const MSG& msg);

}  // namespace platform
