// Start-up to the sign-in on screen, offscreen: palette, kit scan, template,
// a new model in the kid frame (whose brick list is filled from every kit),
// and the sign-in dialog shown, with 0, 1 and 20 kits of 28 classes (copies of
// the kit the build makes). The run without kits is the reference: the ratio
// of the others to it shows what the kits cost, which should grow linearly.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "platform/ui/app.h"
#include "platform/ui/dialog.h"
#include "shell/dizado_app.h"
#include "shell/sign_in_dlg.h"

namespace {

CDizadoApp& App()
{
    static CDizadoApp app;
    return app;
}

// A program folder with `kits` copies of the shipped kit.
std::filesystem::path ProgramFolder(int kits)
{
    const auto folder = std::filesystem::temp_directory_path() /
                        ("dizado-startup-bench-" + std::to_string(::getpid()) + "-" + std::to_string(kits));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "kits");
    for (int i = 0; i < kits; ++i)
        std::filesystem::copy_file(DIZADO_BASIC_KIT, folder / "kits" / ("kit" + std::to_string(i) + ".bkt"));
    return folder;
}

void BM_StartToSignIn(benchmark::State& state)
{
    const int kits = static_cast<int>(state.range(0));
    const auto folder = ProgramFolder(kits);
    const auto profile = folder / "dizado.ini";
    CDizadoApp& app = App();
    app.m_strProgramFolder = folder.string().c_str();
    app.m_pszProfileName = profile.string().c_str();
    const char* args[] = {"dizado"};
    app.SetCommandLine(1, args);
    int shown = 0;
    // The clock stops when the sign-in is on screen; a child then signs in.
    auto previous = platform::SetModalHook([&](CDialog& dialog) {
        state.PauseTiming();
        ++shown;
        if (auto* signIn = dynamic_cast<CSignInDlg*>(&dialog)) {
            signIn->GetNameEdit().SetWindowText("Bench");
            signIn->OnOK();
        } else {
            dialog.EndDialog(IDCANCEL);
        }
    });
    for (auto _ : state) {
        if (!app.StartUp()) {
            state.SkipWithError("start-up failed");
            break;
        }
        // The frame goes as a closed program's does, without ending the
        // process's loop for good.
        if (CWnd* main = app.GetMainWnd()) {
            app.m_pMainWnd = nullptr;
            main->SendMessage(WM_CLOSE, 0, 0);
        }
        platform::ProcessPendingEvents();
        state.ResumeTiming();
    }
    platform::SetModalHook(previous);
    if (shown != static_cast<int>(state.iterations()))
        state.SkipWithError("the sign-in was not shown every time");
    state.counters["kits"] = kits;
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_StartToSignIn)->Arg(0)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond);

}  // namespace
