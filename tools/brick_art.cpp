#include "tools/brick_art.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "foundation/region.h"

namespace tools {
namespace {

// Shades by role. The light comes from the upper left: the top is lit, the
// left face is the pure colour, the right face lies in shadow.
constexpr uint8_t kTopShade = 3;
constexpr uint8_t kLeftShade = 4;
constexpr uint8_t kRightShade = 6;
constexpr uint8_t kRimShade = 1;      // the top's front edges catch the light
constexpr uint8_t kCornerShade = 5;   // the vertical edge between the faces
constexpr uint8_t kOutlineShade = 8;
constexpr uint8_t kStudTopShade = 3;
constexpr uint8_t kStudRimShade = 2;
constexpr uint8_t kStudShineShade = 1;
constexpr uint8_t kStudLitSideShade = 5;
constexpr uint8_t kStudDarkSideShade = 7;
constexpr uint8_t kStudShadowShade = 4;

// A stud is a short cylinder standing on the middle of its cell; its size in
// pixels follows the projection of a cylinder of 0.6 cells across.
constexpr double kStudRadiusX = 6;
constexpr double kStudRadiusY = 3;
constexpr double kStudHeight = 2;
// Moved down a pixel so that the studs of the back cells stay inside the
// outline.
constexpr double kStudDrop = 1;

enum Face : uint8_t { kNone, kTop, kLeft, kRight };

uint16_t Word(const std::string& bytes, size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) | (static_cast<uint8_t>(bytes[at + 1]) << 8));
}

std::vector<uint8_t> DecodeMask(const std::string& region, int width, int height)
{
    std::vector<uint8_t> mask(static_cast<size_t>(width) * height, 0);
    if (region.size() < CRegion::kHeaderBytes)
        return mask;
    const int spans = static_cast<int16_t>(Word(region, 2));
    size_t at = CRegion::kHeaderBytes;
    for (int s = 0; s < spans && at + 6 <= region.size(); ++s) {
        const int n = static_cast<int16_t>(Word(region, at));
        const int top = static_cast<int16_t>(Word(region, at + 2));
        const int bottom = static_cast<int16_t>(Word(region, at + 4));
        for (int r = 0; r + 1 < n && at + 6 + 2 * (r + 2) <= region.size(); r += 2) {
            const int x0 = static_cast<int16_t>(Word(region, at + 6 + 2 * r));
            const int x1 = static_cast<int16_t>(Word(region, at + 8 + 2 * r));
            for (int y = std::max(top, 0); y < std::min(bottom, height); ++y)
                for (int x = std::max(x0, 0); x < std::min(x1, width); ++x)
                    mask[static_cast<size_t>(y) * width + x] = 1;
        }
        at += 2 * (static_cast<size_t>(n) + 4);
    }
    return mask;
}

class Canvas {
public:
    explicit Canvas(Picture& picture) : m_p(picture) {}

    bool Inside(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < m_p.width && y < m_p.height &&
               m_p.mask[static_cast<size_t>(y) * m_p.width + x];
    }
    uint8_t& At(int x, int y) { return m_p.pixels[static_cast<size_t>(y) * m_p.width + x]; }
    void Put(int x, int y, uint8_t shade)
    {
        if (Inside(x, y))
            At(x, y) = shade;
    }

private:
    Picture& m_p;
};

void DrawStud(Canvas& canvas, const std::vector<Face>& faces, int width, double sx, double sy)
{
    const double rx = kStudRadiusX;
    const double ry = kStudRadiusY;
    const double h = kStudHeight;
    const int x0 = static_cast<int>(std::floor(sx - rx - 3));
    const int x1 = static_cast<int>(std::ceil(sx + rx + 3));
    const int y0 = static_cast<int>(std::floor(sy - h - ry - 1));
    const int y1 = static_cast<int>(std::ceil(sy + ry + 3));
    auto half = [&](double dx) { return std::abs(dx) < rx ? ry * std::sqrt(1 - (dx / rx) * (dx / rx)) : -1.0; };

    // The shadow first: the foot of the stud moved towards the lower right,
    // falling on the top face only.
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            if (!canvas.Inside(x, y) || faces[static_cast<size_t>(y) * width + x] != kTop)
                continue;
            const double dx = x + 0.5 - sx - 2.5;
            const double dy = y + 0.5 - sy - 1;
            const double hw = half(dx);
            if (hw >= 0 && std::abs(dy) <= hw)
                canvas.Put(x, y, kStudShadowShade);
        }

    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const double dx = x + 0.5 - sx;
            const double dy = y + 0.5 - sy;
            const double hw = half(dx);
            if (hw < 0 || dy > hw || dy < -h - hw)
                continue;
            const double dyTop = dy + h;
            uint8_t shade;
            if (std::abs(dyTop) <= hw) {
                // The top's back edge catches the light, brightest to the left.
                const double hwAbove = half(dx);
                const bool backEdge = std::abs(dyTop - 1) > hwAbove;
                shade = backEdge ? (dx < 0 ? kStudShineShade : kStudRimShade) : kStudTopShade;
            } else {
                shade = dx < rx * 0.2 ? kStudLitSideShade : kStudDarkSideShade;
            }
            canvas.Put(x, y, shade);
        }
}

}  // namespace

Point Project(long x, long y, long z)
{
    return Point{10 * x - 10 * y, -5 * x - 5 * y - 6 * z};
}

void PictureCorners(const BoxSize& box, Point corners[6])
{
    const long left = 10L * box.cy;
    const long top = 5L * (box.cx + box.cy) + 6L * box.cz;
    const long c[6][3] = {{box.cx, box.cy, box.cz}, {0, box.cy, box.cz}, {0, box.cy, 0},
                          {0, 0, 0},                {box.cx, 0, box.cz}, {box.cx, 0, 0}};
    for (int i = 0; i < 6; ++i) {
        const Point p = Project(c[i][0], c[i][1], c[i][2]);
        corners[i] = Point{p.x + left, p.y + top};
    }
}

Picture RenderBrick(const BoxSize& box, Top top, bool outlined)
{
    Picture picture;
    picture.width = 10 * (box.cx + box.cy);
    picture.height = 5 * (box.cx + box.cy) + 6 * box.cz;
    const int w = picture.width;
    const int h = picture.height;

    Point corners[6];
    PictureCorners(box, corners);
    POINT points[6];
    for (int i = 0; i < 6; ++i)
        points[i] = POINT{static_cast<LONG>(corners[i].x), static_cast<LONG>(corners[i].y)};
    CRegion region;
    region.SetPolygon(points);
    if (!region.IsEmpty())
        picture.region.assign(reinterpret_cast<const char*>(region.GetData()),
                              static_cast<uint16_t>(region.GetSize()));
    picture.mask = DecodeMask(picture.region, w, h);
    picture.pixels.assign(static_cast<size_t>(w) * h, 0);

    // Which face each pixel shows, from its centre: above the two front edges
    // of the top it is the top, else the side it lies on of the front corner.
    const double frontX = 10.0 * box.cy;
    const double frontTopY = h - 6.0 * box.cz;
    std::vector<Face> faces(picture.pixels.size(), kNone);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!picture.mask[static_cast<size_t>(y) * w + x])
                continue;
            const double u = x + 0.5 - frontX;
            const double v = y + 0.5 - frontTopY;
            faces[static_cast<size_t>(y) * w + x] = v + std::abs(u) / 2 < 0 ? kTop : u < 0 ? kLeft : kRight;
        }
    auto face = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h ? faces[static_cast<size_t>(y) * w + x] : kNone;
    };

    Canvas canvas(picture);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Face f = face(x, y);
            if (f == kNone)
                continue;
            uint8_t shade = f == kTop ? kTopShade : f == kLeft ? kLeftShade : kRightShade;
            if (f == kTop && outlined && (face(x, y + 1) == kLeft || face(x, y + 1) == kRight))
                shade = kRimShade;
            if (f == kLeft && face(x + 1, y) == kRight)
                shade = kCornerShade;
            canvas.At(x, y) = shade;
        }

    if (top == Top::studs) {
        // Back cells first, so that the nearer studs stand in front.
        for (int depth = box.cx + box.cy - 2; depth >= 0; --depth)
            for (int i = 0; i < box.cx; ++i) {
                const int j = depth - i;
                if (j < 0 || j >= box.cy)
                    continue;
                const double sx = frontX + 10.0 * (i - j);
                const double sy = frontTopY - 5.0 * (i + j + 1) + kStudDrop;
                DrawStud(canvas, faces, w, sx, sy);
            }
    }

    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!canvas.Inside(x, y))
                continue;
            const bool edge = !canvas.Inside(x - 1, y) || !canvas.Inside(x + 1, y) || !canvas.Inside(x, y - 1) ||
                              !canvas.Inside(x, y + 1);
            // Without the outline the sides still end in a dark bottom edge.
            if (edge && (outlined || (face(x, y) != kTop && !canvas.Inside(x, y + 1))))
                canvas.At(x, y) = kOutlineShade;
        }
    return picture;
}

std::string DibFileBytes(int width, int height, const std::vector<uint8_t>& pixels,
                         const std::vector<Rgb>& colourTable)
{
    const uint32_t stride = (static_cast<uint32_t>(width) * 8 + 31) / 32 * 4;
    const uint32_t tableBytes = 4 * kPaletteSize;
    const uint32_t offBits = 14 + 40 + tableBytes;
    const uint32_t imageBytes = stride * static_cast<uint32_t>(height);
    std::string out;
    auto put16 = [&](uint32_t v) {
        out.push_back(static_cast<char>(v & 0xFF));
        out.push_back(static_cast<char>((v >> 8) & 0xFF));
    };
    auto put32 = [&](uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    out += "BM";
    put32(offBits + imageBytes);
    put16(0);
    put16(0);
    put32(offBits);
    put32(40);
    put32(static_cast<uint32_t>(width));
    put32(static_cast<uint32_t>(height));
    put16(1);
    put16(8);
    put32(0);  // uncompressed
    put32(imageBytes);
    put32(2835);  // 72 dots an inch
    put32(2835);
    put32(kPaletteSize);
    put32(0);
    for (int i = 0; i < kPaletteSize; ++i) {
        const Rgb c = i < static_cast<int>(colourTable.size()) ? colourTable[i] : Rgb{};
        out.push_back(static_cast<char>(c.b));
        out.push_back(static_cast<char>(c.g));
        out.push_back(static_cast<char>(c.r));
        out.push_back(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        const size_t row = static_cast<size_t>(y) * width;
        out.append(reinterpret_cast<const char*>(pixels.data() + row), static_cast<size_t>(width));
        out.append(stride - static_cast<uint32_t>(width), '\0');
    }
    return out;
}

std::vector<Rgb> ShadedColourTable(const Palette& palette, int colour)
{
    std::vector<Rgb> table(palette.entries.begin(), palette.entries.end());
    for (int s = 0; s < kShades; ++s)
        table[s] = palette.entries[ShadeEntry(colour, s)];
    return table;
}

std::vector<uint8_t> RenderPreview(const Picture& picture, const Palette& palette, int colour, int width,
                                   int height, int margin)
{
    constexpr int kWhite = kPaletteSize - 1;
    std::vector<uint8_t> out(static_cast<size_t>(width) * height, kWhite);
    const double availW = std::max(1, width - 2 * margin);
    const double availH = std::max(1, height - 2 * margin);
    const double k = std::min({1.0, availW / picture.width, availH / picture.height});
    const int tw = std::max(1, static_cast<int>(std::lround(picture.width * k)));
    const int th = std::max(1, static_cast<int>(std::lround(picture.height * k)));
    const double kx = static_cast<double>(picture.width) / tw;  // source pixels a target pixel
    const double ky = static_cast<double>(picture.height) / th;
    const int ox = (width - tw) / 2;
    const int oy = (height - th) / 2;

    auto source = [&](int x, int y) {
        const size_t i = static_cast<size_t>(y) * picture.width + x;
        const Rgb white = palette.entries[kWhite];
        return picture.mask[i] ? palette.entries[ShadeEntry(colour, picture.pixels[i])] : white;
    };
    for (int ty = 0; ty < th; ++ty)
        for (int tx = 0; tx < tw; ++tx) {
            // Area average of the source pixels under the target pixel.
            double r = 0, g = 0, b = 0, area = 0;
            const double sx0 = tx * kx, sx1 = (tx + 1) * kx;
            const double sy0 = ty * ky, sy1 = (ty + 1) * ky;
            for (int y = static_cast<int>(sy0); y < std::min<double>(sy1, picture.height); ++y)
                for (int x = static_cast<int>(sx0); x < std::min<double>(sx1, picture.width); ++x) {
                    const double a = (std::min<double>(x + 1, sx1) - std::max<double>(x, sx0)) *
                                     (std::min<double>(y + 1, sy1) - std::max<double>(y, sy0));
                    if (a <= 0)
                        continue;
                    const Rgb c = source(x, y);
                    r += a * c.r;
                    g += a * c.g;
                    b += a * c.b;
                    area += a;
                }
            r /= area;
            g /= area;
            b /= area;
            int best = kWhite;
            double bestDistance = std::numeric_limits<double>::max();
            for (int i = 0; i < kPaletteSize; ++i) {
                const Rgb& e = palette.entries[i];
                const double d = (e.r - r) * (e.r - r) + (e.g - g) * (e.g - g) + (e.b - b) * (e.b - b);
                if (d < bestDistance) {
                    bestDistance = d;
                    best = i;
                }
            }
            out[static_cast<size_t>(oy + ty) * width + ox + tx] = static_cast<uint8_t>(best);
        }
    return out;
}

}  // namespace tools
