// Modal dialogs driven headless: built from the templates at 2 pixels per
// dialog unit, their loop runs posted messages and timers but not the idle
// pass, and the controls behave as the program's dialogs expect.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include "platform/core/tick_count.h"
#include "platform/ui/dialog.h"
#include "platform/ui/synthetic_input.h"
#include "platform/ui/timers.h"
#include "tests/fixtures/ui/dialogs_ids.h"
#include "tests/ui/ui_fixture.h"

namespace {

constexpr UINT kPrivate = WM_USER + 14;

// A picture button as the program makes them: it draws its state.
class PictureButton : public CButton {
public:
    std::vector<UINT> states;
    void DrawItem(LPDRAWITEMSTRUCT item) override
    {
        states.push_back(item->itemState);
        item->hDC->FillSolidRect(&item->rcItem, (item->itemState & ODS_SELECTED) ? RGB(255, 0, 0) : RGB(0, 0, 255));
    }
};

class SignInLike : public CDialog {
public:
    SignInLike() : CDialog(IDD_SIGNIN) {}

    PictureButton ok;
    PictureButton cancel;
    CEdit name;
    CListBox names;
    int changes = 0;
    int selections = 0;
    int doubleClicks = 0;
    int privateMessages = 0;
    int timerTicks = 0;
    bool initRan = false;
    std::vector<std::string> texts;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        initRan = true;
        EXPECT_TRUE(ok.SubclassDlgItem(IDC_OK, this));
        EXPECT_TRUE(cancel.SubclassDlgItem(IDC_CANCEL, this));
        EXPECT_TRUE(name.SubclassDlgItem(IDC_NAME, this));
        EXPECT_TRUE(names.SubclassDlgItem(IDC_NAMES, this));
        PostMessage(kPrivate);
        return TRUE;
    }
    void OnOK() override
    {
        CString text;
        name.GetWindowText(text);
        texts.emplace_back(text.c_str());
        if (!text.IsEmpty())
            CDialog::OnOK();
    }

protected:
    void OnNameChange() { ++changes; }
    void OnNameSelect()
    {
        ++selections;
        CString text;
        names.GetText(names.GetCurSel(), text);
        name.SetWindowText(text);
    }
    void OnOkDouble() { ++doubleClicks; }
    LRESULT OnPrivate(WPARAM, LPARAM)
    {
        ++privateMessages;
        return 1;
    }
    void OnTimer(UINT_PTR) { ++timerTicks; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SignInLike, CDialog)
    ON_CONTROL(EN_CHANGE, IDC_NAME, OnNameChange)
    ON_CONTROL(LBN_SELCHANGE, IDC_NAMES, OnNameSelect)
    ON_CONTROL(BN_DOUBLECLICKED, IDC_OK, OnOkDouble)
    ON_MESSAGE(kPrivate, OnPrivate)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// Runs `step` inside the modal loop of the next dialog, then restores the hook.
class InModal {
public:
    explicit InModal(std::function<void(CDialog&)> step) : m_previous(platform::SetModalHook(std::move(step))) {}
    ~InModal() { platform::SetModalHook(m_previous); }

private:
    platform::ModalHook m_previous;
};

TEST(Dialog, BuiltAtTwoPixelsPerUnitAndEndedByOk)
{
    uitest::FixtureResources fixture;
    SignInLike dialog;
    RECT client{}, listPlace{};
    InModal step([&](CDialog& d) {
        d.GetClientRect(&client);
        CWnd* list = d.GetDlgItem(IDC_NAMES);
        ASSERT_NE(list, nullptr);
        list->GetWindowRect(&listPlace);
        d.ScreenToClient(&listPlace);
        platform::TypeIntoEdit(&dialog.name, "Ann");
        platform::ClickControl(&d, IDC_OK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(dialog.initRan);
    EXPECT_EQ(client.right, 422);
    EXPECT_EQ(client.bottom, 404);
    EXPECT_EQ(listPlace.left, 22);
    EXPECT_EQ(listPlace.top, 22);
    EXPECT_EQ(listPlace.right - listPlace.left, 374);
    EXPECT_EQ(listPlace.bottom - listPlace.top, 186);
    ASSERT_EQ(dialog.texts.size(), 1u);
    EXPECT_EQ(dialog.texts[0], "Ann");
    EXPECT_EQ(dialog.changes, 3) << "one change per typed character";
    EXPECT_EQ(dialog.privateMessages, 1) << "the posted message ran in the modal loop";
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr) << "the window is gone after the loop";
    EXPECT_EQ(dialog.ok.GetSafeHwnd(), nullptr);
}

TEST(Dialog, EmptyNameKeepsItOpenAndKeysEndIt)
{
    uitest::FixtureResources fixture;
    SignInLike dialog;
    InModal step([&](CDialog& d) {
        // Enter in the edit with nothing typed: OnOK refuses, the dialog stays.
        platform::SendKeyInput(&dialog.name, VK_RETURN, true);
        EXPECT_TRUE(dialog.IsModalRunning());
        platform::SendKeyInput(&d, VK_ESCAPE, true);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.texts.size(), 1u);
}

TEST(Dialog, ProgramChangesToTheEditNotify)
{
    uitest::FixtureResources fixture;
    SignInLike dialog;
    InModal step([&](CDialog& d) {
        dialog.names.AddString("Zoe");
        dialog.names.AddString("ann");
        dialog.names.AddString("Bob");
        dialog.changes = 0;
        dialog.name.SetWindowText("Bob");
        dialog.name.SetWindowText("Bob");  // the same text again still notifies
        EXPECT_EQ(dialog.changes, 2);
        // Reached as a plain window, the edit behaves the same.
        d.SetDlgItemText(IDC_NAME, "Zed");
        EXPECT_EQ(dialog.changes, 3);
        CString text;
        EXPECT_EQ(d.GetDlgItemText(IDC_NAME, text), 3);
        EXPECT_STREQ(text, "Zed");
        d.GetDlgItem(IDC_OK)->SetWindowText("Go");
        d.GetDlgItem(IDC_OK)->GetWindowText(text);
        EXPECT_STREQ(text, "Go");
        // A click on a row selects it; the handler copies it into the edit.
        RECT row;
        ASSERT_EQ(dialog.names.GetItemRect(2, &row), 0);
        platform::SendMouseInput(&dialog.names, platform::MouseAction::Press, platform::MouseButton::Left,
                                 POINT{5, row.top + 2}, MK_LBUTTON, 0);
        platform::SendMouseInput(&dialog.names, platform::MouseAction::Release, platform::MouseButton::Left,
                                 POINT{5, row.top + 2}, 0, 0);
        d.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.selections, 1);
    ASSERT_EQ(dialog.texts.size(), 0u);
}

TEST(Dialog, OwnerDrawnButtonDrawsItsPressAndAQuickSecondPressIsADoubleClick)
{
    uitest::FixtureResources fixture;
    SignInLike dialog;
    int clicksBefore = 0;
    InModal step([&](CDialog& d) {
        platform::ProcessPendingEvents();
        const POINT centre{10, 10};
        dialog.ok.states.clear();
        platform::SendMouseInput(&dialog.ok, platform::MouseAction::Press, platform::MouseButton::Left, centre, MK_LBUTTON, 0);
        ASSERT_FALSE(dialog.ok.states.empty());
        EXPECT_NE(dialog.ok.states.back() & ODS_SELECTED, 0u);
        EXPECT_EQ(dialog.ok.GetBackingSurface()->GetPixel(5, 5), RGB(255, 0, 0));
        platform::SendMouseInput(&dialog.ok, platform::MouseAction::Release, platform::MouseButton::Left, centre, 0, 0);
        EXPECT_EQ(dialog.ok.states.back() & ODS_SELECTED, 0u);
        clicksBefore = static_cast<int>(dialog.texts.size());
        // The toolkit reports the second press as a double click.
        platform::SendMouseInput(&dialog.ok, platform::MouseAction::DoubleClick, platform::MouseButton::Left, centre,
                                 MK_LBUTTON, 0);
        platform::SendMouseInput(&dialog.ok, platform::MouseAction::Release, platform::MouseButton::Left, centre, 0, 0);
        d.EndDialog(IDCANCEL);
    });
    dialog.DoModal();
    EXPECT_EQ(clicksBefore, 1) << "the first press and release clicked";
    EXPECT_EQ(dialog.texts.size(), 2u) << "the second press clicked too";
    EXPECT_EQ(dialog.doubleClicks, 1);
}

TEST(Dialog, ModalLoopRunsTimersButNotTheIdlePass)
{
    uitest::FixtureResources fixture;
    DWORD now = 1000;
    const platform::TickSource previous = platform::SetTickSource([&] { return now; });
    SignInLike dialog;
    int idleDuring = -1;
    InModal step([&](CDialog& d) {
        const int idleAtStart = uitest::App().idlePasses;
        d.SetTimer(8, 2500);
        now += 2499;
        platform::RunDueTimers();
        EXPECT_EQ(dialog.timerTicks, 0);
        now += 1;
        platform::RunDueTimers();
        EXPECT_EQ(dialog.timerTicks, 1);
        // Three periods late: one message, as the system coalesces them.
        now += 7500;
        platform::RunDueTimers();
        EXPECT_EQ(dialog.timerTicks, 2);
        d.KillTimer(8);
        now += 5000;
        platform::RunDueTimers();
        EXPECT_EQ(dialog.timerTicks, 2);
        // Real time passes in the loop: no idle pass runs.
        QEventLoop wait;
        QTimer::singleShot(60, &wait, &QEventLoop::quit);
        wait.exec();
        idleDuring = uitest::App().idlePasses - idleAtStart;
        d.EndDialog(IDOK);
    });
    dialog.DoModal();
    platform::SetTickSource(previous);
    EXPECT_EQ(idleDuring, 0);
    EXPECT_EQ(platform::ActiveTimerCount(), 0u);
}

TEST(Dialog, CheckBoxesReadBackAndMissingTemplateFails)
{
    uitest::FixtureResources fixture;
    CDialog settings(IDD_SETTINGS);
    UINT first = 9, second = 9, third = 9;
    InModal step([&](CDialog& d) {
        d.CheckDlgButton(IDC_FIRST_BOX, BST_CHECKED);
        platform::ClickControl(&d, IDC_SECOND_BOX);
        platform::ClickControl(&d, IDC_THIRD_BOX);
        platform::ClickControl(&d, IDC_THIRD_BOX);
        first = d.IsDlgButtonChecked(IDC_FIRST_BOX);
        second = d.IsDlgButtonChecked(IDC_SECOND_BOX);
        third = d.IsDlgButtonChecked(IDC_THIRD_BOX);
        platform::ClickControl(&d, IDC_OK);
    });
    EXPECT_EQ(settings.DoModal(), IDOK);
    EXPECT_EQ(first, 1u);
    EXPECT_EQ(second, 1u);
    EXPECT_EQ(third, 0u);

    CDialog missing(4242);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST(Dialog, OwnerDrawnButtonsAreDrawnDisabledOnlyWhenDisabledThemselves)
{
    CWnd frame;
    ASSERT_TRUE(frame.Create(nullptr, "frame", WS_OVERLAPPED, RECT{0, 0, 100, 100}, nullptr, 0));
    PictureButton button;
    ASSERT_TRUE(button.Create("p", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{0, 0, 40, 40}, &frame, 600));
    const auto drawnState = [&] {
        button.Invalidate();
        button.UpdateWindow();
        return button.states.empty() ? 0xFFFFu : button.states.back();
    };
    // As under a modal dialog: the frame is disabled, the button is not.
    frame.EnableWindow(FALSE);
    EXPECT_EQ(drawnState() & ODS_DISABLED, 0u);
    frame.EnableWindow(TRUE);
    button.EnableWindow(FALSE);
    EXPECT_NE(drawnState() & ODS_DISABLED, 0u);
    frame.DestroyWindow();
}

}  // namespace
