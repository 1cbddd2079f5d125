// The fast way of drawing the bricks: the same bricks carve the same regions
// as the walkers decide, so every pixel comes out the same, but
// - the bricks that may lie in front of a brick are looked up in a grid of
//   screen cells instead of walking the whole tree for each brick;
// - regions are row bit masks, kept between paints until a brick changes,
//   and carved by word operations, the bricks most likely to hide one first,
//   stopping when nothing is left;
// - on a 1:1 target the visible pixels are written straight into the surface
//   through a colour table made once per brick.
// Anything the short cuts do not cover (scaled targets, a brick whose picture
// does not check) is drawn through the brick's own drawing with the same
// carved region built the walkers' way.
#include <algorithm>
#include <bit>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "foundation/region.h"
#include "model/bitmap_check.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/surface.h"
#include "views/brick_pane.h"
#include "views/direct_paint.h"
#include "views/draw_walkers.h"
#include "views/mask_cache.h"
#include "views/pane_walkers.h"

namespace {

using views::DirectPainter;
using views::Mask;

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
    RECT bounds{};      // of the brick's region, once built
    bool empty = true;  // the brick's region holds nothing
};

// The depth boxes' strict overlap, as the boxes' own test gives it.
inline bool Overlap(const CBox3D& a, const CBox3D& b)
{
    return Max16(a.Min().X(), b.Min().X()) < Min16(a.Max().X(), b.Max().X()) &&
           Max16(a.Min().Y(), b.Min().Y()) < Min16(a.Max().Y(), b.Max().Y()) &&
           Max16(a.Min().Z(), b.Min().Z()) < Min16(a.Max().Z(), b.Max().Z());
}

class FastDrawing {
public:
    FastDrawing(CBrickPane* pane, CBrickPane::MaskCache& cache, CDC* dc, const RECT& clip)
        : m_pane(pane), m_cache(cache), m_dc(dc), m_clip(clip)
    {
    }

    void Run(CBrickGroup* root)
    {
        RECT rootRect;
        m_pane->ProjectBox(&rootRect, root->GetCachedBounds());
        // The draw walk ends at once when the whole model misses the area.
        if (!RectsMeet(rootRect, m_clip))
            return;
        // Only bricks near the drawn ones can hide them, so the model is
        // walked twice: once for the bricks the paint draws, once for those
        // whose rectangles meet the grid about them.
        const size_t bricks = BrickCount(root);
        m_drawnWalk.reserve(bricks);
        if (!FindDrawn(root, true))
            return;
        PlaceGrid();
        Collect(root, -1, true);
        // Masks of bricks that are gone are dropped now and then.
        if (++m_cache.paint == 0)
            m_cache.paint = 1;
        if (m_cache.entries.size() > 4 * bricks + 1024)
            m_cache.entries.clear();
        BuildGrid();
        m_painter.Prepare(m_dc);
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i].drawn)
                DrawItem(static_cast<int>(i));
    }

private:
    // The rectangles of the bricks in the groups the draw walk enters, in
    // walk order, and the union of those that meet the area.
    bool FindDrawn(CBrickGroup* group, bool root)
    {
        if (!root) {
            RECT rect;
            m_pane->ProjectBox(&rect, group->GetCachedBounds());
            if (!RectsMeet(rect, m_clip))
                return m_anyDrawn;
        }
        for (int i = 0; i < group->GetSize(); ++i) {
            CBrick* brick = group->GetBrickAt(i);
            if (!CBrickDrawWalker::Admits(brick, 0, 0))
                continue;
            RECT rect;
            m_pane->ProjectBox(&rect, brick->GetWorldBox());
            m_drawnWalk.push_back(rect);
            if (!RectsMeet(rect, m_clip))
                continue;
            if (!m_anyDrawn)
                m_area = rect;
            else
                UnionRects(&m_area, rect);
            m_anyDrawn = true;
        }
        for (int i = 0; i < group->GetSubGroupCount(); ++i)
            if (CBrickGroup* sub = group->GetSubGroupAt(i))
                FindDrawn(sub, false);
        return m_anyDrawn;
    }

    static size_t BrickCount(CBrickGroup* group)
    {
        size_t count = static_cast<size_t>(std::max(0, group->GetSize()));
        for (int i = 0; i < group->GetSubGroupCount(); ++i)
            if (CBrickGroup* sub = group->GetSubGroupAt(i))
                count += BrickCount(sub);
        return count;
    }

    // Screen cells of the area that the drawn bricks cover, grown by two
    // pixels.
    void PlaceGrid()
    {
        m_gridLeft = m_area.left - 2;
        m_gridTop = m_area.top - 2;
        const long long width = static_cast<long long>(m_area.right) - m_area.left + 4;
        const long long height = static_cast<long long>(m_area.bottom) - m_area.top + 4;
        m_cell = 32;
        while ((width / m_cell + 1) * (height / m_cell + 1) > 65536)
            m_cell *= 2;
        m_columns = static_cast<int>(width / m_cell + 1);
        m_rowsCount = static_cast<int>(height / m_cell + 1);
    }

    // Keeps the bricks whose rectangles, grown by two pixels, touch a cell:
    // no other brick is ever looked up as lying in front of a drawn one.
    void Collect(CBrickGroup* group, int parent, bool drawn)
    {
        RECT rect;
        m_pane->ProjectBox(&rect, group->GetCachedBounds());
        // A sub-group that misses the area is not entered by the draw walk;
        // its bricks may still lie in front of bricks that are drawn.
        const bool groupDrawn = drawn && (parent < 0 || RectsMeet(rect, m_clip));
        // Nor is a group entered by the carving walk when it misses the grid,
        // which holds every drawn brick's region.
        int c0, c1, r0, r1;
        if (parent >= 0 && !groupDrawn && !CellRange(rect, 0, c0, c1, r0, r1))
            return;
        const int index = static_cast<int>(m_groups.size());
        m_groups.push_back(Group{rect, parent});
        for (int i = 0; i < group->GetSize(); ++i) {
            CBrick* brick = group->GetBrickAt(i);
            if (!CBrickDrawWalker::Admits(brick, 0, 0))
                continue;
            Item item{brick, {}, {}, index, false};
            if (groupDrawn && m_drawnNext < m_drawnWalk.size())
                item.rect = m_drawnWalk[m_drawnNext++];
            else
                m_pane->ProjectBox(&item.rect, brick->GetWorldBox());
            if (!CellRange(item.rect, 2, c0, c1, r0, r1))
                continue;
            m_pane->GetDepthBox(&item.depth, brick->GetWorldBox());
            item.drawn = groupDrawn && RectsMeet(item.rect, m_clip);
            m_items.push_back(item);
        }
        for (int i = 0; i < group->GetSubGroupCount(); ++i)
            if (CBrickGroup* sub = group->GetSubGroupAt(i))
                Collect(sub, index, groupDrawn);
    }

    // A brick is listed in every cell its rectangle (grown by two pixels)
    // touches.
    void BuildGrid()
    {
        m_cells.assign(static_cast<size_t>(m_columns) * m_rowsCount, {});
        // Bricks that hide most come first: higher tops, then nearer. The
        // order only makes carving end sooner; the pixels do not depend on it.
        std::vector<int> order(m_items.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<int>(i);
        auto key = [this](int i) {
            const CBox3D& box = m_items[i].brick->GetWorldBox();
            return std::pair<int, int>(-box.Max().Z(), box.Min().X() + box.Min().Y());
        };
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
        for (int i : order) {
            int c0, c1, r0, r1;
            if (!CellRange(m_items[i].rect, 2, c0, c1, r0, r1))
                continue;
            for (int r = r0; r <= r1; ++r)
                for (int c = c0; c <= c1; ++c)
                    m_cells[static_cast<size_t>(r) * m_columns + c].push_back(i);
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

    // Calls `visit` for each brick that may lie in front of this one, cell by
    // cell, each cell's nearest first, until it answers false.
    template <class Visit>
    void ForEachCandidate(int index, Visit visit)
    {
        int c0, c1, r0, r1;
        if (!CellRange(m_items[index].rect, 2, c0, c1, r0, r1))
            return;
        ++m_generation;
        for (int r = r0; r <= r1; ++r) {
            for (int c = c0; c <= c1; ++c) {
                for (int other : m_cells[static_cast<size_t>(r) * m_columns + c]) {
                    if (m_stamp[other] == m_generation || other == index)
                        continue;
                    m_stamp[other] = m_generation;
                    if (!visit(other))
                        return;
                }
            }
        }
    }

    // Whether the walkers would carve `other`'s region out of the drawn one's.
    bool Carves(const Item& drawn, int other, const RECT& regionBounds)
    {
        const Item& o = m_items[other];
        return Overlap(o.depth, drawn.depth) &&
               m_pane->CompareDrawOrder(o.brick->GetWorldBox(), drawn.brick->GetWorldBox()) &&
               GroupsReached(o.group, regionBounds);
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

    // Regions are made of 16-bit coordinates: a shape is moved only where
    // neither it nor the moved one comes near their limit.
    static bool Movable(const RECT& r)
    {
        constexpr LONG kLimit = 30000;
        return r.left > -kLimit && r.top > -kLimit && r.right < kLimit && r.bottom < kLimit;
    }

    void ShapeOf(CBrick* brick, CBrickPane::MaskCache::Entry& entry)
    {
        const CSize3D size = entry.box.Size();
        const std::array<int, 6> key{entry.classId, entry.pose, entry.orientation, size.CX(), size.CY(), size.CZ()};
        POINT anchor;
        m_pane->ProjectPoint(&anchor, entry.box.Min());
        const auto found = m_cache.shapes.find(key);
        if (found != m_cache.shapes.end()) {
            const auto& shape = found->second;
            const LONG dx = anchor.x - shape.anchor.x, dy = anchor.y - shape.anchor.y;
            const RECT moved{shape.bounds.left + dx, shape.bounds.top + dy, shape.bounds.right + dx,
                             shape.bounds.bottom + dy};
            if (Movable(moved) && Movable(RECT{anchor.x, anchor.y, anchor.x, anchor.y})) {
                entry.mask = shape.mask;
                entry.mask.left += dx;
                entry.mask.top += dy;
                entry.bounds = moved;
                entry.empty = false;
                return;
            }
        }
        CRegion region;
        m_pane->BuildBrickRegion(&region, brick);
        entry.bounds = region.GetBounds();
        entry.empty = region.IsEmpty() != FALSE;
        entry.mask = Mask::From(region);
        if (found == m_cache.shapes.end() && !entry.empty && Movable(entry.bounds) &&
            Movable(RECT{anchor.x, anchor.y, anchor.x, anchor.y}))
            m_cache.shapes.emplace(key, CBrickPane::MaskCache::Shape{anchor, entry.mask, entry.bounds});
    }

    const Mask& MaskOf(int index)
    {
        Item& item = m_items[index];
        CBrick* brick = item.brick;
        auto& entry = m_cache.entries[brick];
        const POINT origin = m_pane->GetOrigin();
        if (entry.seen == 0 || !(entry.box == brick->GetWorldBox()) || entry.classId != brick->GetClassId() ||
            entry.pose != brick->GetPose() || entry.orientation != brick->GetOrientation() ||
            entry.origin.x != origin.x || entry.origin.y != origin.y) {
            entry.box = brick->GetWorldBox();
            entry.classId = brick->GetClassId();
            entry.pose = brick->GetPose();
            entry.orientation = brick->GetOrientation();
            entry.origin = origin;
            ShapeOf(brick, entry);
        }
        entry.seen = m_cache.paint;
        item.bounds = entry.bounds;
        item.empty = entry.empty;
        return entry.mask;
    }

    void DrawItem(int index)
    {
        const Mask& own = MaskOf(index);
        Item& item = m_items[index];
        if (item.empty)
            return;
        const RECT bounds = item.bounds;
        // The carving walk ends at once when the model misses the region.
        m_carving = RectsMeet(m_groups[0].rect, bounds);
        if (m_painter.Ready() && PaintFast(index, own, bounds))
            return;
        // The walkers' way, in tree order, with the same carvers.
        std::vector<int> carvers;
        if (m_carving)
            ForEachCandidate(index, [&](int other) {
                if (Carves(item, other, bounds))
                    carvers.push_back(other);
                return true;
            });
        std::sort(carvers.begin(), carvers.end());
        CRegion region;
        m_pane->BuildBrickRegion(&region, item.brick);
        for (int other : carvers) {
            CRegion front;
            m_pane->BuildBrickRegion(&front, m_items[other].brick);
            region.Subtract(region, front);
            if (region.IsEmpty())
                return;
        }
        m_pane->DrawBrick(item.brick, m_dc, region);
    }

    bool PaintFast(int index, const Mask& own, const RECT& bounds)
    {
        const Item& item = m_items[index];
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
        m_visible = own;
        bool left = !m_visible.Empty();
        if (left && m_carving)
            ForEachCandidate(index, [&](int other) {
                if (Carves(item, other, bounds))
                    left = m_visible.Subtract(MaskOf(other));
                return left;
            });
        if (left) {
            WORD table[256];
            for (int i = 0; i < 256; ++i)
                table[i] = static_cast<WORD>(i);
            CBrick::FillColorRamp(table, CBrick::kFirstShadeEntry + CBrick::kShadeCount * brick->GetColorIndex());
            m_painter.Paint(m_visible, 0, 0, item.rect.left, item.rect.top, bytes + layout.pixelOffset, layout.width,
                            layout.height, layout.stride, table);
        }
        GlobalUnlock(picture);
        return true;
    }

    CBrickPane* m_pane;
    CBrickPane::MaskCache& m_cache;
    CDC* m_dc;
    RECT m_clip;
    std::vector<Group> m_groups;
    std::vector<Item> m_items;
    std::vector<RECT> m_drawnWalk;
    size_t m_drawnNext = 0;
    RECT m_area{0, 0, 0, 0};
    bool m_anyDrawn = false;
    bool m_carving = false;
    Mask m_visible;
    std::vector<std::vector<int>> m_cells;
    std::vector<unsigned> m_stamp;
    unsigned m_generation = 0;
    long long m_gridLeft = 0, m_gridTop = 0;
    int m_cell = 32, m_columns = 0, m_rowsCount = 0;

    DirectPainter m_painter;
};

}  // namespace

void CBrickPane::DrawDizadoFast(CDC* dc, const RECT& clip, SHORT)
{
    CBrickGroup* root = GetBrickList();
    if (!root || !dc)
        return;
    if (!m_maskCache)
        m_maskCache = std::make_unique<MaskCache>();
    FastDrawing drawing(this, *m_maskCache, dc, clip);
    drawing.Run(root);
}
