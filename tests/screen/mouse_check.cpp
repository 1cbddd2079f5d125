// The mouse test's helper, for a program maximised on a screen without
// decorations, its pane's origin where the program puts it.
//   model PATH                  an empty model over a sky-blue background, no baseplate
//   point W H X Y Z             the screen point over the middle of grid cell (X, Y) at height Z
//   close WINDOW                asks the window to close, as a window manager's close button does
//   verify MODEL X Y Z ...      the saved model holds exactly bricks of the program's own class
//                               and colour 0 at those grid points, in that order
//   check SHOT.ppm MODEL PX PY  the screenshot shows the model as the pane draws it, apart from
//                               the blinking selection outline and the cursor outline at (PX, PY)
#include <xcb/xcb.h>

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
#include "views/iso_brick_pane.h"

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    COLORREF At(int x, int y) const
    {
        const size_t i = 3 * (static_cast<size_t>(y) * width + x);
        return RGB(rgb[i], rgb[i + 1], rgb[i + 2]);
    }
};

// A binary PPM (P6) of 8 or 16 bits a sample.
bool ReadPpm(const char* path, Picture& picture)
{
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> picture.width >> picture.height >> maxval;
    in.get();
    if (magic != "P6" || (maxval != 255 && maxval != 65535) || picture.width <= 0 || picture.height <= 0 ||
        picture.width > 10000 || picture.height > 10000)
        return false;
    const size_t samples = 3 * static_cast<size_t>(picture.width) * picture.height;
    const size_t bytes = maxval == 255 ? 1 : 2;
    std::vector<unsigned char> raw(samples * bytes);
    in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size()));
    if (static_cast<size_t>(in.gcount()) != raw.size())
        return false;
    picture.rgb.resize(samples);
    for (size_t i = 0; i < samples; ++i)
        picture.rgb[i] = raw[i * bytes];
    return true;
}

void PlacePane(CIsoBrickPane& pane, int width, int height)
{
    pane.SetDrawingSize(width, height);
    pane.SetOrigin(width / 2, height / 8 * 7, FALSE);
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

int Point(int width, int height, int x, int y, int z)
{
    CDizadoDoc doc;
    doc.m_bAutoDelete = FALSE;
    CIsoBrickPane pane;
    pane.AttachDocument(&doc);
    PlacePane(pane, width, height);
    POINT p;
    pane.ProjectXYZ(&p, x, y, z);
    std::printf("%ld %ld\n", static_cast<long>(p.x), static_cast<long>(p.y - 5));
    return 0;
}

int Close(unsigned long window)
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "mouse_check: no X server\n");
        return 1;
    }
    const auto atom = [connection](const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    };
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = static_cast<xcb_window_t>(window);
    event.type = atom("WM_PROTOCOLS");
    event.data.data32[0] = atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, event.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
    xcb_disconnect(connection);
    return 0;
}

int Verify(const char* path, const std::vector<CPoint3D>& expected)
{
    CDizadoDoc doc;
    doc.m_bAutoDelete = FALSE;
    if (!doc.OnOpenDocument(path)) {
        std::fprintf(stderr, "mouse_check: cannot open %s\n", path);
        return 1;
    }
    CBrickGroup* root = doc.GetBrickList();
    int failures = root->GetBrickCount() == static_cast<LONG>(expected.size()) ? 0 : 1;
    std::printf("bricks saved: %ld, expected %zu\n", static_cast<long>(root->GetBrickCount()), expected.size());
    for (LONG i = 0; i < root->GetBrickCount(); ++i) {
        const CBrick* brick = root->GetBrick(i);
        const CPoint3D& p = *brick->GetPositionPtr();
        const bool ok = static_cast<size_t>(i) < expected.size() && p == expected[static_cast<size_t>(i)] &&
                        brick->GetClassId() == CBrick::kDefaultType && brick->GetColorIndex() == 0;
        std::printf("brick %ld at (%d, %d, %d), class %d, colour %ld%s\n", static_cast<long>(i), p.X(), p.Y(), p.Z(),
                    brick->GetClassId(), static_cast<long>(brick->GetColorIndex()), ok ? "" : "  <- not expected");
        failures += ok ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}

int Check(const char* shotPath, const char* modelPath, int pointerX, int pointerY)
{
    Picture shot;
    if (!ReadPpm(shotPath, shot)) {
        std::fprintf(stderr, "mouse_check: cannot read %s\n", shotPath);
        return 1;
    }
    CDizadoDoc doc;
    doc.m_bAutoDelete = FALSE;
    if (!doc.OnOpenDocument(modelPath)) {
        std::fprintf(stderr, "mouse_check: cannot open %s\n", modelPath);
        return 1;
    }
    CIsoBrickPane pane;
    pane.AttachDocument(&doc);
    PlacePane(pane, shot.width, shot.height);
    platform::Surface expected(shot.width, shot.height);
    CDC dc(&expected);
    pane.SetSelectionAfterPaint(FALSE);
    pane.OnDraw(&dc);
    const CRegion outline = pane.GetBlinker().GetRegion();
    pane.ShowCursorOutline(TRUE);
    pane.TrackNewBrick(POINT{pointerX, pointerY}, 0);
    RECT cursor = pane.GetCursorOutline().GetBounds();
    InflateRect(&cursor, 2, 2);

    long differing = 0;
    long brickPixels = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const COLORREF want = expected.GetPixel(x, y);
            brickPixels += want != RGB(150, 200, 250);
            if (shot.At(x, y) != want && !outline.PtInRegion(POINT{x, y}) && !PtInRect(&cursor, POINT{x, y}))
                ++differing;
        }
    std::printf("pixels of bricks: %ld; pixels differing outside the outlines: %ld of %ld\n", brickPixels, differing,
                static_cast<long>(shot.width) * shot.height);
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
    if (what == "model" && argc == 3) {
        result = MakeModel(argv[2]);
    } else if (what == "point" && argc == 7) {
        result = Point(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]),
                       std::atoi(argv[6]));
    } else if (what == "close" && argc == 3) {
        result = Close(std::strtoul(argv[2], nullptr, 0));
    } else if (what == "verify" && argc >= 3 && (argc - 3) % 3 == 0) {
        std::vector<CPoint3D> points;
        for (int i = 3; i < argc; i += 3)
            points.emplace_back(std::atoi(argv[i]), std::atoi(argv[i + 1]), std::atoi(argv[i + 2]));
        result = Verify(argv[2], points);
    } else if (what == "check" && argc == 6) {
        result = Check(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]));
    } else {
        std::fprintf(stderr, "usage: mouse_check model|point|close|verify|check ...\n");
    }
    SetBrickServices(nullptr);
    return result;
}
