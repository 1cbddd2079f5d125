// The file browser on a child's folder of 500 saved models, offscreen, with
// their previews on disk: File Open's refresh of the lists and the browser up
// to its first page on screen, and one page turned (a row of four on, twelve
// thumbnails read and drawn). Goals: 100 ms for the first page, 30 ms a page.
// The reference in the same run is reading twelve previews' bytes from disk,
// what a page must do at the least.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "foundation/sound_player.h"
#include "platform/ui/app.h"
#include "platform/ui/dialog.h"
#include "resources/dialog_ids.h"
#include "shell/dizado_app.h"
#include "shell/file_browser_dlg.h"

namespace {

constexpr int kModels = 500;

// The program's application object: the one the other benchmarks made, or
// one of this file's own when they do not run.
CDizadoApp& App()
{
    if (CDizadoApp* app = GetDizadoApp())
        return *app;
    static CDizadoApp own;
    return own;
}

// An 80 x 60 preview of 256 colours, as the program saves them.
std::vector<char> Preview(int seed)
{
    const size_t pixels = 80 * 60;
    std::vector<char> b(14 + 40 + 1024 + pixels, 0);
    const auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + static_cast<size_t>(i)] = static_cast<char>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, static_cast<uint32_t>(b.size()));
    put32(10, 14 + 40 + 1024);
    put32(14, 40);
    put32(18, 80);
    put32(22, 60);
    b[26] = 1;
    b[28] = 8;
    put32(34, static_cast<uint32_t>(pixels));
    for (int i = 0; i < 256; ++i) {
        b[54 + 4 * static_cast<size_t>(i)] = static_cast<char>(i);
        b[55 + 4 * static_cast<size_t>(i)] = static_cast<char>(255 - i);
        b[56 + 4 * static_cast<size_t>(i)] = static_cast<char>(i * 7);
    }
    for (size_t p = 0; p < pixels; ++p)
        b[14 + 40 + 1024 + p] = static_cast<char>((p / 80 + static_cast<size_t>(seed)) & 0xFF);
    return b;
}

// A users' root whose one child has 500 models with their previews; the
// child is signed in.
class Folder {
public:
    Folder()
        : m_root(std::filesystem::temp_directory_path() / ("dizado-browser-bench-" + std::to_string(::getpid())))
    {
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root / "users");
        std::filesystem::create_directories(m_root / "program");
        CDizadoApp& app = App();
        platform::EnsureToolkit();
        app.m_pszProfileName = (m_root / "dizado.ini").string().c_str();
        app.SetFoldersForTest((m_root / "users").string().c_str(), (m_root / "program").string().c_str());
        app.SignInAs("Bench", 0);
        SetSoundSwitch(FALSE);
        const std::string user = app.GetUserDirectory().c_str();
        for (int i = 0; i < kModels; ++i) {
            const std::string base = user + "/m" + std::to_string(i);
            std::ofstream(base + ".brk") << "x";
            const std::vector<char> preview = Preview(i);
            std::ofstream(base + ".pbk", std::ios::binary).write(preview.data(), static_cast<std::streamsize>(preview.size()));
        }
        app.SetupUserDirectory();
    }
    ~Folder()
    {
        App().SetFoldersForTest("", "");
        App().m_pszProfileName.Empty();
        SetSoundSwitch(TRUE);
        std::filesystem::remove_all(m_root);
    }

private:
    std::filesystem::path m_root;
};

void BM_BrowserFirstPage(benchmark::State& state)
{
    Folder folder;
    CDizadoApp& app = App();
    auto previous = platform::SetModalHook([&](CDialog& dialog) {
        state.PauseTiming();
        dialog.EndDialog(IDCANCEL);
    });
    for (auto _ : state) {
        {
            // File Open refreshes both lists, then the browser shows its first page.
            app.SetupUserDirectory();
            CFileBrowserDlg browser;
            browser.SetMode(CFileBrowserDlg::kDocuments);
            browser.DoModal();
        }
        state.ResumeTiming();
    }
    platform::SetModalHook(previous);
    state.counters["models"] = static_cast<double>(app.GetDocumentList().GetSize());
}
BENCHMARK(BM_BrowserFirstPage)->Unit(benchmark::kMillisecond);

void BM_BrowserPage(benchmark::State& state)
{
    Folder folder;
    CFileBrowserDlg browser;
    browser.SetMode(CFileBrowserDlg::kDocuments);
    auto previous = platform::SetModalHook([&](CDialog& dialog) {
        bool down = true;
        for (auto _ : state) {
            // Down to the last page, then back up, and again.
            if (down && !dialog.GetDlgItem(IDC_BROWSER_DOWN)->IsWindowEnabled())
                down = false;
            else if (!down && !dialog.GetDlgItem(IDC_BROWSER_UP)->IsWindowEnabled())
                down = true;
            dialog.SendMessage(WM_COMMAND, down ? IDC_BROWSER_DOWN : IDC_BROWSER_UP, 0);
        }
        dialog.EndDialog(IDCANCEL);
    });
    browser.DoModal();
    platform::SetModalHook(previous);
}
BENCHMARK(BM_BrowserPage)->Unit(benchmark::kMillisecond);

// The reference: the bytes of twelve previews, read as a page reads them.
void BM_BrowserPageReference(benchmark::State& state)
{
    Folder folder;
    CFileBrowserList& list = App().GetDocumentList();
    int first = 0;
    for (auto _ : state) {
        for (int k = 0; k < CFileBrowserDlg::kThumbnails; ++k) {
            std::ifstream in(list.GetEntry((first + k) % kModels)->m_strPicturePath.c_str(), std::ios::binary);
            std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            benchmark::DoNotOptimize(bytes.data());
        }
        first = (first + 4) % kModels;
    }
}
BENCHMARK(BM_BrowserPageReference)->Unit(benchmark::kMillisecond);

}  // namespace
