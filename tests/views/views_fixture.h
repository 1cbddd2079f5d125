// The fixture of the pane tests: the shipped kit and palette as the program
// loads them, a document, an isometric pane attached to it without a window,
// and a surface to draw on.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "document/dizado_doc.h"
#include "model/brick.h"
#include "model/brick_class_library.h"
#include "model/brick_group.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"
#include "views/iso_brick_pane.h"

namespace viewstest {

// Records what the pane invalidates, in device units.
class RecordingPane : public CIsoBrickPane {
public:
    void InvalidateDeviceRect(const RECT* rect, BOOL) override
    {
        rects.push_back(rect ? *rect : RECT{-1, -1, -1, -1});
    }
    BOOL InvalidateDevicePolygon(const POINT* points, int count) override
    {
        polygons.emplace_back(points, points + count);
        return TRUE;
    }
    std::vector<RECT> rects;
    std::vector<std::vector<POINT>> polygons;
};

class PaneTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 480;
    static constexpr int kHeight = 360;

    void SetUp() override
    {
        library.ScanKits();
        library.LoadPalette();
        SetBrickServices(&library);
        doc.m_bAutoDelete = FALSE;  // the fixture owns it
        pane.SetDrawingSize(kWidth, kHeight);
        ASSERT_TRUE(pane.AttachDocument(&doc));
    }
    void TearDown() override
    {
        SetBrickServices(nullptr);
    }

    CBrickGroup* Root() { return doc.GetBrickList(); }
    CBrick* Add(int x, int y, int z, SHORT classId = 2009, LONG colour = 1, SHORT orientation = 0,
                CBrickGroup* group = nullptr)
    {
        return CBrick::Make(group ? group : Root(), CPoint3D(x, y, z), classId, colour, 0, orientation);
    }

    // The whole pane drawn as it paints, in the given mode.
    platform::Surface Paint(CBrickPane::DrawMode mode, const RECT* clip = nullptr)
    {
        platform::Surface surface(kWidth, kHeight, RGB(1, 2, 3));
        CDC dc(&surface);
        if (clip)
            dc.IntersectClipRect(clip);
        pane.SetDrawMode(mode);
        pane.OnDraw(&dc);
        return surface;
    }

    static bool SamePixels(const platform::Surface& a, const platform::Surface& b)
    {
        return a.Width() == b.Width() && a.Height() == b.Height() &&
               std::memcmp(a.Bits(), b.Bits(), sizeof(uint32_t) * a.Width() * a.Height()) == 0;
    }

    CBrickClassLibrary library{CString(DIZADO_PROGRAM_FOLDER)};
    CDizadoDoc doc;
    RecordingPane pane;
};

}  // namespace viewstest
