// The check of packed bitmaps (brick pictures, previews), and drawing what it
// lets through.
#include <algorithm>
#include <cstring>
#include <vector>

#include "model/bitmap_check.h"
#include "platform/core/resources.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/dib.h"
#include "platform/gdi/surface.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

void DrawChecked(const uint8_t* data, size_t size, bool withFileHeader)
{
    BitmapLayout layout;
    if (!CheckPackedBitmap(data, size, withFileHeader, &layout))
        return;
    if (layout.pixelOffset > size || layout.stride * static_cast<size_t>(layout.height) > size - layout.pixelOffset ||
        layout.tableOffset + 4 * size_t{layout.colours} > layout.pixelOffset)
        fuzz::Fail("bitmap layout outside the bytes");
    fuzz::Touch(data + layout.tableOffset, layout.pixelOffset - layout.tableOffset);
    fuzz::Touch(data + layout.pixelOffset, layout.stride * static_cast<size_t>(layout.height));

    // As the program keeps pictures: the information header on a 4-byte boundary.
    const size_t shift = (4 - layout.infoOffset % 4) % 4;
    std::vector<uint32_t> aligned((size + shift + 3) / 4);
    auto* base = reinterpret_cast<unsigned char*>(aligned.data()) + shift;
    std::memcpy(base, data, size);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(base + layout.infoOffset);
    platform::Surface surface(24, 24, RGB(1, 2, 3));
    CDC dc(&surface);
    const int width = std::min(layout.width, 24);
    const int height = std::min(layout.height, 24);
    dc.StretchDIBits(0, 0, width, height, 0, 0, layout.width, layout.height, base + layout.pixelOffset, info,
                     DIB_RGB_COLORS, SRCCOPY);
}

}  // namespace

int FuzzBitmap(const uint8_t* data, size_t size)
{
    DrawChecked(data, size, true);
    DrawChecked(data, size, false);
    return 0;
}

static void SeedBitmap(fuzz::Seeds& seeds)
{
    // The built-in brick's picture and preview, and the baseplate stud.
    seeds.Add("builtin-brick", fuzz::ProgramResource("BRICKIMAGE", MAKEINTRESOURCE(102)));
    seeds.Add("builtin-preview", fuzz::ProgramResource("BRICKPREVIEW", MAKEINTRESOURCE(1030)));
    fuzz::Bytes stud = fuzz::ProgramResource("BRICKIMAGE", MAKEINTRESOURCE(100));
    seeds.Add("stud", stud);
    if (stud.size() > 14)
        seeds.Add("stud-no-file-header", fuzz::Bytes(stud.begin() + 14, stud.end()));
}

DIZADO_FUZZ_TARGET(bitmap, FuzzBitmap, SeedBitmap)
