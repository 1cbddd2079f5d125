#include "platform/gdi/cursor_resource.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "platform/gdi/dib.h"

namespace platform {
namespace {

// Little-endian reads from bytes whose length the caller has checked.
uint32_t Get16(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8);
}
uint32_t Get32(const uint8_t* p)
{
    return Get16(p) | (Get16(p + 2) << 16);
}

constexpr size_t kDirectoryHeader = 6;  // reserved, type, count
constexpr size_t kDirectoryEntry = 14;  // width, height x 2, planes, bits, bytes, id
constexpr uint32_t kCursorType = 2;

bool Bit(const uint8_t* row, int x)
{
    return (row[x / 8] >> (7 - x % 8)) & 1;
}

}  // namespace

WORD PickCursorImage(const void* directory, size_t size, int width, int height)
{
    const auto* d = static_cast<const uint8_t*>(directory);
    if (!d || size < kDirectoryHeader || Get16(d) != 0 || Get16(d + 2) != kCursorType)
        return 0;
    const size_t count = Get16(d + 4);
    if (count == 0 || size < kDirectoryHeader + count * kDirectoryEntry)
        return 0;
    WORD best = 0;
    long bestDistance = std::numeric_limits<long>::max();
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = d + kDirectoryHeader + i * kDirectoryEntry;
        const WORD id = static_cast<WORD>(Get16(e + 12));
        if (id == 0)
            continue;
        // The directory counts the height of XOR image and mask together.
        const long distance = std::labs(static_cast<long>(Get16(e)) - width) +
                              std::labs(static_cast<long>(Get16(e + 2) / 2) - height);
        if (distance < bestDistance) {
            best = id;
            bestDistance = distance;
        }
    }
    return best;
}

std::optional<CursorPicture> DecodeCursorImage(const void* bytes, size_t size)
{
    const auto* b = static_cast<const uint8_t*>(bytes);
    constexpr size_t kHotSpot = 4;
    constexpr size_t kInfoHeader = sizeof(BITMAPINFOHEADER);
    if (!b || size < kHotSpot + kInfoHeader)
        return std::nullopt;
    const uint8_t* info = b + kHotSpot;
    const uint32_t headerSize = Get32(info);
    const int32_t width = static_cast<int32_t>(Get32(info + 4));
    const int32_t doubleHeight = static_cast<int32_t>(Get32(info + 8));
    const uint32_t planes = Get16(info + 12);
    const uint32_t bits = Get16(info + 14);
    const uint32_t compression = Get32(info + 16);
    const uint32_t coloursUsed = Get32(info + 32);
    if (headerSize < kInfoHeader || headerSize > size - kHotSpot)
        return std::nullopt;
    // Rows bottom-up only; the height covers XOR image and mask.
    if (width < 1 || width > kLargestCursorSide || doubleHeight < 2 || doubleHeight % 2 != 0 ||
        doubleHeight / 2 > kLargestCursorSide)
        return std::nullopt;
    if (planes != 1 || compression != BI_RGB)
        return std::nullopt;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return std::nullopt;
    const int height = doubleHeight / 2;
    uint64_t colours = coloursUsed;
    if (bits <= 8) {
        if (colours == 0)
            colours = 1u << bits;
        if (colours > (1u << bits))
            return std::nullopt;
    } else if (colours > 256) {
        return std::nullopt;
    }
    const uint64_t tableAt = kHotSpot + headerSize;
    const uint64_t xorAt = tableAt + 4 * colours;
    const uint64_t xorStride = DibRowStride(width, static_cast<int>(bits));
    const uint64_t andAt = xorAt + xorStride * static_cast<uint64_t>(height);
    const uint64_t andStride = DibRowStride(width, 1);
    if (andAt + andStride * static_cast<uint64_t>(height) > size)
        return std::nullopt;

    CursorPicture cursor;
    cursor.hotSpot.x = std::min<LONG>(static_cast<LONG>(Get16(b)), width - 1);
    cursor.hotSpot.y = std::min<LONG>(static_cast<LONG>(Get16(b + 2)), height - 1);
    ArgbImage& image = cursor.image;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);

    bool useAlpha = false;
    if (bits == 32)
        for (int y = 0; y < height && !useAlpha; ++y)
            for (int x = 0; x < width && !useAlpha; ++x)
                useAlpha = b[xorAt + xorStride * static_cast<uint64_t>(y) + 4 * static_cast<uint64_t>(x) + 3] != 0;

    for (int y = 0; y < height; ++y) {
        // Stored bottom-up.
        const uint8_t* xorRow = b + xorAt + xorStride * static_cast<uint64_t>(height - 1 - y);
        const uint8_t* andRow = b + andAt + andStride * static_cast<uint64_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            uint32_t rgb = 0;
            uint32_t alpha = 0;
            if (bits <= 8) {
                const int perByte = 8 / static_cast<int>(bits);
                const int shift = 8 - static_cast<int>(bits) * (x % perByte + 1);
                const uint32_t index = (xorRow[x / perByte] >> shift) & ((1u << bits) - 1);
                if (index >= colours)
                    return std::nullopt;
                const uint8_t* entry = b + tableAt + 4 * static_cast<uint64_t>(index);
                rgb = (static_cast<uint32_t>(entry[2]) << 16) | (static_cast<uint32_t>(entry[1]) << 8) | entry[0];
            } else {
                const uint8_t* p = xorRow + static_cast<size_t>(x) * (bits / 8);
                rgb = (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
                if (useAlpha)
                    alpha = p[3];
            }
            uint32_t& out = image.pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
            if (useAlpha) {
                out = alpha == 0 ? 0 : (alpha << 24) | rgb;
            } else if (!Bit(andRow, x)) {
                out = 0xFF000000u | rgb;
            } else if (rgb != 0) {
                out = 0xFF000000u;
                ++cursor.invertedPixels;
            }
        }
    }
    return cursor;
}

std::optional<CursorPicture> LoadCursorPicture(HMODULE module, const char* name, int width, int height)
{
    HRSRC group = FindResourceA(module, name, RT_GROUP_CURSOR);
    if (!group)
        return std::nullopt;
    const WORD id = PickCursorImage(LockResource(LoadResource(module, group)), SizeofResource(module, group), width,
                                    height);
    if (id == 0)
        return std::nullopt;
    HRSRC image = FindResourceA(module, MAKEINTRESOURCE(id), RT_CURSOR);
    if (!image)
        return std::nullopt;
    return DecodeCursorImage(LockResource(LoadResource(module, image)), SizeofResource(module, image));
}

}  // namespace platform
