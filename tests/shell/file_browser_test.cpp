// The file browser driven headless: pages of saved models and of background
// pictures, paging, choosing, the trash can, the colours and the baseplate
// toggle, and previews or files that are not what the list says.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "document/dizado_doc.h"
#include "foundation/sound_player.h"
#include "platform/core/hooks.h"
#include "platform/core/resources.h"
#include "platform/ui/synthetic_input.h"
#include "resources/dialog_ids.h"
#include "shell/browser_commands.h"
#include "shell/file_browser_dlg.h"
#include "tests/shell/app_fixture.h"
#include "tests/shell/shell_fixture.h"
#include "views/iso_brick_pane.h"

namespace shelltest {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

constexpr int kThumb = IDC_BROWSER_THUMB_FIRST;
constexpr POINT kThumbOrigin{16, 80};    // 8, 40 dialog units
constexpr POINT kColourOrigin{88, 344};  // 44, 172 dialog units

void WriteFile(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class FileBrowser : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        m_previousBox = platform::SetMessageBoxHook([this](const std::string& text, const std::string&, UINT) {
            boxes.push_back(text);
            return IDOK;
        });
        m_previousBeep = platform::SetBeepHook([this](UINT) { ++beeps; });
        ASSERT_TRUE(App().SignInAs("Ann", 0));
        user = App().GetUserDirectory().c_str();
    }
    void TearDown() override
    {
        platform::SetMessageBoxHook(m_previousBox);
        platform::SetBeepHook(m_previousBeep);
        SetSoundSwitch(TRUE);
        AppTest::TearDown();
    }

    void SaveModel(const std::string& name, COLORREF colour) const
    {
        WriteFile(user / (name + ".brk"), Bytes{'x'});
        WriteFile(user / (name + ".pbk"), Picture(80, 60, colour, true));
    }
    void AddBackground(const std::string& name, COLORREF colour) const
    {
        fs::create_directories(program / "backgrnd");
        WriteFile(program / "backgrnd" / (name + ".bmp"), Picture(160, 120, colour, true));
        WriteFile(program / "backgrnd" / (name + ".pbk"), Picture(80, 60, colour, true));
    }
    void AllowDeleting(BOOL on)
    {
        CUserSettings settings = App().GetSettings();
        settings.m_bFileDelete = on;
        App().ApplySettings(settings);
    }
    static std::string EntryFile(CFileBrowserList& list, int index)
    {
        return list.GetEntry(index)->m_strFilePath.c_str();
    }

    // Where a control lies in the dialog's client area.
    static RECT Place(CDialog& dialog, int id)
    {
        RECT rect{};
        dialog.GetDlgItem(id)->GetWindowRect(&rect);
        dialog.ScreenToClient(&rect);
        return rect;
    }
    static COLORREF Centre(CWnd& thumbnail)
    {
        return thumbnail.GetBackingSurface()->GetPixel(40, 30);
    }
    // The highlight frame is white six pixels deep inside the edge.
    static bool Highlighted(CWnd& thumbnail)
    {
        return thumbnail.GetBackingSurface()->GetPixel(4, 30) == RGB(255, 255, 255);
    }
    static bool Enabled(CDialog& dialog, int id) { return dialog.GetDlgItem(id)->IsWindowEnabled() != FALSE; }
    static bool Visible(CDialog& dialog, int id) { return dialog.GetDlgItem(id)->IsWindowVisible() != FALSE; }

    fs::path user;
    std::vector<std::string> boxes;
    int beeps = 0;

private:
    platform::MessageBoxHook m_previousBox;
    platform::BeepHook m_previousBeep;
};

TEST_F(FileBrowser, PagesOfTwelveInRowsOfFourAtThumbnailSize)
{
    for (int i = 0; i < 13; ++i)
        SaveModel(std::to_string(i), RGB(200, 10 * i, 0));
    // Entries stand in the folder's order: the colour of entry n from its name.
    const auto colourOf = [](int n) {
        return RGB(200, 10 * std::stoi(fs::path(EntryFile(App().GetDocumentList(), n)).stem().string()), 0);
    };
    AllowDeleting(TRUE);
    App().SetupUserDirectory();
    // A first preview of another size moves nothing.
    WriteFile(App().GetDocumentList().GetEntry(0)->m_strPicturePath.c_str(), Picture(160, 120, RGB(0, 0, 255), true));
    RecordingSound sound;

    CFileBrowserDlg browser;
    browser.SetMode(CFileBrowserDlg::kDocuments);
    InModal step([&](CDialog& d) {
        for (int k = 0; k < 12; ++k) {
            const RECT place = Place(d, kThumb + k);
            EXPECT_EQ(place.left, kThumbOrigin.x + 80 * (k % 4)) << k;
            EXPECT_EQ(place.top, kThumbOrigin.y + 60 * (k / 4)) << k;
            EXPECT_EQ(place.right - place.left, 80) << k;
            EXPECT_EQ(place.bottom - place.top, 60) << k;
            EXPECT_TRUE(Enabled(d, kThumb + k)) << k;
        }
        EXPECT_EQ(Centre(browser.GetThumbnail(0)), RGB(0, 0, 255));
        EXPECT_EQ(Centre(browser.GetThumbnail(5)), colourOf(5));
        EXPECT_TRUE(Highlighted(browser.GetThumbnail(0)));
        EXPECT_FALSE(Highlighted(browser.GetThumbnail(1)));
        EXPECT_FALSE(Enabled(d, IDC_BROWSER_UP));
        EXPECT_TRUE(Enabled(d, IDC_BROWSER_DOWN));
        EXPECT_TRUE(Visible(d, IDC_BROWSER_TRASH) && Enabled(d, IDC_BROWSER_TRASH));
        EXPECT_FALSE(Visible(d, IDC_BROWSER_BASE));
        EXPECT_FALSE(Visible(d, IDC_BROWSER_COLOR_FIRST + 3));

        // One row on: entries 4 to 12 and three empty places; entry 0,
        // selected, is off the page.
        ASSERT_TRUE(platform::ClickControl(&d, IDC_BROWSER_DOWN));
        EXPECT_EQ(browser.GetFirst(), 4);
        for (int k = 0; k < 12; ++k) {
            EXPECT_EQ(Enabled(d, kThumb + k), k < 9) << k;
            EXPECT_FALSE(Highlighted(browser.GetThumbnail(k))) << k;
        }
        EXPECT_EQ(Centre(browser.GetThumbnail(0)), colourOf(4));
        EXPECT_TRUE(Enabled(d, IDC_BROWSER_UP));
        EXPECT_FALSE(Enabled(d, IDC_BROWSER_DOWN));

        // Entry 8 chosen on this page is still highlighted a row back.
        ASSERT_TRUE(platform::ClickControl(&d, kThumb + 4));
        EXPECT_EQ(browser.GetSelected(), static_cast<UINT>(kThumb + 8));
        ASSERT_TRUE(platform::ClickControl(&d, IDC_BROWSER_UP));
        EXPECT_EQ(browser.GetFirst(), 0);
        for (int k = 0; k < 12; ++k)
            EXPECT_EQ(Highlighted(browser.GetThumbnail(k)), k == 8) << k;
        platform::ClickControl(&d, IDOK);
    });
    ASSERT_EQ(browser.DoModal(), IDOK);
    EXPECT_EQ(browser.GetPath(), EntryFile(App().GetDocumentList(), 8));
    EXPECT_GE(sound.plays, 1) << "the browser greets with a sound";
}

TEST_F(FileBrowser, AnEmptyListOffersNothingToChoose)
{
    CFileBrowserDlg browser;
    browser.SetMode(CFileBrowserDlg::kDocuments);
    AllowDeleting(TRUE);
    App().SetupUserDirectory();
    bool stayed = false;
    InModal step([&](CDialog& d) {
        for (int k = 0; k < 12; ++k)
            EXPECT_FALSE(Enabled(d, kThumb + k)) << k;
        EXPECT_FALSE(Enabled(d, IDOK));
        EXPECT_FALSE(Enabled(d, IDC_BROWSER_UP));
        EXPECT_FALSE(Enabled(d, IDC_BROWSER_DOWN));
        d.SendMessage(WM_COMMAND, IDOK, 0);
        d.SendMessage(WM_COMMAND, IDC_BROWSER_TRASH, 0);
        stayed = browser.IsModalRunning();
        platform::ClickControl(&d, IDCANCEL);
    });
    EXPECT_EQ(browser.DoModal(), IDCANCEL);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(beeps, 2) << "OK and Trash without a model beep";
}

TEST_F(FileBrowser, ADoubleClickChoosesAsOkDoes)
{
    SaveModel("a", RGB(255, 0, 0));
    SaveModel("b", RGB(0, 255, 0));
    App().SetupUserDirectory();
    CFileBrowserDlg browser;
    InModal step([&](CDialog& d) {
        CWnd* second = d.GetDlgItem(kThumb + 1);
        const POINT centre{40, 30};
        platform::SendMouseInput(second, platform::MouseAction::Press, platform::MouseButton::Left, centre,
                                 MK_LBUTTON, 0);
        platform::SendMouseInput(second, platform::MouseAction::Release, platform::MouseButton::Left, centre, 0, 0);
        platform::SendMouseInput(second, platform::MouseAction::DoubleClick, platform::MouseButton::Left, centre,
                                 MK_LBUTTON, 0);
        if (browser.IsModalRunning())
            d.EndDialog(-5);
    });
    ASSERT_EQ(browser.DoModal(), IDOK);
    EXPECT_EQ(browser.GetPath(), EntryFile(App().GetDocumentList(), 1));
}

// Short, damaged, of another depth or too small: the blank picture, and the
// model can still be chosen.
TEST_F(FileBrowser, APreviewThatCannotBeShownLeavesTheModelListed)
{
    Bytes cut = Picture(80, 60, RGB(255, 0, 0), true);
    cut.resize(cut.size() - 100);
    Bytes deep = Picture(80, 60, RGB(255, 0, 0), true);
    Put16(deep, 14 + 14, 24);
    Bytes noSignature = Picture(80, 60, RGB(255, 0, 0), true);
    noSignature[0] = 'X';
    const std::vector<std::pair<const char*, Bytes>> previews = {
        {"short", Bytes{'B', 'M', 1, 2, 3}},
        {"cut", cut},
        {"24-bit", deep},
        {"no signature", noSignature},
        {"small", Picture(40, 30, RGB(255, 0, 0), true)},
    };
    for (const auto& [what, bytes] : previews) {
        SCOPED_TRACE(what);
        fs::remove_all(user);
        fs::create_directories(user);
        WriteFile(user / "m.brk", Bytes{'x'});
        WriteFile(user / "m.pbk", bytes);
        App().SetupUserDirectory();
        ASSERT_EQ(App().GetDocumentList().GetSize(), 1);
        CFileBrowserDlg browser;
        InModal step([&](CDialog& d) {
            EXPECT_TRUE(Enabled(d, kThumb));
            EXPECT_EQ(Centre(browser.GetThumbnail(0)), Centre(browser.GetThumbnail(1))) << "the empty place's picture";
            platform::ClickControl(&d, IDOK);
        });
        ASSERT_EQ(browser.DoModal(), IDOK);
        EXPECT_EQ(browser.GetPath(), (user / "m.brk").string());
    }
}

TEST_F(FileBrowser, AFileGoneSinceTheListingIsReportedAndTheBrowserStays)
{
    SaveModel("gone", RGB(255, 0, 0));
    AddBackground("sky", RGB(0, 0, 255));
    App().SetupUserDirectory();
    struct Case {
        UINT mode;
        int thumbnail;
        fs::path file;
    };
    for (const Case& c : {Case{CFileBrowserDlg::kDocuments, 0, user / "gone.brk"},
                          Case{CFileBrowserDlg::kBackgrounds, 1, program / "backgrnd" / "sky.bmp"}}) {
        SCOPED_TRACE(c.mode);
        fs::remove(c.file);
        boxes.clear();
        CFileBrowserDlg browser;
        browser.SetMode(c.mode);
        bool stayed = false;
        InModal step([&](CDialog& d) {
            platform::ClickControl(&d, kThumb + c.thumbnail);
            platform::ClickControl(&d, IDOK);
            stayed = browser.IsModalRunning();
            platform::ClickControl(&d, IDCANCEL);
        });
        EXPECT_EQ(browser.DoModal(), IDCANCEL);
        EXPECT_TRUE(stayed);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].find(c.file.string()), std::string::npos) << boxes[0];
    }
}

TEST_F(FileBrowser, TrashRemovesTheModelAndItsPreview)
{
    SaveModel("a", RGB(255, 0, 0));
    SaveModel("b", RGB(0, 255, 0));
    SaveModel("c", RGB(0, 0, 255));
    AllowDeleting(TRUE);
    App().SetupUserDirectory();
    CFileBrowserList& list = App().GetDocumentList();
    const fs::path model = EntryFile(list, 1);
    const fs::path preview = list.GetEntry(1)->m_strPicturePath.c_str();
    CFileBrowserDlg browser;
    InModal step([&](CDialog& d) {
        platform::ClickControl(&d, kThumb + 1);
        platform::ClickControl(&d, IDC_BROWSER_TRASH);
        EXPECT_EQ(browser.GetCount(), 2);
        EXPECT_EQ(browser.GetSelected(), static_cast<UINT>(kThumb));
        EXPECT_TRUE(Highlighted(browser.GetThumbnail(0)));
        EXPECT_TRUE(Enabled(d, kThumb + 1));
        EXPECT_FALSE(Enabled(d, kThumb + 2));
        platform::ClickControl(&d, IDCANCEL);
    });
    browser.DoModal();
    EXPECT_FALSE(fs::exists(model));
    EXPECT_FALSE(fs::exists(preview));
    ASSERT_EQ(list.GetSize(), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_NE(EntryFile(list, i), model.string());
    EXPECT_TRUE(boxes.empty());
}

// The model is removed first: when it cannot be, nothing is lost, the
// preview stays and so does the entry.
TEST_F(FileBrowser, AModelThatCannotBeRemovedKeepsItsPreviewAndEntry)
{
    SaveModel("stuck", RGB(255, 0, 0));
    // A folder with something in it cannot be removed like a file.
    fs::remove(user / "stuck.brk");
    fs::create_directories(user / "stuck.brk");
    WriteFile(user / "stuck.brk" / "inside", Bytes{'x'});
    AllowDeleting(TRUE);
    App().SetupUserDirectory();
    ASSERT_EQ(App().GetDocumentList().GetSize(), 1);
    CFileBrowserDlg browser;
    InModal step([&](CDialog& d) {
        platform::ClickControl(&d, IDC_BROWSER_TRASH);
        EXPECT_EQ(browser.GetCount(), 1);
        EXPECT_TRUE(Enabled(d, kThumb));
        EXPECT_EQ(Centre(browser.GetThumbnail(0)), RGB(255, 0, 0));
        platform::ClickControl(&d, IDCANCEL);
    });
    browser.DoModal();
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(fs::exists(user / "stuck.pbk"));
    EXPECT_EQ(App().GetDocumentList().GetSize(), 1);
}

TEST_F(FileBrowser, TrashIsOfferedOnlyForModelsWhenDeletingIsAllowed)
{
    SaveModel("a", RGB(255, 0, 0));
    struct Case {
        UINT mode;
        BOOL allowed;
        bool shown;
    };
    for (const Case& c : {Case{CFileBrowserDlg::kDocuments, FALSE, false},
                          Case{CFileBrowserDlg::kDocuments, TRUE, true},
                          Case{CFileBrowserDlg::kBackgrounds, TRUE, false}}) {
        AllowDeleting(c.allowed);
        App().SetupUserDirectory();
        CFileBrowserDlg browser;
        browser.SetMode(c.mode);
        InModal step([&](CDialog& d) {
            EXPECT_EQ(Visible(d, IDC_BROWSER_TRASH), c.shown) << c.mode << c.allowed;
            EXPECT_EQ(Enabled(d, IDC_BROWSER_TRASH), c.shown) << c.mode << c.allowed;
            platform::ClickControl(&d, IDCANCEL);
        });
        browser.DoModal();
    }
    EXPECT_TRUE(fs::exists(user / "a.brk"));
}

TEST_F(FileBrowser, BackgroundsOfferNoPictureColoursAndTheBaseplate)
{
    AddBackground("sky", RGB(0, 0, 255));
    App().SetupUserDirectory();
    BackgroundChoice choice;
    choice.baseplate = TRUE;
    InModal step([&](CDialog& d) {
        auto& browser = static_cast<CFileBrowserDlg&>(d);
        EXPECT_EQ(Centre(browser.GetThumbnail(0)), RGB(0, 0, 0)) << "no picture";
        EXPECT_EQ(Centre(browser.GetThumbnail(1)), RGB(0, 0, 255));
        EXPECT_FALSE(Enabled(d, kThumb + 2));
        EXPECT_TRUE(Visible(d, IDC_BROWSER_BASE));
        for (int i = 0; i < 16; ++i) {
            const RECT place = Place(d, IDC_BROWSER_COLOR_FIRST + i);
            EXPECT_EQ(place.left, kColourOrigin.x + 16 * (i % 8)) << i;
            EXPECT_EQ(place.top, kColourOrigin.y + 16 * (i / 8)) << i;
            EXPECT_EQ(browser.GetColourButton(i).GetCurrentImage(), i == 0 ? 1 : 0) << i;
        }
        platform::ClickControl(&d, IDC_BROWSER_COLOR_FIRST + 3);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(browser.GetColourButton(i).GetCurrentImage(), i == 3 ? 1 : 0) << i;
        platform::ClickControl(&d, IDC_BROWSER_BASE);
        platform::ClickControl(&d, IDOK);
    });
    ASSERT_TRUE(RunBackgroundBrowser(nullptr, choice));
    EXPECT_EQ(choice.path, "");
    EXPECT_EQ(choice.colour, RGB(221, 0, 0));
    EXPECT_FALSE(choice.baseplate);

    // A picture; the colour is black until one is clicked.
    InModal pick([&](CDialog& d) {
        platform::ClickControl(&d, kThumb + 1);
        platform::ClickControl(&d, IDOK);
    });
    choice.baseplate = FALSE;
    ASSERT_TRUE(RunBackgroundBrowser(nullptr, choice));
    EXPECT_EQ(choice.path, (program / "backgrnd" / "sky.bmp").string());
    EXPECT_EQ(choice.colour, RGB(0, 0, 0));
    EXPECT_FALSE(choice.baseplate);

    InModal cancel([&](CDialog& d) { platform::ClickControl(&d, IDCANCEL); });
    EXPECT_FALSE(RunBackgroundBrowser(nullptr, choice));
}

// A FIFO has no writer here: any open that waits for one would hang the test
// (and the program's one thread), so the alarm ends it instead.
TEST_F(FileBrowser, FifosWhereModelsPreviewsPicturesAndKitsLieAreNeverWaitedOn)
{
    auto fifo = [](const fs::path& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path; };
    ::alarm(60);
    SaveModel("castle", RGB(0, 0, 255));
    WriteFile(user / "ghost.brk", Bytes{'x'});
    fifo(user / "ghost.pbk");
    fifo(user / "pipe.brk");
    WriteFile(user / "pipe.pbk", Picture(80, 60, RGB(0, 255, 0), true));
    AddBackground("sky", RGB(0, 0, 255));
    fifo(program / "backgrnd" / "sea.bmp");
    WriteFile(program / "backgrnd" / "sea.pbk", Picture(80, 60, RGB(0, 255, 0), true));
    fifo(program / "backgrnd" / "moon.bmp");
    fifo(program / "backgrnd" / "moon.pbk");
    fifo(program / "kit.dll");
    App().SetupUserDirectory();

    std::vector<std::string> models;
    for (int i = 0; i < App().GetDocumentList().GetSize(); ++i)
        models.push_back(EntryFile(App().GetDocumentList(), i));
    std::sort(models.begin(), models.end());
    EXPECT_EQ(models, (std::vector<std::string>{(user / "castle.brk").string(), (user / "pipe.brk").string()}))
        << "a FIFO preview is as none";
    ASSERT_EQ(App().GetBackgroundList().GetSize(), 3) << "no picture, sea and sky";

    // Both pages show every preview they list.
    CFileBrowserDlg browser;
    InModal close([&](CDialog& d) { platform::ClickControl(&d, IDCANCEL); });
    EXPECT_EQ(browser.DoModal(), IDCANCEL);
    BackgroundChoice choice;
    EXPECT_FALSE(RunBackgroundBrowser(nullptr, choice));

    EXPECT_EQ(ReadDIBFile((program / "backgrnd" / "sea.bmp").string().c_str()), nullptr);
    EXPECT_EQ(LoadLibraryA((program / "kit.dll").string().c_str()), nullptr);
    // The model named by a FIFO, as File Open, a drop or the command line
    // would open it: refused with the open's own message.
    boxes.clear();
    CDizadoDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument((user / "pipe.brk").string().c_str()));
    EXPECT_EQ(boxes.size(), 1u);
    ::alarm(0);
}

}  // namespace
}  // namespace shelltest
