#include "platform/core/safe_replace.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/exceptions.h"
#include "platform/core/file.h"
#include "platform/core/find_file.h"

namespace {

[[noreturn]] void ThrowOsError(int osError, const char* path)
{
    AfxThrowFileException(CFileException::OsErrorToException(osError), osError, path);
}

// A disk file that can be forced onto the disk before it replaces another.
class SyncedFile : public CFile {
public:
    void Sync(const char* path)
    {
        Flush();
        if (m_file && ::fsync(fileno(m_file)) != 0)
            ThrowOsError(errno, path);
    }
};

// The temporary files below are named ".NAME.PID-N.tmp". One whose process
// is gone (or that is a day old) was left by a save that was killed; it is
// nobody's, and only this program's own pattern is ever touched.
bool IsStaleTemporary(const std::filesystem::directory_entry& entry)
{
    const std::string name = entry.path().filename().string();
    constexpr std::string_view kSuffix = ".tmp";
    if (name.size() < 8 || name[0] != '.' || name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
        return false;
    const std::string stem = name.substr(0, name.size() - kSuffix.size());
    const size_t dash = stem.find_last_of('-');
    const size_t dot = stem.find_last_of('.');
    if (dash == std::string::npos || dot == std::string::npos || dot == 0 || dot + 1 >= dash || dash + 1 >= stem.size())
        return false;
    const auto digits = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i)
            if (stem[i] < '0' || stem[i] > '9')
                return false;
        return to - from <= 9;
    };
    if (!digits(dot + 1, dash) || !digits(dash + 1, stem.size()))
        return false;
    std::error_code error;
    if (!entry.is_regular_file(error) || entry.is_symlink(error))
        return false;
    const pid_t pid = static_cast<pid_t>(std::stol(stem.substr(dot + 1, dash - dot - 1)));
    if (pid == ::getpid())
        return false;
    if (pid <= 0 || (::kill(pid, 0) != 0 && errno == ESRCH))
        return true;
    const auto written = entry.last_write_time(error);
    return !error && std::filesystem::file_time_type::clock::now() - written > std::chrono::hours(24);
}

void RemoveStaleTemporaries(const std::filesystem::path& target)
{
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (IsStaleTemporary(*it))
            ::unlink(it->path().c_str());
}

// A new, empty file beside the target, made exclusively so that nothing else
// is overwritten.
std::string CreateTemporaryBeside(const std::filesystem::path& target, const char* path)
{
    static unsigned counter = 0;
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    // Room for the suffix within the usual 255-byte name limit.
    const std::string name = target.filename().string().substr(0, 200);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate =
            (folder / ("." + name + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".tmp"))
                .string();
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return candidate;
        }
        if (errno != EEXIST)
            ThrowOsError(errno, path);
    }
    ThrowOsError(EEXIST, path);
}

// Removes the temporary file unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : m_path(std::move(path)) {}
    ~TemporaryFile()
    {
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& Path() const { return m_path; }
    void Release() { m_path.clear(); }

private:
    std::string m_path;
};

// Best effort: makes the rename itself durable.
void SyncFolder(const std::filesystem::path& target)
{
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

namespace platform {

bool IsReadOnlyFile(const std::filesystem::path& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    return (status.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

void ReplaceFileSafely(const char* path, const std::function<void(CFile&)>& write,
                       const std::function<bool(const std::filesystem::path&)>& mayReplace)
{
    std::filesystem::path target(NativePath(path));
    // Replacing a link would cut it; the file it names is the one to replace.
    std::error_code linkError;
    if (std::filesystem::is_symlink(target, linkError)) {
        std::filesystem::path resolved = std::filesystem::canonical(target, linkError);
        if (!linkError)
            target = resolved;
    }
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        ThrowOsError(EISDIR, path);
    // The rename would replace a file the user cannot write; refuse as a
    // direct write would.
    if (exists && (!S_ISREG(existing.st_mode) || IsReadOnlyFile(target) || (mayReplace && !mayReplace(target))))
        ThrowOsError(EACCES, path);

    RemoveStaleTemporaries(target);
    TemporaryFile temporary(CreateTemporaryBeside(target, path));
    {
        SyncedFile file;
        CFileException openError;
        if (!file.Open(temporary.Path().c_str(), CFile::modeCreate | CFile::modeWrite, &openError))
            throw openError;
        try {
            write(file);
            file.Sync(path);
            file.Close();
        } catch (...) {
            file.Abort();
            throw;
        }
    }
    if (exists)
        ::chmod(temporary.Path().c_str(), existing.st_mode & 07777);
    std::error_code renameError;
    std::filesystem::rename(temporary.Path(), target, renameError);
    if (renameError)
        ThrowOsError(renameError.value(), path);
    temporary.Release();
    SyncFolder(target);
}

}  // namespace platform
