// Resource modules: the program's own resources (a compiled .res embedded in
// the executable) and kit libraries (resource-only PE32 / PE32+ files), read as
// data only. A module handle is the parsed, bounds-checked resource directory.
// Types and names match case-insensitively; a name may be a numeric id
// (MAKEINTRESOURCE, or the string "#123").
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/core/global_memory.h"
#include "platform/core/types.h"

struct ResourceModule;
struct ResourceEntry;
using HMODULE = ResourceModule*;
using HINSTANCE = ResourceModule*;
using HRSRC = const ResourceEntry*;

inline const char* MAKEINTRESOURCE(UINT_PTR id)
{
    return reinterpret_cast<const char*>(static_cast<UINT_PTR>(static_cast<WORD>(id)));
}
inline bool IS_INTRESOURCE(const char* name)
{
    return (reinterpret_cast<UINT_PTR>(name) >> 16) == 0;
}

// The standard resource types the program reads.
inline const char* const RT_CURSOR = MAKEINTRESOURCE(1);
inline const char* const RT_STRING = MAKEINTRESOURCE(6);
inline const char* const RT_RCDATA = MAKEINTRESOURCE(10);
inline const char* const RT_GROUP_CURSOR = MAKEINTRESOURCE(12);

constexpr DWORD LOAD_LIBRARY_AS_DATAFILE = 0x00000002;

// Opens a kit library as data. Null (and nothing kept) when the file is
// missing, unreadable or not a well-formed resource container. Loading a file
// that is already open answers the same handle; each load needs its FreeLibrary.
HMODULE LoadLibraryA(const char* path);
HMODULE LoadLibraryExA(const char* path, HANDLE reserved, DWORD flags);
BOOL FreeLibrary(HMODULE module);

// The program's own resources: never null (an empty module when none were
// embedded).
HINSTANCE AfxGetResourceHandle();
HINSTANCE AfxGetInstanceHandle();

// The full path of the running program (the module is ignored: kits are
// data, not programs). Answers the length copied, 0 on failure.
DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD bufferSize);

// Null when the module holds no such resource.
HRSRC FindResourceA(HMODULE module, const char* name, const char* type);
// A read-only handle on the resource's bytes, valid while the module is open.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
const void* LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC resource);
BOOL FreeResource(HGLOBAL data);

// Copies string `id` of the string table into `buffer` (UTF-8, zero-terminated,
// cut to bufferMax - 1 bytes); answers the length copied, 0 when there is none.
int LoadStringA(HINSTANCE module, UINT id, char* buffer, int bufferMax);

namespace platform {

// The embedded resources of the executable register themselves here at
// start-up (see the generated resource object). The bytes are not copied and
// must live as long as the program; the first registration wins.
void RegisterProgramResources(const void* resBytes, size_t size);

// Parses a compiled .res image or a PE32 / PE32+ image; null when malformed.
// The module counts as an open library and is released with FreeLibrary.
HMODULE OpenResourceModuleFromMemory(std::vector<unsigned char> bytes);

// Number of kit loads not yet freed (tests check that every load is freed).
size_t OpenLibraryCount();

}  // namespace platform
