// Readers of the binary DIALOG, MENU and ACCELERATORS resources as the
// resource compiler writes them. Every count, offset and string is checked
// against the bytes there are: a damaged resource reads as nothing (false),
// never past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/resources.h"
#include "platform/core/types.h"

inline const char* const RT_BITMAP = MAKEINTRESOURCE(2);
inline const char* const RT_MENU = MAKEINTRESOURCE(4);
inline const char* const RT_DIALOG = MAKEINTRESOURCE(5);
inline const char* const RT_ACCELERATOR = MAKEINTRESOURCE(9);

namespace platform {

// A name or a number, as templates give classes, menus and control texts.
struct NameOrOrdinal {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::string name;  // UTF-8
};

struct DialogItemTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    SHORT x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    DWORD id = 0;
    NameOrOrdinal windowClass;  // ordinals 0x80 button ... 0x85 combo box
    NameOrOrdinal text;
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    SHORT x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::string title;
    WORD pointSize = 0;  // with DS_SETFONT
    std::string typeface;
    std::vector<DialogItemTemplate> items;
};

struct MenuItemTemplate {
    WORD flags = 0;  // MF_ flags as stored, without MF_END
    WORD id = 0;
    std::string text;  // UTF-8, "&" marks and "\t" accelerator text kept
    std::vector<MenuItemTemplate> children;  // for MF_POPUP
};

struct AcceleratorEntry {
    BYTE flags = 0;  // FVIRTKEY, FSHIFT, FCONTROL, FALT
    WORD key = 0;    // virtual key with FVIRTKEY, else a character
    WORD command = 0;
};

constexpr WORD DIALOG_CLASS_BUTTON = 0x80;
constexpr WORD DIALOG_CLASS_EDIT = 0x81;
constexpr WORD DIALOG_CLASS_STATIC = 0x82;
constexpr WORD DIALOG_CLASS_LISTBOX = 0x83;

// Each answers false, and leaves `out` empty, on a malformed resource.
bool ParseDialogTemplate(const uint8_t* data, size_t size, DialogTemplate& out);
// Standard menus (version 0); extended ones are refused.
bool ParseMenuTemplate(const uint8_t* data, size_t size, std::vector<MenuItemTemplate>& out);
bool ParseAcceleratorTable(const uint8_t* data, size_t size, std::vector<AcceleratorEntry>& out);

// Where dialogs, menus and accelerators are looked up when no module is
// named: the program's resources unless another module is set (null goes
// back to them). Answers the module it replaced.
HMODULE SetTemplateModule(HMODULE module);
HMODULE TemplateModule();

// The bytes of a resource of `module` (TemplateModule() for null); empty
// when missing.
std::vector<uint8_t> ResourceBytes(HMODULE module, const char* name, const char* type);

}  // namespace platform

