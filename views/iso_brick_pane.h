// The isometric pane, the view of the program's document: a step along x goes
// 10 right and 5 up on the screen, along y 10 left and 5 up, along z 6 up.
// It draws the background colour and picture, the studded baseplate and the
// bricks, each through the part that no brick in front of it covers.
#pragma once

#include "platform/core/global_memory.h"
#include "views/brick_pane.h"

class CIsoBrickPane : public CBrickPane {
    DECLARE_DYNCREATE(CIsoBrickPane)
public:
    CIsoBrickPane();
    ~CIsoBrickPane() override;

    void OnNotify(UINT senderId, UINT code, LPARAM data) override;

    void DrawBackground(CDC* dc, const RECT& clip) override;
    void DrawBaseplate(CDC* dc, const RECT& clip) override;
    void InvalidateBrick(CBrick* brick) override;
    BOOL BuildListRegion(CRegion* region) override;
    BOOL CompareDrawOrder(const CBox3D& a, const CBox3D& b) override;
    void ProjectXYZ(POINT* out, int x, int y, int z) override;
    void ProjectPoint(POINT* out, const CPoint3D& point) override;
    void ScreenToGrid(CPoint3D* out, int x, int y, int value, int axis) override;
    void BuildBrickRegion(CRegion* out, CBrick* brick) override;
    CRegion BuildBoxRegion(const CBox3D& box) override;
    void ProjectBox(RECT* out, const CBox3D& box) override;
    void GetDepthBox(CBox3D* out, const CBox3D& box) override;

    virtual void ReloadBackground();

    BOOL OnPreparePrinting(CPrintInfo* info) override;

    HGLOBAL GetBackgroundPicture() const { return m_hBackground; }
    const RECT& GetBackgroundRect() const { return m_backgroundRect; }

    // The occlusion relation without a pane: TRUE when a lies in front of b.
    static BOOL InFront(const CBox3D& a, const CBox3D& b);
    // The six corners of a box in the order regions take them: top, upper
    // left, lower left, bottom, upper right, lower right.
    void ProjectCorners(POINT out[6], const CBox3D& box);

protected:
    int OnCreate(LPCREATESTRUCT createStruct);
    void OnDestroy();
    void OnSize(UINT type, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params);

    DECLARE_MESSAGE_MAP()

private:
    void FreeBackground();

    HGLOBAL m_hBackground = nullptr;
    RECT m_backgroundRect{0, 0, 0, 0};
};

// A bitmap file read whole into a new movable block (everything after the
// 14-byte file header), or null when the file is missing, too large, or not a
// picture the program can draw safely.
HGLOBAL ReadDIBFile(const char* path);
// Draws a packed picture unscaled into the rectangle, from the source offset.
void DrawDIB(CDC* dc, HGLOBAL picture, const RECT& rect, const POINT* sourceOffset);
