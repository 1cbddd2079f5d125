// Drawing the program's "BRICKIMAGE" pictures (bitmap file images) in the
// children's dialogs: a backdrop tiled from a small brick picture, and a
// picture drawn whole.
#pragma once

#include "platform/core/global_memory.h"
#include "platform/core/types.h"

class CDC;
class CPalette;

// Tiles the picture over the context's clip box, rows and columns from the
// client origin. FALSE, drawing nothing, when it is missing or damaged.
BOOL TileBrickImage(CDC* dc, UINT imageId, CPalette* palette);

// Draws a bitmap file image 1:1 with its top-left corner at (x, y). FALSE,
// drawing nothing, when it is not a whole 8-bit picture.
BOOL DrawFileImage(CDC* dc, HGLOBAL image, int x, int y);

// The width and height of a bitmap file image; FALSE when it is not a whole
// 8-bit picture.
BOOL GetFileImageSize(HGLOBAL image, int& width, int& height);
