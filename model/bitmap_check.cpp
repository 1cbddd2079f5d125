#include "model/bitmap_check.h"

#include <cstring>

#include "platform/gdi/dib.h"

bool CheckPackedBitmap(const void* bytes, size_t size, bool withFileHeader, BitmapLayout* layout)
{
    if (!bytes)
        return false;
    const auto* p = static_cast<const unsigned char*>(bytes);
    const size_t infoAt = withFileHeader ? sizeof(BITMAPFILEHEADER) : 0;
    if (size < infoAt + sizeof(BITMAPINFOHEADER))
        return false;
    if (withFileHeader) {
        BITMAPFILEHEADER file;
        std::memcpy(&file, p, sizeof file);
        if (file.bfType != kBitmapFileType)
            return false;
    }
    BITMAPINFOHEADER info;
    std::memcpy(&info, p + infoAt, sizeof info);
    if (info.biSize < sizeof(BITMAPINFOHEADER) || info.biSize > size - infoAt)
        return false;
    if (info.biBitCount != 8 || info.biPlanes != 1 || info.biCompression != BI_RGB)
        return false;
    if (info.biWidth <= 0 || info.biHeight <= 0 || info.biWidth > 32767 || info.biHeight > 32767)
        return false;
    const uint32_t colours = info.biClrUsed == 0 ? 256u : info.biClrUsed;
    if (colours > 256)
        return false;
    const uint64_t tableAt = infoAt + static_cast<uint64_t>(info.biSize);
    const uint64_t pixelAt = tableAt + 4ull * colours;
    const uint64_t stride = DibRowStride(info.biWidth, 8);
    const uint64_t pixelBytes = stride * static_cast<uint64_t>(info.biHeight);
    if (pixelAt > size || pixelBytes > size - pixelAt)
        return false;
    if (layout) {
        layout->width = static_cast<int>(info.biWidth);
        layout->height = static_cast<int>(info.biHeight);
        layout->colours = colours;
        layout->infoOffset = infoAt;
        layout->tableOffset = static_cast<size_t>(tableAt);
        layout->pixelOffset = static_cast<size_t>(pixelAt);
        layout->stride = static_cast<size_t>(stride);
    }
    return true;
}
