// Opening only regular files. A FIFO, socket or device in a child's folder, a
// kit folder or a dropped path must never block the program's one thread, and
// the pseudo files of /proc and /sys (regular in name, endless or empty in
// fact) are no models, pictures or kits either.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include <sys/types.h>

namespace platform {

// errno after a refusal of something that exists but is not a regular file.
constexpr int kNotRegularFile = EINVAL;

// open(2) for a regular file only: never waits on a FIFO or device, and
// answers -1 with errno kNotRegularFile for anything else that exists. The
// descriptor is returned blocking, ready for plain reads and writes.
int OpenRegularFile(const std::string& nativePath, int flags, mode_t mode = 0666);

// The same for stdio: `mode` is one of fopen's binary modes ("rb", "r+b",
// "wb", "w+b", "ab").
std::FILE* OpenRegularStream(const std::string& nativePath, const char* mode);

// A probe that opens nothing: TRUE when the path names a regular file that
// OpenRegularFile would open for reading.
bool IsRegularFile(const std::string& nativePath);

// The whole file, when it is regular and at most `limit` bytes; false (and
// `bytes` empty) otherwise.
bool ReadRegularFile(const std::string& nativePath, std::vector<unsigned char>& bytes, size_t limit);

}  // namespace platform
