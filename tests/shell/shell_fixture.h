// Small pictures made in memory and a recording sound output for the shell's
// tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/core/sound.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"

namespace shelltest {

inline void Put32(std::vector<unsigned char>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
}

inline void Put16(std::vector<unsigned char>& b, size_t at, uint16_t v)
{
    b[at] = static_cast<unsigned char>(v);
    b[at + 1] = static_cast<unsigned char>(v >> 8);
}

// An 8-bit packed picture (information header, two colours, pixels) filled
// with one colour; with `fileHeader` it starts with a bitmap file's header.
inline std::vector<unsigned char> Picture(int width, int height, COLORREF colour, bool fileHeader = false)
{
    const size_t start = fileHeader ? 14 : 0;
    const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
    std::vector<unsigned char> b(start + 40 + 8 + stride * static_cast<size_t>(height), 0);
    if (fileHeader) {
        b[0] = 'B';
        b[1] = 'M';
        Put32(b, 2, static_cast<uint32_t>(b.size()));
        Put32(b, 10, 14 + 40 + 8);
    }
    Put32(b, start, 40);
    Put32(b, start + 4, static_cast<uint32_t>(width));
    Put32(b, start + 8, static_cast<uint32_t>(height));
    Put16(b, start + 12, 1);
    Put16(b, start + 14, 8);
    Put32(b, start + 32, 2);
    // Entry 1 is the colour; every pixel uses it.
    b[start + 44] = GetBValue(colour);
    b[start + 45] = GetGValue(colour);
    b[start + 46] = GetRValue(colour);
    std::memset(b.data() + start + 48, 1, stride * static_cast<size_t>(height));
    return b;
}

// A memory context on a 32-bit bitmap filled with `background`.
struct Canvas {
    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
    Canvas(int width, int height, COLORREF background)
    {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(&dc, width, height);
        old = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, width, height, background);
    }
    ~Canvas() { dc.SelectObject(old); }
};

class RecordingSound : public ISoundOutput {
public:
    RecordingSound() { m_previous = platform::SetSoundOutput(this); }
    ~RecordingSound() override { platform::SetSoundOutput(m_previous); }
    void Play(WaveBytes) override { ++plays; }
    void Stop() override {}
    int plays = 0;

private:
    ISoundOutput* m_previous = nullptr;
};

}  // namespace shelltest
