// The toolkit's file dialog for choosing where a document is saved.
#pragma once

#include "platform/core/cstring.h"

class CWnd;

namespace platform {

// Asks for a file to save to, starting at `path` (its folder and name when it
// has them); a name typed without `extension` (".brk") gets it. FALSE when
// cancelled; `path` is then unchanged.
BOOL ChooseSavePath(CWnd* owner, const char* title, const char* filter, const char* extension, CString& path);

}  // namespace platform
