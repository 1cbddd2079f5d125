// The model's speed as a child's program runs it: the application object
// started as the program starts (palette, the shipped kit's classes, the kid
// frame with its document and isometric pane, sign-in), and the document of
// that frame opening, painting and growing. Each goal is one benchmark that
// times its figure and its reference in the same iteration and prints both
// with their ratio:
//   open per brick at the big size against 10,000 bricks (goal <= 2) and the
//     big open with its first paint in seconds (goal < 5 at 1,000,000);
//   making a brick of a kit class against making one of class 1030 (<= 3);
//   adding one brick to 100,000 bricks against adding one to 1,000 (<= 3);
//   the first repaint after open (cold) against the next one (warm) (<= 1.5).
// DIZADO_BENCH_BRICKS sets the big size (1,000,000 by default), so that a
// quick run can go through every benchmark once at a small size.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "document/dizado_doc.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"
#include "platform/ui/app.h"
#include "platform/ui/dialog.h"
#include "platform/ui/frame_wnd.h"
#include "shell/dizado_app.h"
#include "shell/sign_in_dlg.h"
#include "views/iso_brick_pane.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

int BigSize()
{
    const char* text = std::getenv("DIZADO_BENCH_BRICKS");
    const int size = text ? std::atoi(text) : 0;
    return size > 0 ? size : 1000000;
}

const std::filesystem::path& Folder()
{
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / ("dizado-model-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(Folder(), ignored);
        });
        return path;
    }();
    return folder;
}

// The program as a child has it after signing in.
class UserProgram {
public:
    UserProgram()
    {
        m_app.m_strProgramFolder = DIZADO_PROGRAM_FOLDER;
        m_app.m_pszProfileName = m_profile.c_str();
        const char* args[] = {"dizado"};
        m_app.SetCommandLine(1, args);
        auto previous = platform::SetModalHook([](CDialog& dialog) {
            if (auto* signIn = dynamic_cast<CSignInDlg*>(&dialog)) {
                signIn->GetNameEdit().SetWindowText("Bench");
                signIn->OnOK();
            } else {
                dialog.EndDialog(IDCANCEL);
            }
        });
        const BOOL started = m_app.StartUp();
        platform::SetModalHook(previous);
        auto* frame = started ? dynamic_cast<CFrameWnd*>(m_app.GetMainWnd()) : nullptr;
        m_pDoc = frame ? dynamic_cast<CDizadoDoc*>(frame->GetActiveDocument()) : nullptr;
        m_pPane = frame ? dynamic_cast<CIsoBrickPane*>(frame->GetActiveView()) : nullptr;
        if (m_pPane)
            m_pPane->SetDrawingSize(1024, 768);
    }

    bool Ready() const { return m_pDoc && m_pPane; }
    CDizadoDoc& Doc() { return *m_pDoc; }
    CIsoBrickPane& Pane() { return *m_pPane; }

private:
    std::string m_profile = (Folder() / "dizado.ini").string();
    // The process has one application: one an earlier benchmark made is
    // started again, as a second one would never be the running one.
    std::unique_ptr<CDizadoApp> m_own{GetDizadoApp() ? nullptr : std::make_unique<CDizadoApp>()};
    CDizadoApp& m_app{*GetDizadoApp()};
    CDizadoDoc* m_pDoc = nullptr;
    CIsoBrickPane* m_pPane = nullptr;
};

UserProgram* Program(benchmark::State& state)
{
    static UserProgram* program = new UserProgram;  // lives as long as the process, as the program's does
    if (!program->Ready()) {
        state.SkipWithError("the program did not start");
        return nullptr;
    }
    return program;
}

// Rows of the kit's 2x4 bricks, 32 to a row, in layers of 32 rows.
void Build(CBrickGroup* root, int count, SHORT classId = 2009)
{
    CPaneHold hold(root);
    for (int i = 0; i < count; ++i)
        CBrick::Make(root, CPoint3D(4 * (i % 32), 2 * ((i / 32) % 32), 3 * (i / 1024)), classId, i % 12, 0, 0);
}

// A stored model of `count` kit bricks, written once per size.
std::string ModelFile(int count)
{
    const auto path = Folder() / ("model-" + std::to_string(count) + ".brk");
    if (!std::filesystem::exists(path)) {
        CDizadoDoc source;
        source.m_bAutoDelete = FALSE;
        Build(source.GetBrickList(), count);
        source.COleServerDoc::OnSaveDocument(path.string().c_str());
    }
    return path.string();
}

double OpenSeconds(CDizadoDoc& doc, const std::string& path)
{
    const auto start = Clock::now();
    const BOOL opened = doc.OnOpenDocument(path.c_str());
    const double seconds = Seconds(start);
    return opened ? seconds : -1;
}

double PaintSeconds(CIsoBrickPane& pane)
{
    platform::Surface surface(1024, 768);
    const auto start = Clock::now();
    CDC dc(&surface);
    pane.OnDraw(&dc);
    benchmark::DoNotOptimize(surface.Bits());
    return Seconds(start);
}

void BM_Goal_OpenPerBrick(benchmark::State& state)
{
    UserProgram* program = Program(state);
    if (!program)
        return;
    constexpr int kReference = 10000;
    const int big = BigSize();
    const std::string small = ModelFile(kReference), large = ModelFile(big);
    double reference = 0, measured = 0, openAndPaint = 0;
    for (auto _ : state) {
        const double a = OpenSeconds(program->Doc(), small);
        const double b = OpenSeconds(program->Doc(), large);
        const double paint = PaintSeconds(program->Pane());
        if (a < 0 || b < 0) {
            state.SkipWithError("open failed");
            return;
        }
        reference += a;
        measured += b;
        openAndPaint += b + paint;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ref_us_per_brick"] = 1e6 * reference / n / kReference;
    state.counters["us_per_brick"] = 1e6 * measured / n / big;
    state.counters["ratio"] = (measured / big) / (reference / kReference);
    state.counters["goal_ratio"] = 2;
    state.counters["open_paint_s"] = openAndPaint / n;
    state.counters["goal_open_paint_s"] = 5;
    state.counters["bricks"] = big;
}
BENCHMARK(BM_Goal_OpenPerBrick)->Unit(benchmark::kSecond)->UseRealTime();

void BM_Goal_MakeKitBrick(benchmark::State& state)
{
    UserProgram* program = Program(state);
    if (!program)
        return;
    program->Doc().DeleteContents();
    CBrickGroup* root = program->Doc().GetBrickList();
    constexpr int kBricks = 1000;
    // Cold: the first bricks of each class since the kits were scanned.
    const auto coldStart = Clock::now();
    CBrick::Make(root, CPoint3D(0, 0, 0), 2009, 1, 0, 0);
    state.counters["cold_first_kit_us"] = 1e6 * Seconds(coldStart);
    program->Doc().DeleteContents();
    // Warm: every look of both classes read once.
    for (SHORT classId : {SHORT{1030}, SHORT{2009}}) {
        Build(root, 64, classId);
        program->Doc().DeleteContents();
    }
    double reference = 0, measured = 0;
    for (auto _ : state) {
        const auto a = Clock::now();
        Build(root, kBricks, 1030);
        reference += Seconds(a);
        program->Doc().DeleteContents();
        const auto b = Clock::now();
        Build(root, kBricks, 2009);
        measured += Seconds(b);
        program->Doc().DeleteContents();
    }
    const double n = static_cast<double>(state.iterations()) * kBricks;
    state.counters["ref_1030_us"] = 1e6 * reference / n;
    state.counters["kit_us"] = 1e6 * measured / n;
    state.counters["ratio"] = measured / reference;
    state.counters["goal_ratio"] = 3;
}
BENCHMARK(BM_Goal_MakeKitBrick)->Unit(benchmark::kMillisecond)->UseRealTime();

// One brick made with the program's own call and deleted again, in a model
// of `size` bricks shown in the pane: the changed area, the selection outline
// and the invalidation all run as in the program.
double AddOneSeconds(CDizadoDoc& doc, int size, int repeats)
{
    doc.DeleteContents();
    CBrickGroup* root = doc.GetBrickList();
    Build(root, size);
    const auto start = Clock::now();
    for (int i = 0; i < repeats; ++i)
        CBrick::Make(root, CPoint3D(i % 64, 70, 0), 2009, 3, 0, 0)->Delete(TRUE);
    const double seconds = Seconds(start) / repeats;
    doc.DeleteContents();
    return seconds;
}

void BM_Goal_AddOneBrick(benchmark::State& state)
{
    UserProgram* program = Program(state);
    if (!program)
        return;
    const int big = static_cast<int>(state.range(0));
    double reference = 0, measured = 0;
    for (auto _ : state) {
        reference += AddOneSeconds(program->Doc(), 1000, 200);
        measured += AddOneSeconds(program->Doc(), big, 200);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["ref_1k_us"] = 1e6 * reference / n;
    state.counters["us"] = 1e6 * measured / n;
    state.counters["ratio"] = measured / reference;
    state.counters["goal_ratio"] = 3;
}
BENCHMARK(BM_Goal_AddOneBrick)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Goal_FirstRepaint(benchmark::State& state)
{
    UserProgram* program = Program(state);
    if (!program)
        return;
    const std::string path = ModelFile(static_cast<int>(state.range(0)));
    double cold = 0, warm = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (OpenSeconds(program->Doc(), path) < 0) {
            state.SkipWithError("open failed");
            return;
        }
        state.ResumeTiming();
        cold += PaintSeconds(program->Pane());
        warm += PaintSeconds(program->Pane());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["cold_ms"] = 1e3 * cold / n;
    state.counters["warm_ms"] = 1e3 * warm / n;
    state.counters["ratio"] = cold / warm;
    state.counters["goal_ratio"] = 1.5;
}
BENCHMARK(BM_Goal_FirstRepaint)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
