// The pane's side of editing with the mouse: a press of the left button
// becomes a command according to the document's current tool, tracking
// commands get the mouse until the release, and every command goes through
// the document's edit path (CDizadoDoc::Perform), which keeps it for undo and
// reports a failure. With the new-brick tool the outline of the brick a click
// would place follows the pointer.
#include <map>

#include "document/add_brick_command.h"
#include "document/dizado_doc.h"
#include "document/erase_brick_command.h"
#include "document/erase_group_command.h"
#include "document/marquee_command.h"
#include "document/move_command.h"
#include "document/paint_brick_command.h"
#include "document/pick_up_command.h"
#include "model/brick.h"
#include "platform/gdi/dc.h"
#include "platform/ui/cursor.h"
#include "views/brick_pane.h"
#include "views/pane_mouse_site.h"
#include "views/pane_walkers.h"

namespace {


// Tool cursors, loaded once each: a missing or damaged resource shows the arrow.
HCURSOR ToolCursor(UINT id)
{
    static std::map<UINT, HCURSOR> loaded;
    auto found = loaded.find(id);
    if (found == loaded.end()) {
        HCURSOR cursor = id ? LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(id)) : nullptr;
        if (!cursor)
            cursor = LoadCursor(nullptr, IDC_ARROW);
        found = loaded.emplace(id, cursor).first;
    }
    return found->second;
}

}  // namespace

// --- The pane as the commands see it --------------------------------------------------

CDizadoDoc* CPaneMouseSite::GetMouseDocument()
{
    return m_pPane->GetDocument();
}

CWnd* CPaneMouseSite::GetMouseWindow()
{
    return m_pPane;
}

void CPaneMouseSite::PrepareMouseDC(CDC* dc)
{
    m_pPane->OnPrepareDC(dc);
}

BOOL CPaneMouseSite::HitTest(POINT point, CBrick** brick)
{
    return m_pPane->HitTest(point, brick);
}

void CPaneMouseSite::ScreenToGrid(CPoint3D* out, int x, int y, int value, int axis)
{
    m_pPane->ScreenToGrid(out, x, y, value, axis);
}

void CPaneMouseSite::ProjectPoint(POINT* out, const CPoint3D& point)
{
    m_pPane->ProjectPoint(out, point);
}

BOOL CPaneMouseSite::BuildListRegion(CRegion* region)
{
    return m_pPane->BuildListRegion(region);
}

void CPaneMouseSite::MoveBlinker(int dx, int dy)
{
    m_pPane->MoveBlinker(dx, dy);
}

void CPaneMouseSite::SelectInRect(const RECT& rect, BOOL extend)
{
    CMarqueeSelectWalker walker(m_pPane, rect, extend);
    walker.Walk();
}

// --- Messages -----------------------------------------------------------------------------

void CBrickPane::OnLButtonDown(UINT flags, CPoint point)
{
    POINT logical = point;
    WithClientDC([&logical](CDC* dc) { dc->DPtoLP(&logical); });
    EndCapture();
    if (!m_pDocument)
        return;
    if ((flags & MK_SHIFT) && (flags & MK_CONTROL)) {
        // Never the undo record: it changes only the document's choices.
        CPaneMouseSite site(this);
        CPickUpCommand pickUp(&site, logical.x, logical.y);
        pickUp.Do();
        return;
    }
    switch (m_pDocument->GetCurrentTool()) {
    case IDM_TOOL_SELECT:
        OnSelectTool(logical, flags);
        break;
    case IDM_TOOL_PAINT:
        OnPaintTool(logical, flags);
        break;
    case IDM_TOOL_NEW_BRICK:
        OnNewBrickTool(logical, flags);
        break;
    case IDM_TOOL_ERASE:
        OnEraseTool(logical, flags);
        break;
    default:
        break;
    }
}

void CBrickPane::OnMouseMove(UINT flags, CPoint point)
{
    if (m_pDocument && m_pDocument->GetCurrentTool() == IDM_TOOL_NEW_BRICK) {
        POINT screen = point;
        ClientToScreen(&screen);
        RECT client;
        GetClientRect(&client);
        ClientToScreen(&client);
        const BOOL over = CWnd::WindowFromPoint(screen) == this && PtInRect(&client, screen);
        if (!m_bOutlineActive && over) {
            if (!m_bPaintPending)
                BeginCapture();
        } else if (m_bOutlineActive && !over) {
            EndCapture();
        }
        POINT logical = point;
        WithClientDC([&logical](CDC* dc) { dc->DPtoLP(&logical); });
        TrackNewBrick(logical, flags);
    } else if (m_bOutlineActive) {
        EndCapture();
    }
    CPaneWindow::OnMouseMove(flags, point);
}

BOOL CBrickPane::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
{
    if (hitTest != HTCLIENT || !m_pDocument)
        return CPaneWindow::OnSetCursor(wnd, hitTest, message);
    UINT id = m_pDocument->GetToolCursorId();
    if (!id) {
        // No tool chosen yet: the cursor of the tool the document starts with.
        switch (m_pDocument->GetCurrentTool()) {
        case IDM_TOOL_SELECT:
            id = IDC_TOOL_SELECT;
            break;
        case IDM_TOOL_PAINT:
            id = IDC_TOOL_PAINT;
            break;
        case IDM_TOOL_NEW_BRICK:
            id = IDC_TOOL_NEW_BRICK;
            break;
        case IDM_TOOL_ERASE:
            id = IDC_TOOL_ERASE;
            break;
        default:
            id = IDC_TOOL_OTHER;
            break;
        }
    }
    SetCursor(ToolCursor(id));
    return TRUE;
}

// --- Tools ---------------------------------------------------------------------------------

void CBrickPane::OnSelectTool(POINT point, UINT keyFlags)
{
    CBrick* brick = nullptr;
    if (HitTest(point, &brick) && brick) {
        if (brick->IsSelectableFlag())
            TrackMove(point, keyFlags);
        return;
    }
    TrackMarquee(point, keyFlags);
}

void CBrickPane::TrackMarquee(POINT point, UINT keyFlags)
{
    CPaneMouseSite site(this);
    m_pDocument->Perform([&] { return new CMarqueeCommand(&site, keyFlags); },
                         CDizadoDoc::Tracking(&site, point, keyFlags));
}

void CBrickPane::TrackMove(POINT point, UINT keyFlags)
{
    SHORT mainAxis = 2;
    SHORT alternateAxis = 1;
    GetDefaultPair(&mainAxis, &alternateAxis);
    CPaneMouseSite site(this);
    m_pDocument->Perform([&] { return new CMoveDizadoCommand(&site, keyFlags, mainAxis, alternateAxis); },
                         CDizadoDoc::Tracking(&site, point, keyFlags));
}

void CBrickPane::OnPaintTool(POINT point, UINT)
{
    CBrick* brick = nullptr;
    if (!HitTest(point, &brick) || !brick || !brick->GetColorableFlag())
        return;
    const LONG colour = m_pDocument->GetCurrentColorIndex();
    m_pDocument->Perform([brick, colour] { return new CPaintBrickCommand(brick, colour); });
}

void CBrickPane::OnNewBrickTool(POINT point, UINT keyFlags)
{
    m_blinker.Show(TRUE, TRUE);
    CPaneMouseSite site(this);
    m_pDocument->Perform(
        [&] {
            return new CAddBrickCommand(&site, point.x, point.y, keyFlags, m_pDocument->GetCurrentBrickType(),
                                        m_pDocument->GetCurrentColorIndex(), 0,
                                        static_cast<SHORT>(m_pDocument->GetCurrentOrientationIndex()));
        },
        CDizadoDoc::Tracking(&site, point, keyFlags));
}

void CBrickPane::OnEraseTool(POINT point, UINT)
{
    CBrick* brick = nullptr;
    if (!HitTest(point, &brick) || !brick)
        return;
    CBrickGroup* root = GetBrickList();
    if (CBrickGroup* outer = brick->GetOuterGroup())
        m_pDocument->Perform([root, outer] { return new CEraseGroupCommand(root, outer); });
    else
        m_pDocument->Perform([root, brick] { return new CEraseBrickCommand(root, brick); });
}

// --- The cursor outline --------------------------------------------------------------------

void CBrickPane::TrackNewBrick(POINT point, UINT)
{
    if (!m_pDocument || m_pDocument->GetCurrentTool() != IDM_TOOL_NEW_BRICK) {
        if (m_bOutlineDrawn)
            XorCursorOutline();
        return;
    }
    CBrick* brick = nullptr;
    CPoint3D g;
    if (HitTest(point, &brick) && brick) {
        const CBox3D& box = brick->GetWorldBox();
        ScreenToGrid(&g, point.x, point.y, box.Max().Z(), 2);
        MoveCursorOutline(g, box.Contains(g));
    } else {
        ScreenToGrid(&g, point.x, point.y, 0, 2);
        MoveCursorOutline(g, TRUE);
    }
}
