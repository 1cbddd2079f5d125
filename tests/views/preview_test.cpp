#include "views_fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

namespace viewstest {
namespace {

// The preview beside a saved model is the first view's drawing, scaled.
class Preview : public PaneTest {
protected:
    std::vector<unsigned char> Write(CDizadoDoc& document, int width = -1, int height = -1)
    {
        const std::string path = folder / "model.pbk";
        document.WriteBitmapFile(path.c_str(), width, height);
        std::ifstream in(path, std::ios::binary);
        return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
    }
    // The palette index of picture pixel (x, y), y counted from the top.
    static int Pixel(const std::vector<unsigned char>& file, int x, int y, int width = 80, int height = 60)
    {
        return file.at(1078 + static_cast<size_t>(height - 1 - y) * width + x);
    }
    void TearDown() override
    {
        std::filesystem::remove_all(folder);
        PaneTest::TearDown();
    }

    std::filesystem::path folder = [] {
        auto f = std::filesystem::temp_directory_path() / ("dizado-preview-" + std::to_string(getpid()));
        std::filesystem::create_directories(f);
        return f;
    }();
};

TEST_F(Preview, ShowsTheModelAsTheFirstViewDrawsItWithoutTheOutline)
{
    COLORREF white = RGB(255, 255, 255);
    doc.ChangeBackgroundColor(&white);
    doc.SetBaseplateSize(0, 0);
    CBrick* brick = Add(0, 0, 0, 2011, 2);  // a long red brick in the middle
    const std::vector<unsigned char> file = Write(doc);
    ASSERT_EQ(file.size(), 5878u);
    const int background = Pixel(file, 1, 1);
    // The pane is 480 x 360: the picture is a sixth of it.
    POINT p;
    pane.ProjectXYZ(&p, 4, 1, 3);
    EXPECT_NE(Pixel(file, p.x / 6, p.y / 6), background);
    EXPECT_EQ(Pixel(file, 79, 59), background);

    brick->SetSelected(TRUE);
    EXPECT_EQ(Write(doc), file) << "the selection outline is not drawn into the preview";
}

TEST_F(Preview, ViewWithoutSizeOrNoViewGivesTheBackgroundColour)
{
    COLORREF blue = RGB(0, 0, 255);
    doc.ChangeBackgroundColor(&blue);
    Add(0, 0, 0);
    pane.SetDrawingSize(0, 0);
    const std::vector<unsigned char> file = Write(doc);
    ASSERT_EQ(file.size(), 5878u);
    for (size_t i = 1078; i < file.size(); ++i)
        ASSERT_EQ(file[i], file[1078]);
}

}  // namespace
}  // namespace viewstest
