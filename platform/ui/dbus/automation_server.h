// The program's one automation server on the session bus, without Qt in
// sight of its callers: the top object is served under its programmatic id
// until StopAutomationServing.
#pragma once

#include "platform/core/cmd_target.h"
#include "platform/core/cstring.h"

class CAutomationBus;

namespace platform {

// Exports `root` (the server takes a reference of its own) and takes the
// well-known name. FALSE with `problem` saying why: no session bus, or the
// name belongs to another program. TRUE at once when already serving.
BOOL StartAutomationServing(const char* progId, IDispatch* root, CString& problem);
void StopAutomationServing();
// Whether the session announces a bus (its address, or the user bus's
// socket), so that reaching it starts no bus of its own.
bool SessionBusAnnounced();
// Null when not serving.
CAutomationBus* AutomationServingBus();

}  // namespace platform
