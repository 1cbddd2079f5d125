// Views: windows that show one document. The document keeps the list of its
// views and tells them of changes through OnUpdate; the view draws in OnDraw,
// on the screen (OnPaint), on a printer page or into any context it is given.
#pragma once

#include "platform/ui/wnd.h"

class CDocument;
class CPrintInfo;

// Standard command ids the view handles.
constexpr UINT ID_FILE_PRINT = 0xE107;          // 57607
constexpr UINT ID_FILE_PRINT_DIRECT = 0xE108;
constexpr UINT ID_FILE_PRINT_PREVIEW = 0xE109;  // 57609

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CView() = default;
    // Leaves its document's list.
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }

    // Once the view and its document are ready, before it is first shown.
    // The default is OnUpdate(null, 0, null).
    virtual void OnInitialUpdate();

    // Draws the document into `dc`: the screen, a printer page, a picture.
    virtual void OnDraw(CDC* dc) = 0;
    // Sets up `dc` before drawing; `info` is given only when printing. The
    // default ends a job of unknown length after its first page.
    virtual void OnPrepareDC(CDC* dc, CPrintInfo* info = nullptr);

    // The document first, then the view's own map.
    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;

    // The frame makes this view active or not; the default does nothing.
    virtual void OnActivateView(BOOL activate, CView* activateView, CView* deactiveView);

    // --- Printing -----------------------------------------------------------
    // One print job: OnPreparePrinting (which normally calls
    // DoPreparePrinting), OnBeginPrinting, then per page OnPrepareDC and
    // OnPrint, then OnEndPrinting. The page is drawn by the view's own DC
    // code into a raster at the printer's resolution.
    virtual BOOL OnPreparePrinting(CPrintInfo* info);
    // Asks for the printer (the print dialog, unless the job is direct or a
    // preview) and fills in its page. FALSE when cancelled or no printer.
    BOOL DoPreparePrinting(CPrintInfo* info);
    virtual void OnBeginPrinting(CDC* dc, CPrintInfo* info);
    // The default calls OnDraw.
    virtual void OnPrint(CDC* dc, CPrintInfo* info);
    virtual void OnEndPrinting(CDC* dc, CPrintInfo* info);
    void OnFilePrint();
    void OnFilePrintPreview();

protected:
    // The document changed; `sender` is the view that changed it (or null).
    // The default invalidates the whole view.
    virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);

    // Adds the view to the creation context's document.
    int OnCreate(LPCREATESTRUCT createStruct);
    // Leaves the frame's active view.
    void OnDestroy();
    // A paint context, OnPrepareDC, OnDraw.
    void OnPaint();
    // Views are made with new by their frame and deleted with their window.
    void PostNcDestroy() override;

    CDocument* m_pDocument = nullptr;

    friend class CDocument;
    friend class CFrameWnd;

    DECLARE_MESSAGE_MAP()
};
