// The services of CWnd that dialogs, controls and frames use beyond drawing
// and input: pre-translation, timers, dropped files, control lookup, styles,
// placement and the active window.
#include <QApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <vector>

#include "platform/core/tick_count.h"
#include "platform/ui/app.h"
#include "platform/ui/controls.h"
#include "platform/ui/cursor.h"
#include "platform/ui/menu.h"
#include "platform/ui/timers.h"
#include "platform/ui/win_app.h"
#include "platform/ui/window_peer.h"

namespace {

bool IsPreTranslated(UINT message)
{
    if (message >= WM_KEYFIRST && message <= WM_KEYLAST)
        return true;
    return message >= WM_LBUTTONDOWN && message <= WM_MOUSELAST;
}

// --- Timers ---------------------------------------------------------------------------

struct Timer {
    QPointer<platform::WindowPeer> peer;
    UINT_PTR id = 0;
    UINT elapse = 0;
    DWORD due = 0;
};

struct TimerTable {
    std::vector<Timer> timers;
    QTimer* wake = nullptr;
};

TimerTable& Timers()
{
    static TimerTable table;
    return table;
}

void DropDeadTimers()
{
    auto& timers = Timers().timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [](const Timer& t) { return !t.peer || !t.peer->Owner(); }),
                 timers.end());
}

void ArmWake()
{
    TimerTable& table = Timers();
    DropDeadTimers();
    if (!qApp)
        return;
    if (!table.wake) {
        table.wake = new QTimer;
        table.wake->setSingleShot(true);
        table.wake->setTimerType(Qt::PreciseTimer);
        QObject::connect(table.wake, &QTimer::timeout, [] { platform::RunDueTimers(); });
    }
    if (table.timers.empty()) {
        table.wake->stop();
        return;
    }
    const DWORD now = GetTickCount();
    LONG soonest = 0x7FFFFFFF;
    for (const Timer& t : table.timers)
        soonest = std::min(soonest, std::max<LONG>(0, static_cast<LONG>(t.due - now)));
    table.wake->start(static_cast<int>(std::min<LONG>(soonest, 0x3FFFFFFF)));
}

}  // namespace

namespace platform {

bool PreTranslateInput(WindowPeer* peer, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!IsPreTranslated(message) || !peer || !peer->Owner())
        return false;
    MSG msg;
    msg.hwnd = peer;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = GetTickCount();
    GetCursorPos(&msg.pt);
    // A handler may destroy windows of the chain: each is checked before it
    // is asked.
    std::vector<QPointer<WindowPeer>> chain;
    for (CWnd* wnd = peer->Owner(); wnd && wnd->GetSafeHwnd(); wnd = wnd->GetParent()) {
        chain.emplace_back(wnd->GetSafeHwnd());
        if (!(wnd->GetStyle() & WS_CHILD))
            break;
    }
    for (const QPointer<WindowPeer>& link : chain) {
        if (!link || !link->Owner())
            return true;
        if (link->Owner()->PreTranslateMessage(&msg))
            return true;
    }
    return !IsLiveWindow(peer) || !peer->Owner();
}

void RunDueTimers()
{
    DropDeadTimers();
    const DWORD now = GetTickCount();
    // Handlers may set and kill timers: work on what was due at the start.
    std::vector<std::pair<QPointer<WindowPeer>, UINT_PTR>> due;
    for (Timer& t : Timers().timers) {
        if (static_cast<LONG>(now - t.due) >= 0) {
            due.emplace_back(t.peer, t.id);
            t.due = now + t.elapse;
        }
    }
    for (auto& [peer, id] : due)
        if (peer && peer->Owner())
            peer->Deliver(WM_TIMER, id, 0);
    ArmWake();
}

size_t ActiveTimerCount()
{
    DropDeadTimers();
    return Timers().timers.size();
}

}  // namespace platform

// --- CWnd ---------------------------------------------------------------------------------

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, void*)
{
    if (!m_hWnd)
        return 0;
    elapse = std::max<UINT>(elapse, 10);
    auto& timers = Timers().timers;
    auto it = std::find_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.peer == m_hWnd && t.id == id; });
    if (it == timers.end())
        it = timers.insert(timers.end(), Timer{m_hWnd, id, 0, 0});
    it->elapse = elapse;
    it->due = GetTickCount() + elapse;
    ArmWake();
    return id;
}

BOOL CWnd::KillTimer(UINT_PTR id)
{
    auto& timers = Timers().timers;
    auto it = std::find_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.peer == m_hWnd && t.id == id; });
    if (!m_hWnd || it == timers.end())
        return FALSE;
    timers.erase(it);
    ArmWake();
    return TRUE;
}

namespace {

// Turns the toolkit's drops of local files into OnDropFiles.
class DropFilter : public QObject {
public:
    explicit DropFilter(QObject* parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* peer = dynamic_cast<platform::WindowPeer*>(watched);
        if (!peer || !peer->Owner())
            return false;
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!LocalFiles(drag->mimeData()).empty()) {
                drag->acceptProposedAction();
                return true;
            }
            return false;
        }
        if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const std::vector<CString> paths = LocalFiles(drop->mimeData());
            if (paths.empty())
                return false;
            drop->acceptProposedAction();
            platform::NoteMessage(WM_DROPFILES);
            peer->Owner()->OnDropFiles(paths);
            return true;
        }
        return false;
    }

private:
    static std::vector<CString> LocalFiles(const QMimeData* data)
    {
        std::vector<CString> paths;
        if (!data)
            return paths;
        for (const QUrl& url : data->urls())
            if (url.isLocalFile() && !url.toLocalFile().isEmpty())
                paths.emplace_back(url.toLocalFile().toUtf8().constData());
        return paths;
    }
};

}  // namespace

void CWnd::DragAcceptFiles(BOOL accept)
{
    if (!m_hWnd)
        return;
    m_hWnd->setAcceptDrops(accept != FALSE);
    // Found by name: the filter class has no meta-object of its own.
    static const QString kFilterName = QStringLiteral("dizado-drop-filter");
    QObject* filter = m_hWnd->findChild<QObject*>(kFilterName, Qt::FindDirectChildrenOnly);
    if (accept && !filter) {
        auto* made = new DropFilter(m_hWnd);
        made->setObjectName(kFilterName);
        m_hWnd->installEventFilter(made);
    } else if (!accept && filter) {
        m_hWnd->removeEventFilter(filter);
        delete filter;
    }
}

void CWnd::OnDropFiles(const std::vector<CString>& paths)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return;
    for (const CString& path : paths)
        app->OpenDocumentFile(path);
}

CWnd* CWnd::GetDlgItem(int id) const
{
    if (!m_hWnd)
        return nullptr;
    for (QObject* object : m_hWnd->children())
        if (auto* peer = dynamic_cast<platform::WindowPeer*>(object))
            if (peer->Owner() && static_cast<int>(peer->Owner()->GetDlgCtrlID()) == id)
                return peer->Owner();
    return nullptr;
}

void CWnd::SetDlgItemText(int id, LPCTSTR text)
{
    if (CWnd* item = GetDlgItem(id))
        item->SetWindowText(text);
}

int CWnd::GetDlgItemText(int id, CString& text) const
{
    text.Empty();
    if (CWnd* item = GetDlgItem(id))
        item->GetWindowText(text);
    return text.GetLength();
}

LRESULT CWnd::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* item = GetDlgItem(id);
    return item ? item->SendMessage(message, wParam, lParam) : 0;
}

void CWnd::CheckDlgButton(int id, UINT check)
{
    SendDlgItemMessage(id, BM_SETCHECK, check);
}

UINT CWnd::IsDlgButtonChecked(int id) const
{
    CWnd* item = GetDlgItem(id);
    return item ? static_cast<UINT>(item->SendMessage(BM_GETCHECK)) : 0;
}

void CWnd::CheckRadioButton(int firstId, int lastId, int checkId)
{
    for (int id = firstId; id <= lastId; ++id)
        SendDlgItemMessage(id, BM_SETCHECK, id == checkId ? BST_CHECKED : BST_UNCHECKED);
}

LONG CWnd::GetWindowLong(int index) const
{
    return index == GWL_STYLE ? static_cast<LONG>(m_dwStyle) : 0;
}

LONG CWnd::SetWindowLong(int index, LONG value)
{
    if (index != GWL_STYLE)
        return 0;
    const LONG previous = static_cast<LONG>(m_dwStyle);
    // Being a child or a top-level window is fixed at creation.
    m_dwStyle = (static_cast<DWORD>(value) & ~WS_CHILD) | (m_dwStyle & WS_CHILD);
    if (m_hWnd && ((previous ^ static_cast<LONG>(m_dwStyle)) & static_cast<LONG>(WS_VISIBLE)))
        m_hWnd->setVisible((m_dwStyle & WS_VISIBLE) != 0);
    return previous;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT)
{
    const DWORD style = (m_dwStyle & ~remove) | add;
    if (style == m_dwStyle)
        return FALSE;
    SetWindowLong(GWL_STYLE, static_cast<LONG>(style));
    return TRUE;
}

void CWnd::CenterWindow(CWnd* alternate)
{
    if (!m_hWnd)
        return;
    RECT area{};
    CWnd* over = alternate ? alternate : ((m_dwStyle & WS_CHILD) ? nullptr : m_pParent);
    if (m_dwStyle & WS_CHILD) {
        if (!m_pParent)
            return;
        m_pParent->GetClientRect(&area);
    } else if (over && over->GetSafeHwnd() && over->IsWindowVisible()) {
        over->GetWindowRect(&area);
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect geometry = screen->availableGeometry();
        area = RECT{geometry.left(), geometry.top(), geometry.left() + geometry.width(), geometry.top() + geometry.height()};
    }
    const int w = m_hWnd->width();
    const int h = m_hWnd->height();
    int x = area.left + (area.right - area.left - w) / 2;
    int y = area.top + (area.bottom - area.top - h) / 2;
    if (!(m_dwStyle & WS_CHILD)) {
        x = std::max<int>(x, area.left);
        y = std::max<int>(y, area.top);
    }
    m_hWnd->move(x, y);
}

BOOL CWnd::SetWindowPos(const CWnd*, int x, int y, int cx, int cy, UINT flags)
{
    if (!m_hWnd)
        return FALSE;
    const QRect now = m_hWnd->geometry();
    const int nx = (flags & SWP_NOMOVE) ? now.x() : x;
    const int ny = (flags & SWP_NOMOVE) ? now.y() : y;
    const int ncx = (flags & SWP_NOSIZE) ? now.width() : cx;
    const int ncy = (flags & SWP_NOSIZE) ? now.height() : cy;
    if (nx != now.x() || ny != now.y() || ncx != now.width() || ncy != now.height())
        MoveWindow(nx, ny, ncx, ncy, (flags & SWP_NOREDRAW) ? FALSE : TRUE);
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(SW_SHOWNA);
    if (flags & SWP_HIDEWINDOW)
        ShowWindow(SW_HIDE);
    return TRUE;
}

void CWnd::SetRedraw(BOOL redraw)
{
    SendMessage(WM_SETREDRAW, redraw ? TRUE : FALSE);
}

BOOL CWnd::SetMenu(CMenu* menu)
{
    if (!m_hWnd || (m_dwStyle & WS_CHILD))
        return FALSE;
    platform::AttachMenuBar(this, menu);
    return TRUE;
}

CMenu* CWnd::GetMenu() const
{
    return platform::AttachedMenu(this);
}

CWnd* CWnd::SetActiveWindow()
{
    CWnd* previous = GetActiveWindow();
    if (m_hWnd) {
        QWidget* top = m_hWnd->window();
        top->activateWindow();
        platform::NoteActiveWindow(GetTopLevelParent());
    }
    return previous;
}

CWnd* CWnd::GetActiveWindow()
{
    return platform::ActiveWindow();
}

CWnd* CWnd::GetWindow(UINT command) const
{
    if (command == GW_CHILD) {
        if (!m_hWnd)
            return nullptr;
        for (QObject* object : m_hWnd->children())
            if (auto* peer = dynamic_cast<platform::WindowPeer*>(object); peer && peer->Owner())
                return peer->Owner();
        return nullptr;
    }
    const std::vector<CWnd*> windows = platform::TopLevelWindows();
    if (command == GW_HWNDFIRST)
        return windows.empty() ? nullptr : windows.front();
    if (command == GW_HWNDNEXT) {
        if (m_dwStyle & WS_CHILD) {
            // Siblings among the parent's children.
            if (!m_pParent || !m_pParent->m_hWnd)
                return nullptr;
            bool seen = false;
            for (QObject* object : m_pParent->m_hWnd->children())
                if (auto* peer = dynamic_cast<platform::WindowPeer*>(object); peer && peer->Owner()) {
                    if (seen)
                        return peer->Owner();
                    seen = peer->Owner() == this;
                }
            return nullptr;
        }
        auto it = std::find(windows.begin(), windows.end(), this);
        if (it == windows.end() || ++it == windows.end())
            return nullptr;
        return *it;
    }
    return nullptr;
}

CWnd* CWnd::GetOwner() const
{
    return m_pParent;
}

void CWnd::SetOwner(CWnd* owner)
{
    if (!(m_dwStyle & WS_CHILD))
        m_pParent = owner;
}
