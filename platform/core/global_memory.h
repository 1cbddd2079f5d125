// Global memory handles: blocks that are reached through a handle and locked to
// get their address. Blocks are never discarded here, so a discardable block
// always keeps its bytes; the handle stays the same across a reallocation.
#pragma once

#include "platform/core/types.h"

struct GlobalBlock;
using HGLOBAL = GlobalBlock*;

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_DISCARDABLE = 0x0100;
constexpr UINT GMEM_SHARE = 0x2000;
constexpr UINT GMEM_DDESHARE = GMEM_SHARE;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;
constexpr UINT GMEM_DISCARDED = 0x4000;

// Null when the size cannot be had.
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
// Grows or shrinks the block keeping its bytes (new bytes zeroed with
// GMEM_ZEROINIT). The address may change: callers lock again afterwards.
// Answers the same handle, or null (and the block unchanged) on failure.
HGLOBAL GlobalReAlloc(HGLOBAL block, size_t bytes, UINT flags);
// Frees the block, locked or not; answers null.
HGLOBAL GlobalFree(HGLOBAL block);
void* GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);
size_t GlobalSize(HGLOBAL block);
UINT GlobalFlags(HGLOBAL block);
// The handle whose current address is `address`, or null.
HGLOBAL GlobalHandle(const void* address);

namespace platform {
// A handle over bytes that its creator keeps (resource data): it can be locked
// and sized, but GlobalFree and GlobalReAlloc leave it alone. Read-only.
HGLOBAL MakeBorrowedBlock(const void* bytes, size_t size);
void DestroyBorrowedBlock(HGLOBAL block);
// Number of blocks alive: lets tests check that owners free what they hold.
size_t GlobalBlocksAlive();
// Their bytes: lets tests bound what a model holds.
size_t GlobalBytesAlive();
}  // namespace platform
