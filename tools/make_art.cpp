// Draws the program's pictures, cursors, icons and background pictures from
// SVG artwork onto the shared palette, as the art description lists them.
//
//   make_art <art.txt> <palette.txt> <output folder> [<background folder>]
//
// Each picture becomes NAME.bmp (8 bits a pixel, the palette as colour
// table), each cursor NAME.cur (one image with its hot spot, XOR image and
// AND mask), each icon NAME.ico (one such image a size), ready for the
// resource script. Each background becomes NAME.bmp with its 80 x 60
// thumbnail NAME.pbk in the background folder, which the program lists from
// beside itself.

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/gdi/svg/render_svg.h"
#include "tools/art.h"
#include "tools/palette_description.h"

namespace {

bool ReadFile(const std::filesystem::path& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::cerr << path.string() << ": cannot write\n";
        return false;
    }
    return true;
}

bool Make(const tools::ArtItem& item, const std::filesystem::path& folder, const tools::Palette& palette,
          const std::filesystem::path& output, const std::filesystem::path& backgrounds)
{
    const std::filesystem::path source = folder / item.source;
    std::string svg;
    if (!ReadFile(source, svg)) {
        std::cerr << source.string() << ": cannot read\n";
        return false;
    }
    platform::ArgbImage art;
    std::string error;
    if (!platform::RenderSvg(svg, item.width, item.height, art, error)) {
        std::cerr << source.string() << ": " << error << "\n";
        return false;
    }
    if (item.kind == tools::ArtItem::Kind::background) {
        const tools::IndexedPicture picture = tools::OnBackground(art, palette, 255);
        return WriteFile(backgrounds / item.FileName(), tools::BitmapFileBytes(picture, palette)) &&
               WriteFile(backgrounds / item.PreviewName(), tools::PreviewFileBytes(art, palette));
    }
    if (item.kind == tools::ArtItem::Kind::icon) {
        std::vector<tools::IndexedPicture> pictures{tools::CutOut(art, palette, 0)};
        for (const auto& [width, height] : item.moreSizes) {
            platform::ArgbImage more;
            if (!platform::RenderSvg(svg, width, height, more, error)) {
                std::cerr << source.string() << ": " << error << "\n";
                return false;
            }
            pictures.push_back(tools::CutOut(more, palette, 0));
        }
        const std::string bytes = tools::IconFileBytes(pictures, palette);
        if (bytes.empty()) {
            std::cerr << "the palette holds no black for the icons' transparent pixels\n";
            return false;
        }
        return WriteFile(output / item.FileName(), bytes);
    }
    if (item.kind == tools::ArtItem::Kind::picture) {
        const tools::IndexedPicture picture = item.cutOut ? tools::CutOut(art, palette, item.background)
                                                          : tools::OnBackground(art, palette, item.background);
        return WriteFile(output / item.FileName(), tools::BitmapFileBytes(picture, palette));
    }
    const tools::IndexedPicture picture = tools::CutOut(art, palette, 0);
    // A hot spot off the drawing clicks where the child sees nothing.
    if (!picture.Covered(item.hotX, item.hotY)) {
        std::cerr << source.string() << ": the hot spot (" << item.hotX << ", " << item.hotY
                  << ") of cursor " << item.name << " is not on the drawing\n";
        return false;
    }
    const std::string bytes = tools::CursorFileBytes(picture, palette, item.hotX, item.hotY);
    if (bytes.empty()) {
        std::cerr << "the palette holds no black for the cursors' transparent pixels\n";
        return false;
    }
    return WriteFile(output / item.FileName(), bytes);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) {
        std::cerr << "usage: make_art <art.txt> <palette.txt> <output folder> [<background folder>]\n";
        return 2;
    }
    std::vector<tools::ArtItem> items;
    std::string error;
    if (!tools::ReadArtDescription(argv[1], items, error)) {
        std::cerr << error << "\n";
        return 1;
    }
    tools::Palette palette;
    if (!tools::ReadPaletteDescription(argv[2], palette, error)) {
        std::cerr << error << "\n";
        return 1;
    }
    const std::filesystem::path folder = std::filesystem::path(argv[1]).parent_path();
    const std::filesystem::path output = argv[3];
    const std::filesystem::path backgrounds = argc == 5 ? argv[4] : "";
    std::error_code made;
    std::filesystem::create_directories(output, made);
    for (const tools::ArtItem& item : items)
        if (item.kind == tools::ArtItem::Kind::background && backgrounds.empty()) {
            std::cerr << "background " << item.name << ": no background folder given\n";
            return 1;
        }
    if (!backgrounds.empty())
        std::filesystem::create_directories(backgrounds, made);
    for (const tools::ArtItem& item : items)
        if (!Make(item, folder, palette, output, backgrounds))
            return 1;
    return 0;
}
