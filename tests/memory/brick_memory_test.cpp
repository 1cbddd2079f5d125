// What an opened model holds, counted through the allocator: this binary
// replaces operator new to keep a count of the bytes alive, and the global
// blocks count their own. A brick that kept a private picture or mask, or
// anything else of its own on the heap, shows up here.
#include <gtest/gtest.h>

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "model/brick_look.h"
#include "tests/document/document_fixture.h"

namespace {

std::atomic<long long> g_newBytes{0};

void* CountedAlloc(std::size_t size) noexcept
{
    void* p = std::malloc(size ? size : 1);
    if (p)
        g_newBytes += static_cast<long long>(malloc_usable_size(p));
    return p;
}

void CountedFree(void* p) noexcept
{
    if (!p)
        return;
    g_newBytes -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}

}  // namespace

void* operator new(std::size_t size)
{
    if (void* p = CountedAlloc(size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return ::operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return CountedAlloc(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return CountedAlloc(size);
}
void operator delete(void* p) noexcept
{
    CountedFree(p);
}
void operator delete[](void* p) noexcept
{
    CountedFree(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    CountedFree(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    CountedFree(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    CountedFree(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    CountedFree(p);
}

namespace {

using namespace doctest;

long long HeldBytes()
{
    return g_newBytes + static_cast<long long>(platform::GlobalBytesAlive());
}

// One group of `count` bricks of the built-in class, every record whole, in
// every colour and orientation; or, with `empty`, records with no chunk at all.
Bytes Model(int count, bool empty)
{
    Bytes bricks;
    for (int i = 0; i < count; ++i) {
        if (empty) {
            bricks.insert(bricks.end(), 4, 0);
            continue;
        }
        BrickFields fields;
        fields.colour = i % 12;
        fields.orientation = i % 4;
        fields.x = static_cast<SHORT>(i % 100);
        fields.y = static_cast<SHORT>(i / 100);
        const Bytes record = BrickRecord(fields);
        bricks.insert(bricks.end(), record.begin(), record.end());
    }
    return FileHead(SettingsChunks(Settings{})) + GroupHead(static_cast<DWORD>(count), 0) + bricks;
}

class BrickMemoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = std::filesystem::temp_directory_path() / ("dizado-memory-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    // Bytes the document holds after opening the model, beyond what it held empty.
    long long HeldAfterOpening(const Bytes& file)
    {
        const std::string path = (m_folder / "model.brk").string();
        WriteFile(path, file);
        CDizadoDoc doc;
        // The first opening sizes the tables that stay (the look index's buckets).
        EXPECT_TRUE(doc.OnOpenDocument(path.c_str()));
        doc.DeleteContents();
        const long long before = HeldBytes();
        EXPECT_TRUE(doc.OnOpenDocument(path.c_str()));
        const long long held = HeldBytes() - before;
        doc.DeleteContents();
        EXPECT_EQ(HeldBytes(), before) << "closing gives back what opening took";
        EXPECT_EQ(CBrickLook::LooksAlive(), 0u);
        return held;
    }

    std::filesystem::path m_folder;
};

TEST_F(BrickMemoryTest, EachBrickHoldsOnlyItsOwnFields)
{
    constexpr int kBricks = 4000;
    for (bool empty : {false, true}) {
        SCOPED_TRACE(empty ? "empty records" : "whole records");
        const Bytes small = Model(kBricks, empty);
        const long long once = HeldAfterOpening(small);
        const long long twice = HeldAfterOpening(Model(2 * kBricks, empty));
        const long long perBrick = (twice - once) / kBricks;
        EXPECT_LT(perBrick, 128) << "bytes per brick";
        // An empty record is four bytes of file: the worst a file can ask for.
        // The pictures it names are held once, whatever the number of bricks.
        EXPECT_LT(once, 40 * static_cast<long long>(small.size()) + 16 * 1024);
    }
}

}  // namespace
