#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/global_buffer.h"
#include "platform/core/global_memory.h"
#include "platform/core/hooks.h"
#include "tests/support/message_box_recorder.h"

namespace {

std::vector<BYTE> ReadAll(CGlobalBuffer& buffer, DWORD n)
{
    std::vector<BYTE> bytes(n);
    buffer.Seek(0);
    buffer.Read(bytes.data(), n);
    return bytes;
}

TEST(GlobalBuffer, SeekGoesBackToPatchAWord)
{
    CGlobalBuffer buffer;
    const BYTE ten[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    buffer.Write(ten, 10);
    EXPECT_EQ(buffer.GetPosition(), 10u);
    buffer.Seek(4);
    buffer.WriteShort(0x1234);
    EXPECT_EQ(buffer.GetPosition(), 6u);
    EXPECT_EQ(buffer.PeekLastShort(), 0x1234);
    EXPECT_EQ(ReadAll(buffer, 11), (std::vector<BYTE>{1, 2, 3, 4, 0x34, 0x12, 7, 8, 9, 10, 0}));
    EXPECT_EQ(buffer.GetPosition(), 11u);
}

TEST(GlobalBuffer, StartsZeroedAndFreesItsBlock)
{
    const size_t blocks = platform::GlobalBlocksAlive();
    {
        CGlobalBuffer buffer;
        EXPECT_EQ(platform::GlobalBlocksAlive(), blocks + 1);
        EXPECT_EQ(buffer.GetPosition(), 0u);
        EXPECT_EQ(ReadAll(buffer, CGlobalBuffer::kCapacity), std::vector<BYTE>(CGlobalBuffer::kCapacity, 0));
        buffer.Seek(0);
        buffer.WriteShort(-2);
        EXPECT_EQ(buffer.PeekLastShort(), -2);
    }
    EXPECT_EQ(platform::GlobalBlocksAlive(), blocks);
}

TEST(GlobalBuffer, FillsToCapacityThenRefusesWithOverflow)
{
    MessageBoxRecorder boxes;
    CGlobalBuffer buffer;
    std::vector<BYTE> bytes(CGlobalBuffer::kCapacity - 1, 0xAB);
    buffer.Write(bytes.data(), static_cast<DWORD>(bytes.size()));
    const BYTE last = 0xCD;
    buffer.Write(&last, 1);
    EXPECT_EQ(buffer.GetPosition(), CGlobalBuffer::kCapacity);
    EXPECT_TRUE(boxes.texts.empty());

    buffer.WriteShort(0x7777);
    EXPECT_EQ(boxes.texts, std::vector<std::string>{"overflow"});
    EXPECT_EQ(buffer.GetPosition(), CGlobalBuffer::kCapacity);
    EXPECT_EQ(buffer.PeekLastShort(), static_cast<SHORT>(0xCDAB));
}

TEST(GlobalBuffer, AWriteThatCrossesTheEndWritesNothing)
{
    MessageBoxRecorder boxes;
    CGlobalBuffer buffer;
    buffer.Seek(CGlobalBuffer::kCapacity - 3);
    const BYTE four[4] = {1, 2, 3, 4};
    buffer.Write(four, 4);
    EXPECT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(buffer.GetPosition(), CGlobalBuffer::kCapacity - 3);
    buffer.Write(four, 0xFFFFFFFF);
    EXPECT_EQ(boxes.texts.size(), 2u);
    EXPECT_EQ(ReadAll(buffer, CGlobalBuffer::kCapacity).back(), 0);
}

TEST(GlobalBuffer, ReadsSeeksAndPeeksStayInsideTheBlock)
{
    MessageBoxRecorder boxes;
    CGlobalBuffer buffer;
    EXPECT_EQ(buffer.PeekLastShort(), 0);
    buffer.WriteShort(0x0101);
    buffer.Seek(1);
    EXPECT_EQ(buffer.PeekLastShort(), 0);

    buffer.Seek(-20);
    EXPECT_EQ(buffer.GetPosition(), 0u);
    buffer.Seek(CGlobalBuffer::kCapacity + 1, 1);
    EXPECT_EQ(buffer.GetPosition(), CGlobalBuffer::kCapacity);
    buffer.Seek(0x7FFFFFFF);
    EXPECT_EQ(buffer.GetPosition(), CGlobalBuffer::kCapacity);

    // A read past the end gives zeros and leaves the cursor.
    buffer.Seek(CGlobalBuffer::kCapacity - 2);
    std::vector<BYTE> out(4, 0xEE);
    buffer.Read(out.data(), 4);
    EXPECT_EQ(out, std::vector<BYTE>(4, 0));
    EXPECT_EQ(buffer.GetPosition(), CGlobalBuffer::kCapacity - 2);
    buffer.Read(out.data(), 2);
    EXPECT_EQ(buffer.GetPosition(), CGlobalBuffer::kCapacity);
    EXPECT_TRUE(boxes.texts.empty());
}

}  // namespace
