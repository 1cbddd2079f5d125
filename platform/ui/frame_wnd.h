// Frame windows: a top-level window whose client area a view fills. Commands
// reach the frame first and are routed to its active view (and through it to
// the document), then to the frame itself, then to the application.
#pragma once

#include "platform/ui/doc_template.h"
#include "platform/ui/wnd.h"

class CDocument;
class CView;

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd() = default;

    // A top-level window titled from the string resource `resourceId` (its
    // first field), or untitled, with the icon resource of that id when there
    // is one. The creation context makes the view.
    virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* parent = nullptr, CCreateContext* context = nullptr);
    // `rect` of all zeros picks a default size.
    BOOL Create(LPCTSTR className, LPCTSTR windowName, DWORD style = WS_OVERLAPPEDWINDOW,
                const RECT& rect = RECT{}, CWnd* parent = nullptr, LPCTSTR menuName = nullptr,
                DWORD exStyle = 0, CCreateContext* context = nullptr);

    CView* GetActiveView() const { return m_pViewActive; }
    // Tells both views through OnActivateView when `notify`.
    void SetActiveView(CView* view, BOOL notify = TRUE);
    virtual CDocument* GetActiveDocument();

    // Makes a view of the context's class as a child filling the client
    // area; null when it cannot be made.
    CWnd* CreateView(CCreateContext* context, UINT id = AFX_IDW_PANE_FIRST);
    // Makes the first view active, sends it (and every view of `document`)
    // OnInitialUpdate, and shows the frame when `makeVisible`.
    void InitialUpdateFrame(CDocument* document, BOOL makeVisible);
    virtual void ActivateFrame(int command = -1);
    // The view fills the client area.
    virtual void RecalcLayout();
    // "title - document" with FWS_ADDTOTITLE.
    virtual void OnUpdateFrameTitle(BOOL addToTitle);

    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;

protected:
    virtual BOOL OnCreateClient(LPCREATESTRUCT createStruct, CCreateContext* context);
    int OnCreate(LPCREATESTRUCT createStruct);
    void OnSize(UINT type, int cx, int cy);
    // Closing the frame closes its document when it is the document's last
    // frame, else destroys the frame.
    void OnClose();
    void OnSetFocus(CWnd* oldWnd);
    void PostNcDestroy() override;
    // The help commands go to the application's help (which has no engine).
    void OnHelp();
    void OnHelpIndex();
    void OnHelpUsing();
    void OnContextHelp();

    CView* m_pViewActive = nullptr;
    CString m_strTitle;

    DECLARE_MESSAGE_MAP()
};

namespace platform {

// The window layer's frames for the document templates: each document gets a
// frame of the template's frame class holding a view of its view class.
IDocumentFrames* WindowDocumentFrames();

}  // namespace platform
