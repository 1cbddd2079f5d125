// A block of tagged chunks: each a four-character tag, a 32-bit big-endian
// length and the data, one after the other with nothing in between. The unit
// of every stored record; readers look values up by tag and skip what they
// do not know.
#pragma once

#include "platform/core/global_memory.h"
#include "platform/core/types.h"

class CChunkBlock {
public:
    CChunkBlock();
    // copy TRUE: a private copy of the whole block (its full allocated size),
    // owned; copy FALSE: uses the block, owned as `owns` says. The used length
    // is 0 either way: the caller sets it.
    CChunkBlock(HGLOBAL block, BOOL copy, BOOL owns);
    ~CChunkBlock();
    CChunkBlock(const CChunkBlock&) = delete;
    CChunkBlock& operator=(const CChunkBlock&) = delete;

    LONG GetLength() const { return m_length; }
    // Clamped to the block's allocated size, which may exceed what was put:
    // the block grows ahead of its puts.
    void SetLength(LONG length);

    // A new block of exactly the used length, locked once; the caller owns it.
    HGLOBAL CopyData() const;

    BOOL HasChunk(const char* tag) const;
    void Put(const char* tag, const void* data, DWORD count);
    // `text` is a length byte followed by that many characters.
    void PutString(const char* tag, const unsigned char* text);
    // The value's bytes as they lie in memory (little-endian).
    void PutLong(const char* tag, DWORD value);

    // Copies at most `maximum` bytes; answers the count copied, 0 when missing.
    DWORD Get(const char* tag, void* buffer, DWORD maximum) const;
    // `text` receives a length byte and up to 255 characters (256 bytes).
    void GetString(const char* tag, unsigned char* text) const;
    // 0 when the tag is missing or its data is shorter than 4 bytes.
    DWORD GetLong(const char* tag) const;

    // The bytes in use (read-only view for writers and tests).
    const BYTE* Data() const { return m_data; }

private:
    struct Chunk {
        size_t offset;  // of the tag
        size_t length;  // of the data
    };
    // Only chunks whose header and data lie wholly inside the used length count.
    bool Find(const char* tag, Chunk* found, size_t* walkEnd) const;
    void Resize(size_t newLength);
    void InsertBytes(size_t offset, const void* bytes, size_t count);
    void RemoveBytes(size_t offset, size_t count);
    size_t Capacity() const;

    HGLOBAL m_block = nullptr;
    BYTE* m_data = nullptr;
    BOOL m_owns = TRUE;
    LONG m_length = 0;
};
