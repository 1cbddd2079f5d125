// What the mouse commands need of the pane they act in: its window, its
// projection and the inverse, hit testing and the outlines it builds. The
// brick panes supply it. The commands use it while they are made and while
// they track, never afterwards: undo and redo need only the model.
#pragma once

#include "foundation/geometry3d.h"
#include "platform/core/types.h"
#include "platform/gdi/gdi_types.h"

class CBrick;
class CDC;
class CDizadoDoc;
class CRegion;
class CWnd;

class IMousePane {
public:
    virtual ~IMousePane() = default;

    virtual CDizadoDoc* GetMouseDocument() = 0;
    // The window that captures the mouse and is drawn on; one without a made
    // window draws nowhere, and its drags end at the press.
    virtual CWnd* GetMouseWindow() = 0;
    // Puts the pane's logical units on a context of that window.
    virtual void PrepareMouseDC(CDC* dc) = 0;

    // Logical pane coordinates throughout.
    virtual BOOL HitTest(POINT point, CBrick** brick) = 0;
    // The grid point under (x, y) on the plane where coordinate `axis`
    // (0 x, 1 y, 2 z) equals `value`.
    virtual void ScreenToGrid(CPoint3D* out, int x, int y, int value, int axis) = 0;
    virtual void ProjectPoint(POINT* out, const CPoint3D& point) = 0;
    // The ground footprints of the selected moveable bricks.
    virtual BOOL BuildListRegion(CRegion* region) = 0;
    // Moves the blinking selection outline by a screen offset.
    virtual void MoveBlinker(int dx, int dy) = 0;
    // Selects what `rect` encloses (groups below the root as a whole), or with
    // `extend` toggles it; without `extend` deselects the rest.
    virtual void SelectInRect(const RECT& rect, BOOL extend) = 0;
};
