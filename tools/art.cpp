#include "tools/art.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <limits>
#include <optional>
#include <set>
#include <sstream>
#include <utility>

namespace tools {
namespace {

std::vector<std::string> Tokens(const std::string& line)
{
    std::vector<std::string> tokens;
    std::istringstream in(line.substr(0, line.find('#')));
    std::string token;
    while (in >> token)
        tokens.push_back(token);
    return tokens;
}

std::optional<int> Integer(const std::string& text, int low, int high)
{
    if (text.empty() || text.size() > 6 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int value = std::stoi(text);
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

// "WxH", each from 1 to `high`.
bool Size(const std::string& text, int high, int& width, int& height)
{
    const size_t x = text.find('x');
    if (x == std::string::npos)
        return false;
    const std::optional<int> w = Integer(text.substr(0, x), 1, high);
    const std::optional<int> h = Integer(text.substr(x + 1), 1, high);
    if (!w || !h)
        return false;
    width = *w;
    height = *h;
    return true;
}

bool GoodName(const std::string& name)
{
    return !name.empty() && name.size() <= 64 && std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-';
    });
}

// Inside the description's folder: relative, no step up.
bool GoodSource(const std::string& source)
{
    return source.size() > 4 && source.compare(source.size() - 4, 4, ".svg") == 0 && source[0] != '/' &&
           source.find("..") == std::string::npos && source.find('\\') == std::string::npos;
}

// Pictures as large as a backdrop; cursors as large as the format allows.
constexpr int kLargestPicture = 1024;
constexpr int kLargestCursor = 256;
constexpr size_t kLargestIconImages = 16;

void Put16(std::string& out, uint32_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

uint32_t RowStride(int width, int bits)
{
    return (static_cast<uint32_t>(width) * static_cast<uint32_t>(bits) + 31) / 32 * 4;
}

// The information header and the palette as colour table.
void PutInfo(std::string& out, int width, int storedHeight, uint32_t imageBytes, const Palette& palette,
             uint32_t pixelsPerMetre = 2835)
{
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(storedHeight));
    Put16(out, 1);
    Put16(out, 8);
    Put32(out, 0);  // uncompressed
    Put32(out, imageBytes);
    Put32(out, pixelsPerMetre);
    Put32(out, pixelsPerMetre);
    Put32(out, kPaletteSize);
    Put32(out, 0);
    for (const Rgb& c : palette.entries) {
        out.push_back(static_cast<char>(c.b));
        out.push_back(static_cast<char>(c.g));
        out.push_back(static_cast<char>(c.r));
        out.push_back(0);
    }
}

// Bottom-up rows padded to four bytes.
void PutIndices(std::string& out, const IndexedPicture& picture)
{
    const uint32_t stride = RowStride(picture.width, 8);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x)
            out.push_back(static_cast<char>(picture.At(x, y)));
        out.append(stride - static_cast<uint32_t>(picture.width), '\0');
    }
}

Rgb ColourOf(uint32_t pixel)
{
    return Rgb{static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8), static_cast<uint8_t>(pixel)};
}

IndexedPicture Blank(const platform::ArgbImage& art)
{
    IndexedPicture picture;
    picture.width = art.width;
    picture.height = art.height;
    picture.pixels.assign(art.pixels.size(), 0);
    picture.covered.assign(art.pixels.size(), 0);
    return picture;
}

}  // namespace

bool ReadArtDescription(const std::string& path, std::vector<ArtItem>& items, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot read";
        return false;
    }
    items.clear();
    std::set<std::string> names;
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& message) {
        error = path + ":" + std::to_string(number) + ": " + message;
        return false;
    };
    while (std::getline(in, line)) {
        ++number;
        const std::vector<std::string> t = Tokens(line);
        if (t.empty())
            continue;
        ArtItem item;
        if (t[0] == "picture")
            item.kind = ArtItem::Kind::picture;
        else if (t[0] == "cursor")
            item.kind = ArtItem::Kind::cursor;
        else if (t[0] == "icon")
            item.kind = ArtItem::Kind::icon;
        else if (t[0] == "background")
            item.kind = ArtItem::Kind::background;
        else
            return fail("unknown keyword \"" + t[0] + "\"");
        // Icons and cursors keep their size in one byte each, 0 for 256.
        const bool cursor = item.kind == ArtItem::Kind::cursor || item.kind == ArtItem::Kind::icon;
        if (t.size() < 4)
            return fail("expected: " + t[0] + " NAME SOURCE.svg WIDTHxHEIGHT ...");
        item.name = t[1];
        item.source = t[2];
        if (!GoodName(item.name))
            return fail("a name is letters, digits, \"_\" and \"-\"");
        // Outputs share one folder, and file names there may not tell case.
        std::string lower = item.name;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (!names.insert(lower).second)
            return fail("the name " + item.name + " is taken");
        if (!GoodSource(item.source))
            return fail("the source is an .svg file inside the description's folder");
        if (!Size(t[3], cursor ? kLargestCursor : kLargestPicture, item.width, item.height))
            return fail("expected a size WIDTHxHEIGHT from 1x1 to " +
                        std::to_string(cursor ? kLargestCursor : kLargestPicture) + "x" +
                        std::to_string(cursor ? kLargestCursor : kLargestPicture));
        if (item.kind == ArtItem::Kind::icon) {
            std::set<std::pair<int, int>> sizes{{item.width, item.height}};
            for (size_t i = 4; i < t.size(); ++i) {
                int w = 0;
                int h = 0;
                if (!Size(t[i], kLargestCursor, w, h))
                    return fail("expected more sizes WIDTHxHEIGHT from 1x1 to 256x256");
                if (!sizes.insert({w, h}).second || sizes.size() > kLargestIconImages)
                    return fail("an icon holds up to " + std::to_string(kLargestIconImages) +
                                " images, each of its own size");
                item.moreSizes.emplace_back(w, h);
            }
        } else if (item.kind == ArtItem::Kind::cursor) {
            const std::optional<int> x = t.size() == 7 && t[4] == "hotspot" ? Integer(t[5], 0, item.width - 1)
                                                                              : std::nullopt;
            const std::optional<int> y = t.size() == 7 && t[4] == "hotspot" ? Integer(t[6], 0, item.height - 1)
                                                                              : std::nullopt;
            if (!x || !y)
                return fail("expected: hotspot X Y, a pixel of the cursor");
            item.hotX = *x;
            item.hotY = *y;
        } else if (item.kind == ArtItem::Kind::background) {
            // The pane tiles a background only from 64 x 64 up.
            if (t.size() != 4 || item.width < 64 || item.height < 64)
                return fail("expected: background NAME SOURCE.svg WIDTHxHEIGHT, at least 64x64");
        } else if (t.size() != 4) {
            const std::optional<int> index = t.size() == 6 ? Integer(t[5], 0, kPaletteSize - 1) : std::nullopt;
            if (!index || (t[4] != "background" && t[4] != "transparent"))
                return fail("expected: background INDEX or transparent INDEX, a palette entry");
            item.cutOut = t[4] == "transparent";
            item.background = *index;
        }
        items.push_back(item);
    }
    return true;
}

int NearestEntry(const Palette& palette, Rgb colour)
{
    int best = 0;
    long bestDistance = std::numeric_limits<long>::max();
    for (int i = 0; i < kPaletteSize; ++i) {
        const Rgb& e = palette.entries[static_cast<size_t>(i)];
        const long dr = e.r - colour.r;
        const long dg = e.g - colour.g;
        const long db = e.b - colour.b;
        const long distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

IndexedPicture OnBackground(const platform::ArgbImage& art, const Palette& palette, int background)
{
    IndexedPicture picture = Blank(art);
    const Rgb under = palette.entries[static_cast<size_t>(background & 0xFF)];
    for (size_t i = 0; i < art.pixels.size(); ++i) {
        const uint32_t a = platform::ArgbImage::Alpha(art.pixels[i]);
        const Rgb over = ColourOf(art.pixels[i]);
        auto blend = [a](uint8_t top, uint8_t bottom) {
            return static_cast<uint8_t>((top * a + bottom * (255 - a) + 127) / 255);
        };
        const Rgb mixed{blend(over.r, under.r), blend(over.g, under.g), blend(over.b, under.b)};
        picture.pixels[i] = static_cast<uint8_t>(a == 0 ? (background & 0xFF) : NearestEntry(palette, mixed));
        picture.covered[i] = a != 0;
    }
    return picture;
}

IndexedPicture CutOut(const platform::ArgbImage& art, const Palette& palette, int transparent)
{
    IndexedPicture picture = Blank(art);
    for (size_t i = 0; i < art.pixels.size(); ++i) {
        const bool covered = platform::ArgbImage::Alpha(art.pixels[i]) >= 128;
        picture.pixels[i] =
            static_cast<uint8_t>(covered ? NearestEntry(palette, ColourOf(art.pixels[i])) : (transparent & 0xFF));
        picture.covered[i] = covered;
    }
    return picture;
}

std::string BitmapFileBytes(const IndexedPicture& picture, const Palette& palette, uint32_t pixelsPerMetre)
{
    const uint32_t offBits = 14 + 40 + 4 * kPaletteSize;
    const uint32_t imageBytes = RowStride(picture.width, 8) * static_cast<uint32_t>(picture.height);
    std::string out;
    out += "BM";
    Put32(out, offBits + imageBytes);
    Put32(out, 0);  // reserved
    Put32(out, offBits);
    PutInfo(out, picture.width, picture.height, imageBytes, palette, pixelsPerMetre);
    PutIndices(out, picture);
    return out;
}

platform::ArgbImage Shrink(const platform::ArgbImage& art, int width, int height)
{
    platform::ArgbImage small;
    if (width < 1 || height < 1 || art.width < 1 || art.height < 1)
        return small;
    small.width = width;
    small.height = height;
    small.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    // The source columns [from, to) under destination column i; never empty.
    auto span = [](int i, int source, int destination) {
        const int from = static_cast<int>(static_cast<long long>(i) * source / destination);
        const int to = static_cast<int>(static_cast<long long>(i + 1) * source / destination);
        return std::pair<int, int>(from, std::max(to, from + 1));
    };
    for (int y = 0; y < height; ++y) {
        const auto [top, bottom] = span(y, art.height, height);
        for (int x = 0; x < width; ++x) {
            const auto [left, right] = span(x, art.width, width);
            uint64_t alpha = 0;
            uint64_t r = 0;
            uint64_t g = 0;
            uint64_t b = 0;
            for (int sy = top; sy < bottom; ++sy)
                for (int sx = left; sx < right; ++sx) {
                    const uint32_t p = art.At(sx, sy);
                    const uint32_t a = platform::ArgbImage::Alpha(p);
                    alpha += a;
                    r += a * ((p >> 16) & 0xFF);
                    g += a * ((p >> 8) & 0xFF);
                    b += a * (p & 0xFF);
                }
            const uint64_t count = static_cast<uint64_t>(bottom - top) * static_cast<uint64_t>(right - left);
            uint32_t pixel = 0;
            if (alpha != 0)
                pixel = static_cast<uint32_t>((alpha + count / 2) / count) << 24 |
                        static_cast<uint32_t>((r + alpha / 2) / alpha) << 16 |
                        static_cast<uint32_t>((g + alpha / 2) / alpha) << 8 |
                        static_cast<uint32_t>((b + alpha / 2) / alpha);
            small.pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = pixel;
        }
    }
    return small;
}

std::string PreviewFileBytes(const platform::ArgbImage& art, const Palette& palette)
{
    return BitmapFileBytes(OnBackground(Shrink(art, kPreviewWidth, kPreviewHeight), palette, 255), palette, 0);
}

namespace {

// Icon and cursor files share their layout: a directory of entries, then each
// image as an information header of double height, the XOR image (8 bits a
// pixel on the palette, black where uncovered) and the AND mask (set where
// uncovered). `type` is 1 for icons, 2 for cursors; a cursor's entry holds
// its hot spot where an icon's holds planes and bit count.
std::string DirectoryFileBytes(const std::vector<IndexedPicture>& pictures, const Palette& palette, uint32_t type,
                               int hotX, int hotY)
{
    const int black = NearestEntry(palette, Rgb{0, 0, 0});
    const Rgb& b = palette.entries[static_cast<size_t>(black)];
    if (b.r != 0 || b.g != 0 || b.b != 0 || pictures.empty() || pictures.size() > kLargestIconImages)
        return {};
    for (const IndexedPicture& picture : pictures)
        if (picture.width < 1 || picture.width > kLargestCursor || picture.height < 1 ||
            picture.height > kLargestCursor)
            return {};

    std::string directory;
    std::string images;
    Put16(directory, 0);
    Put16(directory, type);
    Put16(directory, static_cast<uint32_t>(pictures.size()));
    const uint32_t firstImage = 6 + 16 * static_cast<uint32_t>(pictures.size());
    for (const IndexedPicture& picture : pictures) {
        // The screen shows through where the mask is set and the XOR image black.
        IndexedPicture xorImage = picture;
        for (size_t i = 0; i < xorImage.pixels.size(); ++i)
            if (!xorImage.covered[i])
                xorImage.pixels[i] = static_cast<uint8_t>(black);
        const uint32_t xorBytes = RowStride(picture.width, 8) * static_cast<uint32_t>(picture.height);
        const uint32_t andStride = RowStride(picture.width, 1);
        const uint32_t andBytes = andStride * static_cast<uint32_t>(picture.height);
        const uint32_t imageBytes = 40 + 4 * kPaletteSize + xorBytes + andBytes;

        directory.push_back(static_cast<char>(picture.width & 0xFF));  // 0 for 256
        directory.push_back(static_cast<char>(picture.height & 0xFF));
        directory.push_back(0);  // 256 colours
        directory.push_back(0);
        Put16(directory, type == 2 ? static_cast<uint32_t>(hotX) : 1);
        Put16(directory, type == 2 ? static_cast<uint32_t>(hotY) : 8);
        Put32(directory, imageBytes);
        Put32(directory, firstImage + static_cast<uint32_t>(images.size()));

        PutInfo(images, picture.width, 2 * picture.height, xorBytes + andBytes, palette);
        PutIndices(images, xorImage);
        for (int y = picture.height - 1; y >= 0; --y) {
            std::string row(andStride, '\0');
            for (int x = 0; x < picture.width; ++x) {
                char& bits = row[static_cast<size_t>(x / 8)];
                if (!picture.Covered(x, y))
                    bits = static_cast<char>(bits | (0x80 >> (x % 8)));
            }
            images += row;
        }
    }
    return directory + images;
}

}  // namespace

std::string CursorFileBytes(const IndexedPicture& picture, const Palette& palette, int hotX, int hotY)
{
    return DirectoryFileBytes({picture}, palette, 2, hotX, hotY);
}

std::string IconFileBytes(const std::vector<IndexedPicture>& pictures, const Palette& palette)
{
    return DirectoryFileBytes(pictures, palette, 1, 0, 0);
}

}  // namespace tools
