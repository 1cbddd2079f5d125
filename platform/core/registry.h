// The registry calls the program makes, on a small store file of its own
// (platform::DefaultRegistryStorePath(), beside the profile). Key paths are
// "\"-separated and compare without case; each key holds its default value.
// The store is written as the profile is: a failed write keeps the old file.
#pragma once

#include <string>

#include "platform/core/types.h"

struct HKEY__;
using HKEY = HKEY__*;

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(static_cast<UINT_PTR>(0x80000000u));

constexpr DWORD REG_SZ = 1;

constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_WRITE_FAULT = 29;
constexpr LONG ERROR_INVALID_PARAMETER = 87;
constexpr LONG ERROR_MORE_DATA = 234;

// Sets the default value of `subKey` (the root's own with a null or empty
// one) to the text `data`; `dataSize` is not needed, the text ends at its zero.
LONG RegSetValueA(HKEY root, const char* subKey, DWORD type, const char* data, DWORD dataSize);
// Copies the default value of `subKey` with its zero into `value` and sets
// *size to the bytes it needs (with the zero). A null `value` asks only the
// size; a buffer too small gets ERROR_MORE_DATA and nothing.
LONG RegQueryValueA(HKEY root, const char* subKey, char* value, LONG* size);

namespace platform {
// Points the registry calls at another store file; empty restores the
// default. Answers the path it replaced.
std::string SetRegistryStorePath(std::string path);
}  // namespace platform
