// Defined in (views/):
//   brick_pane.cpp: creation, the document link, notifications, projection, hit test, regions, holds, capture
//   brick_pane_tools.cpp: the mouse: tools, tracked commands, the tool cursor, the new brick's outline
//   pane_drawing.cpp: painting, the background and baseplate, the preview, invalidation
//   fast_draw.cpp: DrawDizadoFast, the walkers' pixels by short cuts
//
// The base of every view of a model: a view that also listens to the model
// (sender id NOTIFY_ID_PANE). It holds the projection origin, the cursor brick with its
// outline, the blinking selection outline and the update holds, and declares
// the operations through which a concrete pane supplies its projection,
// regions, draw order and drawing. The isometric pane is the concrete one.
#pragma once

#include <functional>
#include <memory>

#include "document/preview.h"
#include "document/server_item.h"
#include "foundation/geometry3d.h"
#include "foundation/notifier.h"
#include "foundation/region.h"
#include "platform/core/types.h"
#include "platform/gdi/gdi_types.h"
#include "views/blinker.h"
#include "views/pane_extent.h"
#include "views/pane_window.h"

class CBrick;
class CBrickGroup;
class CDC;
class CDizadoDoc;
class CPalette;

class CBrickPane : public CPaneWindow, public CNotifier, public IPreviewSource, public IServerItemView {
    DECLARE_DYNAMIC(CBrickPane)
public:
    static constexpr int kDefaultOriginX = 220;
    static constexpr int kDefaultOriginY = 290;
    static constexpr int kOffscreenLimit = 256;
    static constexpr UINT kHelpContext = 0x1E140;

    // How the bricks are drawn. Both give the same pixels: the walkers walk
    // the whole tree for every brick; the fast way looks up the bricks in
    // front of each one in a screen grid and paints straight into the surface.
    enum class DrawMode { reference, fast };
    // The fast drawing's masks of brick regions, kept between paints.
    struct MaskCache;

    CBrickPane();
    ~CBrickPane() override;

    CDizadoDoc* GetDocument() const;
    CBrickGroup* GetBrickList() const;
    // Attaches the pane to a document as window creation does, without a window
    // (tests, benchmarks, servers): listeners registered, cursor brick set.
    BOOL AttachDocument(CDizadoDoc* document);

    void SetDrawMode(DrawMode mode) { m_drawMode = mode; }
    DrawMode GetDrawMode() const { return m_drawMode; }

    // The shared palette everything is drawn with; the application's unless set.
    void SetPalette(CPalette* palette) { m_pPalette = palette; }
    CPalette* GetPalette() const;

    // Milliseconds from the layer's monotonic clock.
    static DWORD TickCount();

    // --- Listener ---
    void OnNotify(UINT senderId, UINT code, LPARAM data) override;

    // --- Paint entry and drawing (pane_drawing.cpp) ---
    void OnDraw(CDC* dc) override;
    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;
    void InvalidateAll();
    void InvalidateLogicalRect(const RECT& rect, BOOL erase);
    RECT GetLogicalClientRect();
    void SetSelectionAfterPaint(BOOL on) { m_bSelectionAfterPaint = on; }
    // The preview picture: the paint entry without the selection outline.
    void GetPreviewClientRect(RECT* rect) override { GetPaneClientRect(rect); }
    void DrawPreview(CDC* dc) override;
    // The server item's picture: the bricks alone.
    void DrawItemBricks(CDC* dc, const RECT& rect) override { DrawDizado(dc, rect, 1, 0); }
    BOOL IsPaintPending() const { return m_bPaintPending; }

    // --- The pane's own operations, in the order a concrete pane may replace them ---
    virtual void UpdateOrigin();
    virtual void SetOrigin(int x, int y, BOOL redraw);
    virtual void DrawBackground(CDC* dc, const RECT& clip);
    virtual void DrawBaseplate(CDC* dc, const RECT& clip);
    virtual void DrawDizado(CDC* dc, const RECT& clip, SHORT filter, SHORT unused);
    virtual void DrawBrick(CBrick* brick, CDC* dc, const CRegion& paint);
    virtual void Redraw(CDC* dc, CBrickGroup* root);
    // The walk over every brick; the extent update asks the kept union,
    // which gives the same rectangle.
    virtual void GetDizadoRect(RECT* rect);
    RECT GetKeptDizadoRect() { return m_extent.Get(this); }
    virtual void UpdateChangedArea();
    virtual void HoldExtent(BOOL release);
    virtual BOOL HitTest(POINT point, CBrick** brick);
    virtual void SetExtent(const RECT& rect);
    virtual void GetDefaultPair(SHORT* mainAxis, SHORT* alternateAxis);
    // The mouse tools come with the edit commands; the hooks are here.
    virtual void OnSelectTool(POINT point, UINT keyFlags);
    virtual void OnPaintTool(POINT point, UINT keyFlags);
    virtual void OnNewBrickTool(POINT point, UINT keyFlags);
    virtual void OnEraseTool(POINT point, UINT keyFlags);
    virtual void XorCursorOutline();
    virtual void ShowCursorOutline(BOOL on);
    virtual void MoveCursorOutline(const CPoint3D& point, BOOL valid);
    virtual void TrackNewBrick(POINT point, UINT keyFlags);
    virtual void BeginCapture();
    virtual void EndCapture();
    virtual void TrackMarquee(POINT point, UINT keyFlags);
    virtual void TrackMove(POINT point, UINT keyFlags);
    virtual void RebuildAndRedraw();
    virtual void HoldRebuild(BOOL release);
    virtual void MoveBlinker(int dx, int dy);
    virtual void InvalidateBrick(CBrick* brick);
    virtual BOOL BuildListRegion(CRegion* region);
    virtual void OnBlinkTick();
    virtual BOOL CompareDrawOrder(const CBox3D& a, const CBox3D& b);
    virtual void ProjectXYZ(POINT* out, int x, int y, int z);
    virtual void ProjectPoint(POINT* out, const CPoint3D& point);
    virtual void ScreenToGrid(CPoint3D* out, int x, int y, int value, int axis);
    virtual void BuildBrickRegion(CRegion* out, CBrick* brick);
    virtual CRegion BuildBoxRegion(const CBox3D& box);
    virtual void ProjectBox(RECT* out, const CBox3D& box);
    virtual void GetDepthBox(CBox3D* out, const CBox3D& box);

    // --- State seen by tools, commands and tests ---
    POINT GetOrigin() const { return m_origin; }
    CBlinker& GetBlinker() { return m_blinker; }
    CBrick* GetCursorBrick() const { return m_pCursorBrick; }
    const CRegion& GetCursorRegion() const { return m_cursorBrickRegion; }
    const CRegion& GetCursorOutline() const { return m_cursorOutline; }
    POINT GetCursorAnchor() const { return m_cursorAnchor; }
    const CRegion& GetWorkRegion() const { return m_workRegion; }
    SHORT GetRebuildHolds() const { return m_nRebuildHolds; }
    SHORT GetExtentHolds() const { return m_nExtentHolds; }
    BOOL IsOutlineActive() const { return m_bOutlineActive; }
    BOOL IsOutlineDrawn() const { return m_bOutlineDrawn; }
    BOOL IsOutlineForced() const { return m_bOutlineForced; }

    // The base's brick invalidation: the box outline's bounding rectangle.
    void InvalidateBrickRect(CBrick* brick);

    // Printing: one page, the class library's preparation.
    BOOL OnPreparePrinting(CPrintInfo* info) override;
    void OnBeginPrinting(CDC* dc, CPrintInfo* info) override;
    void OnEndPrinting(CDC* dc, CPrintInfo* info) override;
    void OnInitialUpdate() override;
    void OnActivateView(BOOL activate, CView* activateView, CView* deactiveView) override;

protected:
    // Window messages.
    int OnCreate(LPCREATESTRUCT createStruct);
    void OnDestroy();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnKeyDown(UINT key, UINT repeatCount, UINT flags);
    LRESULT OnHelpHitTest(WPARAM wParam, LPARAM lParam);

    // What window creation does once the window exists, and its undoing.
    int OnCreatePane();
    void OnDestroyPane();

    // Follows one brick's change in the kept union of the bricks' rectangles.
    void KeepExtent(UINT code, const CBrick* brick);
    // The cursor brick follows the document's current class and orientation.
    void RebuildCursorBrick();
    // Reports a failure inside painting once per pane; painting goes on.
    void ReportPaintFailure();
    // Runs one layer of painting; a failure skips that layer only.
    void PaintLayer(const std::function<void()>& layer);
    void DrawDizadoFast(CDC* dc, const RECT& clip, SHORT filter);

    CDizadoDoc* m_pDocument = nullptr;
    POINT m_origin{kDefaultOriginX, kDefaultOriginY};
    POINT m_cursorAnchor{0, 0};
    CRegion m_workRegion;
    CBlinker m_blinker{100};
    CBrick* m_pCursorBrick = nullptr;
    CRegion m_cursorOutline;
    CRegion m_cursorBrickRegion;
    CPoint3D m_lastOutlinePoint;
    BOOL m_bOutlineActive = FALSE;
    BOOL m_bOutlineDrawn = FALSE;
    BOOL m_bOutlineForced = TRUE;
    SHORT m_nRebuildHolds = 0;
    SHORT m_nExtentHolds = 0;
    BOOL m_bSelectionAfterPaint = TRUE;
    BOOL m_bPaintPending = FALSE;

    CPaneExtent m_extent;
    DrawMode m_drawMode = DrawMode::fast;
    std::unique_ptr<MaskCache> m_maskCache;
    CPalette* m_pPalette = nullptr;
    BOOL m_bPaintFailureShown = FALSE;
    // What window creation registered, so that destruction undoes only that.
    BOOL m_bListensToGroup = FALSE;
    BOOL m_bListensToApp = FALSE;
    BOOL m_bListensToDocument = FALSE;

    DECLARE_MESSAGE_MAP()
};
