// Shows the file browser or the About box as the program will, for their
// screenshots: a child with fourteen saved models (their previews drawn here
// as little brick towers), the backgrounds beside the program.
// Arguments: the scene (models, models-down, backgrounds, about) and a folder
// for the child's files. Runs until the dialog closes.
// For the tests that click these dialogs: `where FOLDER DIALOG NAME` opens
// the dialog (signin, models or backgrounds) as the program does and prints
// the named control's centre in the dialog's window and the window's size,
// "X Y WINDOW-WIDTH WINDOW-HEIGHT"; `colour K` prints the K-th colour button's
// colour, "R G B".
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "document/preview.h"
#include "platform/core/file.h"
#include "platform/gdi/dc.h"
#include "platform/ui/app.h"
#include "platform/ui/controls.h"
#include "resources/dialog_ids.h"
#include "shell/about_dlg.h"
#include "shell/dizado_app.h"
#include "shell/file_browser_dlg.h"
#include "shell/sign_in_dlg.h"
#include "tests/screen/control_names.h"

namespace {

CDizadoApp theApp;

// A tower of bricks of the brick colours on a pale floor, 80 x 60.
void WriteTowerPreview(const std::string& path, int seed)
{
    static const COLORREF colours[] = {RGB(204, 0, 0),   RGB(0, 136, 0),    RGB(0, 68, 204),  RGB(255, 204, 0),
                                       RGB(240, 240, 240), RGB(136, 136, 136), RGB(40, 40, 40), RGB(120, 70, 30)};
    platform::Surface surface(kPreviewWidth, kPreviewHeight, RGB(214, 228, 240));
    CDC dc(&surface);
    dc.FillSolidRect(0, 44, 80, 16, RGB(120, 170, 90));
    const int bricks = 2 + seed % 5;
    for (int b = 0; b < bricks; ++b) {
        const COLORREF c = colours[(seed * 3 + b) % 8];
        const int width = 24 + ((seed + b) % 3) * 8;
        const int x = 40 - width / 2 + ((seed * 7 + b * 5) % 9) - 4;
        const int y = 44 - 8 * (b + 1);
        dc.FillSolidRect(x, y, width, 8, c);
        dc.FillSolidRect(x + width, y - 2, 4, 8, RGB(GetRValue(c) * 6 / 10, GetGValue(c) * 6 / 10, GetBValue(c) * 6 / 10));
        dc.FillSolidRect(x + 2, y - 2, width, 2, RGB(std::min(255, GetRValue(c) + 50), std::min(255, GetGValue(c) + 50),
                                                     std::min(255, GetBValue(c) + 50)));
        for (int s = x + 3; s + 4 <= x + width; s += 8)
            dc.FillSolidRect(s, y - 4, 4, 2, c);
    }
    BITMAPINFOHEADER* header = nullptr;
    BYTE* pixels = nullptr;
    HGLOBAL packed = CreatePaletteDIB(kPreviewWidth, kPreviewHeight, 8, &header, &pixels);
    RGBQUAD table[kPaletteDibColours];
    if (!packed || !LoadPreviewColourTable(table))
        return;
    const int stride = (kPreviewWidth + 3) & ~3;
    for (int y = 0; y < kPreviewHeight; ++y)
        for (int x = 0; x < kPreviewWidth; ++x)
            pixels[(kPreviewHeight - 1 - y) * stride + x] = NearestTableIndex(table, surface.GetPixel(x, y));
    GlobalUnlock(packed);
    CFile file;
    if (file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite)) {
        WriteDIBFile(packed, &file);
        file.Close();
    }
    GlobalFree(packed);
}

// What `where` prints for the open dialog `d`; FALSE for no such control.
bool PrintWhere(CDialog& d, const char* name)
{
    const std::optional<screen::NamedControl> named = screen::FindControl(name);
    CWnd* control = named ? d.GetDlgItem(static_cast<int>(named->id) + named->index) : nullptr;
    if (!control || !control->GetSafeHwnd())
        return false;
    RECT window, rect;
    d.GetWindowRect(&window);
    control->GetWindowRect(&rect);
    std::printf("%ld %ld %ld %ld\n", static_cast<long>((rect.left + rect.right) / 2 - window.left),
                static_cast<long>((rect.top + rect.bottom) / 2 - window.top), static_cast<long>(window.right - window.left),
                static_cast<long>(window.bottom - window.top));
    return true;
}

int Where(const std::string& dialog, const char* name)
{
    bool found = false;
    platform::SetModalHook([&](CDialog& d) {
        found = PrintWhere(d, name);
        d.EndDialog(IDCANCEL);
    });
    if (dialog == "signin") {
        CSignInDlg signIn;
        signIn.DoModal();
    } else if (dialog == "models" || dialog == "backgrounds") {
        CFileBrowserDlg browser;
        browser.SetMode(dialog == "backgrounds" ? CFileBrowserDlg::kBackgrounds : CFileBrowserDlg::kDocuments);
        browser.DoModal();
    }
    platform::SetModalHook(nullptr);
    if (!found)
        std::fprintf(stderr, "browser_show: no control %s in %s\n", name, dialog.c_str());
    return found ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "browser_show: scene and folder wanted\n");
        return 2;
    }
    if (argc == 3 && std::string(argv[1]) == "colour") {
        const int k = std::atoi(argv[2]);
        if (k < 0 || k >= CFileBrowserDlg::kColours)
            return 2;
        const COLORREF c = CFileBrowserDlg::ColourOf(k);
        std::printf("%d %d %d\n", GetRValue(c), GetGValue(c), GetBValue(c));
        return 0;
    }
    platform::StartToolkit(argc, argv);
    const std::string scene = argv[1];
    const std::filesystem::path folder = argv[2];
    std::filesystem::create_directories(folder / "users");
    theApp.m_pszProfileName = (folder / "dizado.ini").string().c_str();
    theApp.SetFoldersForTest((folder / "users").string().c_str(), DIZADO_PROGRAM_FOLDER);
    theApp.SignInAs("Kim", 0);
    CUserSettings settings = theApp.GetSettings();
    settings.m_bFileDelete = TRUE;
    settings.m_bSoundOn = FALSE;
    theApp.ApplySettings(settings);
    const std::string user = theApp.GetUserDirectory().c_str();
    for (int i = 0; i < 14; ++i) {
        const std::string base = user + "/model" + std::to_string(10 + i);
        std::ofstream(base + ".brk") << "x";
        WriteTowerPreview(base + ".pbk", i);
    }
    theApp.SetupUserDirectory();

    if (scene == "where")
        return argc == 5 ? Where(argv[3], argv[4]) : 2;
    if (scene == "about") {
        CAboutDlg about;
        return about.DoModal() == IDOK ? 0 : 1;
    }
    CFileBrowserDlg browser;
    browser.SetMode(scene == "backgrounds" ? CFileBrowserDlg::kBackgrounds : CFileBrowserDlg::kDocuments);
    platform::SetModalHook([&](CDialog& d) {
        if (scene == "models-down")
            platform::ClickControl(&d, IDC_BROWSER_DOWN);
        if (scene == "backgrounds") {
            platform::ClickControl(&d, IDC_BROWSER_THUMB_FIRST + 2);
            platform::ClickControl(&d, IDC_BROWSER_COLOR_FIRST + 7);
        } else {
            platform::ClickControl(&d, IDC_BROWSER_THUMB_FIRST + 5);
        }
    });
    return browser.DoModal() == IDOK ? 0 : 1;
}
