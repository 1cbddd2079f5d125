// The cursor resources read as data: the same bytes taken as a GROUP_CURSOR
// directory and as one CURSOR image.
#include <set>
#include <string>

#include "platform/gdi/cursor_resource.h"
#include "resources/resource_ids.h"
#include "tests/fuzz/fuzz_support.h"

int FuzzCursor(const uint8_t* data, size_t size)
{
    for (const int side : {16, 32, 48, 0, platform::kLargestCursorSide + 1})
        platform::PickCursorImage(data, size, side, side);

    const auto cursor = platform::DecodeCursorImage(data, size);
    if (!cursor)
        return 0;
    const platform::ArgbImage& image = cursor->image;
    if (image.width < 1 || image.height < 1 || image.width > platform::kLargestCursorSide ||
        image.height > platform::kLargestCursorSide)
        fuzz::Fail("a cursor of a size no cursor has");
    if (image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
        fuzz::Fail("cursor pixels do not fill the image");
    if (cursor->hotSpot.x < 0 || cursor->hotSpot.y < 0 || cursor->hotSpot.x >= image.width ||
        cursor->hotSpot.y >= image.height)
        fuzz::Fail("cursor hot spot outside the image");
    if (cursor->invertedPixels < 0 || static_cast<size_t>(cursor->invertedPixels) > image.pixels.size())
        fuzz::Fail("more inverted pixels than pixels");
    fuzz::Touch(image.pixels.data(), image.pixels.size() * sizeof image.pixels[0]);
    return 0;
}

// Each of the program's cursors: its directory and the image picked for every size.
static void SeedCursor(fuzz::Seeds& seeds)
{
    std::set<WORD> images;
    for (const int id : {IDC_TOOL_SELECT, IDC_TOOL_PAINT, IDC_TOOL_NEW_BRICK, IDC_TOOL_ERASE}) {
        const fuzz::Bytes directory = fuzz::ProgramResource(RT_GROUP_CURSOR, MAKEINTRESOURCE(id));
        seeds.Add("group-" + std::to_string(id), directory);
        for (const int side : {16, 32, 48, 64}) {
            const WORD image = platform::PickCursorImage(directory.data(), directory.size(), side, side);
            if (image && images.insert(image).second)
                seeds.Add("image-" + std::to_string(image), fuzz::ProgramResource(RT_CURSOR, MAKEINTRESOURCE(image)));
        }
    }
}

DIZADO_FUZZ_TARGET(cursor, FuzzCursor, SeedCursor)
