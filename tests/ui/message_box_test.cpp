// The toolkit's message boxes carry the fixed button texts and answer the
// button pressed; window timers run on the real clock too.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>

#include "platform/core/hooks.h"
#include "platform/ui/timers.h"
#include "platform/ui/win_app.h"

namespace {

// Presses the button with `text` of the message box once it is shown, and
// records the texts of all its buttons.
void PressWhenShown(const QString& text, QStringList* seen)
{
    QTimer::singleShot(0, [text, seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            PressWhenShown(text, seen);
            return;
        }
        for (QAbstractButton* button : box->buttons())
            seen->append(button->text());
        for (QAbstractButton* button : box->buttons())
            if (button->text() == text) {
                button->click();
                return;
            }
    });
}

TEST(MessageBoxes, FixedButtonTextsAnswerThePressedButton)
{
    platform::EnsureToolkit();
    const platform::MessageBoxHook previous = platform::SetMessageBoxHook(nullptr);
    platform::InstallMessageBoxes();
    struct Case {
        UINT type;
        const char* press;
        int answer;
        QStringList buttons;
    };
    const Case cases[] = {
        {MB_OK, "OK", IDOK, {"OK"}},
        {MB_OKCANCEL, "Cancel", IDCANCEL, {"OK", "Cancel"}},
        {MB_YESNO, "No", IDNO, {"Yes", "No"}},
        {MB_YESNOCANCEL | MB_ICONQUESTION, "Yes", IDYES, {"Yes", "No", "Cancel"}},
    };
    for (const Case& c : cases) {
        QStringList seen;
        PressWhenShown(c.press, &seen);
        EXPECT_EQ(AfxMessageBox("Scream and Yell", c.type), c.answer) << c.press;
        seen.sort();
        QStringList expected = c.buttons;
        expected.sort();
        EXPECT_EQ(seen, expected);
    }
    platform::SetMessageBoxHook(previous);
}

class TickingWnd : public CWnd {
public:
    int ticks = 0;

protected:
    void OnTimer(UINT_PTR) { ++ticks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TickingWnd, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

TEST(Timers, RealClockTimersTickUntilKilledOrTheWindowGoes)
{
    TickingWnd wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "ticking", WS_OVERLAPPED, RECT{0, 0, 50, 50}, nullptr, 0));
    EXPECT_EQ(wnd.SetTimer(3, 20), 3u);
    QEventLoop wait;
    QTimer::singleShot(150, &wait, &QEventLoop::quit);
    wait.exec();
    EXPECT_GE(wnd.ticks, 2);
    EXPECT_TRUE(wnd.KillTimer(3));
    EXPECT_FALSE(wnd.KillTimer(3));
    const int ticks = wnd.ticks;
    wnd.SetTimer(4, 10);
    wnd.DestroyWindow();
    QTimer::singleShot(60, &wait, &QEventLoop::quit);
    wait.exec();
    EXPECT_EQ(wnd.ticks, ticks);
    EXPECT_EQ(platform::ActiveTimerCount(), 0u);
}

}  // namespace
