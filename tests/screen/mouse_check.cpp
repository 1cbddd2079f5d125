// The mouse test's helper. PANE is where the program shows its pane on the
// screen, as four numbers: left, top, width, height; the pane's origin is
// where the program puts it for that size.
//   model PATH                       an empty model over a sky-blue background, no baseplate
//   point PANE X Y Z                 the screen point over the middle of grid cell (X, Y) at height Z
//   verify MODEL X Y Z ...           the saved model holds exactly bricks of the program's own class
//                                    and colour 0 at those grid points, in that order
//   holds MODEL COLOUR X Y Z O ...   the saved model holds exactly bricks of one class other than the
//                                    program's own and of colour COLOUR, at those grid points and
//                                    orientations, in that order
//   classes MODEL                    the class of every brick of the saved model, in list order
//   check SHOT.ppm MODEL PANE PX PY  the screenshot shows, inside the pane, the model as the pane draws
//                                    it, apart from the blinking selection outline and the cursor
//                                    outline under the pointer at screen point (PX, PY)
#include <cstdio>
#include <cstdlib>
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

void PlacePane(CIsoBrickPane& pane, const RECT& place)
{
    const int width = place.right - place.left, height = place.bottom - place.top;
    pane.SetDrawingSize(width, height);
    pane.SetOrigin(width / 2, height / 8 * 7, FALSE);
}

// Four arguments from `at` on: left, top, width, height.
bool ReadPane(char** at, RECT& place)
{
    const int left = std::atoi(at[0]), top = std::atoi(at[1]), width = std::atoi(at[2]), height = std::atoi(at[3]);
    if (width <= 0 || height <= 0 || width > 10000 || height > 10000)
        return false;
    place = RECT{left, top, left + width, top + height};
    return true;
}

int MakeModel(const char* path)
{
    CDizadoDoc doc;
    doc.m_bAutoDelete = FALSE;
    COLORREF sky = RGB(150, 200, 250);
    doc.ChangeBackgroundColor(&sky);
    if (doc.IsBaseplateShown())
        doc.OnShowBaseplate();
    return doc.OnSaveDocument(path) ? 0 : 1;
}

int Point(const RECT& place, int x, int y, int z)
{
    CDizadoDoc doc;
    doc.m_bAutoDelete = FALSE;
    CIsoBrickPane pane;
    pane.AttachDocument(&doc);
    PlacePane(pane, place);
    POINT p;
    pane.ProjectXYZ(&p, x, y, z);
    std::printf("%ld %ld\n", static_cast<long>(p.x + place.left), static_cast<long>(p.y - 5 + place.top));
    return 0;
}

// Opens the saved model at PATH into DOC, or says it cannot.
bool OpenModel(CDizadoDoc& doc, const char* path)
{
    doc.m_bAutoDelete = FALSE;
    if (doc.OnOpenDocument(path))
        return true;
    std::fprintf(stderr, "mouse_check: cannot open %s\n", path);
    return false;
}

int Verify(const char* path, const std::vector<CPoint3D>& expected)
{
    CDizadoDoc doc;
    if (!OpenModel(doc, path))
        return 1;
    CBrickGroup* root = doc.GetBrickList();
    int failures = root->GetBrickCount() == static_cast<LONG>(expected.size()) ? 0 : 1;
    std::printf("bricks saved: %ld, expected %zu\n", static_cast<long>(root->GetBrickCount()), expected.size());
    for (LONG i = 0; i < root->GetBrickCount(); ++i) {
        const CBrick* brick = root->GetBrick(i);
        const CPoint3D& p = *brick->GetPositionPtr();
        const bool ok = static_cast<size_t>(i) < expected.size() && p == expected[static_cast<size_t>(i)] &&
                        brick->GetClassId() == IDC_BUILTIN_CLASS && brick->GetColorIndex() == 0;
        std::printf("brick %ld at (%d, %d, %d), class %d, colour %ld%s\n", static_cast<long>(i), p.X(), p.Y(), p.Z(),
                    brick->GetClassId(), static_cast<long>(brick->GetColorIndex()), ok ? "" : "  <- not expected");
        failures += ok ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}

struct Placed {
    CPoint3D at;
    SHORT orientation;
};

int Holds(const char* path, LONG colour, const std::vector<Placed>& expected)
{
    CDizadoDoc doc;
    if (!OpenModel(doc, path))
        return 1;
    CBrickGroup* root = doc.GetBrickList();
    int failures = root->GetBrickCount() == static_cast<LONG>(expected.size()) ? 0 : 1;
    std::printf("bricks saved: %ld, expected %zu\n", static_cast<long>(root->GetBrickCount()), expected.size());
    const SHORT chosen = root->GetBrickCount() > 0 ? root->GetBrick(0)->GetClassId() : 0;
    for (LONG i = 0; i < root->GetBrickCount(); ++i) {
        const CBrick* brick = root->GetBrick(i);
        const CPoint3D& p = *brick->GetPositionPtr();
        const size_t n = static_cast<size_t>(i);
        const bool ok = n < expected.size() && p == expected[n].at &&
                        brick->GetOrientation() == expected[n].orientation && brick->GetClassId() == chosen &&
                        chosen != IDC_BUILTIN_CLASS && brick->GetColorIndex() == colour;
        std::printf("brick %ld at (%d, %d, %d), class %d, colour %ld, orientation %d%s\n", static_cast<long>(i),
                    p.X(), p.Y(), p.Z(), brick->GetClassId(), static_cast<long>(brick->GetColorIndex()),
                    brick->GetOrientation(), ok ? "" : "  <- not expected");
        failures += ok ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}

int Classes(const char* path)
{
    CDizadoDoc doc;
    if (!OpenModel(doc, path))
        return 1;
    CBrickGroup* root = doc.GetBrickList();
    for (LONG i = 0; i < root->GetBrickCount(); ++i)
        std::printf("%s%d", i ? " " : "", root->GetBrick(i)->GetClassId());
    std::printf("\n");
    return 0;
}

int Check(const char* shotPath, const char* modelPath, const RECT& place, int pointerX, int pointerY)
{
    Picture shot;
    if (!ReadPpm(shotPath, shot)) {
        std::fprintf(stderr, "mouse_check: cannot read %s\n", shotPath);
        return 1;
    }
    CDizadoDoc doc;
    if (!OpenModel(doc, modelPath))
        return 1;
    CIsoBrickPane pane;
    pane.AttachDocument(&doc);
    PlacePane(pane, place);
    const int width = place.right - place.left, height = place.bottom - place.top;
    platform::Surface expected(width, height);
    CDC dc(&expected);
    pane.SetSelectionAfterPaint(FALSE);
    pane.OnDraw(&dc);
    const CRegion outline = pane.GetBlinker().GetRegion();
    pane.ShowCursorOutline(TRUE);
    pane.TrackNewBrick(POINT{pointerX - place.left, pointerY - place.top}, 0);
    RECT cursor = pane.GetCursorOutline().GetBounds();
    InflateRect(&cursor, 2, 2);

    // Pixels of the pane off the screen are not compared.
    long differing = 0;
    long brickPixels = 0;
    long compared = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const long sx = x + place.left, sy = y + place.top;
            if (sx < 0 || sy < 0 || sx >= shot.width || sy >= shot.height)
                continue;
            ++compared;
            const COLORREF want = expected.GetPixel(x, y);
            brickPixels += want != RGB(150, 200, 250);
            if (shot.At(static_cast<int>(sx), static_cast<int>(sy)) != want && !outline.PtInRegion(POINT{x, y}) &&
                !PtInRect(&cursor, POINT{x, y}))
                ++differing;
        }
    std::printf("pixels of bricks: %ld; pixels differing outside the outlines: %ld of %ld\n", brickPixels, differing,
                compared);
    return differing == 0 && brickPixels > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    CBrickClassLibrary classes{CString(DIZADO_PROGRAM_FOLDER)};
    classes.LoadPalette();
    classes.ScanKits();
    SetBrickServices(&classes);
    int result = 2;
    const std::string what = argc > 1 ? argv[1] : "";
    RECT place{};
    if (what == "model" && argc == 3) {
        result = MakeModel(argv[2]);
    } else if (what == "point" && argc == 9 && ReadPane(argv + 2, place)) {
        result = Point(place, std::atoi(argv[6]), std::atoi(argv[7]), std::atoi(argv[8]));
    } else if (what == "verify" && argc >= 3 && (argc - 3) % 3 == 0) {
        std::vector<CPoint3D> points;
        for (int i = 3; i < argc; i += 3)
            points.emplace_back(std::atoi(argv[i]), std::atoi(argv[i + 1]), std::atoi(argv[i + 2]));
        result = Verify(argv[2], points);
    } else if (what == "holds" && argc >= 4 && (argc - 4) % 4 == 0) {
        std::vector<Placed> placed;
        for (int i = 4; i < argc; i += 4)
            placed.push_back({CPoint3D(std::atoi(argv[i]), std::atoi(argv[i + 1]), std::atoi(argv[i + 2])),
                              static_cast<SHORT>(std::atoi(argv[i + 3]))});
        result = Holds(argv[2], std::atol(argv[3]), placed);
    } else if (what == "classes" && argc == 3) {
        result = Classes(argv[2]);
    } else if (what == "check" && argc == 10 && ReadPane(argv + 4, place)) {
        result = Check(argv[2], argv[3], place, std::atoi(argv[8]), std::atoi(argv[9]));
    } else {
        std::fprintf(stderr, "usage: mouse_check model|point|verify|holds|classes|check ...\n");
    }
    SetBrickServices(nullptr);
    return result;
}
