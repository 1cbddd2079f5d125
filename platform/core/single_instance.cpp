#include "platform/core/single_instance.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/core/user_paths.h"

namespace platform {
namespace {

bool IsLockName(const char* name)
{
    if (!name || !*name || *name == '.')
        return false;
    const size_t length = std::strlen(name);
    if (length > 200)
        return false;
    for (const char* ch = name; *ch; ++ch) {
        const bool allowed = (*ch >= 'a' && *ch <= 'z') || (*ch >= 'A' && *ch <= 'Z') || (*ch >= '0' && *ch <= '9') ||
                             *ch == '.' || *ch == '_' || *ch == '-';
        if (!allowed)
            return false;
    }
    return true;
}

}  // namespace

std::string InstanceLockPath(const char* name)
{
    if (!IsLockName(name))
        return {};
    const std::string folder = RuntimeFolder();
    return folder.empty() ? std::string() : folder + "/" + name + ".lock";
}

InstanceLock LockSingleInstance(const char* name)
{
    const std::string path = InstanceLockPath(name);
    if (path.empty())
        return InstanceLock::failed;
    // Not inherited by programs started from here, so none of them can keep
    // the lock after this process ends.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return InstanceLock::failed;
    int result;
    do
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held ? InstanceLock::alreadyRunning : InstanceLock::failed;
    }
    // The descriptor stays open on purpose: the lock lives as long as the process.
    return InstanceLock::acquired;
}

}  // namespace platform
