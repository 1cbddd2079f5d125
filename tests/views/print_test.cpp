#include "views_fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "platform/ui/print.h"

namespace viewstest {
namespace {

// Printing shows the pane as on screen, scaled uniformly to the page and
// centred, on white.
class Printing : public PaneTest {
protected:
    void SetUp() override
    {
        PaneTest::SetUp();
        previous = platform::SetPrintBackend(&backend);
    }
    void TearDown() override
    {
        platform::SetPrintBackend(previous);
        PaneTest::TearDown();
    }
    platform::ImagePrintBackend backend{960, 960, 300};
    platform::IPrintBackend* previous = nullptr;
};

TEST_F(Printing, OnePageWithThePaneScaledAndCentred)
{
    COLORREF grey = RGB(90, 90, 90);
    doc.ChangeBackgroundColor(&grey);
    doc.SetBaseplateSize(1, 1);
    Add(0, 0, 0, 2009, 1);
    Add(3, 3, 0, 2007, 4)->SetSelected(TRUE);
    COLORREF white = RGB(255, 255, 255);
    doc.ChangeBackgroundColor(&white);
    const platform::Surface screen = Paint(CBrickPane::DrawMode::fast);
    doc.ChangeBackgroundColor(&grey);  // the page is white whatever the document's colour

    pane.OnFilePrint();
    ASSERT_EQ(backend.m_pages.size(), 1u);
    const platform::Surface& page = backend.m_pages[0];
    // 480 x 360 fills the 960-pixel width at twice the size; 120 pixels above and below.
    EXPECT_EQ(page.GetPixel(480, 60), RGB(255, 255, 255));
    EXPECT_EQ(page.GetPixel(480, 900), RGB(255, 255, 255));
    int compared = 0;
    for (int y = 1; y < kHeight - 1; y += 3) {
        for (int x = 1; x < kWidth - 1; x += 3) {
            // Inside areas of one colour the scaled page shows that colour.
            const COLORREF c = screen.GetPixel(x, y);
            bool uniform = true;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    uniform = uniform && screen.GetPixel(x + dx, y + dy) == c;
            if (!uniform)
                continue;
            ASSERT_EQ(page.GetPixel(2 * x + 1, 120 + 2 * y + 1), c) << x << "," << y;
            ++compared;
        }
    }
    EXPECT_GT(compared, 10000);
}

TEST_F(Printing, PaneOfNoSizePrintsABlankPage)
{
    Add(0, 0, 0);
    pane.SetDrawingSize(0, 0);
    pane.OnFilePrint();
    ASSERT_EQ(backend.m_pages.size(), 1u);
    for (int y = 0; y < 960; y += 16)
        for (int x = 0; x < 960; x += 16)
            ASSERT_EQ(backend.m_pages[0].GetPixel(x, y), RGB(255, 255, 255));
}

TEST_F(PaneTest, PrintingToPdfGivesOnePage)
{
    const std::filesystem::path pdf =
        std::filesystem::temp_directory_path() / ("dizado-print-" + std::to_string(getpid()) + ".pdf");
    platform::QtPrintBackend qt;
    qt.SetPdfFile(pdf.c_str());
    qt.SetDotsPerInch(72);
    platform::IPrintBackend* previous = platform::SetPrintBackend(&qt);
    Add(0, 0, 0, 2009, 3);
    pane.OnFilePrint();
    platform::SetPrintBackend(previous);
    std::ifstream in(pdf, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::filesystem::remove(pdf);
    ASSERT_EQ(text.rfind("%PDF", 0), 0u);
    size_t pages = 0;
    for (size_t at = text.find("/Type /Page"); at != std::string::npos; at = text.find("/Type /Page", at + 1))
        if (text.compare(at, 12, "/Type /Pages") != 0)
            ++pages;
    EXPECT_EQ(pages, 1u);
}

}  // namespace
}  // namespace viewstest
