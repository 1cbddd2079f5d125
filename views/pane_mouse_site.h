// A brick pane as the mouse commands see it.
#pragma once

#include "document/mouse_pane.h"

class CBrickPane;

class CPaneMouseSite : public IMousePane {
public:
    explicit CPaneMouseSite(CBrickPane* pane) : m_pPane(pane) {}

    CDizadoDoc* GetMouseDocument() override;
    CWnd* GetMouseWindow() override;
    void PrepareMouseDC(CDC* dc) override;
    BOOL HitTest(POINT point, CBrick** brick) override;
    void ScreenToGrid(CPoint3D* out, int x, int y, int value, int axis) override;
    void ProjectPoint(POINT* out, const CPoint3D& point) override;
    BOOL BuildListRegion(CRegion* region) override;
    void MoveBlinker(int dx, int dy) override;
    void SelectInRect(const RECT& rect, BOOL extend) override;

private:
    CBrickPane* m_pPane;
};
