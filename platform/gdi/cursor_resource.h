// Cursor resources read as data: a GROUP_CURSOR directory names one CURSOR
// image per size; an image is its hot spot followed by a device-independent
// bitmap of twice the cursor's height, the XOR image above the AND mask.
// The window layer turns the decoded picture into a toolkit cursor.
#pragma once

#include <cstddef>
#include <optional>

#include "platform/core/resources.h"
#include "platform/core/types.h"
#include "platform/gdi/argb_image.h"

namespace platform {

struct CursorPicture {
    ArgbImage image;
    POINT hotSpot{};  // inside the image
    // Pixels the cursor would invert the screen under (AND mask set, XOR
    // colour not black). An image cannot invert, so they are opaque black.
    int invertedPixels = 0;
};

// Cursors are at most this wide and high.
constexpr int kLargestCursorSide = 256;

// The CURSOR image id that a GROUP_CURSOR directory offers for a `width` x
// `height` cursor: the entry of that size, else the nearest in size (the first
// of equals). 0 when the directory is malformed or lists no image.
WORD PickCursorImage(const void* directory, size_t size, int width, int height);

// Decodes the bytes of one CURSOR resource. Images of 1, 4 and 8 bits a pixel
// with a colour table, and of 24 and 32 bits (32-bit images with any alpha
// use it in place of the AND mask), uncompressed. A hot spot outside the
// image is moved to its nearest pixel. Nothing for anything malformed.
std::optional<CursorPicture> DecodeCursorImage(const void* bytes, size_t size);

// Group cursor `name` of `module` in the size nearest `width` x `height`.
// Nothing when the module holds no such cursor or it is malformed.
std::optional<CursorPicture> LoadCursorPicture(HMODULE module, const char* name, int width = 32, int height = 32);

}  // namespace platform
