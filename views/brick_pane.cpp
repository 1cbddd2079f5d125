#include "views/brick_pane.h"

#include "document/dizado_doc.h"
#include "foundation/notification_codes.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "model/brick_services.h"
#include "platform/core/hooks.h"
#include "platform/core/tick_count.h"
#include "platform/gdi/dc.h"
#include "platform/ui/app.h"
#include "platform/ui/print.h"
#include "views/mask_cache.h"
#include "views/pane_walkers.h"

IMPLEMENT_DYNAMIC(CBrickPane, CPaneWindow)

BEGIN_MESSAGE_MAP(CBrickPane, CPaneWindow)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
    ON_WM_KEYDOWN()
    ON_MESSAGE(WM_HELPHITTEST, OnHelpHitTest)
    ON_COMMAND(IDM_FILE_PRINT, OnFilePrint)
    ON_COMMAND(IDM_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

namespace {

constexpr UINT kVirtualKeyControl = 0x11;

}  // namespace

DWORD CBrickPane::TickCount()
{
    return GetTickCount();
}

int CBrickPane::OnCreate(LPCREATESTRUCT createStruct)
{
    if (CPaneWindow::OnCreate(createStruct) == -1)
        return -1;
    return OnCreatePane();
}

void CBrickPane::OnDestroy()
{
    CPaneWindow::OnDestroy();
    OnDestroyPane();
}

void CBrickPane::OnInitialUpdate()
{
    CPaneWindow::OnInitialUpdate();
}

void CBrickPane::OnActivateView(BOOL activate, CView* activateView, CView* deactiveView)
{
    CPaneWindow::OnActivateView(activate, activateView, deactiveView);
}

BOOL CBrickPane::OnPreparePrinting(CPrintInfo* info)
{
    return DoPreparePrinting(info);
}

void CBrickPane::OnBeginPrinting(CDC*, CPrintInfo*) {}
void CBrickPane::OnEndPrinting(CDC*, CPrintInfo*) {}

void CBrickPane::OnKeyDown(UINT key, UINT repeatCount, UINT flags)
{
    if (key == kVirtualKeyControl && repeatCount == 1 && GetParent())
        GetParent()->SendMessage(WM_KEYDOWN, key, static_cast<LPARAM>((repeatCount & 0xFFFF) | ((flags & 0xFFFF) << 16)));
    CPaneWindow::OnKeyDown(key, repeatCount, flags);
}

LRESULT CBrickPane::OnHelpHitTest(WPARAM, LPARAM)
{
    return kHelpContext;
}

CBrickPane::CBrickPane() : m_pCursorBrick(new CBrick(nullptr))
{
}

CBrickPane::~CBrickPane()
{
    OnDestroyPane();
    delete m_pCursorBrick;
}

CDizadoDoc* CBrickPane::GetDocument() const
{
    return m_pDocument;
}

CBrickGroup* CBrickPane::GetBrickList() const
{
    return m_pDocument ? m_pDocument->GetBrickList() : nullptr;
}

CPalette* CBrickPane::GetPalette() const
{
    return m_pPalette ? m_pPalette : GetBrickServices()->GetPalette();
}

BOOL CBrickPane::AttachDocument(CDizadoDoc* document)
{
    if (!document)
        return FALSE;
    if (GetDocument() != document && !CView::GetDocument())
        document->AddView(this);
    m_pDocument = document;
    m_extent.Forget();
    return OnCreatePane() == 0;
}

int CBrickPane::OnCreatePane()
{
    if (!m_pDocument)
        m_pDocument = dynamic_cast<CDizadoDoc*>(CView::GetDocument());
    if (!m_pDocument)
        return -1;
    SetNotifyId(NOTIFY_ID_PANE);
    if (!m_bListensToGroup) {
        m_pDocument->GetBrickList()->AddListener(this);
        m_bListensToGroup = TRUE;
    }
    if (!m_bListensToApp && GetApplicationNotifier()) {
        GetApplicationNotifier()->AddListener(this);
        m_bListensToApp = TRUE;
    }
    if (!m_bListensToDocument) {
        m_pDocument->AddListener(this);
        m_bListensToDocument = TRUE;
    }
    RebuildCursorBrick();
    return 0;
}

void CBrickPane::OnDestroyPane()
{
    // Only what creation registered is taken back: a creation that failed
    // halfway leaves nothing behind to remove.
    if (m_bListensToGroup && m_pDocument)
        m_pDocument->GetBrickList()->RemoveListener(this);
    if (m_bListensToApp && GetApplicationNotifier())
        GetApplicationNotifier()->RemoveListener(this);
    if (m_bListensToDocument && m_pDocument)
        m_pDocument->RemoveListener(this);
    m_bListensToGroup = m_bListensToApp = m_bListensToDocument = FALSE;
}

void CBrickPane::RebuildCursorBrick()
{
    if (!m_pDocument)
        return;
    SHORT classId = m_pDocument->GetCurrentBrickType();
    if (!GetBrickServices()->HasBrickClass(classId))
        classId = IDC_BUILTIN_CLASS;
    m_pCursorBrick->SetTypeField(classId);
    m_pCursorBrick->SetPoseField(0);
    m_pCursorBrick->SetOrientationField(static_cast<SHORT>(m_pDocument->GetCurrentOrientationIndex()));
    m_pCursorBrick->Recalc();
    m_pCursorBrick->ChangePosition(CPoint3D(0, 0, 0));
    // The outline is moved by the cursor brick's own region origin, whatever
    // bricks had their regions built since.
    BuildBrickRegion(&m_cursorBrickRegion, m_pCursorBrick);
    m_cursorAnchor = m_pCursorBrick->GetRegionOrigin();
    UpdateOrigin();
    m_bOutlineForced = TRUE;
}

void CBrickPane::OnNotify(UINT senderId, UINT code, LPARAM data)
{
    if (senderId == NOTIFY_ID_APP) {
        OnBlinkTick();
        return;
    }
    if (senderId == NOTIFY_ID_DOCUMENT && (code == NOTIFY_DOC_ORIENTATION_CHANGED || code == NOTIFY_DOC_CLASS_CHANGED)) {
        RebuildCursorBrick();
        return;
    }
    auto* brick = reinterpret_cast<CBrick*>(data);
    if (senderId == NOTIFY_ID_LIST)
        KeepExtent(code, brick);
    switch (code) {
    case NOTIFY_BRICK_CREATED:
    case NOTIFY_POSITION_CHANGED:
    case NOTIFY_CLASS_CHANGED:
    case NOTIFY_POSE_CHANGED:
    case NOTIFY_ORIENTATION_CHANGED:
        if (senderId == NOTIFY_ID_DOCUMENT)
            break;
        InvalidateBrick(brick);
        UpdateChangedArea();
        RebuildAndRedraw();
        break;
    case NOTIFY_BRICK_DELETING:
    case NOTIFY_BRICK_LEAVING:
    case NOTIFY_POSITION_CHANGING:
    case NOTIFY_CLASS_CHANGING:
    case NOTIFY_COLOR_CHANGING:
    case NOTIFY_POSE_CHANGING:
    case NOTIFY_ORIENTATION_CHANGING:
    case NOTIFY_VISIBLE_CHANGING:
    case NOTIFY_BRICK_BROADCAST:
        if (senderId != NOTIFY_ID_DOCUMENT)
            InvalidateBrick(brick);
        break;
    case NOTIFY_BRICK_LEFT:
        RebuildAndRedraw();
        UpdateChangedArea();
        break;
    case NOTIFY_SELECTED_CHANGED:
        RebuildAndRedraw();
        break;
    case NOTIFY_HOLD_REBUILD:
        if (data)
            HoldRebuild(*reinterpret_cast<const BOOL*>(data));
        break;
    case NOTIFY_HOLD_EXTENT:
        if (data)
            HoldExtent(*reinterpret_cast<const BOOL*>(data));
        break;
    case NOTIFY_DOC_BKCOLOR_CHANGED:
        InvalidateAll();
        break;
    default:
        break;
    }
}

void CBrickPane::KeepExtent(UINT code, const CBrick* brick)
{
    switch (code) {
    case NOTIFY_BRICK_CREATED:
    case NOTIFY_BRICK_JOINED:
    case NOTIFY_POSITION_CHANGED:
    case NOTIFY_CLASS_CHANGED:
    case NOTIFY_POSE_CHANGED:
    case NOTIFY_ORIENTATION_CHANGED:
        m_extent.Put(this, brick);
        break;
    case NOTIFY_BRICK_DELETING:
    case NOTIFY_BRICK_LEAVING:
        m_extent.Remove(brick);
        break;
    case NOTIFY_ROOT_DESTROYING:
        m_extent.Forget();
        break;
    default:
        break;
    }
}

void CBrickPane::HoldRebuild(BOOL release)
{
    m_nRebuildHolds = static_cast<SHORT>(m_nRebuildHolds + (release ? -1 : 1));
    if (m_nRebuildHolds == 0)
        RebuildAndRedraw();
}

void CBrickPane::HoldExtent(BOOL release)
{
    m_nExtentHolds = static_cast<SHORT>(m_nExtentHolds + (release ? -1 : 1));
    if (m_nExtentHolds == 0)
        UpdateChangedArea();
}

void CBrickPane::RebuildAndRedraw()
{
    if (m_nRebuildHolds != 0 || !m_pDocument)
        return;
    m_blinker.SetTarget(this, nullptr);
    // The walk below would find no selected brick.
    if (GetBrickList() && GetBrickList()->GetCachedSelectedDeep() == 0)
        return;
    CRegion region;
    CRegionUnionWalker walker(this, &region);
    walker.Walk();
    const RECT& r = region.GetBounds();
    if (!region.IsEmpty() && r.right > r.left && r.bottom > r.top) {
        m_blinker.SetTarget(this, &region);
        m_blinker.Show(TRUE, TRUE);
    }
}

void CBrickPane::MoveBlinker(int dx, int dy)
{
    m_blinker.Offset(dx, dy);
}

void CBrickPane::OnBlinkTick()
{
    m_blinker.OnTick();
    // The idle passes need not come back before the next flip.
    platform::IdleDue(m_blinker.UntilNextFlip());
}

void CBrickPane::UpdateOrigin()
{
    const CBox3D& box = m_pCursorBrick->GetWorldBox();
    RECT r;
    ProjectBox(&r, box);
    POINT p;
    ProjectPoint(&p, box.Min());
    const int l = m_cursorBrickRegion.GetLeft();
    const int t = m_cursorBrickRegion.GetTop();
    m_cursorBrickRegion.OffsetX(static_cast<SHORT>(-(l + p.x - r.left)));
    m_cursorBrickRegion.OffsetY(static_cast<SHORT>(-(t + p.y - r.top)));
}

void CBrickPane::SetOrigin(int x, int y, BOOL redraw)
{
    const bool moved = x != m_origin.x || y != m_origin.y;
    m_origin = POINT{x, y};
    // The outlines' screen places follow the origin: the cursor outline is
    // drawn at the next placement, the selection outline is built anew.
    m_bOutlineForced = TRUE;
    if (moved && m_pDocument)
        RebuildAndRedraw();
    if (redraw)
        InvalidateAll();
}

void CBrickPane::GetDizadoRect(RECT* rect)
{
    *rect = RECT{0, 0, 0, 0};
    if (!m_pDocument)
        return;
    CUnionBoundsWalker walker(this, rect);
    walker.Walk();
}

BOOL CBrickPane::HitTest(POINT point, CBrick** brick)
{
    *brick = nullptr;
    if (!m_pDocument)
        return FALSE;
    CHitTestWalker walker(this, brick, point);
    walker.Walk();
    return *brick != nullptr;
}

void CBrickPane::SetExtent(const RECT&) {}

void CBrickPane::GetDefaultPair(SHORT* mainAxis, SHORT* alternateAxis)
{
    *mainAxis = 2;
    *alternateAxis = 1;
}

void CBrickPane::XorCursorOutline()
{
    if (!m_cursorOutline.IsEmpty()) {
        WithDeviceDC([this](CDC* dc) { m_cursorOutline.DrawOutline(dc, static_cast<COLORREF>(-1), 2, RGB(0, 0, 0)); });
    }
    m_bOutlineDrawn = !m_bOutlineDrawn;
}

void CBrickPane::ShowCursorOutline(BOOL on)
{
    if ((on ? TRUE : FALSE) != m_bOutlineDrawn)
        XorCursorOutline();
    m_bOutlineActive = on ? TRUE : FALSE;
}

void CBrickPane::MoveCursorOutline(const CPoint3D& point, BOOL valid)
{
    if (!m_bOutlineActive)
        return;
    if (point == m_lastOutlinePoint && !m_bOutlineForced)
        return;
    if (m_bOutlineDrawn)
        XorCursorOutline();
    if (valid) {
        POINT s;
        ProjectPoint(&s, point);
        WithClientDC([&s](CDC* dc) { dc->LPtoDP(&s); });
        m_cursorOutline = m_cursorBrickRegion;
        m_cursorOutline.OffsetX(static_cast<SHORT>(m_cursorAnchor.x + s.x));
        m_cursorOutline.OffsetY(static_cast<SHORT>(m_cursorAnchor.y + s.y));
    } else {
        m_cursorOutline.Empty();
    }
    XorCursorOutline();
    m_lastOutlinePoint = point;
    m_bOutlineForced = FALSE;
}

void CBrickPane::BeginCapture()
{
    SetPaneCapture();
    ShowCursorOutline(TRUE);
}

void CBrickPane::EndCapture()
{
    ReleasePaneCapture();
    ShowCursorOutline(FALSE);
}

BOOL CBrickPane::BuildListRegion(CRegion*)
{
    return TRUE;
}

BOOL CBrickPane::CompareDrawOrder(const CBox3D&, const CBox3D&)
{
    return FALSE;
}

void CBrickPane::ProjectXYZ(POINT* out, int, int, int)
{
    *out = POINT{0, 0};
}

void CBrickPane::ProjectPoint(POINT* out, const CPoint3D&)
{
    *out = POINT{0, 0};
}

void CBrickPane::ScreenToGrid(CPoint3D* out, int, int, int, int)
{
    *out = CPoint3D(0, 0, 0);
}

void CBrickPane::BuildBrickRegion(CRegion* out, CBrick*)
{
    out->SetRect(0, 0, 2, 2);
}

CRegion CBrickPane::BuildBoxRegion(const CBox3D&)
{
    m_workRegion.SetRect(0, 0, 2, 2);
    return m_workRegion;
}

void CBrickPane::ProjectBox(RECT*, const CBox3D&) {}

void CBrickPane::GetDepthBox(CBox3D* out, const CBox3D&)
{
    *out = CBox3D();
}

void CBrickPane::ReportPaintFailure()
{
    if (m_bPaintFailureShown)
        return;
    m_bPaintFailureShown = TRUE;
    AfxMessageBox("The model could not be drawn completely.", MB_OK);
}

void CBrickPane::PaintLayer(const std::function<void()>& layer)
{
    try {
        layer();
    } catch (...) {
        ReportPaintFailure();
    }
}
