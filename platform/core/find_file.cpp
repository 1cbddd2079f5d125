#include "platform/core/find_file.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include <sys/stat.h>

namespace {

struct Search {
    std::string folder;
    std::vector<std::string> names;
    size_t next = 0;
};

char Lower(char ch)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
}

// Fills the record from the file; FALSE when it is gone or its name does not fit.
bool Describe(const std::string& folder, const std::string& name, WIN32_FIND_DATAA* data)
{
    if (name.size() >= sizeof data->cFileName)
        return false;
    struct stat info {};
    const std::string path = folder.empty() ? name : folder + "/" + name;
    if (::stat(path.c_str(), &info) != 0)
        return false;
    *data = WIN32_FIND_DATAA{};
    std::memcpy(data->cFileName, name.c_str(), name.size() + 1);
    data->dwFileAttributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    if (!(info.st_mode & S_IWUSR))
        data->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
    const unsigned long long size = static_cast<unsigned long long>(info.st_size);
    data->nFileSizeLow = static_cast<DWORD>(size);
    data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    // Seconds since 1970 in 100 ns ticks since 1601, as the record holds them.
    const unsigned long long ticks = (static_cast<unsigned long long>(info.st_mtime) + 11644473600ULL) * 10000000ULL;
    data->ftLastWriteTime = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    data->ftCreationTime = data->ftLastWriteTime;
    data->ftLastAccessTime = data->ftLastWriteTime;
    return true;
}

bool Deliver(Search* search, WIN32_FIND_DATAA* data)
{
    while (search->next < search->names.size()) {
        if (Describe(search->folder, search->names[search->next++], data))
            return true;
    }
    return false;
}

}  // namespace

namespace platform {

std::string NativePath(const char* path)
{
    std::string native = path ? path : "";
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

bool WildcardMatch(const char* pattern, const char* name)
{
    // Iterative match with one backtrack point per '*'.
    const char* star = nullptr;
    const char* resume = nullptr;
    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == '?' || (*pattern && Lower(*pattern) == Lower(*name))) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

}  // namespace platform

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data)
{
    if (!pattern || !data)
        return INVALID_HANDLE_VALUE;
    const std::string native = platform::NativePath(pattern);
    const size_t slash = native.rfind('/');
    auto search = std::make_unique<Search>();
    std::string wildcard = native;
    std::string listed = ".";
    if (slash != std::string::npos) {
        wildcard.erase(0, slash + 1);
        search->folder = slash == 0 ? std::string("/") : native.substr(0, slash);
        listed = search->folder;
    }

    std::error_code error;
    for (std::filesystem::directory_iterator it(listed, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (platform::WildcardMatch(wildcard.c_str(), name.c_str()))
            search->names.push_back(name);
    }
    std::sort(search->names.begin(), search->names.end());
    if (!Deliver(search.get(), data))
        return INVALID_HANDLE_VALUE;
    return search.release();
}

BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* data)
{
    if (!search || search == INVALID_HANDLE_VALUE || !data)
        return FALSE;
    return Deliver(static_cast<Search*>(search), data);
}

BOOL FindClose(HANDLE search)
{
    if (!search || search == INVALID_HANDLE_VALUE)
        return FALSE;
    delete static_cast<Search*>(search);
    return TRUE;
}
