// Menus, accelerators and their command state on a frame; the application
// object's profile, command line, idle pass and dropped files.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

#include <cstdio>
#include <filesystem>

#include "platform/core/cmd_ui.h"
#include "platform/ui/frame_wnd.h"
#include "platform/ui/menu.h"
#include "platform/ui/print.h"
#include "tests/support/message_box_recorder.h"
#include "platform/ui/synthetic_input.h"
#include "platform/ui/window_peer.h"
#include "tests/fixtures/ui/dialogs_ids.h"
#include "tests/ui/ui_fixture.h"

namespace {

// Holds Ctrl (or nothing) down for GetKeyState while it lives.
class HeldKeys {
public:
    explicit HeldKeys(bool control)
        : m_previous(platform::SetKeyStateHook([control](int key) -> SHORT {
              return (control && key == VK_CONTROL) ? static_cast<SHORT>(0x8000) : 0;
          }))
    {
    }
    ~HeldKeys() { platform::SetKeyStateHook(m_previous); }

private:
    platform::KeyStateHook m_previous;
};

class AccelFrame : public CFrameWnd {
public:
    HACCEL accel = nullptr;
    std::vector<UINT> ran;
    bool undoEnabled = false;
    int idleUpdates = 0;

    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST)
            return accel && TranslateAccelerator(this, accel, msg);
        return CFrameWnd::PreTranslateMessage(msg);
    }

protected:
    void OnSelect() { ran.push_back(IDM_TOOL_SELECT); }
    void OnUndo() { ran.push_back(IDM_UNDO); }
    void OnUpdateUndo(CCmdUI* ui) { ui->Enable(undoEnabled); }
    void OnNew() { ran.push_back(IDM_NEW); }
    LRESULT OnIdleUpdate(WPARAM, LPARAM)
    {
        ++idleUpdates;
        return 0;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(AccelFrame, CFrameWnd)
    ON_COMMAND(IDM_TOOL_SELECT, OnSelect)
    ON_COMMAND(IDM_UNDO, OnUndo)
    ON_UPDATE_COMMAND_UI(IDM_UNDO, OnUpdateUndo)
    ON_COMMAND(IDM_NEW, OnNew)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdate)
END_MESSAGE_MAP()

TEST(MenuAndAccelerators, KeysRunCommandsUnlessTheirUpdateDisablesThem)
{
    uitest::FixtureResources fixture;
    auto* frame = new AccelFrame;
    ASSERT_TRUE(frame->Create(nullptr, "frame"));
    frame->accel = LoadAccelerators(nullptr, MAKEINTRESOURCE(IDR_FRAME));
    ASSERT_NE(frame->accel, nullptr);
    {
        HeldKeys none(false);
        platform::SendKeyInput(frame, 'A', true);
        platform::SendKeyInput(frame, 'Z', true);  // Z alone is no accelerator
    }
    {
        HeldKeys control(true);
        platform::SendKeyInput(frame, 'Z', true);  // Ctrl+Z: undo, disabled now
        frame->undoEnabled = true;
        platform::SendKeyInput(frame, 'Z', true);
        platform::SendKeyInput(frame, 'A', true);  // Ctrl+A is not in this table
    }
    EXPECT_EQ(frame->ran, (std::vector<UINT>{IDM_TOOL_SELECT, IDM_UNDO}));
    EXPECT_EQ(LoadAccelerators(nullptr, MAKEINTRESOURCE(77)), nullptr);
    frame->DestroyWindow();
}

TEST(MenuAndAccelerators, MenuItemsTakeTheirStateFromTheUpdateHandlers)
{
    uitest::FixtureResources fixture;
    auto* frame = new AccelFrame;
    ASSERT_TRUE(frame->Create(nullptr, "frame"));
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_FRAME));
    ASSERT_TRUE(frame->SetMenu(&menu));
    EXPECT_EQ(frame->GetMenu(), &menu);
    menu.UpdateCommandUI(frame);
    EXPECT_NE(menu.GetMenuState(IDM_UNDO, MF_BYCOMMAND) & MF_GRAYED, 0u) << "its update handler disables it";
    EXPECT_NE(menu.GetMenuState(IDM_SELECT_NONE, MF_BYCOMMAND) & MF_GRAYED, 0u) << "no handler anywhere";
    EXPECT_EQ(menu.GetMenuState(IDM_NEW, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_TRUE(platform::ChooseMenuItem(frame, IDM_UNDO));
    EXPECT_TRUE(platform::ChooseMenuItem(frame, IDM_NEW));
    EXPECT_FALSE(platform::ChooseMenuItem(frame, 4711));
    EXPECT_EQ(frame->ran, (std::vector<UINT>{IDM_NEW}));
    // The bar lies along the frame's top edge and follows its width.
    auto* bar = frame->GetSafeHwnd()->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    frame->MoveWindow(0, 0, 333, 200);
    EXPECT_EQ(bar->width(), 333);
    EXPECT_EQ(bar->y(), 0);
    // A menu destroyed while shown leaves the bar.
    menu.DestroyMenu();
    EXPECT_EQ(frame->GetMenu(), nullptr);
    frame->DestroyWindow();
}

TEST(Application, PrintSetupRecentFilesAndHelp)
{
    uitest::TestApp& app = uitest::App();
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "dizado_ui_recent_test";
    std::filesystem::create_directories(folder);
    app.m_pszProfileName = (folder / "dizado.ini").string().c_str();
    std::filesystem::remove(folder / "dizado.ini");

    platform::ImagePrintBackend printer(100, 100, 100);
    platform::IPrintBackend* previous = platform::SetPrintBackend(&printer);
    EXPECT_TRUE(app.OnCmdMsg(ID_FILE_PRINT_SETUP, CN_COMMAND, nullptr, nullptr));
    platform::SetPrintBackend(previous);
    EXPECT_EQ(printer.m_printerChoices, 1);

    // What the profile holds is taken only when it can be a path, once.
    app.WriteProfileString("Recent File List", "File1", "/models/a.brk");
    app.WriteProfileString("Recent File List", "File2", "/models/a.brk");
    app.WriteProfileString("Recent File List", "File3", std::string(5000, 'x').c_str());
    app.WriteProfileString("Recent File List", "File4", "/models/b&c.brk");
    app.LoadStdProfileSettings(4);
    ASSERT_EQ(app.GetRecentFiles().size(), 2u);
    EXPECT_EQ(app.GetRecentFiles()[1], "/models/b&c.brk");
    // The kid frame's menu shows them in its "Recent File" place by their names.
    CMenu menu;
    if (menu.LoadMenu(2) && menu.GetMenuState(ID_FILE_MRU_FILE1, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
        app.AddToRecentFileList("C:\\kids\\mia.brk");
        menu.UpdateCommandUI(&app);
        CString text;
        menu.GetMenuString(ID_FILE_MRU_FILE1, text, MF_BYCOMMAND);
        EXPECT_EQ(text, "&1 mia.brk");
        menu.GetMenuString(ID_FILE_MRU_FILE1 + 2, text, MF_BYCOMMAND);
        EXPECT_EQ(text, "&3 b&&c.brk");
        app.LoadStdProfileSettings(4);
    } else {
        ADD_FAILURE() << "no menu with a Recent File place";
    }
    CCmdUI second(ID_FILE_MRU_FILE1 + 1);
    second.DoUpdate(&app, TRUE);
    EXPECT_TRUE(second.m_bEnabled);
    CCmdUI third(ID_FILE_MRU_FILE1 + 2);
    third.DoUpdate(&app, TRUE);
    EXPECT_FALSE(third.m_bEnabled);
    // The test application opens nothing: the entry goes.
    app.opened.clear();
    EXPECT_TRUE(app.OnCmdMsg(ID_FILE_MRU_FILE1, CN_COMMAND, nullptr, nullptr));
    ASSERT_EQ(app.opened.size(), 1u);
    EXPECT_EQ(app.opened[0], "/models/a.brk");
    ASSERT_EQ(app.GetRecentFiles().size(), 1u);
    EXPECT_EQ(app.GetRecentFiles()[0], "/models/b&c.brk");
    app.LoadStdProfileSettings(0);
    app.m_pszProfileName.Empty();

    MessageBoxRecorder boxes;
    app.m_pszHelpFilePath = "/opt/dizado/daruru32.hlp";
    app.WinHelp(0, 3);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find("daruru32.hlp"), std::string::npos) << boxes.texts[0];
    app.m_pszHelpFilePath.Empty();
}

TEST(Application, ProfileCommandLineIdleAndDroppedFiles)
{
    uitest::TestApp& app = uitest::App();
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "dizado_ui_app_test";
    std::filesystem::create_directories(folder);
    app.m_pszProfileName = (folder / "dizado.ini").string().c_str();
    std::filesystem::remove(folder / "dizado.ini");
    EXPECT_STREQ(app.GetProfileString("default", "LastUser", "none"), "none");
    EXPECT_TRUE(app.WriteProfileString("default", "LastUser", "Ann"));
    EXPECT_TRUE(app.WriteProfileInt("ann", "SoundOn", 0));
    EXPECT_STREQ(app.GetProfileString("DEFAULT", "lastuser"), "Ann");
    EXPECT_EQ(app.GetProfileInt("Ann", "SoundOn", 1), 0u);
    EXPECT_EQ(app.GetProfileInt("Ann", "PrintOn", 1), 1u);

    struct Case {
        std::vector<const char*> argv;
        BOOL embedded;
        BOOL automated;
        const char* path;
    };
    const Case cases[] = {
        {{"dizado"}, FALSE, FALSE, ""},
        {{"dizado", "-Embedding"}, TRUE, FALSE, ""},
        {{"dizado", "/Automation"}, FALSE, TRUE, ""},
        {{"dizado", "/home/ann/my", "house.brk"}, FALSE, FALSE, "/home/ann/my house.brk"},
    };
    for (const Case& c : cases) {
        app.SetCommandLine(static_cast<int>(c.argv.size()), c.argv.data());
        CCommandLineInfo info;
        app.ParseCommandLine(info);
        EXPECT_EQ(app.RunEmbedded(), c.embedded) << c.argv.back();
        EXPECT_EQ(app.RunAutomated(), c.automated) << c.argv.back();
        EXPECT_STREQ(info.m_strFileName, c.path);
    }

    auto* frame = new AccelFrame;
    ASSERT_TRUE(frame->Create(nullptr, "frame"));
    // Without a main window the idle pass has nothing to update.
    app.m_pMainWnd = nullptr;
    EXPECT_TRUE(app.OnIdle(0));
    EXPECT_EQ(frame->idleUpdates, 0);
    app.m_pMainWnd = frame;
    EXPECT_TRUE(app.OnIdle(0));
    EXPECT_FALSE(app.OnIdle(1));
    EXPECT_EQ(frame->idleUpdates, 1);

    // Files dropped on a frame that accepts them are opened in order.
    frame->DragAcceptFiles(TRUE);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/tmp/a house.brk"), QUrl::fromLocalFile("/tmp/b.brk"),
                  QUrl("https://example.invalid/c.brk")});
    // As the toolkit delivers a drop: an entry the target accepts, then the drop.
    const auto dropOn = [&](CWnd* wnd) {
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(wnd->GetSafeHwnd(), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(wnd->GetSafeHwnd(), &drop);
    };
    app.opened.clear();
    dropOn(frame);
    EXPECT_EQ(app.opened, (std::vector<std::string>{"/tmp/a house.brk", "/tmp/b.brk"}));
    frame->DragAcceptFiles(FALSE);
    dropOn(frame);
    EXPECT_EQ(app.opened.size(), 2u);

    app.m_pMainWnd = nullptr;
    frame->DestroyWindow();
    app.m_pszProfileName.Empty();
    std::filesystem::remove_all(folder);
}

TEST(Application, EntryRunsInitInstanceThenTheLoopUntilQuit)
{
    uitest::TestApp& app = uitest::App();
    char name[] = "dizado";
    char path[] = "/tmp/castle.brk";
    char* argv[] = {name, path, nullptr};
    int argc = 2;
    app.inits = app.exits = 0;
    // The entry installs the toolkit's message boxes; the tests' own come back after.
    const platform::MessageBoxHook previous = platform::SetMessageBoxHook(nullptr);

    // Start-up refused: no loop, ExitInstance answers.
    app.initResult = FALSE;
    app.m_nExitCode = 0;
    EXPECT_EQ(platform::RunApplication(argc, argv), 0);
    EXPECT_EQ(app.inits, 1);
    EXPECT_EQ(app.exits, 1);
    EXPECT_STREQ(app.GetCommandLineInfo().m_strFileName, "/tmp/castle.brk");

    // Start-up done: the loop runs, with idle passes, until the quit.
    app.initResult = TRUE;
    app.quitWith = 3;
    const int idleBefore = app.idlePasses;
    EXPECT_EQ(platform::RunApplication(argc, argv), 3);
    EXPECT_EQ(app.inits, 2);
    EXPECT_EQ(app.exits, 2);
    EXPECT_GE(app.idlePasses, idleBefore);
    app.quitWith = -1;
    platform::SetMessageBoxHook(previous);
}

}  // namespace
