// The pieces of the stored brick-tree records: chunks whose numbers are
// big-endian, each block preceded by its big-endian length.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

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
// Reads one length-prefixed block's bytes into `bytes`, checked as ReadBlock
// checks them, without making a block of them.
void ReadBytes(CArchive& ar, std::vector<BYTE>& bytes);

// One chunk's data found by FindFields; `found` false when the tag is missing.
struct Field {
    const BYTE* data = nullptr;
    size_t length = 0;
    bool found = false;
};
// Walks a block's bytes once and gives each of `count` tags the chunk that
// CChunkBlock would find for it: the first, among the chunks that lie wholly
// inside the block before the first that does not. The tags are distinct.
void FindFields(const BYTE* bytes, size_t length, const char* const* tags, Field* fields, size_t count);
// As GetLong: 0 when missing or shorter than four bytes.
LONG FieldLong(const Field& field);

// Bytes between the archive's position and the end of its file.
DWORD BytesLeft(const CArchive& ar);

}  // namespace brick_record
