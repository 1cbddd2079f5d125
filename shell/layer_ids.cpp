// The class library's own commands and dialog buttons, as the resource script
// writes them and as the platform layer handles them. The layer cannot
// include the program's ids header, so the two spellings meet here: a value
// that drifts on either side stops the build.
#include "platform/core/hooks.h"
#include "platform/ui/document.h"
#include "platform/ui/view.h"
#include "platform/ui/win_app.h"
#include "resources/dialog_ids.h"
#include "resources/resource_ids.h"

static_assert(IDM_FILE_NEW == ID_FILE_NEW);
static_assert(IDM_FILE_OPEN == ID_FILE_OPEN);
static_assert(IDM_FILE_SAVE == ID_FILE_SAVE);
static_assert(IDM_FILE_SAVE_AS == ID_FILE_SAVE_AS);
static_assert(IDM_FILE_PRINT_SETUP == ID_FILE_PRINT_SETUP);
static_assert(IDM_FILE_PRINT == ID_FILE_PRINT);
static_assert(IDM_FILE_PRINT_PREVIEW == ID_FILE_PRINT_PREVIEW);
static_assert(IDM_FILE_MRU_FIRST == ID_FILE_MRU_FILE1);
static_assert(IDM_FILE_MRU_LAST == ID_FILE_MRU_LAST);
static_assert(IDM_APP_ABOUT == ID_APP_ABOUT);
static_assert(IDM_APP_EXIT == ID_APP_EXIT);
static_assert(IDM_HELP_INDEX == ID_HELP_INDEX);
static_assert(IDM_HELP_USING == ID_HELP_USING);
static_assert(IDM_CONTEXT_HELP == ID_CONTEXT_HELP);
static_assert(IDM_HELP == ID_HELP);
static_assert(IDM_DEFAULT_HELP == ID_DEFAULT_HELP);

static_assert(RC_IDOK == IDOK);
static_assert(RC_IDCANCEL == IDCANCEL);
