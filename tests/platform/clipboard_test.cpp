#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/core/clipboard.h"
#include "platform/core/global_memory.h"

namespace {

HGLOBAL BlockWith(const char* text)
{
    const size_t size = std::strlen(text) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
    std::memcpy(GlobalLock(block), text, size);
    GlobalUnlock(block);
    return block;
}

std::string TextOf(HGLOBAL block)
{
    if (!block)
        return "<none>";
    const auto* bytes = static_cast<const char*>(GlobalLock(block));
    std::string text(bytes, strnlen(bytes, GlobalSize(block)));
    GlobalUnlock(block);
    return text;
}

// Each test works on a clipboard of its own.
class Clipboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_blocksBefore = platform::GlobalBlocksAlive();
        m_previous = platform::SetClipboard(m_clipboard = new platform::MemoryClipboard);
        m_format = RegisterClipboardFormatA("Vostrel Dizado Data");
    }
    void TearDown() override
    {
        CloseClipboard();
        platform::SetClipboard(m_previous);
        delete m_clipboard;
        EXPECT_EQ(platform::GlobalBlocksAlive(), m_blocksBefore) << "the clipboard leaked or lost a block";
    }

    platform::MemoryClipboard* m_clipboard = nullptr;
    platform::IClipboard* m_previous = nullptr;
    size_t m_blocksBefore = 0;
    UINT m_format = 0;
    int m_owner = 0;  // stands for the window that opens the clipboard
};

TEST_F(Clipboard, RegisteredFormatsAreNamedAndStable)
{
    EXPECT_GE(m_format, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormatA("Vostrel Dizado Data"), m_format);
    EXPECT_EQ(RegisterClipboardFormatA("VOSTREL DIZADO DATA"), m_format);
    const UINT other = RegisterClipboardFormatA("dizado test format");
    EXPECT_GE(other, 0xC000u);
    EXPECT_NE(other, m_format);
    EXPECT_EQ(platform::ClipboardFormatName(m_format), "Vostrel Dizado Data");
    EXPECT_EQ(platform::ClipboardFormatName(other), "dizado test format");

    char name[8];
    EXPECT_EQ(GetClipboardFormatNameA(m_format, name, sizeof name), 7);
    EXPECT_STREQ(name, "Vostrel");

    const struct {
        const char* name;
    } refused[] = {{nullptr}, {""}};
    for (const auto& r : refused)
        EXPECT_EQ(RegisterClipboardFormatA(r.name), 0u);
    EXPECT_EQ(RegisterClipboardFormatA(std::string(256, 'x').c_str()), 0u);
    for (UINT unknown : {0u, 1u, 0xBFFFu, 0xFFFFu})
        EXPECT_EQ(platform::ClipboardFormatName(unknown), "") << unknown;
}

TEST_F(Clipboard, NothingWorksWithoutOpeningAndOnlyOneOpenerAtATime)
{
    HGLOBAL block = BlockWith("bricks");
    EXPECT_FALSE(CloseClipboard());
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_EQ(SetClipboardData(m_format, block), nullptr);
    EXPECT_EQ(GetClipboardData(m_format), nullptr);
    EXPECT_EQ(GlobalSize(block), 7u) << "a refused block stays the caller's";

    ASSERT_TRUE(OpenClipboard(&m_owner));
    int otherWindow = 0;
    EXPECT_FALSE(OpenClipboard(&otherWindow));
    EXPECT_FALSE(OpenClipboard(&m_owner));
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(CloseClipboard());
    EXPECT_TRUE(OpenClipboard(&otherWindow));
    EXPECT_TRUE(CloseClipboard());
    GlobalFree(block);
}

TEST_F(Clipboard, TheClipboardOwnsWhatItIsGiven)
{
    const size_t before = platform::GlobalBlocksAlive();
    ASSERT_TRUE(OpenClipboard(&m_owner));
    EXPECT_TRUE(EmptyClipboard());
    HGLOBAL first = BlockWith("first");
    EXPECT_EQ(SetClipboardData(m_format, first), first);
    // A newer block of the same format replaces and frees the older one.
    HGLOBAL second = BlockWith("second");
    EXPECT_EQ(SetClipboardData(m_format, second), second);
    EXPECT_EQ(platform::GlobalBlocksAlive(), before + 1);
    // The same block under a second format would be freed twice.
    const UINT other = RegisterClipboardFormatA("dizado other format");
    EXPECT_EQ(SetClipboardData(other, second), nullptr);
    EXPECT_EQ(SetClipboardData(m_format, nullptr), nullptr);
    HGLOBAL refused = BlockWith("x");
    EXPECT_EQ(SetClipboardData(0, refused), nullptr);
    EXPECT_EQ(platform::GlobalBlocksAlive(), before + 2);
    GlobalFree(refused);
    EXPECT_TRUE(CloseClipboard());

    // What was set is there after the clipboard was closed, also unopened.
    EXPECT_TRUE(IsClipboardFormatAvailable(m_format));
    EXPECT_FALSE(IsClipboardFormatAvailable(other));
    EXPECT_FALSE(IsClipboardFormatAvailable(0));
    ASSERT_TRUE(OpenClipboard(&m_owner));
    EXPECT_EQ(GetClipboardData(m_format), second);
    EXPECT_EQ(TextOf(GetClipboardData(m_format)), "second");
    EXPECT_EQ(GetClipboardData(other), nullptr);
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_FALSE(IsClipboardFormatAvailable(m_format));
    EXPECT_EQ(GetClipboardData(m_format), nullptr);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_EQ(platform::GlobalBlocksAlive(), before) << "emptying frees the blocks";
}

TEST_F(Clipboard, AnInstalledClipboardSeesTheProtocol)
{
    struct Recording : platform::IClipboard {
        bool refuseOpen = false;
        std::vector<std::string> calls;
        bool Open(void*) override
        {
            calls.push_back("open");
            return !refuseOpen;
        }
        void Close() override { calls.push_back("close"); }
        void Empty() override { calls.push_back("empty"); }
        bool IsFormatAvailable(UINT) override { return false; }
        bool SetData(UINT, HGLOBAL) override
        {
            calls.push_back("set");
            return false;
        }
        HGLOBAL GetData(UINT) override { return nullptr; }
    } recording;

    EXPECT_EQ(platform::SetClipboard(&recording), m_clipboard);
    recording.refuseOpen = true;
    EXPECT_FALSE(OpenClipboard(&m_owner));
    EXPECT_FALSE(CloseClipboard()) << "a refused open leaves the clipboard closed";

    recording.refuseOpen = false;
    ASSERT_TRUE(OpenClipboard(&m_owner));
    EmptyClipboard();
    HGLOBAL block = BlockWith("refused");
    EXPECT_EQ(SetClipboardData(m_format, block), nullptr);
    GlobalFree(block);
    // Replacing the clipboard while it is open closes it.
    EXPECT_EQ(platform::SetClipboard(m_clipboard), &recording);
    EXPECT_EQ(recording.calls, (std::vector<std::string>{"open", "open", "empty", "set", "close"}));
    EXPECT_FALSE(CloseClipboard());
}

}  // namespace
