// Writes the program's shared palette as a RIFF palette file from its text
// description.
//
//   make_palette <palette.txt> <output.pal>

#include <fstream>
#include <iostream>

#include "tools/palette_description.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: make_palette <palette.txt> <output.pal>\n";
        return 2;
    }
    tools::Palette palette;
    std::string error;
    if (!tools::ReadPaletteDescription(argv[1], palette, error)) {
        std::cerr << error << "\n";
        return 1;
    }
    const std::string bytes = tools::RiffPaletteBytes(palette);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::cerr << argv[2] << ": cannot write\n";
        return 1;
    }
    return 0;
}
