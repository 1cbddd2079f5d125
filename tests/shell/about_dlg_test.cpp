// The About box on the layer's clock: its size from the picture, pages turned
// only by the page timer, the ways out, and a missing picture.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QCoreApplication>

#include "platform/core/hooks.h"
#include "platform/core/tick_count.h"
#include "platform/ui/synthetic_input.h"
#include "platform/ui/timers.h"
#include "resources/resource_ids.h"
#include "shell/about_dlg.h"
#include "tests/shell/app_fixture.h"

namespace shelltest {
namespace {

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousClock = platform::SetTickSource([this] { return now; });
        m_previousBox = platform::SetMessageBoxHook([this](const std::string& text, const std::string&, UINT) {
            boxes.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override
    {
        platform::SetTickSource(m_previousClock);
        platform::SetMessageBoxHook(m_previousBox);
    }
    void Advance(DWORD ms)
    {
        now += ms;
        platform::RunDueTimers();
    }
    static UINT Paint(CAboutDlg& about)
    {
        about.Invalidate(FALSE);
        about.UpdateWindow();
        return about.GetShownPageString();
    }
    // Light pixels in the text rectangle: the white page text over the dark
    // picture.
    static int LightPixels(CAboutDlg& about)
    {
        const platform::Surface* surface = about.GetBackingSurface();
        int light = 0;
        for (int y = CAboutDlg::kTextRect.top; y < CAboutDlg::kTextRect.bottom; ++y)
            for (int x = CAboutDlg::kTextRect.left; x < CAboutDlg::kTextRect.right; ++x)
                if (GetGValue(surface->GetPixel(x, y)) > 200)
                    ++light;
        return light;
    }

    DWORD now = 50000;
    std::vector<std::string> boxes;

private:
    platform::TickSource m_previousClock;
    platform::MessageBoxHook m_previousBox;
};

TEST_F(AboutBox, IsThePicturesSizeWithinAPixelAndShowsWhiteText)
{
    CAboutDlg about;
    RECT client{};
    int light = 0;
    InModal step([&](CDialog& d) {
        d.GetClientRect(&client);
        Paint(about);
        light = LightPixels(about);
        about.EndDialog(IDOK);
    });
    about.DoModal();
    EXPECT_EQ(client.right, 550);
    // 372 pixels of template against 399 of picture: moved 13 from each side.
    EXPECT_EQ(client.bottom, 398);
    EXPECT_GT(light, 100);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(AboutBox, OnlyThePageTimerTurnsPages)
{
    const size_t timersBefore = platform::ActiveTimerCount();
    CAboutDlg about;
    std::vector<UINT> shown;
    InModal step([&](CDialog& d) {
        shown.push_back(Paint(about));
        Advance(5999);
        // Uncovered windows repaint: the page stays.
        shown.push_back(Paint(about));
        shown.push_back(Paint(about));
        Advance(1);
        Advance(2499);
        shown.push_back(Paint(about));
        Advance(1);
        shown.push_back(Paint(about));
        shown.push_back(Paint(about));
        for (int i = 0; i < 10; ++i) {
            Advance(2500);
            shown.push_back(Paint(about));
        }
        EXPECT_EQ(platform::ActiveTimerCount(), timersBefore + 1) << "the first timer gave way";
        platform::SendMouseInput(&d, platform::MouseAction::Press, platform::MouseButton::Left, POINT{5, 5},
                                 MK_LBUTTON, 0);
    });
    EXPECT_EQ(about.DoModal(), IDOK);
    const std::vector<UINT> expected = {501, 501, 501, 501, 502, 502, 503, 504, 505,
                                        506, 507, 508, 509, 510, 511, 501};
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(about.GetPageCount(), 11);
    EXPECT_EQ(platform::ActiveTimerCount(), timersBefore);
}

TEST_F(AboutBox, AClickEnterOrEscapeClosesItBeforeTheFirstTimer)
{
    const size_t timersBefore = platform::ActiveTimerCount();
    struct Way {
        const char* what;
        int key;  // 0: a click
        int result;
    };
    for (const Way& way : {Way{"click", 0, IDOK}, Way{"Enter", VK_RETURN, IDOK}, Way{"Escape", VK_ESCAPE, IDCANCEL}}) {
        SCOPED_TRACE(way.what);
        CAboutDlg about;
        InModal step([&](CDialog& d) {
            Advance(1000);
            if (way.key == 0)
                platform::SendMouseInput(&d, platform::MouseAction::Press, platform::MouseButton::Left,
                                         POINT{300, 20}, MK_LBUTTON, 0);
            else
                platform::SendKeyInput(&d, way.key, true);
        });
        EXPECT_EQ(about.DoModal(), way.result);
        EXPECT_EQ(platform::ActiveTimerCount(), timersBefore);
        EXPECT_FALSE(about.HasPicture());
    }
}

class AboutWithoutPicture : public CAboutDlg {
protected:
    HGLOBAL LoadPicture() override { return nullptr; }
};

TEST_F(AboutBox, AMissingPictureKeepsTheTemplatesSizeAndIsReportedOnce)
{
    AboutWithoutPicture about;
    RECT client{};
    int light = 0;
    InModal step([&](CDialog& d) {
        for (int i = 0; i < 3; ++i)
            Paint(about);
        light = LightPixels(about);
        d.GetClientRect(&client);
        QCoreApplication::processEvents();
        about.EndDialog(IDOK);
    });
    about.DoModal();
    EXPECT_EQ(client.right, 422);
    EXPECT_EQ(client.bottom, 372);
    EXPECT_EQ(about.GetPictureReports(), 1);
    EXPECT_EQ(boxes, (std::vector<std::string>{"Scream and Yell"}));
    EXPECT_GT(light, 100) << "the pages still show";
}

TEST(AboutPages, FewerThanOnePageIsOne)
{
    const std::pair<const char*, int> cases[] = {{"11", 11}, {"1", 1}, {"0", 1}, {"-4", 1}, {"", 1}, {"pages", 1},
                                                 {nullptr, 1}};
    for (const auto& [text, pages] : cases)
        EXPECT_EQ(CAboutDlg::ParsePageCount(text), pages) << (text ? text : "null");
}

}  // namespace
}  // namespace shelltest
