// Replacing a file without ever losing it: the new contents go to a new file
// beside the target, which takes the target's place only once it is whole and
// on the disk. An interrupted or failed write leaves the old file as it was.
#pragma once

#include <filesystem>
#include <functional>

class CFile;

namespace platform {

// Read-only in the sense of the original file attribute: the user cannot
// write it, or nobody may. False for what is no regular file.
bool IsReadOnlyFile(const std::filesystem::path& path);

// Writes `path` through `write`, which fills the open temporary file (and may
// throw). A link is followed to the file it names; the old file's permissions
// are kept. A folder, a file the user cannot write, or one that `mayReplace`
// (when given) turns down is refused before anything is written. Throws
// CFileException naming `path` on any failure; the temporary file is removed.
// Temporary files that an earlier, killed save left in the folder go first.
void ReplaceFileSafely(const char* path, const std::function<void(CFile&)>& write,
                       const std::function<bool(const std::filesystem::path&)>& mayReplace = {});

}  // namespace platform
