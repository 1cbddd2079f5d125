// What the select tool's drag of bricks and the new-brick tool share: the
// click selection rule, mouse positions mapped to grid points on a plane, the
// inverted ground outline that follows the mouse, and the move of the selected
// bricks by the offset between press and release, which is also the undo.
#pragma once

#include "document/drag_command.h"
#include "foundation/geometry3d.h"
#include "foundation/region.h"

class CBrick;
class CBrickGroup;
class CDizadOet;

class CPlaceDizadoCommand : public CDragCommand {
public:
    // The axes name the coordinate that stays fixed while the mouse moves,
    // and the one that does while Space is held.
    CPlaceDizadoCommand(IMousePane* pane, WORD label, SHORT mainAxis, SHORT alternateAxis);
    ~CPlaceDizadoCommand() override;

    // Selects or, with Shift (bit 4), toggles the brick, or its outermost
    // group below the root as a whole. Nothing for null.
    virtual void SelectClicked(UINT keyFlags, CBrick* brick);
    // Moves the dragged set's moveable bricks by the stored offset.
    virtual void ApplyOffset(const CPoint3D& offset);

    void Toggle() override;
    void BeginDrag(CDC* dc, int x, int y) override;
    void DragTo(int x, int y, int lastX, int lastY, int startX, int startY) override;
    void EndDrag(int x, int y, int lastX, int lastY, int startX, int startY) override;

    const CPoint3D& GetStartGrid() const { return m_startGrid; }
    const CPoint3D& GetCurrentGrid() const { return m_currentGrid; }
    const CPoint3D& GetEndGrid() const { return m_endGrid; }
    // Minus the applied offset after the drop; zero for a drop that moved nothing.
    const CPoint3D& GetOffset() const { return m_offset; }
    const CRegion& GetOutline() const { return m_outline; }

protected:
    // The plane's axis: the alternate one while Space is down.
    SHORT AxisNow(BOOL async) const;

    IMousePane* m_pPane;
    CBrickGroup* m_pRoot;
    CPoint3D m_startGrid;
    CPoint3D m_currentGrid;
    CPoint3D m_endGrid;
    CPoint3D m_offset;
    CRegion m_outline;
    CDizadOet* m_pDraggedSet = nullptr;
    SHORT m_nMainAxis;
    SHORT m_nAlternateAxis;
    CDC* m_pDC = nullptr;
};
