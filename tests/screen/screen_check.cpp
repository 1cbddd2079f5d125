// The screenshot test's helper. `model PATH` writes the fixture model: a few
// bricks of the shipped kit on a baseplate over a sky-blue background, one of
// them selected. `check SHOT.ppm MODEL` compares a screenshot of the program
// showing that model, maximised on a screen without decorations, with the
// pane's own drawing of it at the screen's size: pixels where the projection
// puts bricks, baseplate and background, then the whole picture.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "document/dizado_doc.h"
#include "model/brick.h"
#include "model/brick_class_library.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"
#include "tests/screen/ppm_picture.h"
#include "views/iso_brick_pane.h"

namespace {

using screen::Picture;
using screen::ReadPpm;

int MakeModel(const char* path)
{
    CDizadoDoc doc;
    doc.m_bAutoDelete = FALSE;
    doc.OnNewDocument();
    COLORREF sky = RGB(150, 200, 250);
    doc.ChangeBackgroundColor(&sky);
    doc.SetBaseplateSize(2, 2);
    CBrickGroup* root = doc.GetBrickList();
    CBrick::Make(root, CPoint3D(2, 2, 1), 2009, 2, 0, 0);    // a 2x4 brick on the plate
    CBrick::Make(root, CPoint3D(8, 3, 1), 2007, 4, 0, 0);    // a 2x2 brick
    CBrick::Make(root, CPoint3D(8, 3, 4), 2018, 5, 0, 0);    // a plate on top of it
    CBrick::Make(root, CPoint3D(3, 10, 1), 2011, 6, 0, 1)->SetSelected(TRUE);  // a long one, turned, selected
    return doc.OnSaveDocument(path) ? 0 : 1;
}

// `pane` is where the program shows its pane on the screen; pixels of the
// pane off the screen are not compared.
int Check(const char* shotPath, const char* modelPath, RECT pane)
{
    Picture shot;
    if (!ReadPpm(shotPath, shot)) {
        std::fprintf(stderr, "screen_check: cannot read %s\n", shotPath);
        return 1;
    }
    CDizadoDoc doc;
    doc.m_bAutoDelete = FALSE;
    if (!doc.OnOpenDocument(modelPath)) {
        std::fprintf(stderr, "screen_check: cannot open %s\n", modelPath);
        return 1;
    }
    const int width = pane.right > pane.left ? pane.right - pane.left : shot.width;
    const int height = pane.bottom > pane.top ? pane.bottom - pane.top : shot.height;
    auto onScreen = [&](POINT p) {
        const long x = p.x + pane.left, y = p.y + pane.top;
        return x >= 0 && y >= 0 && x < shot.width && y < shot.height;
    };
    auto screenAt = [&](POINT p) { return shot.At(p.x + pane.left, p.y + pane.top); };
    CIsoBrickPane view;
    view.SetDrawingSize(width, height);
    view.AttachDocument(&doc);
    view.SetOrigin(width / 2, height / 8 * 7, FALSE);
    platform::Surface expected(width, height);
    CDC dc(&expected);
    view.SetSelectionAfterPaint(FALSE);  // the outline blinks: its pixels are not compared
    view.OnDraw(&dc);
    CRegion outline = view.GetBlinker().GetRegion();

    int failures = 0;
    auto expect = [&](const char* what, POINT p) {
        const COLORREF want = expected.GetPixel(p.x, p.y);
        const COLORREF got = onScreen(p) ? screenAt(p) : CLR_INVALID;
        std::printf("%-28s at (%4ld, %4ld): expected %06lX, screen %06lX\n", what, static_cast<long>(p.x),
                    static_cast<long>(p.y), static_cast<unsigned long>(want), static_cast<unsigned long>(got));
        if (want != got)
            ++failures;
    };
    POINT p;
    view.ProjectXYZ(&p, 3, 4, 4);
    expect("top of the red brick", p);
    view.ProjectXYZ(&p, 9, 4, 5);
    expect("top of the plate", p);
    view.ProjectXYZ(&p, 14, 14, 1);
    expect("baseplate stud", POINT{p.x, p.y + 2});
    expect("background", POINT{5, 5});
    expect("background", POINT{width - 5, height - 5});
    if (expected.GetPixel(5, 5) != RGB(150, 200, 250))
        ++failures;

    long differing = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (onScreen(POINT{x, y}) && screenAt(POINT{x, y}) != expected.GetPixel(x, y) &&
                !outline.PtInRegion(POINT{x, y}))
                ++differing;
    std::printf("pixels differing outside the selection outline: %ld of %ld\n", differing,
                static_cast<long>(width) * height);
    if (differing != 0)
        ++failures;
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    CBrickClassLibrary classes{CString(DIZADO_PROGRAM_FOLDER)};
    classes.LoadPalette();
    classes.ScanKits();
    SetBrickServices(&classes);
    int result = 2;
    if (argc == 3 && std::strcmp(argv[1], "model") == 0)
        result = MakeModel(argv[2]);
    else if (argc == 4 && std::strcmp(argv[1], "check") == 0)
        result = Check(argv[2], argv[3], RECT{0, 0, 0, 0});
    else if (argc == 8 && std::strcmp(argv[1], "check") == 0) {
        const int left = std::atoi(argv[4]), top = std::atoi(argv[5]);
        result = Check(argv[2], argv[3], RECT{left, top, left + std::atoi(argv[6]), top + std::atoi(argv[7])});
    }
    else
        std::fprintf(stderr, "usage: screen_check model PATH | check SHOT.ppm MODEL\n");
    SetBrickServices(nullptr);
    return result;
}
