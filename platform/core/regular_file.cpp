#include "platform/core/regular_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace platform {
namespace {

// Files of the kernel's pseudo file systems report a size of 0 or 4096 and
// may never end; none of them is anything the program reads.
bool OnPseudoFileSystem(int fd)
{
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0)
        return false;
    constexpr long kProcMagic = 0x9fa0;
    constexpr long kSysfsMagic = 0x62656572;
    constexpr long kDebugfsMagic = 0x64626720;
    constexpr long kSecurityfsMagic = 0x73636673;
    const long type = static_cast<long>(info.f_type);
    return type == kProcMagic || type == kSysfsMagic || type == kDebugfsMagic || type == kSecurityfsMagic;
}

bool IsUsable(int fd)
{
    struct stat status {};
    return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && !OnPseudoFileSystem(fd);
}

int FlagsForMode(const char* mode)
{
    const bool plus = std::strchr(mode, '+') != nullptr;
    switch (mode[0]) {
    case 'r':
        return plus ? O_RDWR : O_RDONLY;
    case 'w':
        return (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
    case 'a':
        return (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
    default:
        return -1;
    }
}

}  // namespace

int OpenRegularFile(const std::string& nativePath, int flags, mode_t mode)
{
    // O_NONBLOCK keeps the open itself from waiting for a FIFO's other end;
    // a device's open may still do work, but answers at once.
    const int fd = ::open(nativePath.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, mode);
    if (fd < 0)
        return -1;
    if (!IsUsable(fd)) {
        ::close(fd);
        errno = kNotRegularFile;
        return -1;
    }
    const int status = ::fcntl(fd, F_GETFL);
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

std::FILE* OpenRegularStream(const std::string& nativePath, const char* mode)
{
    const int flags = mode ? FlagsForMode(mode) : -1;
    if (flags < 0) {
        errno = EINVAL;
        return nullptr;
    }
    const int fd = OpenRegularFile(nativePath, flags);
    if (fd < 0)
        return nullptr;
    std::FILE* stream = ::fdopen(fd, mode);
    if (!stream) {
        const int error = errno;
        ::close(fd);
        errno = error;
    }
    return stream;
}

bool IsRegularFile(const std::string& nativePath)
{
    // stat never opens, so it cannot block; the pseudo file systems are told
    // by statfs on the path.
    struct stat status {};
    if (::stat(nativePath.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    struct statfs info {};
    if (::statfs(nativePath.c_str(), &info) != 0)
        return true;
    const long type = static_cast<long>(info.f_type);
    return type != 0x9fa0 && type != 0x62656572 && type != 0x64626720 && type != 0x73636673;
}

bool ReadRegularFile(const std::string& nativePath, std::vector<unsigned char>& bytes, size_t limit)
{
    bytes.clear();
    const int fd = OpenRegularFile(nativePath, O_RDONLY);
    if (fd < 0)
        return false;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || status.st_size < 0 || static_cast<unsigned long long>(status.st_size) > limit) {
        ::close(fd);
        return false;
    }
    bytes.resize(static_cast<size_t>(status.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<size_t>(got);
    }
    ::close(fd);
    if (done != bytes.size()) {
        bytes.clear();
        return false;
    }
    return true;
}

}  // namespace platform
