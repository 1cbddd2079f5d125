#include "platform/gdi/cursor_resource.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/dib.h"

namespace {

using platform::CursorPicture;
using platform::DecodeCursorImage;
using platform::PickCursorImage;
using Bytes = std::vector<unsigned char>;

void Add16(Bytes& b, uint32_t v)
{
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}
void Add32(Bytes& b, uint32_t v)
{
    Add16(b, v & 0xFFFF);
    Add16(b, v >> 16);
}
void Put16(Bytes& b, size_t at, uint32_t v)
{
    b.at(at) = static_cast<unsigned char>(v);
    b.at(at + 1) = static_cast<unsigned char>(v >> 8);
}
void Put32(Bytes& b, size_t at, uint32_t v)
{
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

// Offsets in a cursor image: the hot spot, then the information header.
constexpr size_t kWidth = 8;
constexpr size_t kHeight = 12;
constexpr size_t kPlanes = 16;
constexpr size_t kBits = 18;
constexpr size_t kCompression = 20;
constexpr size_t kColoursUsed = 36;

// A cursor image as a resource holds it. `pixels` are colour table indices
// (up to 8 bits) or 0xAARRGGBB values, `mask` the AND bits; both top row first.
struct Image {
    int width = 0;
    int height = 0;
    int bits = 1;
    POINT hot{};
    std::vector<uint32_t> table;  // 0xRRGGBB
    std::vector<uint32_t> pixels;
    std::vector<int> mask;

    Bytes Resource() const
    {
        Bytes b;
        Add16(b, static_cast<uint32_t>(hot.x));
        Add16(b, static_cast<uint32_t>(hot.y));
        Add32(b, 40);
        Add32(b, static_cast<uint32_t>(width));
        Add32(b, static_cast<uint32_t>(2 * height));
        Add16(b, 1);
        Add16(b, static_cast<uint32_t>(bits));
        Add32(b, 0);
        Add32(b, 0);
        Add32(b, 0);
        Add32(b, 0);
        Add32(b, static_cast<uint32_t>(table.size()));
        Add32(b, 0);
        for (uint32_t c : table)
            Add32(b, c);
        const size_t stride = DibRowStride(width, bits);
        for (int y = height - 1; y >= 0; --y) {
            Bytes row(stride, 0);
            for (int x = 0; x < width; ++x) {
                const uint32_t p = pixels[static_cast<size_t>(y * width + x)];
                if (bits <= 8) {
                    const int perByte = 8 / bits;
                    row[static_cast<size_t>(x / perByte)] |=
                        static_cast<unsigned char>(p << (8 - bits * (x % perByte + 1)));
                } else {
                    for (int k = 0; k < bits / 8; ++k)
                        row[static_cast<size_t>(x * (bits / 8) + k)] = static_cast<unsigned char>(p >> (8 * k));
                }
            }
            b.insert(b.end(), row.begin(), row.end());
        }
        const size_t maskStride = DibRowStride(width, 1);
        for (int y = height - 1; y >= 0; --y) {
            Bytes row(maskStride, 0);
            for (int x = 0; x < width; ++x)
                if (mask[static_cast<size_t>(y * width + x)])
                    row[static_cast<size_t>(x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
            b.insert(b.end(), row.begin(), row.end());
        }
        return b;
    }
};

std::optional<CursorPicture> Decode(const Bytes& b)
{
    return DecodeCursorImage(b.data(), b.size());
}

// Black, white, see-through and screen-inverting pixels, on two rows so that
// a picture decoded upside down fails.
Image Monochrome()
{
    Image i;
    i.width = 4;
    i.height = 2;
    i.bits = 1;
    i.hot = POINT{2, 1};
    i.table = {0x000000, 0xFFFFFF};
    i.pixels = {0, 1, 0, 1, 1, 1, 0, 0};
    i.mask = {0, 0, 1, 1, 0, 0, 1, 1};
    return i;
}

TEST(CursorImage, MonochromeIsDecodedThroughItsMask)
{
    const std::optional<CursorPicture> c = Decode(Monochrome().Resource());
    ASSERT_TRUE(c);
    EXPECT_EQ(c->image.width, 4);
    EXPECT_EQ(c->image.height, 2);
    EXPECT_EQ(c->hotSpot.x, 2);
    EXPECT_EQ(c->hotSpot.y, 1);
    const std::vector<uint32_t> expected = {0xFF000000, 0xFFFFFFFF, 0x00000000, 0xFF000000,
                                            0xFFFFFFFF, 0xFFFFFFFF, 0x00000000, 0x00000000};
    EXPECT_EQ(c->image.pixels, expected);
    EXPECT_EQ(c->invertedPixels, 1);
}

// Each depth with a colour table, and 24 bits without: pixel (x, y) of a
// 9 x 2 image (odd widths pad their rows) is colour x + 9y.
TEST(CursorImage, EveryDepthReadsItsColours)
{
    for (int bits : {4, 8, 24}) {
        SCOPED_TRACE(bits);
        Image i;
        i.width = 9;
        i.height = 2;
        i.bits = bits;
        std::vector<uint32_t> colours;
        for (uint32_t k = 0; k < 18; ++k)
            colours.push_back(0x102030 + 0x010203 * k);
        if (bits == 4)
            colours.resize(16);
        for (size_t k = 0; k < 18; ++k)
            i.pixels.push_back(bits == 24 ? colours[k] : static_cast<uint32_t>(k % colours.size()));
        if (bits <= 8)
            i.table = colours;
        i.mask.assign(18, 0);
        const std::optional<CursorPicture> c = Decode(i.Resource());
        ASSERT_TRUE(c);
        for (size_t k = 0; k < 18; ++k)
            EXPECT_EQ(c->image.pixels[k], 0xFF000000u | colours[k % colours.size()]) << "pixel " << k;
    }
}

TEST(CursorImage, ThirtyTwoBitsUseTheirAlphaOnlyWhenTheyHaveAny)
{
    Image i;
    i.width = 2;
    i.height = 1;
    i.bits = 32;
    i.mask = {1, 0};
    i.pixels = {0x80102030, 0x00000000};
    std::optional<CursorPicture> c = Decode(i.Resource());
    ASSERT_TRUE(c);
    EXPECT_EQ(c->image.pixels, (std::vector<uint32_t>{0x80102030, 0x00000000}));

    i.pixels = {0x00000000, 0x00405060};
    c = Decode(i.Resource());
    ASSERT_TRUE(c);
    EXPECT_EQ(c->image.pixels, (std::vector<uint32_t>{0x00000000, 0xFF405060}));
}

TEST(CursorImage, HotSpotOutsideIsMovedOntoTheImage)
{
    Image i = Monochrome();
    i.hot = POINT{4, 0xFFFF};
    const std::optional<CursorPicture> c = Decode(i.Resource());
    ASSERT_TRUE(c);
    EXPECT_EQ(c->hotSpot.x, 3);
    EXPECT_EQ(c->hotSpot.y, 1);
}

TEST(CursorImage, MalformedImagesGiveNothing)
{
    const Bytes good = Monochrome().Resource();
    ASSERT_TRUE(Decode(good));
    const struct {
        const char* what;
        size_t at;
        uint32_t value;
        bool dword;
    } cases[] = {
        {"header size below 40", 4, 12, true},
        {"header past the end", 4, 0x10000, true},
        {"zero width", kWidth, 0, true},
        {"too wide", kWidth, 257, true},
        {"negative width", kWidth, 0xFFFFFFFC, true},
        {"odd height", kHeight, 3, true},
        {"top-down rows", kHeight, 0xFFFFFFFC, true},
        {"too high", kHeight, 514, true},
        {"two planes", kPlanes, 2, false},
        {"2 bits a pixel", kBits, 2, false},
        {"16 bits a pixel", kBits, 16, false},
        {"compressed", kCompression, 1, true},
        {"more colours than the depth", kColoursUsed, 3, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes b = good;
        if (c.dword)
            Put32(b, c.at, c.value);
        else
            Put16(b, c.at, c.value);
        EXPECT_FALSE(Decode(b));
    }
    // An index beyond a short colour table.
    Image i = Monochrome();
    i.table = {0x000000};
    EXPECT_FALSE(Decode(i.Resource()));
    // Every truncation.
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(DecodeCursorImage(good.data(), n)) << n << " bytes";
    EXPECT_FALSE(DecodeCursorImage(nullptr, good.size()));
}

// A group directory: reserved, type 2, count, then width, doubled height,
// planes, bits, bytes and image id per entry.
Bytes Directory(std::initializer_list<std::array<uint32_t, 3>> entries)
{
    Bytes b;
    Add16(b, 0);
    Add16(b, 2);
    Add16(b, static_cast<uint32_t>(entries.size()));
    for (const auto& e : entries) {
        Add16(b, e[0]);
        Add16(b, 2 * e[1]);
        Add16(b, 1);
        Add16(b, 1);
        Add32(b, 100);
        Add16(b, e[2]);
    }
    return b;
}

TEST(CursorDirectory, PicksTheSizeAskedForElseTheNearest)
{
    const Bytes d = Directory({{16, 16, 1}, {32, 32, 2}, {48, 48, 3}, {30, 30, 4}, {34, 34, 5}});
    const struct {
        int width, height;
        WORD id;
    } cases[] = {{32, 32, 2}, {16, 16, 1}, {20, 20, 1}, {31, 31, 2}, {40, 40, 5}, {45, 45, 3}, {100, 100, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(PickCursorImage(d.data(), d.size(), c.width, c.height), c.id) << c.width << " x " << c.height;
    // The first of equally near entries.
    const Bytes tie = Directory({{30, 30, 7}, {34, 34, 8}});
    EXPECT_EQ(PickCursorImage(tie.data(), tie.size(), 32, 32), 7);
}

TEST(CursorDirectory, MalformedDirectoriesGiveNoImage)
{
    const Bytes good = Directory({{32, 32, 2}});
    ASSERT_EQ(PickCursorImage(good.data(), good.size(), 32, 32), 2);
    const struct {
        const char* what;
        size_t at;
        uint32_t value;
    } cases[] = {
        {"reserved word set", 0, 1},
        {"an icon directory", 2, 1},
        {"no entries", 4, 0},
        {"more entries than bytes", 4, 2},
        {"image id 0", 18, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes b = good;
        Put16(b, c.at, c.value);
        EXPECT_EQ(PickCursorImage(b.data(), b.size(), 32, 32), 0);
    }
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_EQ(PickCursorImage(good.data(), n, 32, 32), 0) << n << " bytes";
    EXPECT_EQ(PickCursorImage(nullptr, good.size(), 32, 32), 0);
}

// A compiled resource file of numbered resources.
class ResFile {
public:
    ResFile()
    {
        static const unsigned char marker[32] = {0, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF};
        m_bytes.assign(marker, marker + sizeof marker);
    }
    ResFile& Add(WORD type, WORD id, const Bytes& data)
    {
        Add32(m_bytes, static_cast<uint32_t>(data.size()));
        Add32(m_bytes, 32);
        Add16(m_bytes, 0xFFFF);
        Add16(m_bytes, type);
        Add16(m_bytes, 0xFFFF);
        Add16(m_bytes, id);
        Add32(m_bytes, 0);
        Add16(m_bytes, 0x1010);
        Add16(m_bytes, 0x0409);
        Add32(m_bytes, 0);
        Add32(m_bytes, 0);
        m_bytes.insert(m_bytes.end(), data.begin(), data.end());
        m_bytes.resize((m_bytes.size() + 3) & ~size_t{3}, 0);
        return *this;
    }
    HMODULE Open() const { return platform::OpenResourceModuleFromMemory(m_bytes); }

private:
    Bytes m_bytes;
};

TEST(CursorResource, GroupLeadsToItsImage)
{
    Image small = Monochrome();
    Image large = Monochrome();
    large.width = 8;
    large.pixels.assign(16, 1);
    large.mask.assign(16, 0);
    ResFile res;
    res.Add(1, 1, small.Resource())
        .Add(1, 2, large.Resource())
        .Add(12, 200, Directory({{4, 2, 1}, {8, 2, 2}}))
        .Add(12, 201, Directory({{32, 32, 9}}));  // names a missing image
    HMODULE module = res.Open();
    ASSERT_TRUE(module);

    std::optional<CursorPicture> c = platform::LoadCursorPicture(module, MAKEINTRESOURCE(200), 8, 2);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->image.width, 8);
    EXPECT_EQ(c->image.pixels, std::vector<uint32_t>(16, 0xFFFFFFFF));
    c = platform::LoadCursorPicture(module, "#200", 4, 2);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->image.width, 4);
    EXPECT_EQ(c->hotSpot.x, 2);

    EXPECT_FALSE(platform::LoadCursorPicture(module, MAKEINTRESOURCE(201)));
    EXPECT_FALSE(platform::LoadCursorPicture(module, MAKEINTRESOURCE(202)));
    // An image id is not a group.
    EXPECT_FALSE(platform::LoadCursorPicture(module, MAKEINTRESOURCE(1)));
    FreeLibrary(module);
}

}  // namespace
