#include "platform/core/safe_replace.h"

#include <cerrno>
#include <string>
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
