// The controls the screen tests click, by the names the program gives their
// ids: NAME or NAME+N for the N-th of a run (IDM_COLOR_FIRST+3, the fourth
// colour; IDM_BRICK_LIST+2, the third row of the brick list).
#pragma once

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "platform/ui/wnd.h"
#include "resources/dialog_ids.h"
#include "resources/resource_ids.h"

namespace screen {

struct ControlName {
    const char* name;
    UINT id;
};

inline constexpr ControlName kControlNames[] = {
    {"IDOK", IDOK},
    {"IDCANCEL", IDCANCEL},
    {"AFX_IDW_PANE_FIRST", AFX_IDW_PANE_FIRST},
    {"IDM_TOOL_SELECT", IDM_TOOL_SELECT},
    {"IDM_TOOL_PAINT", IDM_TOOL_PAINT},
    {"IDM_TOOL_NEW_BRICK", IDM_TOOL_NEW_BRICK},
    {"IDM_TOOL_ERASE", IDM_TOOL_ERASE},
    {"IDM_MOVE_BACK_LEFT", IDM_MOVE_BACK_LEFT},
    {"IDM_MOVE_UP", IDM_MOVE_UP},
    {"IDM_MOVE_BACK_RIGHT", IDM_MOVE_BACK_RIGHT},
    {"IDM_TURN_LEFT", IDM_TURN_LEFT},
    {"IDM_MOVE_FRONT_LEFT", IDM_MOVE_FRONT_LEFT},
    {"IDM_MOVE_DOWN", IDM_MOVE_DOWN},
    {"IDM_MOVE_FRONT_RIGHT", IDM_MOVE_FRONT_RIGHT},
    {"IDM_TURN_RIGHT", IDM_TURN_RIGHT},
    {"IDM_COLOR_FIRST", IDM_COLOR_FIRST},
    {"IDM_LIST_PAGE_UP", IDM_LIST_PAGE_UP},
    {"IDM_LIST_PAGE_DOWN", IDM_LIST_PAGE_DOWN},
    {"IDM_BRICK_LIST", IDM_BRICK_LIST},
    {"IDM_BACKGROUND", IDM_BACKGROUND},
    {"IDM_FILE_NEW", IDM_FILE_NEW},
    {"IDM_FILE_OPEN", IDM_FILE_OPEN},
    {"IDM_FILE_SAVE", IDM_FILE_SAVE},
    {"IDM_FILE_PRINT", IDM_FILE_PRINT},
    {"IDM_EDIT_UNDO", IDM_EDIT_UNDO},
    {"IDM_APP_EXIT", IDM_APP_EXIT},
    {"IDM_APP_ABOUT", IDM_APP_ABOUT},
    {"IDC_SIGNIN_NAMES", IDC_SIGNIN_NAMES},
    {"IDC_SIGNIN_NAME", IDC_SIGNIN_NAME},
    {"IDC_BROWSER_TRASH", IDC_BROWSER_TRASH},
    {"IDC_BROWSER_UP", IDC_BROWSER_UP},
    {"IDC_BROWSER_DOWN", IDC_BROWSER_DOWN},
    {"IDC_BROWSER_BASE", IDC_BROWSER_BASE},
    {"IDC_BROWSER_THUMB_FIRST", IDC_BROWSER_THUMB_FIRST},
    {"IDC_BROWSER_COLOR_FIRST", IDC_BROWSER_COLOR_FIRST},
};

struct NamedControl {
    UINT id;   // the named id
    int index; // N of NAME+N, else 0
};

// Nothing for a name the table lacks or a bad index.
inline std::optional<NamedControl> FindControl(const char* text)
{
    const std::string whole = text ? text : "";
    const size_t plus = whole.find('+');
    const std::string name = whole.substr(0, plus);
    int index = 0;
    if (plus != std::string::npos) {
        const std::string digits = whole.substr(plus + 1);
        if (digits.empty() || digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        index = std::atoi(digits.c_str());
    }
    for (const ControlName& entry : kControlNames)
        if (name == entry.name)
            return NamedControl{entry.id, index};
    return std::nullopt;
}

}  // namespace screen
