// The fast way of drawing the bricks: the same bricks carve the same regions
// as the walkers decide, so every pixel comes out the same, but
// - the bricks that may lie in front of a brick are looked up in a grid of
//   screen cells instead of walking the whole tree for each brick;
// - regions are row bit masks, built once per brick and draw, and carved by
//   word operations;
// - on a 1:1 target the visible pixels are written straight into the surface
//   through a colour table made once per brick.
// Anything the short cuts do not cover (scaled targets, a brick whose picture
// does not check) is drawn through the brick's own drawing with the same
// carved region built the walkers' way.
#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "foundation/region.h"
#include "model/bitmap_check.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/surface.h"
#include "views/brick_pane.h"
#include "views/draw_walkers.h"
#include "views/pane_walkers.h"

namespace {

// Rows of bits: bit b of word k in row r stands for pixel (left + 64k + b, top + r).
struct Mask {
    int left = 0, top = 0, words = 0, rows = 0;
    std::vector<uint64_t> bits;

    bool Empty() const { return rows == 0; }
    uint64_t* Row(int r) { return bits.data() + static_cast<size_t>(r) * words; }
    const uint64_t* Row(int r) const { return bits.data() + static_cast<size_t>(r) * words; }

    static Mask From(const CRegion& region)
    {
        Mask m;
        int x0 = INT32_MAX, x1 = INT32_MIN, y0 = INT32_MAX, y1 = INT32_MIN;
        {
            CRegion::BandReader band(region);
            while (band.Next()) {
                if (band.Top() >= band.Bottom())
                    continue;
                for (int i = 0; i < band.RunCount(); ++i) {
                    if (band.RunStart(i) >= band.RunEnd(i))
                        continue;
                    x0 = std::min<int>(x0, band.RunStart(i));
                    x1 = std::max<int>(x1, band.RunEnd(i));
                    y0 = std::min<int>(y0, band.Top());
                    y1 = std::max<int>(y1, band.Bottom());
                }
            }
        }
        if (x0 >= x1 || y0 >= y1)
            return m;
        m.left = x0;
        m.top = y0;
        m.words = (x1 - x0 + 63) / 64;
        m.rows = y1 - y0;
        m.bits.assign(static_cast<size_t>(m.words) * m.rows, 0);
        CRegion::BandReader band(region);
        while (band.Next()) {
            for (int i = 0; i < band.RunCount(); ++i) {
                const int a = band.RunStart(i) - x0;
                const int b = band.RunEnd(i) - x0;
                if (a >= b)
                    continue;
                for (int y = band.Top(); y < band.Bottom(); ++y)
                    SetRun(m.Row(y - y0), a, b);
            }
        }
        return m;
    }

    static void SetRun(uint64_t* row, int a, int b)
    {
        while (a < b) {
            const int word = a >> 6;
            const int bit = a & 63;
            const int n = std::min(64 - bit, b - a);
            const uint64_t ones = n == 64 ? ~uint64_t{0} : ((uint64_t{1} << n) - 1);
            row[word] |= ones << bit;
            a += n;
        }
    }

    // 64 bits of a row from bit `offset` on (may be negative or past the end).
    static uint64_t Bits64(const uint64_t* row, int words, long long offset)
    {
        if (offset <= -64 || offset >= 64LL * words)
            return 0;
        const long long word = offset >= 0 ? offset >> 6 : -1;
        const int shift = static_cast<int>(offset - word * 64);
        const uint64_t low = word >= 0 ? row[word] : 0;
        const uint64_t high = word + 1 < words ? row[word + 1] : 0;
        return shift == 0 ? low : (low >> shift) | (high << (64 - shift));
    }

    // Takes away the pixels of `other`; answers whether anything is left.
    bool Subtract(const Mask& other)
    {
        const int r0 = std::max(top, other.top);
        const int r1 = std::min(top + rows, other.top + other.rows);
        const long long c0 = std::max<long long>(left, other.left);
        const long long c1 = std::min<long long>(left + 64LL * words, other.left + 64LL * other.words);
        if (r0 < r1 && c0 < c1) {
            const int w0 = static_cast<int>((c0 - left) >> 6);
            const int w1 = static_cast<int>((c1 - left + 63) >> 6);
            for (int y = r0; y < r1; ++y) {
                uint64_t* row = Row(y - top);
                const uint64_t* from = other.Row(y - other.top);
                for (int k = w0; k < w1; ++k)
                    row[k] &= ~Bits64(from, other.words, left + 64LL * k - other.left);
            }
        }
        for (uint64_t word : bits)
            if (word)
                return true;
        return false;
    }
};

struct Group {
    RECT rect;
    int parent;
};

struct Item {
    CBrick* brick;
    RECT rect;
    CBox3D depth;
    int group;
    bool drawn;
    int mask = -1;  // into the mask cache
};

class FastDrawing {
public:
    FastDrawing(CBrickPane* pane, CDC* dc, const RECT& clip) : m_pane(pane), m_dc(dc), m_clip(clip) {}

    void Run(CBrickGroup* root)
    {
        RECT rootRect;
        m_pane->ProjectBox(&rootRect, root->GetCachedBounds());
        // The draw walk ends at once when the whole model misses the area.
        if (!RectsMeet(rootRect, m_clip))
            return;
        Collect(root, -1, true);
        BuildGrid();
        PreparePainter();
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i].drawn)
                DrawItem(static_cast<int>(i));
    }

private:
    void Collect(CBrickGroup* group, int parent, bool drawn)
    {
        RECT rect;
        m_pane->ProjectBox(&rect, group->GetCachedBounds());
        const int index = static_cast<int>(m_groups.size());
        m_groups.push_back(Group{rect, parent});
        // A sub-group that misses the area is not entered by the draw walk;
        // its bricks may still lie in front of bricks that are drawn.
        const bool groupDrawn = drawn && (parent < 0 || RectsMeet(rect, m_clip));
        for (int i = 0; i < group->GetSize(); ++i) {
            CBrick* brick = group->GetBrickAt(i);
            if (!CBrickDrawWalker::Admits(brick, 0, 0))
                continue;
            Item item{brick, {}, {}, index, false};
            m_pane->ProjectBox(&item.rect, brick->GetWorldBox());
            m_pane->GetDepthBox(&item.depth, brick->GetWorldBox());
            item.drawn = groupDrawn && RectsMeet(item.rect, m_clip);
            m_items.push_back(item);
        }
        for (int i = 0; i < group->GetSubGroupCount(); ++i)
            if (CBrickGroup* sub = group->GetSubGroupAt(i))
                Collect(sub, index, groupDrawn);
    }

    // Screen cells of the area that the drawn bricks cover; a brick is listed
    // in every cell its rectangle (grown by two pixels) touches.
    void BuildGrid()
    {
        bool any = false;
        RECT area{0, 0, 0, 0};
        for (const Item& item : m_items) {
            if (!item.drawn)
                continue;
            if (!any)
                area = item.rect;
            else
                UnionRects(&area, item.rect);
            any = true;
        }
        if (!any)
            return;
        m_gridLeft = area.left - 2;
        m_gridTop = area.top - 2;
        const long long width = static_cast<long long>(area.right) - area.left + 4;
        const long long height = static_cast<long long>(area.bottom) - area.top + 4;
        m_cell = 32;
        while ((width / m_cell + 1) * (height / m_cell + 1) > 65536)
            m_cell *= 2;
        m_columns = static_cast<int>(width / m_cell + 1);
        m_rowsCount = static_cast<int>(height / m_cell + 1);
        m_cells.assign(static_cast<size_t>(m_columns) * m_rowsCount, {});
        for (size_t i = 0; i < m_items.size(); ++i) {
            int c0, c1, r0, r1;
            if (!CellRange(m_items[i].rect, 2, c0, c1, r0, r1))
                continue;
            for (int r = r0; r <= r1; ++r)
                for (int c = c0; c <= c1; ++c)
                    m_cells[static_cast<size_t>(r) * m_columns + c].push_back(static_cast<int>(i));
        }
        m_stamp.assign(m_items.size(), 0);
    }

    bool CellRange(const RECT& rect, int grow, int& c0, int& c1, int& r0, int& r1) const
    {
        const long long left = static_cast<long long>(rect.left) - grow - m_gridLeft;
        const long long right = static_cast<long long>(rect.right) + grow - m_gridLeft;
        const long long top = static_cast<long long>(rect.top) - grow - m_gridTop;
        const long long bottom = static_cast<long long>(rect.bottom) + grow - m_gridTop;
        if (right < 0 || bottom < 0 || left >= static_cast<long long>(m_columns) * m_cell ||
            top >= static_cast<long long>(m_rowsCount) * m_cell)
            return false;
        c0 = static_cast<int>(std::max(0LL, left / m_cell));
        c1 = static_cast<int>(std::min<long long>(m_columns - 1, right / m_cell));
        r0 = static_cast<int>(std::max(0LL, top / m_cell));
        r1 = static_cast<int>(std::min<long long>(m_rowsCount - 1, bottom / m_cell));
        return true;
    }

    // The bricks whose regions the walkers would carve out of this one's.
    void FindCarvers(int index, const RECT& regionBounds, std::vector<int>& carvers)
    {
        carvers.clear();
        const Item& drawn = m_items[index];
        // The carving walk ends at once when the model misses the region.
        if (!RectsMeet(m_groups[0].rect, regionBounds))
            return;
        int c0, c1, r0, r1;
        if (!CellRange(drawn.rect, 2, c0, c1, r0, r1))
            return;
        ++m_generation;
        const CBox3D& box = drawn.brick->GetWorldBox();
        for (int r = r0; r <= r1; ++r) {
            for (int c = c0; c <= c1; ++c) {
                for (int other : m_cells[static_cast<size_t>(r) * m_columns + c]) {
                    if (m_stamp[other] == m_generation || other == index)
                        continue;
                    m_stamp[other] = m_generation;
                    const Item& o = m_items[other];
                    if (!o.depth.Overlaps(drawn.depth) || !m_pane->CompareDrawOrder(o.brick->GetWorldBox(), box))
                        continue;
                    if (!GroupsReached(o.group, regionBounds))
                        continue;
                    carvers.push_back(other);
                }
            }
        }
        // The walkers carve in tree order; the result does not depend on it,
        // but the fallback keeps it.
        std::sort(carvers.begin(), carvers.end());
    }

    // Every group on the way up meets the region's bounds, so the carving
    // walk enters it.
    bool GroupsReached(int group, const RECT& bounds) const
    {
        for (; group > 0; group = m_groups[group].parent)
            if (!RectsMeet(m_groups[group].rect, bounds))
                return false;
        return true;
    }

    const Mask& MaskOf(int index)
    {
        Item& item = m_items[index];
        if (item.mask < 0) {
            CRegion region;
            m_pane->BuildBrickRegion(&region, item.brick);
            item.mask = static_cast<int>(m_masks.size());
            m_masks.push_back(Mask::From(region));
        }
        return m_masks[item.mask];
    }

    void DrawItem(int index)
    {
        Item& item = m_items[index];
        CRegion region;
        m_pane->BuildBrickRegion(&region, item.brick);
        if (region.IsEmpty())
            return;
        const RECT bounds = region.GetBounds();
        FindCarvers(index, bounds, m_carvers);
        if (m_painter && PaintFast(item, region))
            return;
        // The walkers' way, with the carvers already known.
        for (int other : m_carvers) {
            CRegion front;
            m_pane->BuildBrickRegion(&front, m_items[other].brick);
            region.Subtract(region, front);
            if (region.IsEmpty())
                return;
        }
        m_pane->DrawBrick(item.brick, m_dc, region);
    }

    bool PaintFast(Item& item, const CRegion& region)
    {
        CBrick* brick = item.brick;
        HGLOBAL picture = brick->GetPicture();
        if (!picture)
            return false;
        const auto* bytes = static_cast<const BYTE*>(GlobalLock(picture));
        BitmapLayout layout;
        if (!bytes || !CheckPackedBitmap(bytes, GlobalSize(picture), true, &layout)) {
            if (bytes)
                GlobalUnlock(picture);
            return false;
        }
        Mask visible = Mask::From(region);
        bool left = !visible.Empty();
        for (size_t k = 0; left && k < m_carvers.size(); ++k)
            left = visible.Subtract(MaskOf(m_carvers[k]));
        if (left)
            Paint(visible, item.rect, brick->GetColorIndex(), bytes + layout.pixelOffset, layout);
        GlobalUnlock(picture);
        return true;
    }

    // A 1:1 target whose surface can be written: text mapping and a palette.
    void PreparePainter()
    {
        platform::Surface* surface = m_dc->GetSurface();
        CPalette* palette = m_dc->GetCurrentPalette();
        if (!surface || !palette || m_dc->GetMapMode() != MM_TEXT)
            return;
        const POINT wo = m_dc->GetWindowOrg();
        const POINT vo = m_dc->GetViewportOrg();
        m_dx = static_cast<long long>(vo.x) - wo.x;
        m_dy = static_cast<long long>(vo.y) - wo.y;
        RECT clip;
        if (m_dc->GetClipBox(&clip) == NULLREGION)
            return;
        m_deviceClip = RECT{static_cast<LONG>(clip.left + m_dx), static_cast<LONG>(clip.top + m_dy),
                            static_cast<LONG>(clip.right + m_dx), static_cast<LONG>(clip.bottom + m_dy)};
        m_deviceClip.left = std::max<LONG>(m_deviceClip.left, 0);
        m_deviceClip.top = std::max<LONG>(m_deviceClip.top, 0);
        m_deviceClip.right = std::min<LONG>(m_deviceClip.right, surface->Width());
        m_deviceClip.bottom = std::min<LONG>(m_deviceClip.bottom, surface->Height());
        m_surface = surface;
        m_palette = palette;
        m_painter = true;
    }

    void Paint(const Mask& visible, const RECT& screen, LONG colour, const BYTE* pixels, const BitmapLayout& layout)
    {
        uint32_t lut[256];
        WORD table[256];
        for (int i = 0; i < 256; ++i)
            table[i] = static_cast<WORD>(i);
        CBrick::FillColorRamp(table, CBrick::kFirstShadeEntry + CBrick::kShadeCount * colour);
        for (int i = 0; i < 256; ++i)
            lut[i] = platform::Surface::ToPixel(m_palette->ColourOf(table[i]));

        const long long picLeft = screen.left;
        const long long picTop = screen.top;
        const long long picRight = picLeft + layout.width;
        const long long picBottom = picTop + layout.height;
        for (int r = 0; r < visible.rows; ++r) {
            const long long y = static_cast<long long>(visible.top) + r;
            if (y < picTop || y >= picBottom)
                continue;
            const long long dy = y + m_dy;
            if (dy < m_deviceClip.top || dy >= m_deviceClip.bottom)
                continue;
            const BYTE* src = pixels + static_cast<size_t>(layout.height - 1 - (y - picTop)) * layout.stride;
            uint32_t* dst = m_surface->ScanLine(static_cast<int>(dy));
            const uint64_t* row = visible.Row(r);
            for (int k = 0; k < visible.words; ++k) {
                uint64_t word = row[k];
                while (word) {
                    const int a = std::countr_zero(word);
                    const uint64_t shifted = word >> a;
                    const int n = (~shifted == 0) ? 64 - a : std::countr_zero(~shifted);
                    word = (a + n >= 64) ? 0 : word & ~(((uint64_t{1} << (a + n)) - 1));
                    long long x0 = static_cast<long long>(visible.left) + 64LL * k + a;
                    long long x1 = x0 + n;
                    x0 = std::max(x0, picLeft);
                    x1 = std::min(x1, picRight);
                    x0 = std::max(x0, static_cast<long long>(m_deviceClip.left) - m_dx);
                    x1 = std::min(x1, static_cast<long long>(m_deviceClip.right) - m_dx);
                    for (long long x = x0; x < x1; ++x)
                        dst[x + m_dx] = lut[src[x - picLeft]];
                }
            }
        }
    }

    CBrickPane* m_pane;
    CDC* m_dc;
    RECT m_clip;
    std::vector<Group> m_groups;
    std::vector<Item> m_items;
    std::vector<Mask> m_masks;
    std::vector<int> m_carvers;
    std::vector<std::vector<int>> m_cells;
    std::vector<unsigned> m_stamp;
    unsigned m_generation = 0;
    long long m_gridLeft = 0, m_gridTop = 0;
    int m_cell = 32, m_columns = 0, m_rowsCount = 0;

    bool m_painter = false;
    platform::Surface* m_surface = nullptr;
    CPalette* m_palette = nullptr;
    long long m_dx = 0, m_dy = 0;
    RECT m_deviceClip{0, 0, 0, 0};
};

}  // namespace

void CBrickPane::DrawDizadoFast(CDC* dc, const RECT& clip, SHORT)
{
    CBrickGroup* root = GetBrickList();
    if (!root || !dc)
        return;
    FastDrawing drawing(this, dc, clip);
    drawing.Run(root);
}
