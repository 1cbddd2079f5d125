// The sign-in and interface settings dialogs driven headless: typed names,
// picked names, clicked buttons and boxes.
#include "foundation/sound_player.h"
#include "platform/ui/controls.h"
#include "resources/dialog_ids.h"
#include "shell/settings_dlg.h"
#include "shell/sign_in_dlg.h"
#include "tests/shell/app_fixture.h"

namespace shelltest {
namespace {

using SignInDialog = AppTest;
using SettingsDialog = AppTest;

CString Text(CEdit& edit)
{
    CString text;
    edit.GetWindowText(text);
    return text;
}

TEST_F(SignInDialog, ListsNamesSortedUpToTheFirstGapAndSelectsTheLastUser)
{
    CDizadoApp& app = App();
    app.WriteProfileString("Names", "name000", "Zoe");
    app.WriteProfileString("Names", "name001", "ann");
    app.WriteProfileString("Names", "name002", "Bob");
    app.WriteProfileString("Names", "name004", "Hidden");
    app.WriteProfileString("default", "LastUser", "bob");
    CSignInDlg dialog;
    std::vector<std::string> rows;
    int selected = LB_ERR;
    CString typed;
    InModal step([&](CDialog& d) {
        CListBox& names = dialog.GetNamesList();
        for (int i = 0; i < names.GetCount(); ++i) {
            CString row;
            names.GetText(i, row);
            rows.emplace_back(row.c_str());
        }
        selected = names.GetCurSel();
        typed = Text(dialog.GetNameEdit());
        platform::ClickControl(&d, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(rows, (std::vector<std::string>{"ann", "Bob", "Zoe"}));
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(typed, "bob");
    EXPECT_EQ(dialog.GetNamesRead(), 3);
    EXPECT_EQ(app.GetProfileString("default", "LastUser"), "bob") << "cancel writes nothing";
}

TEST_F(SignInDialog, PickingCopiesTheNameAndTypingDropsThePick)
{
    App().WriteProfileString("Names", "name000", "Ann");
    App().WriteProfileString("Names", "name001", "Bob");
    CSignInDlg dialog;
    CString copied;
    int afterTyping = 0;
    InModal step([&](CDialog& d) {
        CListBox& names = dialog.GetNamesList();
        names.SetCurSel(1);
        d.SendMessage(WM_COMMAND, (LBN_SELCHANGE << 16) | IDC_SIGNIN_NAMES,
                      reinterpret_cast<LPARAM>(&names));
        copied = Text(dialog.GetNameEdit());
        platform::TypeIntoEdit(&dialog.GetNameEdit(), "by");
        afterTyping = names.GetCurSel();
        platform::ClickControl(&d, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(copied, "Bob");
    EXPECT_EQ(afterTyping, LB_ERR);
    EXPECT_EQ(dialog.GetChosenName(), "Bobby");
    EXPECT_EQ(App().GetProfileString("default", "LastUser"), "Bobby");
}

TEST_F(SignInDialog, RefusedNamesKeepItOpen)
{
    CSignInDlg dialog;
    std::vector<bool> openAfter;
    InModal step([&](CDialog& d) {
        for (const char* name : {"", "Default", "NAMES"}) {
            dialog.GetNameEdit().SetWindowText(name);
            platform::ClickControl(&d, IDOK);
            openAfter.push_back(dialog.IsModalRunning());
        }
        dialog.GetNameEdit().SetWindowText("");
        platform::TypeIntoEdit(&dialog.GetNameEdit(), "Kim");
        platform::ClickControl(&d, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(openAfter, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(dialog.GetChosenName(), "Kim");
    EXPECT_EQ(dialog.GetBackdropReports(), 0) << "the backdrop is among the program's pictures";
}

TEST_F(SettingsDialog, OkTakesTheBoxesAndCancelChangesNothing)
{
    CDizadoApp& app = App();
    ASSERT_TRUE(app.SignInAs("Dee", 0));
    const std::string before = ProfileText();
    bool soundBox = false;
    InModal cancel([&](CDialog& d) {
        soundBox = d.IsDlgButtonChecked(IDC_SETTINGS_SOUND) == BST_CHECKED;
        platform::ClickControl(&d, IDC_SETTINGS_PRINT);
        platform::ClickControl(&d, IDCANCEL);
    });
    app.OnSettings();
    EXPECT_TRUE(soundBox);
    EXPECT_FALSE(app.GetPrintOn());
    EXPECT_EQ(ProfileText(), before);

    InModal ok([&](CDialog& d) {
        platform::ClickControl(&d, IDC_SETTINGS_PRINT);
        platform::ClickControl(&d, IDC_SETTINGS_SOUND);
        platform::ClickControl(&d, IDC_SETTINGS_DELETE);
        platform::ClickControl(&d, IDOK);
    });
    app.OnSettings();
    EXPECT_TRUE(app.GetPrintOn());
    EXPECT_FALSE(app.GetSoundOn());
    EXPECT_TRUE(app.GetFileDelete());
    EXPECT_EQ(app.GetProfileInt("Dee", "PrintOn", -1), 1u);
    EXPECT_EQ(app.GetProfileInt("Dee", "SoundOn", -1), 0u);
    EXPECT_EQ(app.GetProfileInt("Dee", "FileDelete", -1), 1u);
    SetSoundSwitch(TRUE);
}

}  // namespace
}  // namespace shelltest
