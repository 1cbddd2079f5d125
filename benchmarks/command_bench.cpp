// Undo and redo of the edits that touch every selected brick: a nudge, a
// colour and a quarter turn of 5,000 bricks, as a pane listening to the root
// would see them. Each iteration is one undo and one redo.
#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

#include "document/color_command.h"
#include "document/nudge_command.h"
#include "document/rotate_command.h"
#include "foundation/sound_player.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "tests/model/model_test_kit.h"

namespace {

constexpr int kWide = 100;
constexpr int kDeep = 50;  // 5,000 bricks

class CountingPane : public CNotifier {
public:
    void OnNotify(UINT, UINT, LPARAM) override { ++heard; }
    long heard = 0;
};

// The kit, a selected floor of 5,000 bricks (range 0: all in the root;
// 1: one group per row), and a pane on the root. Sounds are off: the
// measurement is the model's work.
class Floor {
public:
    explicit Floor(bool grouped)
    {
        m_module = platform::OpenResourceModuleFromMemory(testkit::BuildKit());
        m_services = std::make_unique<testkit::TestBrickServices>(m_module);
        SetBrickServices(m_services.get());
        SetSoundSwitch(FALSE);
        root = std::make_unique<CBrickGroup>();
        root->AddListener(&pane);
        for (int y = 0; y < kDeep; ++y) {
            CBrickGroup* row = root.get();
            if (grouped) {
                row = new CBrickGroup;
                row->SetParent(root.get());
            }
            for (int x = 0; x < kWide; ++x)
                CBrick::Make(row, CPoint3D(x, y, 0), testkit::kBuiltIn, (x + y) % 12, 0, 0)->SetSelected(TRUE);
        }
    }
    ~Floor()
    {
        root.reset();
        SetSoundSwitch(TRUE);
        SetBrickServices(nullptr);
        m_services.reset();
        FreeLibrary(m_module);
    }

    std::unique_ptr<CBrickGroup> root;
    CountingPane pane;

private:
    HMODULE m_module;
    std::unique_ptr<testkit::TestBrickServices> m_services;
};

void UndoRedo(benchmark::State& state, const std::function<CBrickCommand*(CBrickGroup*)>& make)
{
    Floor floor(state.range(0) != 0);
    std::unique_ptr<CBrickCommand> command(make(floor.root.get()));
    command->Do();
    for (auto _ : state) {
        command->Toggle();
        command->Undo();
    }
    benchmark::DoNotOptimize(floor.pane.heard);
    state.SetItemsProcessed(state.iterations() * 2 * kWide * kDeep);
}

void BM_NudgeUndoRedo(benchmark::State& state)
{
    UndoRedo(state, [](CBrickGroup* root) { return new CNudgeDizadoCommand(root, CPoint3D(1, 0, 0)); });
}
BENCHMARK(BM_NudgeUndoRedo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ColourUndoRedo(benchmark::State& state)
{
    UndoRedo(state, [](CBrickGroup* root) { return new CColorDizadoCommand(root, 4); });
}
BENCHMARK(BM_ColourUndoRedo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RotateUndoRedo(benchmark::State& state)
{
    UndoRedo(state, [](CBrickGroup* root) { return new CRotateDizadoCommand(root, 1); });
}
BENCHMARK(BM_RotateUndoRedo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Building the command (collecting the selection) and its first performance.
void BM_NudgeDo(benchmark::State& state)
{
    Floor floor(state.range(0) != 0);
    for (auto _ : state) {
        CNudgeDizadoCommand command(floor.root.get(), CPoint3D(0, 1, 0));
        command.Do();
    }
    state.SetItemsProcessed(state.iterations() * kWide * kDeep);
}
BENCHMARK(BM_NudgeDo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
