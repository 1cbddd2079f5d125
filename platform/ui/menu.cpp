#include "platform/ui/menu.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <algorithm>
#include <iterator>
#include <map>

#include "platform/core/cmd_ui.h"
#include "platform/core/hooks.h"
#include "platform/ui/win_app.h"
#include "platform/ui/window_peer.h"

namespace {

// Where a menu item's state goes when an update handler sets it.
class MenuItemUI : public CCmdUI {
public:
    explicit MenuItemUI(CMenu::Item& item) : CCmdUI(item.id), m_item(item) {}
    void Enable(BOOL on) override
    {
        CCmdUI::Enable(on);
        m_item.state = on ? (m_item.state & ~(MF_GRAYED | MF_DISABLED)) : (m_item.state | MF_GRAYED);
    }
    void SetCheck(int check) override
    {
        CCmdUI::SetCheck(check);
        m_item.state = check ? (m_item.state | MF_CHECKED) : (m_item.state & ~MF_CHECKED);
    }
    void SetRadio(BOOL on) override { SetCheck(on ? 1 : 0); }
    void SetText(const char* text) override
    {
        CCmdUI::SetText(text);
        if (text)
            m_item.text = text;
    }

private:
    CMenu::Item& m_item;
};

}  // namespace

CMenu::CMenu() = default;

CMenu::~CMenu()
{
    DestroyMenu();
}

BOOL CMenu::LoadMenu(UINT id)
{
    return LoadMenu(MAKEINTRESOURCE(id));
}

BOOL CMenu::LoadMenu(const char* name)
{
    DestroyMenu();
    const std::vector<uint8_t> bytes = platform::ResourceBytes(nullptr, name, RT_MENU);
    std::vector<platform::MenuItemTemplate> items;
    if (bytes.empty() || !platform::ParseMenuTemplate(bytes.data(), bytes.size(), items))
        return FALSE;
    Build(items);
    m_loaded = true;
    return TRUE;
}

BOOL CMenu::CreateMenu()
{
    DestroyMenu();
    m_loaded = true;
    return TRUE;
}

void CMenu::Build(const std::vector<platform::MenuItemTemplate>& items)
{
    for (const platform::MenuItemTemplate& source : items) {
        Item item;
        item.text = source.text.c_str();
        item.state = source.flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
        if (source.flags & MF_POPUP) {
            item.state |= MF_POPUP;
            item.popup = std::make_unique<CMenu>();
            item.popup->Build(source.children);
            item.popup->m_loaded = true;
        } else {
            item.id = source.id;
            // The compiler writes a separator as an item with no id and no text.
            if (source.id == 0 && source.text.empty())
                item.state |= MF_SEPARATOR;
        }
        m_items.push_back(std::move(item));
    }
}

BOOL CMenu::DestroyMenu()
{
    // A window still showing this menu loses its bar.
    platform::DetachMenuEverywhere(this);
    const bool had = m_loaded;
    m_items.clear();
    m_loaded = false;
    return had ? TRUE : FALSE;
}

UINT CMenu::GetMenuItemCount() const
{
    return static_cast<UINT>(m_items.size());
}

UINT CMenu::GetMenuItemID(int position) const
{
    if (position < 0 || static_cast<size_t>(position) >= m_items.size())
        return 0;
    const Item& item = m_items[static_cast<size_t>(position)];
    return item.popup ? static_cast<UINT>(-1) : item.id;
}

CMenu* CMenu::GetSubMenu(int position) const
{
    if (position < 0 || static_cast<size_t>(position) >= m_items.size())
        return nullptr;
    return m_items[static_cast<size_t>(position)].popup.get();
}

const CMenu::Item* CMenu::Find(UINT item, UINT flags) const
{
    if (flags & MF_BYPOSITION)
        return item < m_items.size() ? &m_items[item] : nullptr;
    for (const Item& candidate : m_items) {
        if (!candidate.popup && !(candidate.state & MF_SEPARATOR) && candidate.id == item)
            return &candidate;
        if (candidate.popup)
            if (const Item* inner = candidate.popup->Find(item, flags))
                return inner;
    }
    return nullptr;
}

CMenu::Item* CMenu::Find(UINT item, UINT flags)
{
    return const_cast<Item*>(static_cast<const CMenu*>(this)->Find(item, flags));
}

int CMenu::GetMenuString(UINT item, CString& text, UINT flags) const
{
    const Item* found = Find(item, flags);
    text = found ? found->text : CString();
    return text.GetLength();
}

UINT CMenu::EnableMenuItem(UINT item, UINT enable)
{
    Item* found = Find(item, enable & MF_BYPOSITION);
    if (!found)
        return static_cast<UINT>(-1);
    const UINT previous = found->state & (MF_GRAYED | MF_DISABLED);
    found->state = (found->state & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return previous;
}

UINT CMenu::CheckMenuItem(UINT item, UINT check)
{
    Item* found = Find(item, check & MF_BYPOSITION);
    if (!found)
        return static_cast<UINT>(-1);
    const UINT previous = found->state & MF_CHECKED;
    found->state = (found->state & ~MF_CHECKED) | (check & MF_CHECKED);
    return previous;
}

UINT CMenu::GetMenuState(UINT item, UINT flags) const
{
    const Item* found = Find(item, flags);
    return found ? found->state : static_cast<UINT>(-1);
}

void CMenu::ShowRecentFiles()
{
    const auto isRecent = [](const Item& item) {
        return !item.popup && !(item.state & MF_SEPARATOR) && item.id >= ID_FILE_MRU_FILE1 && item.id <= ID_FILE_MRU_LAST;
    };
    const auto first = std::find_if(m_items.begin(), m_items.end(), isRecent);
    if (first == m_items.end())
        return;
    const CWinApp* app = AfxGetApp();
    std::vector<Item> entries;
    const std::vector<CString> none;
    const std::vector<CString>& files = app ? app->GetRecentFiles() : none;
    for (size_t i = 0; i < files.size() && i <= ID_FILE_MRU_LAST - ID_FILE_MRU_FILE1; ++i) {
        // The file's own name, after either kind of folder separator.
        const std::string full(files[i].c_str());
        const size_t slash = full.find_last_of("/\\");
        std::string name;
        // An ampersand of the name is shown, not taken as the item's key.
        for (const char c : slash == std::string::npos ? full : full.substr(slash + 1))
            name += c == '&' ? std::string("&&") : std::string(1, c);
        Item entry;
        entry.id = ID_FILE_MRU_FILE1 + static_cast<UINT>(i);
        entry.text.Format("&%u %s", static_cast<unsigned>(i + 1), name.c_str());
        entries.push_back(std::move(entry));
    }
    // With no file yet the place keeps its name, greyed by its update.
    if (entries.empty()) {
        Item place;
        place.id = ID_FILE_MRU_FILE1;
        place.text = "Recent File";
        entries.push_back(std::move(place));
    }
    const auto at = m_items.erase(first, std::find_if_not(first, m_items.end(), isRecent));
    m_items.insert(at, std::make_move_iterator(entries.begin()), std::make_move_iterator(entries.end()));
}

void CMenu::UpdateCommandUI(CCmdTarget* target)
{
    ShowRecentFiles();
    for (Item& item : m_items) {
        if (item.popup) {
            item.popup->UpdateCommandUI(target);
            continue;
        }
        if (item.state & MF_SEPARATOR)
            continue;
        MenuItemUI ui(item);
        ui.m_nIndex = static_cast<UINT>(&item - m_items.data());
        ui.DoUpdate(target, TRUE);
    }
}

// --- Accelerators ------------------------------------------------------------------

HACCEL LoadAccelerators(HINSTANCE instance, const char* name)
{
    // Tables are few and small; they stay until the program ends, as the
    // system keeps a loaded table.
    static std::vector<std::unique_ptr<AcceleratorTable>> loaded;
    const std::vector<uint8_t> bytes = platform::ResourceBytes(instance, name, RT_ACCELERATOR);
    auto table = std::make_unique<AcceleratorTable>();
    if (bytes.empty() || !platform::ParseAcceleratorTable(bytes.data(), bytes.size(), table->entries))
        return nullptr;
    loaded.push_back(std::move(table));
    return loaded.back().get();
}

int TranslateAccelerator(CWnd* wnd, HACCEL table, const MSG* msg)
{
    if (!wnd || !wnd->GetSafeHwnd() || !table || !msg)
        return 0;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)
        return 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0 || msg->message == WM_SYSKEYDOWN;
    for (const platform::AcceleratorEntry& entry : table->entries) {
        // Character entries answer WM_CHAR, which the layer does not make.
        if (!(entry.flags & FVIRTKEY) || entry.key != msg->wParam)
            continue;
        if (((entry.flags & FSHIFT) != 0) != shift || ((entry.flags & FCONTROL) != 0) != control ||
            ((entry.flags & FALT) != 0) != alt)
            continue;
        wnd->SendMessage(WM_COMMAND, MAKELONG(entry.command, 1), 0);
        return 1;
    }
    return 0;
}

// --- The menu bar ----------------------------------------------------------------------

namespace platform {

namespace {

struct Bar {
    CMenu* menu = nullptr;
    QPointer<QMenuBar> widget;
    int height = 0;
};

std::map<const WindowPeer*, Bar>& Bars()
{
    static std::map<const WindowPeer*, Bar> bars;
    return bars;
}

void FillMenu(QMenu* target, CMenu* menu, CWnd* wnd);

// Keeps a menu bar as wide as the frame it lies on.
class BarWidth : public QObject {
public:
    explicit BarWidth(QMenuBar* bar) : QObject(bar), m_bar(bar) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize && watched == m_bar->parentWidget())
            m_bar->setGeometry(0, 0, m_bar->parentWidget()->width(), m_bar->sizeHint().height());
        return false;
    }

private:
    QMenuBar* m_bar;
};

void SyncActions(QMenu* target, CMenu* menu, CWnd* wnd)
{
    target->clear();
    FillMenu(target, menu, wnd);
}

void FillMenu(QMenu* target, CMenu* menu, CWnd* wnd)
{
    QPointer<WindowPeer> peer(wnd->GetSafeHwnd());
    for (const CMenu::Item& item : menu->Items()) {
        if (item.state & MF_SEPARATOR) {
            target->addSeparator();
            continue;
        }
        QString text = QString::fromUtf8(item.text.c_str());
        if (item.popup) {
            QMenu* sub = target->addMenu(text);
            CMenu* popup = item.popup.get();
            QObject::connect(sub, &QMenu::aboutToShow, sub, [sub, popup, peer] {
                if (peer && peer->Owner()) {
                    popup->UpdateCommandUI(peer->Owner());
                    SyncActions(sub, popup, peer->Owner());
                }
            });
            continue;
        }
        QString shortcutText;
        const qsizetype tab = text.indexOf('\t');
        if (tab >= 0) {
            shortcutText = text.mid(tab + 1);
            text = text.left(tab);
        }
        QAction* action = target->addAction(tab >= 0 ? text + '\t' + shortcutText : text);
        action->setEnabled(!(item.state & (MF_GRAYED | MF_DISABLED)));
        action->setCheckable((item.state & MF_CHECKED) != 0);
        action->setChecked((item.state & MF_CHECKED) != 0);
        const UINT id = item.id;
        QObject::connect(action, &QAction::triggered, action, [peer, id] {
            if (peer && peer->Owner())
                peer->Owner()->PostMessage(WM_COMMAND, id, 0);
        });
    }
}

}  // namespace

void AttachMenuBar(CWnd* wnd, CMenu* menu)
{
    WindowPeer* peer = wnd ? wnd->GetSafeHwnd() : nullptr;
    if (!peer)
        return;
    Bar& bar = Bars()[peer];
    delete bar.widget.data();
    bar.menu = menu;
    if (!menu) {
        Bars().erase(peer);
        ApplyMinTrackSize(wnd);
        return;
    }
    QObject::connect(peer, &QObject::destroyed, [peer] { Bars().erase(peer); });
    auto* widget = new QMenuBar(peer);
    for (const CMenu::Item& item : menu->Items()) {
        if (!item.popup)
            continue;
        QMenu* sub = widget->addMenu(QString::fromUtf8(item.text.c_str()));
        CMenu* popup = item.popup.get();
        QPointer<WindowPeer> alive(peer);
        QObject::connect(sub, &QMenu::aboutToShow, sub, [sub, popup, alive] {
            if (alive && alive->Owner()) {
                popup->UpdateCommandUI(alive->Owner());
                SyncActions(sub, popup, alive->Owner());
            }
        });
    }
    // Over the top of the client area: the frame's layout is its own. The
    // bar follows the frame's width.
    widget->setGeometry(0, 0, peer->width(), widget->sizeHint().height());
    peer->installEventFilter(new BarWidth(widget));
    widget->show();
    widget->raise();
    bar.widget = widget;
    bar.height = widget->sizeHint().height();
    ApplyMinTrackSize(wnd);
}

void DetachMenuEverywhere(const CMenu* menu)
{
    std::vector<WindowPeer*> showing;
    for (const auto& [peer, bar] : Bars())
        if (bar.menu == menu)
            showing.push_back(const_cast<WindowPeer*>(peer));
    for (WindowPeer* peer : showing) {
        auto it = Bars().find(peer);
        if (it == Bars().end())
            continue;
        delete it->second.widget.data();
        Bars().erase(it);
        if (peer->Owner())
            ApplyMinTrackSize(peer->Owner());
    }
}

std::vector<CString> OpenMenuBarPopup(CWnd* wnd, int position)
{
    std::vector<CString> texts;
    WindowPeer* peer = wnd ? wnd->GetSafeHwnd() : nullptr;
    auto it = Bars().find(peer);
    if (it == Bars().end() || !it->second.widget)
        return texts;
    const QList<QAction*> tops = it->second.widget->actions();
    if (position < 0 || position >= tops.size() || !tops[position]->menu())
        return texts;
    QMenu* sub = tops[position]->menu();
    emit sub->aboutToShow();
    for (QAction* action : sub->actions())
        texts.emplace_back(action->isSeparator() ? "" : action->text().toUtf8().constData());
    return texts;
}

int MenuBarHeight(const CWnd* wnd)
{
    WindowPeer* peer = wnd ? wnd->GetSafeHwnd() : nullptr;
    auto it = Bars().find(peer);
    return it == Bars().end() || !it->second.widget ? 0 : it->second.height;
}

CMenu* AttachedMenu(const CWnd* wnd)
{
    WindowPeer* peer = wnd ? wnd->GetSafeHwnd() : nullptr;
    auto it = Bars().find(peer);
    return it == Bars().end() ? nullptr : it->second.menu;
}

BOOL ChooseMenuItem(CWnd* wnd, UINT id)
{
    CMenu* menu = AttachedMenu(wnd);
    if (!menu || menu->GetMenuState(id, MF_BYCOMMAND) == static_cast<UINT>(-1))
        return FALSE;
    wnd->SendMessage(WM_COMMAND, id, 0);
    return TRUE;
}

namespace {

// The bar's title and the index of the item holding `id` in its popup.
struct BarPlace {
    QMenuBar* bar = nullptr;
    QAction* title = nullptr;
    CMenu* popup = nullptr;
    int item = -1;
};

BarPlace FindOnBar(CWnd* wnd, UINT id)
{
    WindowPeer* peer = wnd ? wnd->GetSafeHwnd() : nullptr;
    auto it = Bars().find(peer);
    if (it == Bars().end() || !it->second.widget || !it->second.menu)
        return {};
    const QList<QAction*> titles = it->second.widget->actions();
    int position = 0;
    for (const CMenu::Item& top : it->second.menu->Items()) {
        if (!top.popup)
            continue;
        const std::vector<CMenu::Item>& items = top.popup->Items();
        for (size_t i = 0; i < items.size(); ++i)
            if (!items[i].popup && !(items[i].state & MF_SEPARATOR) && items[i].id == id && position < titles.size())
                return {it->second.widget.data(), titles[position], top.popup.get(), static_cast<int>(i)};
        ++position;
    }
    return {};
}

RECT ToRect(const QRect& r)
{
    return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

}  // namespace

BOOL MenuBarTitleRect(CWnd* wnd, UINT id, RECT* rect)
{
    const BarPlace place = FindOnBar(wnd, id);
    if (!place.bar || !rect)
        return FALSE;
    *rect = ToRect(place.bar->actionGeometry(place.title).translated(place.bar->pos()));
    return TRUE;
}

BOOL MenuBarItemRect(CWnd* wnd, UINT id, RECT* rect, SIZE* popupSize)
{
    const BarPlace before = FindOnBar(wnd, id);
    QMenu* sub = before.title ? before.title->menu() : nullptr;
    if (!sub || !rect)
        return FALSE;
    // Filled as it is when it opens: the recent files may change its items.
    emit sub->aboutToShow();
    const BarPlace place = FindOnBar(wnd, id);
    const QList<QAction*> actions = sub->actions();
    if (place.item < 0 || place.item >= actions.size())
        return FALSE;
    sub->ensurePolished();
    sub->adjustSize();
    *rect = ToRect(sub->actionGeometry(actions[place.item]));
    if (popupSize)
        *popupSize = SIZE{sub->width(), sub->height()};
    return TRUE;
}

}  // namespace platform
