// The walk over tagged chunks that every stored record goes through: reads by
// tag, puts into a block as read, and the length-prefixed block of the files.
#include <cstring>

#include "foundation/chunk_block.h"
#include "model/brick_record.h"
#include "platform/core/archive.h"
#include "platform/core/exceptions.h"
#include "platform/core/file.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

const char* const kTags[] = {"vers", "rev ", "mvew", "bpv?", "btil", "brgb", "bsiz", "wpth", "bcnt",
                             "gcnt", "ptyp", "pose", "angl", "colr", "ppos", "selc", "pvis", "sble"};

void ReadAll(const CChunkBlock& block, const char* own)
{
    unsigned char text[256];
    unsigned char buffer[64];
    for (const char* tag : kTags) {
        block.HasChunk(tag);
        block.GetLong(tag);
        brick_record::GetLong(block, tag);
        block.Get(tag, buffer, sizeof buffer);
    }
    block.GetString(own, text);
    fuzz::Touch(text + 1, text[0]);
}

HGLOBAL BlockOf(const fuzz::Bytes& bytes)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (memory && !bytes.empty()) {
        std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
        GlobalUnlock(memory);
    }
    return memory;
}

}  // namespace

int FuzzChunkBlock(const uint8_t* data, size_t size)
{
    fuzz::InputReader input(data, size);
    // A tag of the input's own and what to put under it, then the block.
    char own[5] = {};
    const fuzz::Bytes tag = input.Take(4);
    if (!tag.empty())
        std::memcpy(own, tag.data(), tag.size());
    const fuzz::Bytes value = input.Take(input.Byte());
    const fuzz::Bytes bytes = input.Rest();

    {
        CChunkBlock block(BlockOf(bytes), FALSE, TRUE);
        block.SetLength(static_cast<LONG>(bytes.size()));
        ReadAll(block, own);

        // What is put is what is read back, whatever the block held before.
        block.Put(own, value.data(), static_cast<DWORD>(value.size()));
        unsigned char back[256] = {};
        if (block.Get(own, back, sizeof back) != value.size() ||
            (!value.empty() && std::memcmp(back, value.data(), value.size()) != 0))
            fuzz::Fail("a put chunk does not read back");
        brick_record::PutLong(block, "ptyp", 0x12345678);
        if (brick_record::GetLong(block, "ptyp") != 0x12345678)
            fuzz::Fail("a put number does not read back");
        ReadAll(block, own);

        HGLOBAL copy = block.CopyData();
        if (!copy || GlobalSize(copy) != static_cast<size_t>(block.GetLength()))
            fuzz::Fail("copy of a block is not its used length");
        CChunkBlock again(copy, TRUE, TRUE);
        again.SetLength(block.GetLength());
        ReadAll(again, own);
        GlobalUnlock(copy);
        GlobalFree(copy);
    }

    // The same bytes as a file's length-prefixed block.
    try {
        CMemFile file(bytes.data(), bytes.size());
        CArchive ar(&file, CArchive::load);
        while (brick_record::BytesLeft(ar) > 0) {
            std::unique_ptr<CChunkBlock> block = brick_record::ReadBlock(ar);
            ReadAll(*block, own);
        }
    } catch (const CException&) {
        // Damage is reported as it should be.
    }
    return 0;
}

static void SeedChunkBlock(fuzz::Seeds& seeds)
{
    // A brick record as a model file holds it.
    CChunkBlock block;
    brick_record::PutLong(block, "ptyp", 1030);
    brick_record::PutLong(block, "pose", 0);
    brick_record::PutLong(block, "colr", 3);
    const unsigned char position[6] = {0, 1, 0, 2, 0, 0};
    block.Put("ppos", position, sizeof position);
    const fuzz::Bytes head = {'w', 'p', 't', 'h', 4, 'a', '.', 'b', 'm'};
    fuzz::Bytes chunks = head;
    chunks.insert(chunks.end(), block.Data(), block.Data() + block.GetLength());
    seeds.Add("brick-record", chunks);
    fuzz::Bytes prefixed = head;
    const fuzz::Bytes length = {0, 0, 0, static_cast<unsigned char>(block.GetLength())};
    prefixed.insert(prefixed.end(), length.begin(), length.end());
    prefixed.insert(prefixed.end(), block.Data(), block.Data() + block.GetLength());
    seeds.Add("brick-record-in-file", prefixed);
}

DIZADO_FUZZ_TARGET(chunk_block, FuzzChunkBlock, SeedChunkBlock)
