// The pieces of the stored brick-tree records: chunks whose numbers are
// big-endian, each block preceded by its big-endian length.
#pragma once

#include <memory>

#include "foundation/chunk_block.h"
#include "platform/core/types.h"

class CArchive;

namespace brick_record {

void PutLong(CChunkBlock& block, const char* tag, LONG value);
// 0 when the chunk is missing or shorter than four bytes.
LONG GetLong(const CChunkBlock& block, const char* tag);

// The block's length, then its bytes.
void WriteBlock(CArchive& ar, const CChunkBlock& block);
// Reads one length-prefixed block. A length larger than what is left of the
// file throws CArchiveException before anything is allocated.
std::unique_ptr<CChunkBlock> ReadBlock(CArchive& ar);
// Bytes between the archive's position and the end of its file.
DWORD BytesLeft(const CArchive& ar);

}  // namespace brick_record
