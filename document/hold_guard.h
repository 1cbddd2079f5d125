// Scope guard for the program-wide brick invalidation switch. The pane holds
// have their own guard in the model (CPaneHold).
#pragma once

#include "model/brick.h"

// Turns single-brick invalidation off while bricks move between groups
// without changing on screen, and back on however the scope is left.
class CBrickInvalidationPause {
public:
    CBrickInvalidationPause() { CBrick::SetBrickInvalidation(FALSE); }
    ~CBrickInvalidationPause() { CBrick::SetBrickInvalidation(TRUE); }
    CBrickInvalidationPause(const CBrickInvalidationPause&) = delete;
    CBrickInvalidationPause& operator=(const CBrickInvalidationPause&) = delete;
};
