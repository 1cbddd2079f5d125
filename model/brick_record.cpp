#include "model/brick_record.h"

#include <cstring>

#include "platform/core/archive.h"
#include "platform/core/exceptions.h"
#include "platform/core/global_memory.h"

namespace brick_record {

namespace {

void ToBigEndian(BYTE* p, DWORD value)
{
    p[0] = static_cast<BYTE>(value >> 24);
    p[1] = static_cast<BYTE>(value >> 16);
    p[2] = static_cast<BYTE>(value >> 8);
    p[3] = static_cast<BYTE>(value);
}

DWORD FromBigEndian(const BYTE* p)
{
    return (static_cast<DWORD>(p[0]) << 24) | (static_cast<DWORD>(p[1]) << 16) | (static_cast<DWORD>(p[2]) << 8) |
           static_cast<DWORD>(p[3]);
}

}  // namespace

void PutLong(CChunkBlock& block, const char* tag, LONG value)
{
    BYTE bytes[4];
    ToBigEndian(bytes, static_cast<DWORD>(value));
    block.Put(tag, bytes, sizeof bytes);
}

LONG GetLong(const CChunkBlock& block, const char* tag)
{
    BYTE bytes[4];
    if (block.Get(tag, bytes, sizeof bytes) < sizeof bytes)
        return 0;
    return static_cast<LONG>(FromBigEndian(bytes));
}

void WriteBlock(CArchive& ar, const CChunkBlock& block)
{
    BYTE length[4];
    ToBigEndian(length, static_cast<DWORD>(block.GetLength()));
    ar.Write(length, sizeof length);
    if (block.GetLength() > 0)
        ar.Write(block.Data(), static_cast<UINT>(block.GetLength()));
}

DWORD BytesLeft(const CArchive& ar)
{
    const CFile* file = ar.GetFile();
    if (!file)
        return 0;
    const DWORD length = file->GetLength();
    const DWORD position = file->GetPosition();
    return position < length ? length - position : 0;
}

namespace {

DWORD ReadLength(CArchive& ar)
{
    BYTE bytes[4];
    ar.ReadExact(bytes, sizeof bytes);
    const DWORD length = FromBigEndian(bytes);
    // The chunk block keeps its length in a LONG.
    if (length > BytesLeft(ar) || length > 0x7FFFFFFFu)
        AfxThrowArchiveException(CArchiveException::endOfFile);
    return length;
}

constexpr size_t kChunkHeader = 8;

}  // namespace

void ReadBytes(CArchive& ar, std::vector<BYTE>& bytes)
{
    const DWORD length = ReadLength(ar);
    bytes.resize(length);
    if (length > 0)
        ar.ReadExact(bytes.data(), length);
}

void FindFields(const BYTE* bytes, size_t length, const char* const* tags, Field* fields, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        fields[i] = Field{};
    size_t left = count;
    size_t offset = 0;
    // Records are written in the order of their tags: the search starts at
    // the tag after the last one found.
    size_t next = 0;
    while (left > 0 && length - offset >= kChunkHeader) {
        const size_t size = FromBigEndian(bytes + offset + 4);
        if (size > length - offset - kChunkHeader)
            break;
        for (size_t step = 0; step < count; ++step) {
            const size_t i = (next + step) % count;
            if (!fields[i].found && std::memcmp(bytes + offset, tags[i], 4) == 0) {
                fields[i] = Field{bytes + offset + kChunkHeader, size, true};
                --left;
                next = i + 1;
                break;
            }
        }
        offset += kChunkHeader + size;
    }
}

LONG FieldLong(const Field& field)
{
    return field.found && field.length >= 4 ? static_cast<LONG>(FromBigEndian(field.data)) : 0;
}

std::unique_ptr<CChunkBlock> ReadBlock(CArchive& ar)
{
    const DWORD length = ReadLength(ar);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, length);
    if (!memory)
        AfxThrowMemoryException();
    auto block = std::make_unique<CChunkBlock>(memory, FALSE, TRUE);
    ar.ReadExact(GlobalLock(memory), length);
    GlobalUnlock(memory);
    block->SetLength(static_cast<LONG>(length));
    return block;
}

}  // namespace brick_record
