#include "document/place_command.h"

#include <climits>

#include "document/dizado_doc.h"
#include "document/mouse_pane.h"
#include "foundation/sound_player.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "model/brick_set_lists.h"
#include "platform/core/hooks.h"
#include "platform/gdi/dc.h"

namespace {

constexpr COLORREF kInvert = static_cast<COLORREF>(-1);
constexpr int kVirtualKeySpace = 0x20;

// The selected bricks of the drop; only the moveable ones move.
class CDraggedBrickList : public CNudgeBrickList {
public:
    explicit CDraggedBrickList(CBrickGroup* root) : CNudgeBrickList(root) {}

    BOOL AcceptBrickForApply(CBrick* brick, LPARAM) override { return brick->IsMoveableFlag(); }

    // Whether every moveable brick, moved by the offset, keeps its box on the
    // 16-bit grid.
    BOOL FitsGrid(const int offset[3]) const
    {
        for (int i = 0; i < GetSize(); ++i) {
            auto* brick = dynamic_cast<CBrick*>(GetAt(i));
            if (!brick || !brick->IsMoveableFlag())
                continue;
            const CBox3D& box = brick->GetWorldBox();
            for (int axis = 0; axis < 3; ++axis) {
                const int low = box.Min()[axis] + offset[axis];
                const int high = box.Max()[axis] + offset[axis];
                if (low < SHRT_MIN || high > SHRT_MAX)
                    return FALSE;
            }
        }
        return TRUE;
    }
};

CPoint3D OnGround(CPoint3D p)
{
    p.Z() = 0;
    return p;
}

}  // namespace

CPlaceDizadoCommand::CPlaceDizadoCommand(IMousePane* pane, WORD label, SHORT mainAxis, SHORT alternateAxis)
    : CDragCommand(label),
      m_pPane(pane),
      m_pRoot(pane->GetMouseDocument()->GetBrickList()),
      m_nMainAxis(mainAxis),
      m_nAlternateAxis(alternateAxis)
{
}

CPlaceDizadoCommand::~CPlaceDizadoCommand()
{
    delete m_pDraggedSet;
}

void CPlaceDizadoCommand::SelectClicked(UINT keyFlags, CBrick* brick)
{
    if (!brick)
        return;
    const BOOL shift = (keyFlags & 4) != 0;
    CPaneHold hold(m_pRoot, CPaneHold::rebuild);
    if (!brick->IsSelectedFlag() && !shift)
        m_pRoot->SelectAll(FALSE);
    CBrickGroup* outer = brick->GetOuterGroup();
    if (!outer) {
        if (!shift)
            brick->SetSelected(brick->IsSelectableFlag());
        else
            brick->SetSelected(!brick->IsSelectedFlag() && brick->IsSelectableFlag());
        return;
    }
    if (!shift)
        outer->SelectAll(TRUE);
    else
        outer->SelectAll(!outer->HasSelection());
}

SHORT CPlaceDizadoCommand::AxisNow(BOOL async) const
{
    const SHORT state = async ? GetAsyncKeyState(kVirtualKeySpace) : GetKeyState(kVirtualKeySpace);
    return (state & 0x8000) ? m_nAlternateAxis : m_nMainAxis;
}

void CPlaceDizadoCommand::BeginDrag(CDC* dc, int x, int y)
{
    CDragCommand::BeginDrag(dc, x, y);
    m_pPane->ScreenToGrid(&m_startGrid, x, y, 0, m_nMainAxis);
    m_currentGrid = m_startGrid;
    m_pPane->BuildListRegion(&m_outline);
    m_pDC = dc;
    m_outline.FillRows(m_pDC, kInvert);
}

void CPlaceDizadoCommand::DragTo(int x, int y, int, int, int, int)
{
    const SHORT axis = AxisNow(TRUE);
    CPoint3D next;
    m_pPane->ScreenToGrid(&next, x, y, m_currentGrid[axis], axis);
    if (next == m_currentGrid)
        return;
    POINT a;
    POINT b;
    m_pPane->ProjectPoint(&a, next);
    m_pPane->ProjectPoint(&b, m_currentGrid);
    m_pPane->MoveBlinker(a.x - b.x, a.y - b.y);
    // The footprint stays on the ground while the bricks go up and down.
    m_pPane->ProjectPoint(&a, OnGround(next));
    m_pPane->ProjectPoint(&b, OnGround(m_currentGrid));
    if (a.x != b.x || a.y != b.y) {
        m_outline.FillRows(m_pDC, kInvert);
        m_outline.OffsetX(static_cast<SHORT>(a.x - b.x));
        m_outline.OffsetY(static_cast<SHORT>(a.y - b.y));
        m_outline.FillRows(m_pDC, kInvert);
    }
    m_currentGrid = next;
}

void CPlaceDizadoCommand::EndDrag(int x, int y, int lastX, int lastY, int startX, int startY)
{
    CDragCommand::EndDrag(x, y, lastX, lastY, startX, startY);
    DragTo(x, y, lastX, lastY, startX, startY);
    m_outline.FillRows(m_pDC, kInvert);
    const SHORT axis = AxisNow(FALSE);
    m_pPane->ScreenToGrid(&m_endGrid, x, y, m_currentGrid[axis], axis);
    const int offset[3] = {m_endGrid.X() - m_startGrid.X(), m_endGrid.Y() - m_startGrid.Y(),
                           m_endGrid.Z() - m_startGrid.Z()};
    if (offset[0] == 0 && offset[1] == 0 && offset[2] == 0)
        return;
    auto* set = new CDraggedBrickList(m_pRoot);
    set->Collect(0);
    // A drop that would carry a brick off the grid is refused as a bad click
    // is, rather than wrapped to the far side of the model.
    if (!set->FitsGrid(offset)) {
        delete set;
        MessageBeep(0);
        return;
    }
    m_pDraggedSet = set;
    m_offset = CPoint3D(offset[0], offset[1], offset[2]);
    ApplyOffset(m_offset);
    m_offset = CPoint3D() - m_offset;
}

void CPlaceDizadoCommand::ApplyOffset(const CPoint3D&)
{
    if (!m_pDraggedSet)
        return;
    {
        CPaneHold hold(m_pRoot);
        m_pDraggedSet->ApplyAll(reinterpret_cast<LPARAM>(&m_offset));
    }
    PlaySoundEffect("clik");
}

void CPlaceDizadoCommand::Toggle()
{
    CDragCommand::Toggle();
    if (m_offset != CPoint3D()) {
        ApplyOffset(m_offset);
        m_offset = CPoint3D() - m_offset;
    }
}
