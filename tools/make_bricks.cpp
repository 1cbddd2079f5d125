// Draws brick pictures, their masks and previews in the program's isometric
// projection, from a description of the brick shapes and the palette's.
//
//   make_bricks builtin <palette.txt> <output folder>
//     the program's own: builtin_brick.bmp (the 1 x 1 plate of the built-in
//     class), builtin_preview.bmp (its 64 x 32 preview) and stud.bmp (a
//     baseplate cell)
//   make_bricks kit <kit.txt> <palette.txt> <output.rc>
//     a kit library's classes: a resource script with the string table, the
//     class, orientation and kit name records, naming the pictures, masks
//     and previews written beside it. A preview shows orientation 0 in the
//     class's first colour, scaled down when it would not fit.
//
// A kit description (see kits/basic.txt) holds lines of
//   kit TAG "Name"          the four-character kit tag and the kit's name
//   preview WxH             size of the previews (64x40 unless given)
//   KIND ID WxL [colours NAME...]
// KIND is brick (3 plates high, studs), plate (1 high, studs) or tile (1 high,
// smooth); W cells along y and L along x in orientation 0; the colours are
// palette colour names (all twelve unless given). "#" starts a comment.

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/brick_art.h"
#include "tools/palette_description.h"

namespace {

using tools::BoxSize;
using tools::Palette;
using tools::Picture;
using tools::Top;

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

std::vector<std::string> Tokens(const std::string& line)
{
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == '#')
            break;
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '"') {
            const size_t end = line.find('"', i + 1);
            tokens.push_back(line.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1));
            i = end == std::string::npos ? line.size() : end + 1;
        } else {
            size_t end = i;
            while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end])) && line[end] != '#')
                ++end;
            tokens.push_back(line.substr(i, end - i));
            i = end;
        }
    }
    return tokens;
}

std::optional<int> Integer(const std::string& text, int low, int high)
{
    if (text.empty() || text.size() > 6 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int value = std::stoi(text);
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

// "AxB" with both numbers from 1 to `high`.
std::optional<std::pair<int, int>> Pair(const std::string& text, int high)
{
    const size_t x = text.find('x');
    if (x == std::string::npos)
        return std::nullopt;
    const std::optional<int> a = Integer(text.substr(0, x), 1, high);
    const std::optional<int> b = Integer(text.substr(x + 1), 1, high);
    if (!a || !b)
        return std::nullopt;
    return std::make_pair(*a, *b);
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

struct BrickClass {
    std::string kind;
    int id = 0;
    int width = 1;   // along y in orientation 0
    int length = 1;  // along x in orientation 0
    unsigned mask = 0xFFFF;
};

struct Kit {
    std::string tag;
    std::string name;
    int previewWidth = 64;
    int previewHeight = 40;
    std::vector<BrickClass> classes;
};

// Heights count z steps of 6 pixels: a plate is one step high and a brick,
// as tall as three stacked plates, three.
struct Kind {
    const char* name;
    int height;
    Top top;
};
constexpr Kind kKinds[] = {{"brick", 3, Top::studs}, {"plate", 1, Top::studs}, {"tile", 1, Top::smooth}};

const Kind* FindKind(const std::string& name)
{
    for (const Kind& k : kKinds)
        if (name == k.name)
            return &k;
    return nullptr;
}

// A generous bound that keeps every picture and mask small.
constexpr int kLargestSide = 16;

bool ReadKit(const std::string& path, const Palette& palette, Kit& kit)
{
    std::ifstream in(path);
    if (!in) {
        std::cerr << path << ": cannot read\n";
        return false;
    }
    std::set<int> ids;
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& message) {
        std::cerr << path << ":" << number << ": " << message << "\n";
        return false;
    };
    while (std::getline(in, line)) {
        ++number;
        const std::vector<std::string> t = Tokens(line);
        if (t.empty())
            continue;
        if (t[0] == "kit") {
            if (t.size() != 3 || t[1].size() != 4 || t[2].empty() ||
                !std::all_of(t[1].begin(), t[1].end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
                return fail("expected: kit TAG \"Name\" with a tag of four letters or digits");
            kit.tag = t[1];
            kit.name = t[2];
            continue;
        }
        if (t[0] == "preview") {
            const std::optional<std::pair<int, int>> size = t.size() == 2 ? Pair(t[1], 256) : std::nullopt;
            if (!size)
                return fail("expected: preview WIDTHxHEIGHT");
            kit.previewWidth = size->first;
            kit.previewHeight = size->second;
            continue;
        }
        if (!FindKind(t[0]))
            return fail("unknown keyword \"" + t[0] + "\"");
        BrickClass c;
        c.kind = t[0];
        const std::optional<int> id = t.size() >= 3 ? Integer(t[1], 1, 32767) : std::nullopt;
        const std::optional<std::pair<int, int>> size = t.size() >= 3 ? Pair(t[2], kLargestSide) : std::nullopt;
        if (!id || !size)
            return fail("expected: " + t[0] + " ID WIDTHxLENGTH [colours NAME...]");
        if (*id == 1030 || !ids.insert(*id).second)
            return fail("class id " + t[1] + " is taken");
        c.id = *id;
        c.width = size->first;
        c.length = size->second;
        if (t.size() > 3) {
            if (t[3] != "colours" || t.size() == 4)
                return fail("expected colours and colour names after the size");
            c.mask = 0;
            for (size_t i = 4; i < t.size(); ++i) {
                int found = -1;
                for (int k = 0; k < tools::kBrickColours; ++k)
                    if (Lower(palette.colourNames[k]) == Lower(t[i]))
                        found = k;
                if (found < 0)
                    return fail("no colour \"" + t[i] + "\" in the palette");
                c.mask |= 1u << found;
            }
        }
        kit.classes.push_back(c);
    }
    if (kit.tag.empty())
        return fail("no kit line");
    if (kit.classes.empty())
        return fail("no brick classes");
    return true;
}

std::string Hex(unsigned value)
{
    std::ostringstream out;
    out << "0x" << std::hex << std::uppercase << value;
    return out.str();
}

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += "\"\"";
        else
            out += c;
    }
    return out + "\"";
}

std::string ClassName(const BrickClass& c)
{
    std::string name = c.kind;
    name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return name + " " + std::to_string(c.width) + "x" + std::to_string(c.length);
}

int FirstColour(unsigned mask)
{
    for (int c = 0; c < tools::kBrickColours; ++c)
        if (mask & (1u << c))
            return c;
    return 0;
}

int MakeKit(const std::string& description, const std::string& paletteDescription, const std::string& output)
{
    Palette palette;
    std::string error;
    if (!tools::ReadPaletteDescription(paletteDescription, palette, error)) {
        std::cerr << error << "\n";
        return 1;
    }
    Kit kit;
    if (!ReadKit(description, palette, kit))
        return 1;

    const std::filesystem::path out(output);
    const std::filesystem::path folder = out.parent_path();
    const std::string stem = out.stem().string();
    const std::vector<tools::Rgb> previewTable(palette.entries.begin(), palette.entries.end());

    std::ostringstream rc;
    rc << "// Generated by make_bricks from " << std::filesystem::path(description).filename().string()
       << "; do not edit.\n\n";
    rc << "STRINGTABLE\nBEGIN\n";
    for (size_t n = 0; n < kit.classes.size(); ++n)
        rc << "    " << 100 + n << " \"" << kit.classes[n].id << "\"\n";
    rc << "END\n";

    for (size_t k = 0; k < kit.classes.size(); ++k) {
        const BrickClass& c = kit.classes[k];
        const Kind& kind = *FindKind(c.kind);
        const int firstId = 1000 + 4 * static_cast<int>(k);
        rc << "\n// " << ClassName(c) << "\n";
        rc << c.id << " BRICKCLASS\nBEGIN\n    \"BRCK\", 0, " << Hex(c.mask) << ", " << Quoted(kit.tag) << ", 1";
        for (int o = 0; o < 4; ++o)
            rc << ", " << firstId + o;
        rc << "\nEND\n";

        // A box looks the same after a half turn: orientations 2 and 3 share
        // the pictures of 0 and 1.
        for (int o = 0; o < 4; ++o) {
            const BoxSize box = o % 2 == 0 ? BoxSize{c.length, c.width, kind.height}
                                           : BoxSize{c.width, c.length, kind.height};
            const int lookId = firstId + o % 2;
            rc << firstId + o << " BRICKORIENTATION\nBEGIN\n    0, 0, 0, " << box.cx << ", " << box.cy << ", "
               << box.cz << ", " << lookId << ", " << lookId;
            for (int i = 0; i < 14; ++i)
                rc << ", 0";
            rc << "\nEND\n";
            if (o >= 2)
                continue;
            const Picture picture = tools::RenderBrick(box, kind.top);
            const std::string image = stem + "_image_" + std::to_string(lookId) + ".bmp";
            const std::string region = stem + "_region_" + std::to_string(lookId) + ".bin";
            if (!WriteFile(folder / image,
                           tools::DibFileBytes(picture.width, picture.height, picture.pixels,
                                               tools::ShadedColourTable(palette, FirstColour(c.mask)))) ||
                !WriteFile(folder / region, picture.region))
                return 1;
            rc << lookId << " BRICKIMAGE \"" << image << "\"\n";
            rc << lookId << " REGION \"" << region << "\"\n";
            if (o == 0) {
                const std::vector<uint8_t> pixels = tools::RenderPreview(
                    picture, palette, FirstColour(c.mask), kit.previewWidth, kit.previewHeight, 3);
                const std::string preview = stem + "_preview_" + std::to_string(c.id) + ".bmp";
                if (!WriteFile(folder / preview,
                               tools::DibFileBytes(kit.previewWidth, kit.previewHeight, pixels, previewTable)))
                    return 1;
                rc << c.id << " BRICKPREVIEW \"" << preview << "\"\n";
            }
        }
    }

    rc << "\n" << kit.tag << " KITNAMELABEL\nBEGIN\n    " << Quoted(kit.name + "\\0")
       << "\nEND\n";
    return WriteFile(out, rc.str()) ? 0 : 1;
}

int MakeBuiltin(const std::string& paletteDescription, const std::string& output)
{
    Palette palette;
    std::string error;
    if (!tools::ReadPaletteDescription(paletteDescription, palette, error)) {
        std::cerr << error << "\n";
        return 1;
    }
    const std::filesystem::path folder(output);
    std::filesystem::create_directories(folder);
    constexpr int kRed = 0;
    constexpr int kGreen = 1;  // the baseplate's colour
    const std::vector<tools::Rgb> previewTable(palette.entries.begin(), palette.entries.end());

    const Picture brick = tools::RenderBrick(BoxSize{1, 1, 1}, Top::studs);
    const Picture stud = tools::RenderBrick(BoxSize{1, 1, 1}, Top::studs, false);
    const std::vector<uint8_t> preview = tools::RenderPreview(brick, palette, kRed, 64, 32, 3);
    const bool ok =
        WriteFile(folder / "builtin_brick.bmp",
                  tools::DibFileBytes(brick.width, brick.height, brick.pixels,
                                      tools::ShadedColourTable(palette, kRed))) &&
        WriteFile(folder / "stud.bmp", tools::DibFileBytes(stud.width, stud.height, stud.pixels,
                                                           tools::ShadedColourTable(palette, kGreen))) &&
        WriteFile(folder / "builtin_preview.bmp", tools::DibFileBytes(64, 32, preview, previewTable));
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "builtin")
        return MakeBuiltin(args[1], args[2]);
    if (args.size() == 4 && args[0] == "kit")
        return MakeKit(args[1], args[2], args[3]);
    std::cerr << "usage: make_bricks builtin <palette.txt> <output folder>\n"
                 "       make_bricks kit <kit.txt> <palette.txt> <output.rc>\n";
    return 2;
}
