// One mouse move as a child feels it in a 5,000-brick model on a 1024 x 768
// pane: while dragging one brick, while dragging 200 selected bricks, and
// while the new-brick tool's outline follows the pointer. Each step draws on
// a surface what the screen shows: the ground footprint and the selection
// outline taken off and put back, or the cursor outline. Run them beside the
// full repaint of the same model (BM_FullRepaint_*/5000), e.g.
//   scripts/bench.sh --benchmark_filter='Drag|Hover|FullRepaint.*/5000'
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "document/dizado_doc.h"
#include "document/move_command.h"
#include "model/brick.h"
#include "model/brick_class_library.h"
#include "model/brick_group.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"
#include "views/iso_brick_pane.h"
#include "views/pane_mouse_site.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kBricks = 5000;

// Layers of 2x2 and 2x4 bricks and plates on a 32 x 32 area, each layer one
// cell off the one below.
class MouseScene {
public:
    MouseScene()
    {
        m_library.ScanKits();
        m_library.LoadPalette();
        SetBrickServices(&m_library);
        m_doc.m_bAutoDelete = FALSE;
        m_pane.SetDrawingSize(kWidth, kHeight);
        m_pane.AttachDocument(&m_doc);
        m_pane.SetOrigin(512, 720, FALSE);
        std::mt19937 random(1);
        const SHORT classes[] = {2007, 2018, 2009, 2020};
        CPaneHold hold(m_doc.GetBrickList());
        int made = 0;
        int z = 0;
        for (int layer = 0; made < kBricks; ++layer) {
            const SHORT classId = classes[layer % 4];
            const int shift = layer % 2;
            const SHORT turn = static_cast<SHORT>((layer / 2) % 2);
            const bool longOne = classId == 2009 || classId == 2020;
            const int stepX = longOne ? (turn ? 2 : 4) : 2;
            const int stepY = longOne ? (turn ? 4 : 2) : 2;
            int height = 0;
            for (int y = shift; y + stepY <= 32 && made < kBricks; y += stepY)
                for (int x = shift; x + stepX <= 32 && made < kBricks; x += stepX) {
                    CBrick* b = CBrick::Make(m_doc.GetBrickList(), CPoint3D(x, y, z), classId,
                                             static_cast<LONG>(random() % 12), 0, turn);
                    height = b->GetWorldBox().Extent(2);
                    ++made;
                }
            z += height;
        }
    }
    ~MouseScene() { SetBrickServices(nullptr); }

    CIsoBrickPane& Pane() { return m_pane; }
    CBrickGroup* Root() { return m_doc.GetBrickList(); }

    // The last `count` bricks made (the top of the model) become the selection.
    void Select(int count)
    {
        CPaneHold hold(Root());
        Root()->SelectAll(FALSE);
        for (int i = 0; i < count; ++i)
            Root()->GetBrickAt(Root()->GetSize() - 1 - i)->SetSelected(TRUE);
    }

private:
    CBrickClassLibrary m_library{CString(DIZADO_PROGRAM_FOLDER)};
    CDizadoDoc m_doc;
    CIsoBrickPane m_pane;
};

MouseScene& Scene()
{
    static std::unique_ptr<MouseScene> scene;
    if (!scene)
        scene = std::make_unique<MouseScene>();
    return *scene;
}

// The screen point over the middle of a brick's top.
POINT OverTop(CIsoBrickPane& pane, CBrick* brick)
{
    const CBox3D& box = brick->GetWorldBox();
    POINT p;
    pane.ProjectXYZ(&p, box.Min().X(), box.Min().Y(), box.Max().Z());
    return POINT{p.x, p.y - 5};
}

// The pointer goes one cell along x and back, over and over, with the button
// down: each step moves the footprint and the selection outline.
void BM_DragMove(benchmark::State& state)
{
    MouseScene& scene = Scene();
    CIsoBrickPane& pane = scene.Pane();
    scene.Select(static_cast<int>(state.range(0)));
    platform::Surface surface(kWidth, kHeight);
    {
        CDC dc(&surface);
        pane.OnDraw(&dc);
    }
    CDC dc(&surface);
    CPaneMouseSite site(&pane);
    CMoveDizadoCommand command(&site, 0, 2, 1);
    CBrick* grabbed = scene.Root()->GetBrickAt(scene.Root()->GetSize() - 1);
    const POINT from = OverTop(pane, grabbed);
    const POINT to{from.x + 10, from.y - 5};
    command.Track(&site, 0, from);  // no window: the press alone
    command.BeginDrag(&dc, from.x, from.y);
    bool away = false;
    for (auto _ : state) {
        const POINT last = away ? to : from;
        away = !away;
        const POINT next = away ? to : from;
        // The selection outline as the window shows it: off, moved, on.
        pane.GetBlinker().Draw(&dc);
        command.DragTo(next.x, next.y, last.x, last.y, from.x, from.y);
        pane.GetBlinker().Draw(&dc);
        benchmark::DoNotOptimize(surface.Bits());
    }
    const POINT last = away ? to : from;
    command.EndDrag(from.x, from.y, last.x, last.y, from.x, from.y);
    state.counters["dragged"] = static_cast<double>(state.range(0));
    state.counters["bricks"] = kBricks;
}

// The new-brick tool's outline follows the pointer over the model: a hit
// test, the grid point on the top of the brick under the pointer, and the
// outline taken off and drawn again.
void BM_HoverMove(benchmark::State& state)
{
    MouseScene& scene = Scene();
    CIsoBrickPane& pane = scene.Pane();
    scene.Select(0);
    platform::Surface surface(kWidth, kHeight);
    CDC dc(&surface);
    pane.OnDraw(&dc);
    pane.ShowCursorOutline(TRUE);
    CBrick* under = scene.Root()->GetBrickAt(scene.Root()->GetSize() - 20);
    const POINT a = OverTop(pane, under);
    const POINT b{a.x + 10, a.y - 5};
    bool away = false;
    for (auto _ : state) {
        away = !away;
        const CRegion& outline = pane.GetCursorOutline();
        outline.DrawOutline(&dc, static_cast<COLORREF>(-1), 2, RGB(0, 0, 0));
        pane.TrackNewBrick(away ? b : a, 0);
        pane.GetCursorOutline().DrawOutline(&dc, static_cast<COLORREF>(-1), 2, RGB(0, 0, 0));
        benchmark::DoNotOptimize(surface.Bits());
    }
    pane.ShowCursorOutline(FALSE);
    state.counters["bricks"] = kBricks;
}

BENCHMARK(BM_DragMove)->Arg(1)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HoverMove)->Unit(benchmark::kMillisecond);

}  // namespace
