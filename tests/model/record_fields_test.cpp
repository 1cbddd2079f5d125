#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/chunk_block.h"
#include "model/brick_record.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes Chunk(const char* tag, const Bytes& data, DWORD declared)
{
    Bytes out(tag, tag + 4);
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<BYTE>(declared >> shift));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Bytes Chunk(const char* tag, const Bytes& data)
{
    return Chunk(tag, data, static_cast<DWORD>(data.size()));
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

// The bricks of a model are read with one walk over each record; whatever the
// record holds, the walk must find what the chunk block finds tag by tag.
TEST(RecordFields, FindWhatTheChunkBlockFinds)
{
    const Bytes four = {0x12, 0x34, 0x56, 0x78};
    const Bytes other = {0, 0, 0, 9};
    const std::vector<Bytes> blocks = {
        {},
        Chunk("ptyp", four) + Chunk("pose", other) + Chunk("ppos", {1, 2, 3, 4, 5, 6}),
        Chunk("pose", other) + Chunk("pose", four) + Chunk("ptyp", four),     // the first of two counts
        Chunk("ptyp", {1, 2}) + Chunk("selc", {}) + Chunk("ppos", {1, 2, 3}),  // too short for their values
        Chunk("ptyp", four) + Chunk("zzzz", four, 1000) + Chunk("pose", four), // the walk stops at a chunk that overruns
        Chunk("ptyp", four) + Bytes{'p', 'o', 's', 'e', 0, 0},                 // a header cut short
        Chunk("ptyp", four) + Chunk("pose", four, 4) + Bytes{'s', 'e'},
        Chunk("pose", four, 5),
    };
    static const char* const kTags[] = {"ptyp", "pose", "ppos", "selc", "none"};
    constexpr size_t kCount = sizeof kTags / sizeof kTags[0];
    for (size_t b = 0; b < blocks.size(); ++b) {
        SCOPED_TRACE(b);
        const Bytes& bytes = blocks[b];
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        if (!bytes.empty())
            std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
        GlobalUnlock(memory);
        CChunkBlock block(memory, FALSE, TRUE);
        block.SetLength(static_cast<LONG>(bytes.size()));

        brick_record::Field fields[kCount];
        brick_record::FindFields(bytes.data(), bytes.size(), kTags, fields, kCount);
        for (size_t t = 0; t < kCount; ++t) {
            SCOPED_TRACE(kTags[t]);
            EXPECT_EQ(fields[t].found, block.HasChunk(kTags[t]) != FALSE);
            BYTE expected[16] = {};
            const DWORD count = block.Get(kTags[t], expected, sizeof expected);
            EXPECT_EQ(std::min<size_t>(fields[t].length, sizeof expected), count);
            if (fields[t].found && count > 0) {
                EXPECT_EQ(std::memcmp(fields[t].data, expected, count), 0);
            }
            EXPECT_EQ(brick_record::FieldLong(fields[t]), brick_record::GetLong(block, kTags[t]));
        }
    }
}
