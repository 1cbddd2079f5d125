// File search in one folder. The pattern's wildcard applies to its last path
// component only, without regard to case; "\" is taken as "/". Names come back
// sorted, so every search of a folder visits it in the same order.
#pragma once

#include <string>

#include "platform/core/types.h"

constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x0001;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x0010;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x0080;
constexpr int MAX_PATH = 260;

struct FILETIME {
    DWORD dwLowDateTime = 0;
    DWORD dwHighDateTime = 0;
};

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes = 0;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh = 0;
    DWORD nFileSizeLow = 0;
    char cFileName[MAX_PATH] = {};
    char cAlternateFileName[14] = {};
};

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-1));

// INVALID_HANDLE_VALUE when nothing matches. Names too long for cFileName are
// skipped rather than cut.
HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* data);
BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE search);

namespace platform {
// The program writes paths with "\"; the file system wants "/".
std::string NativePath(const char* path);
// Case-insensitive wildcard match of '*' and '?'.
bool WildcardMatch(const char* pattern, const char* name);
}  // namespace platform
