// One running copy per user: the first copy holds an advisory lock on a file
// in the runtime folder for as long as it runs. The system drops the lock when
// the process ends, however it ends, so a crash never leaves a stale one.
#pragma once

#include <string>

namespace platform {

enum class InstanceLock {
    acquired,        // this process now holds the lock until it ends
    alreadyRunning,  // another process (or an earlier call here) holds it
    failed,          // no lock could be had: bad name, no folder, no file
};

// Takes the lock named `name` (letters, digits, ".", "_" and "-"; not
// starting with ".") for the rest of the process.
InstanceLock LockSingleInstance(const char* name);

// The lock file for `name`; empty when the name is refused or there is no
// runtime folder.
std::string InstanceLockPath(const char* name);

}  // namespace platform
