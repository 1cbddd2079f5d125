#include "foundation/chunk_block.h"

#include <cstring>
#include <limits>

#include "platform/core/exceptions.h"

namespace {

constexpr size_t kHeaderSize = 8;

DWORD ReadBigEndian(const BYTE* p)
{
    return (static_cast<DWORD>(p[0]) << 24) | (static_cast<DWORD>(p[1]) << 16) | (static_cast<DWORD>(p[2]) << 8) |
           static_cast<DWORD>(p[3]);
}

void WriteBigEndian(BYTE* p, DWORD value)
{
    p[0] = static_cast<BYTE>(value >> 24);
    p[1] = static_cast<BYTE>(value >> 16);
    p[2] = static_cast<BYTE>(value >> 8);
    p[3] = static_cast<BYTE>(value);
}

}  // namespace

CChunkBlock::CChunkBlock() = default;

CChunkBlock::CChunkBlock(HGLOBAL block, BOOL copy, BOOL owns)
{
    if (copy) {
        m_owns = TRUE;
        if (block) {
            const size_t size = GlobalSize(block);
            m_block = GlobalAlloc(GMEM_MOVEABLE, size);
            m_data = static_cast<BYTE*>(GlobalLock(m_block));
            const void* source = GlobalLock(block);
            if (size)
                std::memcpy(m_data, source, size);
            GlobalUnlock(block);
        }
    } else {
        m_owns = owns;
        m_block = block;
        m_data = block ? static_cast<BYTE*>(GlobalLock(block)) : nullptr;
    }
}

CChunkBlock::~CChunkBlock()
{
    if (!m_block)
        return;
    GlobalUnlock(m_block);
    if (m_owns)
        GlobalFree(m_block);
}

size_t CChunkBlock::Capacity() const
{
    return m_block ? GlobalSize(m_block) : 0;
}

void CChunkBlock::SetLength(LONG length)
{
    const size_t capacity = Capacity();
    if (length < 0)
        length = 0;
    if (static_cast<size_t>(length) > capacity)
        length = static_cast<LONG>(capacity);
    m_length = length;
}

HGLOBAL CChunkBlock::CopyData() const
{
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, static_cast<size_t>(m_length));
    if (!copy)
        return nullptr;
    void* target = GlobalLock(copy);
    if (m_length > 0)
        std::memcpy(target, m_data, static_cast<size_t>(m_length));
    return copy;
}

bool CChunkBlock::Find(const char* tag, Chunk* found, size_t* walkEnd) const
{
    const size_t used = static_cast<size_t>(m_length);
    size_t offset = 0;
    // Each step moves forward by at least the header, and a chunk counts only
    // when all of it lies inside the used length: no length can loop the walk.
    while (used - offset >= kHeaderSize) {
        const size_t length = ReadBigEndian(m_data + offset + 4);
        if (length > used - offset - kHeaderSize)
            break;
        if (std::memcmp(m_data + offset, tag, 4) == 0) {
            *found = {offset, length};
            if (walkEnd)
                *walkEnd = offset;
            return true;
        }
        offset += kHeaderSize + length;
    }
    if (walkEnd)
        *walkEnd = offset;
    return false;
}

void CChunkBlock::Resize(size_t newLength)
{
    if (!m_block) {
        m_block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 2);
        if (!m_block)
            AfxThrowMemoryException();
        m_owns = TRUE;
        m_length = 0;
        m_data = static_cast<BYTE*>(GlobalLock(m_block));
    }
    const size_t capacity = Capacity();
    if (newLength <= capacity)
        return;
    // Records are built one put at a time: doubling, from room for a whole
    // brick record, keeps building a record linear and rarely reallocating.
    constexpr size_t kFirstRoom = 128;
    const size_t grown = capacity * 2 > kFirstRoom ? capacity * 2 : kFirstRoom;
    const size_t target = newLength > grown ? newLength : grown;
    GlobalUnlock(m_block);
    const bool moved = GlobalReAlloc(m_block, target, GMEM_MOVEABLE | GMEM_ZEROINIT) != nullptr;
    m_data = static_cast<BYTE*>(GlobalLock(m_block));
    if (!moved)
        AfxThrowMemoryException();
}

void CChunkBlock::InsertBytes(size_t offset, const void* bytes, size_t count)
{
    const size_t used = static_cast<size_t>(m_length);
    Resize(used + count);
    std::memmove(m_data + offset + count, m_data + offset, used - offset);
    if (count)
        std::memcpy(m_data + offset, bytes, count);
    m_length = static_cast<LONG>(used + count);
}

void CChunkBlock::RemoveBytes(size_t offset, size_t count)
{
    const size_t used = static_cast<size_t>(m_length);
    std::memmove(m_data + offset, m_data + offset + count, used - offset - count);
    m_length = static_cast<LONG>(used - count);
}

BOOL CChunkBlock::HasChunk(const char* tag) const
{
    Chunk chunk;
    return Find(tag, &chunk, nullptr) ? 1 : 0;
}

void CChunkBlock::Put(const char* tag, const void* data, DWORD count)
{
    if (count > static_cast<DWORD>(std::numeric_limits<LONG>::max()) - kHeaderSize - static_cast<DWORD>(m_length))
        AfxThrowMemoryException();
    BYTE length[4];
    WriteBigEndian(length, count);
    Chunk chunk;
    size_t end = 0;
    if (Find(tag, &chunk, &end)) {
        std::memcpy(m_data + chunk.offset + 4, length, 4);
        const size_t dataAt = chunk.offset + kHeaderSize;
        if (count > chunk.length) {
            // Grow the data area by the difference; the new bytes are overwritten below.
            const size_t grow = count - chunk.length;
            InsertBytes(dataAt + chunk.length, data, grow);
        } else if (count < chunk.length) {
            RemoveBytes(dataAt + count, chunk.length - count);
        }
        if (count)
            std::memcpy(m_data + dataAt, data, count);
        return;
    }
    // A damaged tail that no reader can walk past would hide the new chunk:
    // the new chunk takes its place.
    if (end < static_cast<size_t>(m_length)) {
        m_length = static_cast<LONG>(end);
    }
    const size_t at = static_cast<size_t>(m_length);
    InsertBytes(at, tag, 4);
    InsertBytes(at + 4, length, 4);
    InsertBytes(at + kHeaderSize, data, count);
}

void CChunkBlock::PutString(const char* tag, const unsigned char* text)
{
    Put(tag, text + 1, text[0]);
}

void CChunkBlock::PutLong(const char* tag, DWORD value)
{
    Put(tag, &value, sizeof value);
}

DWORD CChunkBlock::Get(const char* tag, void* buffer, DWORD maximum) const
{
    Chunk chunk;
    if (!Find(tag, &chunk, nullptr))
        return 0;
    const size_t count = chunk.length < maximum ? chunk.length : maximum;
    if (count)
        std::memcpy(buffer, m_data + chunk.offset + kHeaderSize, count);
    return static_cast<DWORD>(count);
}

void CChunkBlock::GetString(const char* tag, unsigned char* text) const
{
    text[0] = static_cast<unsigned char>(Get(tag, text + 1, 255));
}

DWORD CChunkBlock::GetLong(const char* tag) const
{
    DWORD value = 0;
    Chunk chunk;
    if (!Find(tag, &chunk, nullptr) || chunk.length < sizeof value)
        return 0;
    std::memcpy(&value, m_data + chunk.offset + kHeaderSize, sizeof value);
    return value;
}
