// Start-up as the program runs it, once per process: a model that cannot be
// read gives way to a new one in the kid frame, shown maximised, and a
// cancelled sign-in closes the program. Later starts in the same process hold
// the single-instance lock no more and end at once.
#include <algorithm>
#include <filesystem>

#include "platform/core/registry.h"
#include "platform/ui/app.h"
#include "platform/ui/menu.h"
#include "platform/ui/win_app.h"
#include "platform/ui/document.h"
#include "resources/dialog_ids.h"
#include "shell/kid_frame.h"
#include "tests/shell/app_fixture.h"
#include "tests/support/message_box_recorder.h"

namespace shelltest {
namespace {

using StartUp = AppTest;

TEST_F(StartUp, UnreadableModelGivesANewOneAndCancelledSignInClosesTheProgram)
{
    CDizadoApp& app = App();
    const std::string missing = (home.root / "no such model.brk").string();
    MessageBoxRecorder boxes;
    bool signInShown = false;
    InModal cancel([&](CDialog& d) {
        signInShown = d.GetTemplateId() == IDD_SIGNIN;
        d.EndDialog(IDCANCEL);
    });
    const std::string gone = (home.root / "gone.brk").string();
    app.WriteProfileString("Recent File List", "File1", gone.c_str());
    const char* args[] = {"dizado", missing.c_str()};
    app.SetCommandLine(2, args);
    ASSERT_TRUE(app.InitInstance());
    EXPECT_TRUE(signInShown);
    CKidFrame* frame = app.GetKidFrame();
    ASSERT_NE(frame, nullptr) << "the first document made the kid frame the main window";
    EXPECT_TRUE(frame->IsWindowVisible());
    CDocument* document = frame->GetActiveDocument();
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->GetPathName(), "") << "a new model in place of the missing one";
    EXPECT_FALSE(app.IsSignInPending());
    EXPECT_EQ(app.GetCurrentUser(), "");

    // The shell's open command names this program.
    char program[4096] = {};
    GetModuleFileNameA(nullptr, program, sizeof program);
    char command[4096] = {};
    LONG size = sizeof command;
    ASSERT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, "DodezAR\\shell\\open\\command", command, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::string(command), std::string(program) + " %1");

    // The File menu's "Recent File" place lists the recent files and opens
    // them; one that is gone leaves the list.
    const std::string saved = (home.root / "saved.brk").string();
    ASSERT_TRUE(document->DoSave(saved.c_str()));
    frame->SendMessage(WM_COMMAND, IDM_TOGGLE_MENU_BAR);
    std::vector<CString> file = platform::OpenMenuBarPopup(frame, 0);
    EXPECT_NE(std::find(file.begin(), file.end(), CString("&1 saved.brk")), file.end());
    EXPECT_NE(std::find(file.begin(), file.end(), CString("&2 gone.brk")), file.end());
    boxes.texts.clear();
    frame->SendMessage(WM_COMMAND, IDM_FILE_MRU_FIRST + 1);
    EXPECT_EQ(boxes.texts.size(), 1u) << "the open says the file cannot be read";
    file = platform::OpenMenuBarPopup(frame, 0);
    EXPECT_EQ(std::find(file.begin(), file.end(), CString("&2 gone.brk")), file.end());
    document->SetPathName(missing.c_str(), FALSE);
    frame->SendMessage(WM_COMMAND, IDM_FILE_MRU_FIRST);
    ASSERT_NE(frame->GetActiveDocument(), nullptr);
    EXPECT_EQ(frame->GetActiveDocument()->GetPathName(), saved.c_str());
    frame->SendMessage(WM_COMMAND, IDM_TOGGLE_MENU_BAR);

    // The close the cancel posted ends the main window; idle passes go on
    // without one.
    platform::ProcessPendingEvents();
    EXPECT_EQ(app.GetKidFrame(), nullptr);
    EXPECT_TRUE(app.OnIdle(0));
    EXPECT_TRUE(app.OnIdle(1));
    EXPECT_EQ(app.GetMainWindow(), nullptr);
    app.CheckButtonRange(IDM_TOOL_SELECT, IDM_TOOL_ERASE, IDM_TOOL_PAINT);
    EXPECT_EQ(app.OnBrickListSelect(), -1);

    // A second start while this one holds the lock ends at once, with no window.
    EXPECT_TRUE(CDizadoApp::IsAnotherInstanceRunning("VostrelDIZADO"));
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.GetKidFrame(), nullptr);
}

}  // namespace
}  // namespace shelltest
