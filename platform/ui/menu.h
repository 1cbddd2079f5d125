// Menus and accelerator tables built from the MENU and ACCELERATORS
// resources. A frame shows its menu as a bar along its top edge; choosing an
// item sends WM_COMMAND to the frame, which runs it only when the command's
// update handler leaves it enabled. Accelerators are translated in the
// frame's PreTranslateMessage.
#pragma once

#include <memory>
#include <vector>

#include "platform/core/cstring.h"
#include "platform/ui/res_templates.h"
#include "platform/ui/wnd.h"

constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT MF_STRING = 0x0000;

constexpr BYTE FVIRTKEY = 0x01;
constexpr BYTE FNOINVERT = 0x02;
constexpr BYTE FSHIFT = 0x04;
constexpr BYTE FCONTROL = 0x08;
constexpr BYTE FALT = 0x10;

class CMenu {
public:
    CMenu();
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // FALSE (and an empty menu) when the resource is missing or damaged.
    BOOL LoadMenu(UINT id);
    BOOL LoadMenu(const char* name);
    BOOL CreateMenu();
    // Empties the menu and takes it off any window showing it.
    BOOL DestroyMenu();
    bool IsLoaded() const { return m_loaded; }

    UINT GetMenuItemCount() const;
    // The command of the item at `position`; -1 (as UINT) for a popup, 0 for
    // a separator or no item.
    UINT GetMenuItemID(int position) const;
    CMenu* GetSubMenu(int position) const;
    // The item's text (without the accelerator part after the tab kept apart);
    // 0 when there is no such item.
    int GetMenuString(UINT item, CString& text, UINT flags) const;
    // Answer the previous state, or (UINT)-1 for no such item.
    UINT EnableMenuItem(UINT item, UINT enable);
    UINT CheckMenuItem(UINT item, UINT check);
    UINT GetMenuState(UINT item, UINT flags) const;

    struct Item {
        UINT id = 0;
        UINT state = 0;  // MF_GRAYED, MF_CHECKED, MF_SEPARATOR, MF_POPUP
        CString text;
        std::unique_ptr<CMenu> popup;
    };
    const std::vector<Item>& Items() const { return m_items; }

    // The items' state from the command update handlers of `target` (and the
    // route behind it), as before a popup opens. Items without any handler
    // are disabled.
    void UpdateCommandUI(CCmdTarget* target);

private:
    void Build(const std::vector<platform::MenuItemTemplate>& items);
    // The "Recent File" place (ID_FILE_MRU_FILE1 on) becomes the
    // application's recent files, one item each.
    void ShowRecentFiles();
    Item* Find(UINT item, UINT flags);
    const Item* Find(UINT item, UINT flags) const;

    std::vector<Item> m_items;
    bool m_loaded = false;
};

struct AcceleratorTable {
    std::vector<platform::AcceleratorEntry> entries;
};
using HACCEL = AcceleratorTable*;

// Null when the resource is missing or damaged. Tables live until the
// program ends.
HACCEL LoadAccelerators(HINSTANCE instance, const char* name);
// A key-down (WM_KEYDOWN, WM_SYSKEYDOWN) matching an entry with the current
// Shift, Ctrl and Alt state sends WM_COMMAND (id, 1) to `wnd`, which runs it
// only when its update handler leaves it enabled. Answers whether the key
// was an accelerator.
int TranslateAccelerator(CWnd* wnd, HACCEL table, const MSG* msg);

namespace platform {

// The frame's menu bar (SetMenu); null takes it away.
void AttachMenuBar(CWnd* wnd, CMenu* menu);
CMenu* AttachedMenu(const CWnd* wnd);
// The height of `wnd`'s menu bar, which covers the top of its client area;
// 0 without one. A frame lays its controls out below it.
int MenuBarHeight(const CWnd* wnd);
// Takes `menu` off every window showing it.
void DetachMenuEverywhere(const CMenu* menu);
// For tests and keyboard-free use: what choosing the item with `id` from
// `wnd`'s menu bar does. FALSE when the menu has no such item.
BOOL ChooseMenuItem(CWnd* wnd, UINT id);
// For tests: what the bar's popup at `position` shows when it opens (its
// items' texts after their update handlers ran; "" for a separator).
std::vector<CString> OpenMenuBarPopup(CWnd* wnd, int position);
// For tests that drive the bar with a real pointer: where the bar's title
// whose popup holds the command `id` sits in `wnd`'s client area, and where
// that command's item sits in its popup once it opens, with the popup's size.
// FALSE when no popup of the bar holds `id`.
BOOL MenuBarTitleRect(CWnd* wnd, UINT id, RECT* rect);
BOOL MenuBarItemRect(CWnd* wnd, UINT id, RECT* rect, SIZE* popupSize);

}  // namespace platform
