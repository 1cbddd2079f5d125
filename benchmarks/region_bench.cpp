// Region work of a redraw: the outlines of 1,000 bricks, their union (the
// selection outline), and each brick's outline less what lies in front of it
// (the draw walker's occlusion clipping).
#include <benchmark/benchmark.h>

#include <vector>

#include "foundation/global_buffer.h"
#include "foundation/region.h"

namespace {

struct Box {
    int x, y, z;
    int cx, cy, cz;
};

POINT Project(int x, int y, int z)
{
    return POINT{220 + 10 * x - 10 * y, 290 - 5 * x - 5 * y - 6 * z};
}

// The six corners in the order the scan conversion takes: top, upper left,
// lower left, bottom, upper right, lower right.
void Outline(const Box& b, POINT out[6])
{
    const int x1 = b.x + b.cx, y1 = b.y + b.cy, z1 = b.z + b.cz;
    out[0] = Project(x1, y1, z1);
    out[1] = Project(b.x, y1, z1);
    out[2] = Project(b.x, y1, b.z);
    out[3] = Project(b.x, b.y, b.z);
    out[4] = Project(x1, b.y, z1);
    out[5] = Project(x1, b.y, b.z);
}

// 1,000 bricks of assorted sizes on a 10 by 10 plate, stacked in ten layers,
// overlapping their neighbours on screen.
std::vector<Box> Bricks()
{
    std::vector<Box> boxes;
    for (int i = 0; i < 1000; ++i) {
        const int layer = i / 100;
        const int cell = i % 100;
        boxes.push_back({2 * (cell % 10), 2 * (cell / 10), 3 * layer, 1 + (i % 4), 1 + ((i / 4) % 3), 1 + (i % 2) * 2});
    }
    return boxes;
}

std::vector<CRegion> Outlines(const std::vector<Box>& boxes)
{
    std::vector<CRegion> regions(boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
        POINT p[6];
        Outline(boxes[i], p);
        regions[i].SetPolygon(p);
    }
    return regions;
}

bool Overlap(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// A brick hides another when it is nearer the viewer (smaller x + y) or on
// the same diagonal and higher, and their outlines' bounds meet.
bool InFront(const Box& front, const Box& back)
{
    const int df = front.x + front.y, db = back.x + back.y;
    return df < db || (df == db && front.z > back.z);
}

void BM_SetPolygon1000(benchmark::State& state)
{
    const std::vector<Box> boxes = Bricks();
    std::vector<POINT> points(6 * boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i)
        Outline(boxes[i], &points[6 * i]);
    CRegion region;
    for (auto _ : state) {
        for (size_t i = 0; i < boxes.size(); ++i) {
            region.SetPolygon(&points[6 * i]);
            benchmark::DoNotOptimize(region.GetData());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(boxes.size()));
}
BENCHMARK(BM_SetPolygon1000)->Unit(benchmark::kMillisecond);

void BM_UnionAccumulate1000(benchmark::State& state)
{
    const std::vector<CRegion> outlines = Outlines(Bricks());
    for (auto _ : state) {
        CRegion all;
        for (const CRegion& outline : outlines)
            all.Union(all, outline);
        benchmark::DoNotOptimize(all.GetData());
        state.counters["bands"] = all.GetSpanCount();
        state.counters["bytes"] = all.GetSize();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(outlines.size()));
}
BENCHMARK(BM_UnionAccumulate1000)->Unit(benchmark::kMillisecond);

// Per brick: unite the outlines of the bricks in front that meet it, then
// subtract that cover from the brick's own outline.
void BM_OcclusionClip1000(benchmark::State& state)
{
    const std::vector<Box> boxes = Bricks();
    const std::vector<CRegion> outlines = Outlines(boxes);
    std::vector<std::vector<size_t>> front(boxes.size());
    size_t pairs = 0;
    for (size_t i = 0; i < boxes.size(); ++i)
        for (size_t j = 0; j < boxes.size(); ++j)
            if (j != i && InFront(boxes[j], boxes[i]) && Overlap(outlines[i].GetBounds(), outlines[j].GetBounds())) {
                front[i].push_back(j);
                ++pairs;
            }
    for (auto _ : state) {
        for (size_t i = 0; i < boxes.size(); ++i) {
            CRegion cover;
            for (size_t j : front[i])
                cover.Union(cover, outlines[j]);
            CRegion visible = outlines[i];
            visible.Subtract(visible, cover);
            benchmark::DoNotOptimize(visible.GetData());
        }
    }
    state.counters["front_pairs"] = static_cast<double>(pairs);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(boxes.size()));
}
BENCHMARK(BM_OcclusionClip1000)->Unit(benchmark::kMillisecond);

// The subtraction alone, against covers built beforehand.
void BM_Subtract1000(benchmark::State& state)
{
    const std::vector<Box> boxes = Bricks();
    const std::vector<CRegion> outlines = Outlines(boxes);
    std::vector<CRegion> covers(boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i)
        for (size_t j = 0; j < boxes.size(); ++j)
            if (j != i && InFront(boxes[j], boxes[i]) && Overlap(outlines[i].GetBounds(), outlines[j].GetBounds()))
                covers[i].Union(covers[i], outlines[j]);
    for (auto _ : state) {
        for (size_t i = 0; i < boxes.size(); ++i) {
            CRegion visible = outlines[i];
            visible.Subtract(visible, covers[i]);
            benchmark::DoNotOptimize(visible.GetData());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(boxes.size()));
}
BENCHMARK(BM_Subtract1000)->Unit(benchmark::kMillisecond);

// The floor of every builder: each makes its own zeroed 50,000-byte scratch.
void BM_ScratchBuffer(benchmark::State& state)
{
    for (auto _ : state) {
        CGlobalBuffer buffer;
        buffer.WriteShort(1);
        benchmark::DoNotOptimize(buffer.PeekLastShort());
    }
}
BENCHMARK(BM_ScratchBuffer);

}  // namespace
