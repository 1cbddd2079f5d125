// The narrow list at the right of the kid frame from which the child picks
// the kind of brick to place: one row per brick class, showing its preview,
// grouped by kit name and ordered by class id.
#pragma once

#include "platform/ui/controls.h"

class CBrickListBox : public CListBox {
    DECLARE_DYNCREATE(CBrickListBox)
public:
    static constexpr int kNoPreviewHeight = 20;

    CBrickListBox() = default;

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    void MeasureItem(LPMEASUREITEMSTRUCT measureItem) override;
    int CompareItem(LPCOMPAREITEMSTRUCT compareItem) override;

protected:
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnHelpHitTest(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
