// The brick tree's hot paths: making a model of 10,000 bricks, and moving
// half of them at once, with the change relay and the group bounds caches
// in the way, as a pane listening to the root would see them.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "model/brick.h"
#include "model/brick_group.h"
#include "model/brick_set_lists.h"
#include "tests/model/model_test_kit.h"

namespace {

constexpr int kSide = 100;  // a 100 x 100 floor of bricks

// A listener that only counts, so the relay's own cost is what is measured.
class CountingPane : public CNotifier {
public:
    void OnNotify(UINT, UINT, LPARAM) override { ++heard; }
    long heard = 0;
};

class Kit {
public:
    Kit()
    {
        m_module = platform::OpenResourceModuleFromMemory(testkit::BuildKit());
        m_services = std::make_unique<testkit::TestBrickServices>(m_module);
        SetBrickServices(m_services.get());
    }
    ~Kit()
    {
        SetBrickServices(nullptr);
        m_services.reset();
        FreeLibrary(m_module);
    }

private:
    HMODULE m_module;
    std::unique_ptr<testkit::TestBrickServices> m_services;
};

// `groups` 0: every brick in the root; otherwise one sub-group per row, each
// two levels below the root.
void BuildFloor(CBrickGroup* root, int groups)
{
    for (int y = 0; y < kSide; ++y) {
        CBrickGroup* row = root;
        if (groups) {
            auto* outer = new CBrickGroup;
            outer->SetParent(root);
            row = new CBrickGroup;
            row->SetParent(outer);
        }
        for (int x = 0; x < kSide; ++x)
            CBrick::Make(row, CPoint3D(x, y, 0), testkit::kBuiltIn, (x + y) % 12, 0, 0);
    }
}

void BM_MakeTenThousand(benchmark::State& state)
{
    Kit kit;
    for (auto _ : state) {
        CBrickGroup root;
        CountingPane pane;
        root.AddListener(&pane);
        BuildFloor(&root, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(root.GetCachedBounds());
        state.PauseTiming();
        root.RemoveListener(&pane);
        root.DeleteContents();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_MakeTenThousand)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The left half of the floor moves one unit right: every moved brick leaves
// the bounds' left face, the worst case for keeping them exact.
void BM_NudgeHalf(benchmark::State& state)
{
    Kit kit;
    CBrickGroup root;
    CountingPane pane;
    root.AddListener(&pane);
    BuildFloor(&root, static_cast<int>(state.range(0)));
    CNudgeBrickList set(&root);
    if (state.range(0)) {
        for (int row = 0; row < root.GetSubGroupCount(); ++row) {
            CBrickGroup* bricks = root.GetSubGroupAt(row)->GetSubGroupAt(0);
            for (int x = 0; x < kSide / 2; ++x)
                bricks->GetBrickAt(x)->SetSelected(TRUE);
        }
    } else {
        for (int i = 0; i < root.GetBrickCount(); ++i)
            if (i % kSide < kSide / 2)
                root.GetBrickAt(i)->SetSelected(TRUE);
    }
    set.Collect(0);
    CPoint3D offset(1, 0, 0);
    for (auto _ : state) {
        set.ApplyAll(reinterpret_cast<LPARAM>(&offset));
        benchmark::DoNotOptimize(root.GetCachedBounds());
        offset = CPoint3D(-offset.X(), 0, 0);
    }
    state.SetItemsProcessed(state.iterations() * set.GetSize());
    root.RemoveListener(&pane);
}
BENCHMARK(BM_NudgeHalf)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
