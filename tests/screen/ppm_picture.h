// A screenshot as the screen tests read it: xwd's output through xwdtopnm.
#pragma once

#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace screen {

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    COLORREF At(int x, int y) const
    {
        const size_t i = 3 * (static_cast<size_t>(y) * width + x);
        return RGB(rgb[i], rgb[i + 1], rgb[i + 2]);
    }
};

// A binary PPM (P6) of 8 or 16 bits a sample.
inline bool ReadPpm(const char* path, Picture& picture)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> picture.width >> picture.height >> maxval;
    in.get();
    if (magic != "P6" || (maxval != 255 && maxval != 65535) || picture.width <= 0 || picture.height <= 0 ||
        picture.width > 10000 || picture.height > 10000)
        return false;
    const size_t samples = 3 * static_cast<size_t>(picture.width) * picture.height;
    const size_t bytes = maxval == 255 ? 1 : 2;
    std::vector<unsigned char> raw(samples * bytes);
    in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size()));
    if (static_cast<size_t>(in.gcount()) != raw.size())
        return false;
    picture.rgb.resize(samples);
    for (size_t i = 0; i < samples; ++i)
        picture.rgb[i] = raw[i * bytes];  // the high byte of a 16-bit sample
    return true;
}

}  // namespace screen
