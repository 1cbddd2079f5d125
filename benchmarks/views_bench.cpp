// Redraw of the isometric pane, as a child feels it: a 1024 x 768 pane showing
// models of the shipped kit built in layers on a baseplate. Every figure is
// measured in both drawing modes of the pane in the same run: the walkers
// (reference) and the fast drawing, which gives the same pixels.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>

#include "document/dizado_doc.h"
#include "model/brick.h"
#include "model/brick_class_library.h"
#include "model/brick_group.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"
#include "views/iso_brick_pane.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// A document of `count` bricks: layers of 2x2 bricks and plates, and 2x4
// bricks turned both ways, tiling a 32 x 32 baseplate, each layer shifted
// one cell from the one below so that the bricks overlap as real models do.
class Scene {
public:
    explicit Scene(int count)
    {
        m_library.ScanKits();
        m_library.LoadPalette();
        SetBrickServices(&m_library);
        m_doc.m_bAutoDelete = FALSE;
        m_doc.SetBaseplateSize(4, 4);
        COLORREF sky = RGB(200, 225, 255);
        m_doc.ChangeBackgroundColor(&sky);
        m_pane.SetDrawingSize(kWidth, kHeight);
        m_pane.AttachDocument(&m_doc);
        m_pane.SetOrigin(512, 720, FALSE);
        std::mt19937 random(1);
        const SHORT classes[] = {2007, 2018, 2009, 2020};
        int made = 0;
        int z = 0;
        for (int layer = 0; made < count; ++layer) {
            const SHORT classId = classes[layer % 4];
            const int shift = layer % 2;
            const SHORT turn = static_cast<SHORT>((layer / 2) % 2);
            const int stepX = classId == 2009 || classId == 2020 ? (turn ? 2 : 4) : 2;
            const int stepY = classId == 2009 || classId == 2020 ? (turn ? 4 : 2) : 2;
            int height = 0;
            for (int y = shift; y + stepY <= 32 && made < count; y += stepY) {
                for (int x = shift; x + stepX <= 32 && made < count; x += stepX) {
                    CBrick* b = CBrick::Make(m_doc.GetBrickList(), CPoint3D(x, y, z), classId,
                                             static_cast<LONG>(random() % 12), 0, turn);
                    height = b->GetWorldBox().Extent(2);
                    ++made;
                }
            }
            z += height;
        }
    }
    ~Scene() { SetBrickServices(nullptr); }

    CIsoBrickPane& Pane() { return m_pane; }
    CDizadoDoc& Doc() { return m_doc; }

private:
    CBrickClassLibrary m_library{CString(DIZADO_PROGRAM_FOLDER)};
    CDizadoDoc m_doc;
    CIsoBrickPane m_pane;
};

Scene& SceneOf(int count)
{
    static std::map<int, std::unique_ptr<Scene>> scenes;
    auto& scene = scenes[count];
    if (!scene)
        scene = std::make_unique<Scene>(count);
    return *scene;
}

void FullRepaint(benchmark::State& state, CBrickPane::DrawMode mode)
{
    Scene& scene = SceneOf(static_cast<int>(state.range(0)));
    scene.Pane().SetDrawMode(mode);
    platform::Surface surface(kWidth, kHeight);
    for (auto _ : state) {
        CDC dc(&surface);
        scene.Pane().OnDraw(&dc);
        benchmark::DoNotOptimize(surface.Bits());
    }
    state.counters["bricks"] = static_cast<double>(state.range(0));
}

// One brick of the top layer moves one cell and back; each step repaints the
// rectangle around its old and new outline, as the invalidation asks.
void OneBrickRepaint(benchmark::State& state, CBrickPane::DrawMode mode)
{
    Scene& scene = SceneOf(static_cast<int>(state.range(0)));
    CIsoBrickPane& pane = scene.Pane();
    pane.SetDrawMode(mode);
    CBrickGroup* root = scene.Doc().GetBrickList();
    CBrick* brick = root->GetBrickAt(root->GetSize() - 40);
    const CPoint3D home = *brick->GetPositionPtr();
    platform::Surface surface(kWidth, kHeight);
    {
        CDC dc(&surface);
        pane.OnDraw(&dc);
    }
    bool away = false;
    for (auto _ : state) {
        RECT before;
        pane.ProjectBox(&before, brick->GetWorldBox());
        away = !away;
        brick->ChangePosition(away ? CPoint3D(home.X() + 1, home.Y(), home.Z()) : home);
        RECT area;
        pane.ProjectBox(&area, brick->GetWorldBox());
        area.left = std::min(area.left, before.left) - 1;
        area.top = std::min(area.top, before.top) - 2;
        area.right = std::max(area.right, before.right) + 1;
        area.bottom = std::max(area.bottom, before.bottom) + 1;
        CDC dc(&surface);
        dc.IntersectClipRect(&area);
        pane.OnDraw(&dc);
        benchmark::DoNotOptimize(surface.Bits());
    }
    brick->ChangePosition(home);
}

void BM_FullRepaint_Reference(benchmark::State& state)
{
    FullRepaint(state, CBrickPane::DrawMode::reference);
}
void BM_FullRepaint_Fast(benchmark::State& state)
{
    FullRepaint(state, CBrickPane::DrawMode::fast);
}
void BM_OneBrickRepaint_Reference(benchmark::State& state)
{
    OneBrickRepaint(state, CBrickPane::DrawMode::reference);
}
void BM_OneBrickRepaint_Fast(benchmark::State& state)
{
    OneBrickRepaint(state, CBrickPane::DrawMode::fast);
}

BENCHMARK(BM_FullRepaint_Reference)->Arg(500)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRepaint_Fast)->Arg(500)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneBrickRepaint_Reference)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneBrickRepaint_Fast)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
