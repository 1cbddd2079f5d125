// Behind the bricks: the background colour, the background picture placed
// once or tiled, and the studded baseplate on the ground plane.
#include <algorithm>
#include <cstring>
#include <filesystem>

#include "document/dizado_doc.h"
#include "model/bitmap_check.h"
#include "model/brick.h"
#include "platform/core/file.h"
#include "platform/core/find_file.h"
#include "platform/core/hooks.h"
#include "platform/core/resources.h"
#include "platform/gdi/dc.h"
#include "views/baseplate_cells.h"
#include "views/direct_paint.h"
#include "views/iso_brick_pane.h"
#include "resources/resource_ids.h"
#include "views/pane_walkers.h"

namespace {

constexpr int kStudBaseIndex = 26;
// Large enough for any background a screen shows, small enough to read at once.
constexpr uint64_t kMaxBackgroundFile = 64u * 1024 * 1024;
constexpr size_t kFileHeader = 14;

// Where a checked packed picture keeps its parts.
struct PictureLayout {
    uint64_t tableBytes = 0;
    uint64_t pixelOffset = 0;
};

bool CheckBackground(const BYTE* bytes, uint64_t size, PictureLayout* layout)
{
    if (size < sizeof(BITMAPINFOHEADER))
        return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, bytes, sizeof h);
    if (h.biSize < 40 || h.biSize > size || h.biPlanes != 1 || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biCompression != BI_RGB)
        return false;
    switch (h.biBitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32:
        break;
    default:
        return false;
    }
    uint64_t colours = h.biClrUsed;
    if (colours == 0 && h.biBitCount <= 8)
        colours = uint64_t{1} << h.biBitCount;
    if (colours > 256)
        return false;
    const uint64_t rows = h.biHeight < 0 ? -static_cast<int64_t>(h.biHeight) : h.biHeight;
    const uint64_t pixels = DibRowStride(h.biWidth, h.biBitCount) * rows;
    const uint64_t tableBytes = 4 * colours;
    if (h.biSize + tableBytes > size || pixels > size - h.biSize - tableBytes)
        return false;
    layout->tableBytes = tableBytes;
    layout->pixelOffset = h.biSize + tableBytes;
    return true;
}

// The stud picture, its colour table rewritten as palette indices (the stud
// shades on the baseplate's ramp), and its mask; loaded for one drawing.
struct Stud {
    HGLOBAL image = nullptr;
    const BYTE* bytes = nullptr;
    BitmapLayout layout;
    alignas(4) BYTE info[sizeof(BITMAPINFOHEADER) + 256 * sizeof(WORD)] = {};
    CRegion region;

    ~Stud()
    {
        if (bytes)
            GlobalUnlock(image);
        if (image)
            GlobalFree(image);
    }

    bool Load()
    {
        image = CBrick::LoadImage(AfxGetResourceHandle(), IDB_BASEPLATE_STUD);
        region.LoadResource(AfxGetResourceHandle(), IDR_PANE_REGION);
        bytes = image ? static_cast<const BYTE*>(GlobalLock(image)) : nullptr;
        if (!bytes || !CheckPackedBitmap(bytes, GlobalSize(image), true, &layout))
            return false;
        BITMAPINFOHEADER header;
        std::memcpy(&header, bytes + layout.infoOffset, sizeof header);
        header.biSize = sizeof(BITMAPINFOHEADER);
        header.biClrUsed = 256;
        header.biSizeImage = 0;
        WORD table[256];
        for (int i = 0; i < 256; ++i)
            table[i] = static_cast<WORD>(i);
        CBrick::FillColorRamp(table, kStudBaseIndex);
        std::memcpy(info, &header, sizeof header);
        std::memcpy(info + sizeof header, table, sizeof table);
        return true;
    }
};

}  // namespace

HGLOBAL ReadDIBFile(const char* path)
{
    if (!path || !*path)
        return nullptr;
    std::error_code error;
    const std::filesystem::path native(platform::NativePath(path));
    if (!std::filesystem::is_regular_file(native, error))
        return nullptr;
    const uint64_t length = std::filesystem::file_size(native, error);
    if (error || length <= kFileHeader || length > kMaxBackgroundFile)
        return nullptr;
    CFile file;
    if (!file.Open(path, CFile::modeRead))
        return nullptr;
    HGLOBAL block = nullptr;
    try {
        BYTE header[kFileHeader];
        if (file.Read(header, kFileHeader) != kFileHeader || header[0] != 'B' || header[1] != 'M') {
            file.Close();
            return nullptr;
        }
        const auto rest = static_cast<UINT>(length - kFileHeader);
        block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DISCARDABLE, rest);
        auto* bytes = block ? static_cast<BYTE*>(GlobalLock(block)) : nullptr;
        PictureLayout layout;
        const bool good = bytes && file.Read(bytes, rest) == rest && CheckBackground(bytes, rest, &layout);
        if (bytes)
            GlobalUnlock(block);
        file.Close();
        if (!good && block) {
            GlobalFree(block);
            block = nullptr;
        }
    } catch (const CException&) {
        file.Abort();
        if (block)
            GlobalFree(block);
        block = nullptr;
    }
    return block;
}

void DrawDIB(CDC* dc, HGLOBAL picture, const RECT& rect, const POINT* sourceOffset)
{
    if (!dc || !picture)
        return;
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(picture));
    PictureLayout layout;
    if (bytes && CheckBackground(bytes, GlobalSize(picture), &layout)) {
        const POINT from = sourceOffset ? *sourceOffset : POINT{0, 0};
        const int w = rect.right - rect.left;
        const int h = rect.bottom - rect.top;
        dc->StretchDIBits(rect.left, rect.top, w, h, from.x, from.y, w, h, bytes + layout.pixelOffset,
                          reinterpret_cast<const BITMAPINFO*>(bytes), DIB_RGB_COLORS, SRCCOPY);
    }
    if (bytes)
        GlobalUnlock(picture);
}

void CIsoBrickPane::ReloadBackground()
{
    if (!m_pDocument)
        return;
    const CString path = m_pDocument->GetBackgroundImagePath();
    FreeBackground();
    if (path.IsEmpty())
        return;
    m_hBackground = ReadDIBFile(path);
    if (!m_hBackground)
        return;
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(m_hBackground));
    if (header->biBitCount == 8 && header->biPlanes == 1 && header->biClrUsed == 0)
        header->biClrUsed = 256;
    const auto w = static_cast<SHORT>(header->biWidth);
    const auto h = static_cast<SHORT>(header->biHeight);
    m_backgroundRect = RECT{0, 0, header->biWidth, header->biHeight};
    GlobalUnlock(m_hBackground);
    const int dx = m_origin.x - w / 2;
    const int dy = m_origin.y - h + 30;
    m_backgroundRect.left += dx;
    m_backgroundRect.right += dx;
    m_backgroundRect.top += dy;
    m_backgroundRect.bottom += dy;
}

void CIsoBrickPane::DrawBackground(CDC* dc, const RECT& clip)
{
    CBrickPane::DrawBackground(dc, clip);
    if (!m_hBackground || !m_pDocument)
        return;
    // The picture is drawn straight from its block: the surfaces are true
    // colour, so a screen-compatible copy would hold the same pixels.
    const RECT& bg = m_backgroundRect;
    if (!m_pDocument->IsBackgroundTiled()) {
        if (RectsMeet(bg, clip))
            DrawDIB(dc, m_hBackground, bg, nullptr);
        return;
    }
    const int w = static_cast<SHORT>(bg.right - bg.left);
    const int h = static_cast<SHORT>(bg.bottom - bg.top);
    if (w < 64 || h < 64)
        return;
    // The tiles stay anchored at the picture's place, whatever part is drawn;
    // the first tile is found by division, not by stepping.
    auto firstTile = [](long long anchor, long long edge, long long step) {
        return anchor - baseplate::CeilDiv(anchor - edge, step) * step;
    };
    const long long y0 = firstTile(bg.top, clip.top, h);
    const long long x0 = firstTile(bg.left, clip.left, w);
    for (long long y = y0; y < clip.bottom; y += h)
        for (long long x = x0; x < clip.right; x += w)
            DrawDIB(dc, m_hBackground,
                    RECT{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + w), static_cast<LONG>(y + h)},
                    nullptr);
}

void CIsoBrickPane::DrawBaseplate(CDC* dc, const RECT& clip)
{
    if (!m_pDocument || !m_pDocument->IsBaseplateShown())
        return;
    Stud stud;
    if (!stud.Load()) {
        AfxMessageBox("Scream and Yell");
        return;
    }
    const SIZE size = m_pDocument->GetBaseplateSize();
    const long long nx = 8LL * size.cx;
    const long long ny = 8LL * size.cy;
    if (nx <= 0 || ny <= 0)
        return;
    // Cell (i, j) lies at P = projection of (i + 1, j + 1, 0), from P.X - 10
    // to P.X + 10 and P.Y to P.Y + 16; back cells first, so nearer studs
    // overlap them. Only cells that can meet the area are visited.
    POINT a, b, c, ex, ey;
    ProjectXYZ(&a, 2, 0, 0);
    ProjectXYZ(&b, 1, 1, 1);
    ProjectXYZ(&c, 0, 0, 0);
    ProjectXYZ(&ex, 1, 0, 0);
    ProjectXYZ(&ey, 0, 1, 0);
    const LONG half = (a.x - b.x) / 2;
    const LONG height = c.y - b.y;
    ex = POINT{ex.x - c.x, ex.y - c.y};
    ey = POINT{ey.x - c.x, ey.y - c.y};
    views::DirectPainter painter;
    const bool direct = m_drawMode == DrawMode::fast && painter.Prepare(dc);
    const views::Mask studMask = direct ? views::Mask::From(stud.region) : views::Mask();
    const auto* studTable = reinterpret_cast<const WORD*>(stud.info + sizeof(BITMAPINFOHEADER));
    baseplate::ForEachCell(nx, ny, c, ex, ey, RECT{-half, 0, half, height}, clip, [&](long long, long long, const RECT& cell) {
            if (!RectsMeet(cell, clip))
                return;
            if (direct) {
                painter.Paint(studMask, cell.left, cell.top, cell.left, cell.top, stud.bytes + stud.layout.pixelOffset,
                              stud.layout.width, stud.layout.height, stud.layout.stride, studTable);
                return;
            }
            stud.region.OffsetX(static_cast<SHORT>(cell.left));
            stud.region.OffsetY(static_cast<SHORT>(cell.top));
            CBrick::DrawThroughRegion(dc, cell, stud.layout.width, stud.layout.height,
                                      reinterpret_cast<BITMAPINFO*>(stud.info), stud.bytes + stud.layout.pixelOffset,
                                      stud.region);
            stud.region.OffsetX(static_cast<SHORT>(-cell.left));
            stud.region.OffsetY(static_cast<SHORT>(-cell.top));
    });
}
