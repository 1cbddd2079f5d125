#include "views/iso_brick_pane.h"

#include <algorithm>

#include "document/dizado_doc.h"
#include "foundation/notification_codes.h"
#include "model/brick.h"
#include "platform/gdi/dc.h"
#include "platform/ui/print.h"
#include "views/pane_walkers.h"

IMPLEMENT_DYNCREATE(CIsoBrickPane, CBrickPane)

BEGIN_MESSAGE_MAP(CIsoBrickPane, CBrickPane)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_NCCALCSIZE()
    ON_COMMAND(IDM_FILE_PRINT, OnFilePrint)
    ON_COMMAND(IDM_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

namespace {

// Division that sends every negative quotient one step further down:
// (n / d truncated) - 1 for n < 0, as the inverse projection has always done.
long long Quotient(long long n, long long d)
{
    return n / d - (n < 0 ? 1 : 0);
}

}  // namespace

CIsoBrickPane::CIsoBrickPane()
{
    ReloadBackground();
}

CIsoBrickPane::~CIsoBrickPane()
{
    FreeBackground();
}

int CIsoBrickPane::OnCreate(LPCREATESTRUCT createStruct)
{
    return CBrickPane::OnCreate(createStruct) == -1 ? -1 : 0;
}

void CIsoBrickPane::OnDestroy()
{
    CBrickPane::OnDestroy();
}

void CIsoBrickPane::OnSize(UINT type, int cx, int cy)
{
    CBrickPane::OnSize(type, cx, cy);
}

BOOL CIsoBrickPane::OnEraseBkgnd(CDC* dc)
{
    RECT clip;
    dc->GetClipBox(&clip);
    ValidateRect(&clip);
    return CBrickPane::OnEraseBkgnd(dc);
}

void CIsoBrickPane::OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params)
{
    RECT update;
    GetUpdateRect(&update, TRUE);
    CBrickPane::OnNcCalcSize(calcValidRects, params);
}

BOOL CIsoBrickPane::OnPreparePrinting(CPrintInfo* info)
{
    info->SetMinPage(1);
    info->SetMaxPage(1);
    info->m_nNumPreviewPages = 1;
    return CBrickPane::OnPreparePrinting(info);
}

void CIsoBrickPane::FreeBackground()
{
    if (m_hBackground)
        GlobalFree(m_hBackground);
    m_hBackground = nullptr;
}

void CIsoBrickPane::OnNotify(UINT senderId, UINT code, LPARAM data)
{
    if (senderId == NOTIFY_ID_DOCUMENT && code == NOTIFY_DOC_BKPICTURE_CHANGED) {
        ReloadBackground();
        InvalidateAll();
        return;
    }
    if (senderId == NOTIFY_ID_DOCUMENT && code == NOTIFY_DOC_BKTILE_CHANGED) {
        InvalidateAll();
        return;
    }
    CBrickPane::OnNotify(senderId, code, data);
}

void CIsoBrickPane::ProjectXYZ(POINT* out, int x, int y, int z)
{
    out->x = static_cast<LONG>(m_origin.x + 10LL * x - 10LL * y);
    out->y = static_cast<LONG>(m_origin.y - 5LL * x - 5LL * y - 6LL * z);
}

void CIsoBrickPane::ProjectPoint(POINT* out, const CPoint3D& p)
{
    ProjectXYZ(out, p.X(), p.Y(), p.Z());
}

void CIsoBrickPane::ProjectBox(RECT* out, const CBox3D& box)
{
    POINT p;
    ProjectPoint(&p, box.Min());
    const CSize3D s = box.Size();
    out->left = p.x - 10 * s.CY();
    out->right = p.x + 10 * s.CX();
    out->top = p.y - 5 * s.CX() - 5 * s.CY() - 6 * s.CZ();
    out->bottom = p.y;
}

void CIsoBrickPane::ScreenToGrid(CPoint3D* out, int x, int y, int value, int axis)
{
    // Worked in 32 bits and more: screen points far from the origin come back
    // as the grid point they lie over, wrapped only as a grid value wraps.
    const long long ox = m_origin.x;
    const long long oy = m_origin.y;
    const long long v = static_cast<SHORT>(value);
    switch (axis) {
    case 2: {
        const long long dx = x - ox;
        const long long dy = y - (oy - 6 * v);
        *out = CPoint3D(static_cast<int>(Quotient(5 * dx - 10 * dy, 100)),
                        static_cast<int>(Quotient(-5 * dx - 10 * dy, 100)), static_cast<int>(v));
        break;
    }
    case 1: {
        const long long dx = x - (ox - 10 * v);
        const long long dy = y - (oy - 5 * v);
        *out = CPoint3D(static_cast<int>(Quotient(6 * dx, 60)), static_cast<int>(v),
                        static_cast<int>(Quotient(-5 * dx - 10 * dy, 60)));
        break;
    }
    case 0: {
        // The plane of constant x, derived as the other two.
        const long long dx = x - (ox + 10 * v);
        const long long dy = y - (oy - 5 * v);
        *out = CPoint3D(static_cast<int>(v), static_cast<int>(Quotient(-6 * dx, 60)),
                        static_cast<int>(Quotient(5 * dx - 10 * dy, 60)));
        break;
    }
    default:
        *out = CPoint3D(0, 0, 0);
        break;
    }
}

void CIsoBrickPane::GetDepthBox(CBox3D* out, const CBox3D& box)
{
    const CPoint3D& m = box.Min();
    const CSize3D s = box.Size();
    const int a = 10 * m.X() - 10 * m.Y();
    const int b = 5 * m.X() + 5 * m.Y() + 6 * m.Z();
    const int uMin = a + 2 * b;
    const int uMax = uMin + 20 * s.CX() + 12 * s.CZ();
    const int vMax = a - 2 * b;
    const int vMin = vMax - 20 * s.CY() - 12 * s.CZ();
    const int wMin = a - 10 * s.CY();
    const int wMax = a + 10 * s.CX();
    *out = CBox3D(uMin, vMin, wMin, uMax, vMax, wMax);
}

BOOL CIsoBrickPane::InFront(const CBox3D& a, const CBox3D& b)
{
    if (a.Max().X() <= b.Min().X() || a.Max().Y() <= b.Min().Y() || b.Max().Z() <= a.Min().Z())
        return TRUE;
    if (!a.Overlaps(b))
        return FALSE;
    static constexpr BYTE kTable[27] = {1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 1, 0, 0, 1, 0, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0};
    const int sz = SignIndex(grid::Wrap(a.Max().Z() - b.Max().Z()));
    const int sy = SignIndex(grid::Wrap(a.Min().Y() - b.Min().Y()));
    const int sx = SignIndex(grid::Wrap(a.Min().X() - b.Min().X()));
    return kTable[9 * sz + 3 * sy + sx];
}

BOOL CIsoBrickPane::CompareDrawOrder(const CBox3D& a, const CBox3D& b)
{
    return InFront(a, b);
}

void CIsoBrickPane::ProjectCorners(POINT out[6], const CBox3D& box)
{
    const CPoint3D& lo = box.Min();
    const CPoint3D& hi = box.Max();
    ProjectXYZ(&out[0], hi.X(), hi.Y(), hi.Z());
    ProjectXYZ(&out[1], lo.X(), hi.Y(), hi.Z());
    ProjectXYZ(&out[2], lo.X(), hi.Y(), lo.Z());
    ProjectXYZ(&out[3], lo.X(), lo.Y(), lo.Z());
    ProjectXYZ(&out[4], hi.X(), lo.Y(), hi.Z());
    ProjectXYZ(&out[5], hi.X(), lo.Y(), lo.Z());
}

void CIsoBrickPane::BuildBrickRegion(CRegion* out, CBrick* brick)
{
    POINT corners[6];
    ProjectCorners(corners, brick->GetWorldBox());
    *out = brick->GetScreenRegion(corners);
}

CRegion CIsoBrickPane::BuildBoxRegion(const CBox3D& box)
{
    POINT p;
    ProjectPoint(&p, box.Min());
    const CSize3D s = box.Size();
    const POINT bottom = p;
    const POINT lowerLeft{bottom.x - 10 * s.CY(), bottom.y - 5 * s.CY()};
    const POINT upperLeft{lowerLeft.x, lowerLeft.y - 6 * s.CZ()};
    const POINT top{upperLeft.x + 10 * s.CX() - 2, upperLeft.y - 5 * s.CX() + 1};
    const POINT upperRight{top.x + 10 * s.CY(), top.y + 5 * s.CY()};
    const POINT lowerRight{upperRight.x, upperRight.y + 6 * s.CZ()};
    const POINT points[6] = {top, upperLeft, lowerLeft, bottom, upperRight, lowerRight};
    m_workRegion.SetPolygon(points);
    return m_workRegion;
}

void CIsoBrickPane::InvalidateBrick(CBrick* brick)
{
    if (!brick || !brick->GetListFlag())
        return;
    const CBox3D& box = brick->GetWorldBox();
    const CPoint3D& lo = box.Min();
    const CPoint3D& hi = box.Max();
    POINT points[6];
    ProjectXYZ(&points[0], hi.X(), hi.Y(), hi.Z());
    ProjectXYZ(&points[1], lo.X(), hi.Y(), hi.Z());
    ProjectXYZ(&points[2], lo.X(), hi.Y(), lo.Z());
    ProjectXYZ(&points[3], lo.X(), lo.Y(), lo.Z());
    ProjectXYZ(&points[4], hi.X(), lo.Y(), lo.Z());
    ProjectXYZ(&points[5], hi.X(), lo.Y(), hi.Z());
    points[0].y -= 1;
    points[1].y -= 1;
    points[5].y -= 1;
    WithClientDC([&points](CDC* dc) { dc->LPtoDP(points, 6); });
    RECT bounds{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const POINT& q : points) {
        bounds.left = std::min(bounds.left, q.x);
        bounds.top = std::min(bounds.top, q.y);
        bounds.right = std::max(bounds.right, q.x + 1);
        bounds.bottom = std::max(bounds.bottom, q.y + 1);
    }
    if (!InvalidateDevicePolygon(points, 6)) {
        InvalidateBrickRect(brick);
        return;
    }
    if (MeetsClient(bounds))
        m_bPaintPending = TRUE;
}

BOOL CIsoBrickPane::BuildListRegion(CRegion* region)
{
    if (!region->IsEmpty())
        region->Empty();
    CBrickRegionWalker walker(this, region);
    walker.Walk();
    return TRUE;
}
