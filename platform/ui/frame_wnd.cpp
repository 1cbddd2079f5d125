#include "platform/ui/frame_wnd.h"

#include <algorithm>
#include <vector>

#include "platform/ui/app.h"
#include "platform/ui/cursor.h"
#include "platform/ui/document.h"
#include "platform/ui/view.h"
#include "platform/ui/win_app.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_WM_SETFOCUS()
    ON_COMMAND(ID_HELP, OnHelp)
    ON_COMMAND(ID_HELP_INDEX, OnHelpIndex)
    ON_COMMAND(ID_HELP_USING, OnHelpUsing)
    ON_COMMAND(ID_CONTEXT_HELP, OnContextHelp)
END_MESSAGE_MAP()

namespace {

constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;

}  // namespace

namespace {

// The help engine's commands (HELP_CONTEXT, HELP_INDEX, HELP_HELPONHELP).
constexpr UINT kHelpContext = 0x0001;
constexpr UINT kHelpIndex = 0x0003;
constexpr UINT kHelpOnHelp = 0x0004;

void AskHelp(DWORD_PTR data, UINT command)
{
    if (CWinApp* app = AfxGetApp())
        app->WinHelp(data, command);
}

}  // namespace

void CFrameWnd::OnHelp()
{
    AskHelp(0, kHelpIndex);
}

void CFrameWnd::OnHelpIndex()
{
    AskHelp(0, kHelpIndex);
}

void CFrameWnd::OnHelpUsing()
{
    AskHelp(0, kHelpOnHelp);
}

void CFrameWnd::OnContextHelp()
{
    AskHelp(0, kHelpContext);
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context)
{
    CString title;
    if (resourceId && title.LoadString(resourceId)) {
        const int newline = title.Find('\n');
        if (newline >= 0)
            title = title.Left(newline);
    }
    m_strTitle = title;
    if (!Create(nullptr, title, style, RECT{}, parent, nullptr, 0, context))
        return FALSE;
    // The frame's icon is the icon resource of the same id, when there is one.
    if (resourceId)
        if (HICON icon = LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(resourceId)))
            SetIcon(icon, TRUE);
    return TRUE;
}

BOOL CFrameWnd::Create(LPCTSTR className, LPCTSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                       LPCTSTR, DWORD, CCreateContext* context)
{
    if (windowName)
        m_strTitle = windowName;
    RECT place = rect;
    if (IsRectEmpty(&place))
        place = RECT{0, 0, kDefaultWidth, kDefaultHeight};
    return CWnd::Create(className, windowName, style & ~WS_CHILD, place, parent, 0, context);
}

int CFrameWnd::OnCreate(LPCREATESTRUCT createStruct)
{
    if (CWnd::OnCreate(createStruct) == -1)
        return -1;
    auto* context = createStruct ? static_cast<CCreateContext*>(createStruct->lpCreateParams) : nullptr;
    if (!OnCreateClient(createStruct, context))
        return -1;
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* context)
{
    if (context && context->m_pNewViewClass)
        return CreateView(context) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* context, UINT id)
{
    if (!context || !context->m_pNewViewClass || !context->m_pNewViewClass->IsDerivedFrom(RUNTIME_CLASS(CWnd)))
        return nullptr;
    CObject* object = context->m_pNewViewClass->CreateObject();
    auto* view = dynamic_cast<CWnd*>(object);
    if (!view) {
        delete object;
        return nullptr;
    }
    RECT client;
    GetClientRect(&client);
    // A view that cannot be made has deleted itself (PostNcDestroy).
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, client, this, id, context))
        return nullptr;
    return view;
}

void CFrameWnd::SetActiveView(CView* view, BOOL notify)
{
    CView* previous = m_pViewActive;
    if (view == previous)
        return;
    m_pViewActive = view;
    if (notify && previous)
        previous->OnActivateView(FALSE, view, previous);
    if (notify && view) {
        view->OnActivateView(TRUE, view, previous);
        view->SetFocus();
    }
}

CDocument* CFrameWnd::GetActiveDocument()
{
    return m_pViewActive ? m_pViewActive->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument* document, BOOL makeVisible)
{
    // The frame's first view of the document becomes the active one.
    if (!m_pViewActive && document) {
        for (POSITION position = document->GetFirstViewPosition(); position;) {
            CView* view = document->GetNextView(position);
            if (view->GetParentFrame() == this) {
                SetActiveView(view, FALSE);
                break;
            }
        }
    }
    if (document) {
        std::vector<CView*> views;
        for (POSITION position = document->GetFirstViewPosition(); position;)
            views.push_back(document->GetNextView(position));
        for (CView* view : views)
            if (view->GetParentFrame() == this && view->GetDocument() == document)
                view->OnInitialUpdate();
    }
    OnUpdateFrameTitle(TRUE);
    if (makeVisible) {
        ActivateFrame();
        if (m_pViewActive)
            m_pViewActive->OnActivateView(TRUE, m_pViewActive, m_pViewActive);
    }
}

void CFrameWnd::ActivateFrame(int command)
{
    ShowWindow(command == -1 ? SW_SHOW : command);
}

void CFrameWnd::RecalcLayout()
{
    RECT client;
    GetClientRect(&client);
    if (m_pViewActive && m_pViewActive->GetSafeHwnd())
        m_pViewActive->MoveWindow(&client, TRUE);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL addToTitle)
{
    CDocument* document = GetActiveDocument();
    if (addToTitle && document && !document->GetTitle().IsEmpty())
        SetWindowText(m_strTitle.IsEmpty() ? document->GetTitle() : m_strTitle + " - " + document->GetTitle());
    else
        SetWindowText(m_strTitle);
}

BOOL CFrameWnd::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    // The active view (and through it the document), the frame, the application.
    if (m_pViewActive && m_pViewActive->OnCmdMsg(id, code, extra, handlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(id, code, extra, handlerInfo))
        return TRUE;
    CWinThread* application = AfxGetThread();
    return application && application->OnCmdMsg(id, code, extra, handlerInfo);
}

void CFrameWnd::OnSize(UINT type, int cx, int cy)
{
    CWnd::OnSize(type, cx, cy);
    RecalcLayout();
}

void CFrameWnd::OnClose()
{
    CDocument* document = GetActiveDocument();
    if (document && !document->SaveModified())
        return;
    if (document && platform::GetDocumentFrames()) {
        // Closing the document destroys its frames, this one among them:
        // nothing of this object may be touched afterwards.
        document->OnCloseDocument();
        return;
    }
    DestroyWindow();
}

void CFrameWnd::OnSetFocus(CWnd* oldWnd)
{
    if (m_pViewActive && m_pViewActive->GetSafeHwnd())
        m_pViewActive->SetFocus();
    else
        CWnd::OnSetFocus(oldWnd);
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}

// --- Frames of the document templates ------------------------------------------------------

namespace platform {

namespace {

class WindowFrames : public IDocumentFrames {
public:
    bool CreateFrame(CDocTemplate& docTemplate, CDocument& document) override
    {
        const CRuntimeClass* frameClass = docTemplate.GetFrameClass();
        if (!frameClass)
            return true;
        CObject* object = frameClass->CreateObject();
        auto* frame = dynamic_cast<CFrameWnd*>(object);
        if (!frame) {
            delete object;
            return false;
        }
        CCreateContext context;
        context.m_pCurrentDoc = &document;
        context.m_pNewViewClass = docTemplate.GetViewClass();
        context.m_pNewDocTemplate = &docTemplate;
        context.m_pCurrentFrame = frame;
        // A frame that cannot be made has deleted itself (PostNcDestroy).
        if (!frame->LoadFrame(docTemplate.GetResourceID(), WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
            return false;
        if (CWinThread* thread = AfxGetThread(); thread && !thread->m_pMainWnd)
            thread->m_pMainWnd = frame;
        return true;
    }

    void InitialUpdateFrame(CDocTemplate&, CDocument& document, bool makeVisible) override
    {
        for (CFrameWnd* frame : FramesOf(document))
            frame->InitialUpdateFrame(&document, makeVisible);
    }

    void CloseFrames(CDocument& document) override
    {
        for (CFrameWnd* frame : FramesOf(document))
            frame->DestroyWindow();
    }

private:
    static std::vector<CFrameWnd*> FramesOf(CDocument& document)
    {
        std::vector<CFrameWnd*> frames;
        for (POSITION position = document.GetFirstViewPosition(); position;) {
            CView* view = document.GetNextView(position);
            CFrameWnd* frame = view ? view->GetParentFrame() : nullptr;
            if (frame && std::find(frames.begin(), frames.end(), frame) == frames.end())
                frames.push_back(frame);
        }
        return frames;
    }
};

}  // namespace

IDocumentFrames* WindowDocumentFrames()
{
    static WindowFrames frames;
    return &frames;
}

}  // namespace platform
