// Reading the pixels of a device-independent bitmap whose header has been
// checked, for the device context's bitmap copies.
#pragma once

#include <cstdint>

#include "platform/gdi/dib.h"
#include "platform/gdi/palette.h"

namespace platform {

class DibSource {
public:
    // False for anything the layer does not draw (see CDC::StretchDIBits);
    // `palette` is read for DIB_PAL_COLORS and must stay while this is used.
    bool Open(const BITMAPINFO* info, UINT usage, const void* bits, const CPalette* palette);

    int64_t Width() const { return m_width; }
    int64_t Rows() const { return m_rows; }
    bool TopDown() const { return m_topDown; }

    // Row `index` of the bytes given (0 = the first there), and pixel
    // `column` of it; both within the bitmap, which the caller keeps.
    const BYTE* Row(int64_t index) const { return m_bits + static_cast<uint64_t>(index) * m_stride; }
    uint32_t Pixel(const BYTE* row, int64_t column) const;

private:
    uint32_t FromTable(unsigned value) const;

    const BYTE* m_bits = nullptr;
    const BYTE* m_table = nullptr;
    const CPalette* m_palette = nullptr;
    uint64_t m_stride = 0;
    int64_t m_width = 0;
    int64_t m_rows = 0;
    unsigned m_tableEntries = 0;
    int m_bitCount = 0;
    bool m_topDown = false;
    bool m_paletteIndices = false;
};

}  // namespace platform
