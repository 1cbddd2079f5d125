#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/chunk_block.h"

namespace {

// A block attached the way a reader attaches one read from a file.
struct Attached {
    explicit Attached(const std::vector<unsigned char>& bytes, size_t spare = 0)
    {
        HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + spare);
        std::memcpy(GlobalLock(handle), bytes.data(), bytes.size());
        GlobalUnlock(handle);
        block = std::make_unique<CChunkBlock>(handle, FALSE, TRUE);
        block->SetLength(static_cast<LONG>(bytes.size()));
    }
    std::unique_ptr<CChunkBlock> block;
};

std::vector<unsigned char> Bytes(const CChunkBlock& block)
{
    return {block.Data(), block.Data() + block.GetLength()};
}

std::vector<unsigned char> Chunk(const char* tag, std::vector<unsigned char> data, DWORD claimed = ~0u)
{
    const DWORD length = claimed == ~0u ? static_cast<DWORD>(data.size()) : claimed;
    std::vector<unsigned char> out(tag, tag + 4);
    out.push_back(static_cast<unsigned char>(length >> 24));
    out.push_back(static_cast<unsigned char>(length >> 16));
    out.push_back(static_cast<unsigned char>(length >> 8));
    out.push_back(static_cast<unsigned char>(length));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

TEST(ChunkBlock, EmptyBlockHasNothing)
{
    CChunkBlock block;
    unsigned char buffer[4] = {9, 9, 9, 9};
    EXPECT_EQ(block.HasChunk("vers"), 0);
    EXPECT_EQ(block.Get("vers", buffer, sizeof buffer), 0u);
    EXPECT_EQ(buffer[0], 9);
    EXPECT_EQ(block.GetLong("vers"), 0u);
    unsigned char text[256] = {7};
    block.GetString("wpth", text);
    EXPECT_EQ(text[0], 0);
}

TEST(ChunkBlock, PutWritesTagBigEndianLengthAndData)
{
    CChunkBlock block;
    block.PutLong("vers", 0x04030201);
    EXPECT_EQ(Bytes(block), (std::vector<unsigned char>{'v', 'e', 'r', 's', 0, 0, 0, 4, 1, 2, 3, 4}));
    EXPECT_EQ(block.GetLong("vers"), 0x04030201u);

    block.Put("rev ", "ab", 2);
    EXPECT_EQ(block.GetLength(), 22);
    char two[8] = {};
    EXPECT_EQ(block.Get("rev ", two, 1), 1u);  // cut to the maximum
    EXPECT_EQ(block.Get("rev ", two, 8), 2u);  // or the chunk's length
    EXPECT_STREQ(two, "ab");
    EXPECT_EQ(block.HasChunk("REV "), 0);  // tags are case-sensitive
}

TEST(ChunkBlock, RePutReplacesInPlaceAndKeepsTheOthers)
{
    CChunkBlock block;
    block.Put("aaaa", "12345678", 8);
    block.Put("bbbb", "xy", 2);
    block.Put("aaaa", "1", 1);  // shrink
    EXPECT_EQ(block.GetLength(), 8 + 1 + 8 + 2);
    char out[16] = {};
    EXPECT_EQ(block.Get("bbbb", out, sizeof out), 2u);
    EXPECT_EQ(std::string(out, 2), "xy");
    block.Put("aaaa", "abcdefghij", 10);  // grow
    EXPECT_EQ(block.Get("aaaa", out, sizeof out), 10u);
    EXPECT_EQ(std::string(out, 10), "abcdefghij");
    EXPECT_EQ(block.Get("bbbb", out, sizeof out), 2u);
    EXPECT_EQ(std::string(out, 2), "xy");
}

TEST(ChunkBlock, StringsAreCutTo255)
{
    CChunkBlock block;
    const std::string long300(300, 'q');
    block.Put("wpth", long300.data(), 300);
    unsigned char text[256];
    block.GetString("wpth", text);
    EXPECT_EQ(text[0], 255);
    EXPECT_EQ(text[255], 'q');

    unsigned char in[] = {3, 'a', 'b', 'c'};
    block.PutString("name", in);
    block.GetString("name", text);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(text + 1), text[0]), "abc");
}

TEST(ChunkBlock, ShortLongChunkReadsAsZero)
{
    CChunkBlock block;
    block.Put("colr", "\x05\x06", 2);
    EXPECT_EQ(block.GetLong("colr"), 0u);
}

TEST(ChunkBlock, FirstOfTwoEqualTagsWins)
{
    std::vector<unsigned char> bytes = Chunk("selc", {1, 0, 0, 0});
    const auto second = Chunk("selc", {2, 0, 0, 0});
    bytes.insert(bytes.end(), second.begin(), second.end());
    Attached attached(bytes);
    EXPECT_EQ(attached.block->GetLong("selc"), 1u);
}

TEST(ChunkBlock, DamagedLengthsNeverReadPastTheUsedLength)
{
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
    };
    auto good = Chunk("good", {1, 0, 0, 0});
    auto withTail = [&](std::vector<unsigned char> tail) {
        std::vector<unsigned char> all = good;
        all.insert(all.end(), tail.begin(), tail.end());
        return all;
    };
    const Case cases[] = {
        {"length past the end", withTail(Chunk("ppos", {1, 2}, 50))},
        {"length near 4 GiB", withTail(Chunk("ppos", {1, 2}, 0xFFFFFFF8u))},
        {"length 0x7FFFFFFF", withTail(Chunk("ppos", {1, 2}, 0x7FFFFFFFu))},
        {"header cut short", withTail({'p', 'p', 'o', 's', 0, 0})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Spare bytes behind the used length must not be taken for data either.
        Attached attached(c.bytes, 64);
        EXPECT_EQ(attached.block->GetLong("good"), 1u);
        EXPECT_EQ(attached.block->HasChunk("ppos"), 0);
        unsigned char buffer[8];
        EXPECT_EQ(attached.block->Get("ppos", buffer, sizeof buffer), 0u);
        // A chunk put afterwards is readable: the unreadable tail gives way.
        attached.block->PutLong("new!", 7);
        EXPECT_EQ(attached.block->GetLong("new!"), 7u);
        EXPECT_EQ(attached.block->GetLong("good"), 1u);
    }
}

TEST(ChunkBlock, SetLengthIsClampedToTheBlock)
{
    Attached attached(Chunk("good", {1, 0, 0, 0}));
    attached.block->SetLength(1000);
    EXPECT_EQ(attached.block->GetLength(), 12);
    attached.block->SetLength(-5);
    EXPECT_EQ(attached.block->GetLength(), 0);
    CChunkBlock none;
    none.SetLength(10);
    EXPECT_EQ(none.GetLength(), 0);
}

TEST(ChunkBlock, CopiesAndOwnership)
{
    const size_t before = platform::GlobalBlocksAlive();
    {
        CChunkBlock block;
        block.PutLong("vers", 1);
        HGLOBAL copy = block.CopyData();
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(GlobalSize(copy), 12u);
        const auto* bytes = static_cast<const unsigned char*>(GlobalLock(copy));
        EXPECT_EQ(std::memcmp(bytes, block.Data(), 12), 0);
        GlobalUnlock(copy);
        GlobalUnlock(copy);

        CChunkBlock copied(copy, TRUE, FALSE);  // a private copy: owned whatever the flag
        copied.SetLength(12);
        EXPECT_EQ(copied.GetLong("vers"), 1u);
        {
            CChunkBlock borrowed(copy, FALSE, FALSE);
            borrowed.SetLength(12);
            EXPECT_EQ(borrowed.GetLong("vers"), 1u);
        }
        EXPECT_EQ(GlobalSize(copy), 12u);  // not freed by the borrower
        GlobalFree(copy);
    }
    EXPECT_EQ(platform::GlobalBlocksAlive(), before);
}

}  // namespace
