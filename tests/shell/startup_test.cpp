// Start-up as the program runs it, once per process: a model that cannot be
// read gives way to a new one in the kid frame, shown maximised, and a
// cancelled sign-in closes the program. Later starts in the same process hold
// the single-instance lock no more and end at once.
#include <filesystem>

#include "platform/ui/app.h"
#include "platform/ui/document.h"
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
        signInShown = d.GetTemplateId() == 107;
        d.EndDialog(IDCANCEL);
    });
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

    // The close the cancel posted ends the main window; idle passes go on
    // without one.
    platform::ProcessPendingEvents();
    EXPECT_EQ(app.GetKidFrame(), nullptr);
    EXPECT_TRUE(app.OnIdle(0));
    EXPECT_TRUE(app.OnIdle(1));
    EXPECT_EQ(app.GetMainWindow(), nullptr);
    app.CheckButtonRange(600, 603, 601);
    EXPECT_EQ(app.OnBrickListSelect(), -1);

    // A second start while this one holds the lock ends at once, with no window.
    EXPECT_TRUE(CDizadoApp::IsAnotherInstanceRunning("VostrelDIZADO"));
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.GetKidFrame(), nullptr);
}

}  // namespace
}  // namespace shelltest
