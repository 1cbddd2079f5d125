#include "shell/automation/shell_automation.h"

#include "document/dizado_doc.h"
#include "platform/ui/dbus/automation_server.h"
#include "platform/ui/frame_wnd.h"
#include "platform/ui/view.h"
#include "shell/automation/auto_app.h"

namespace {

CView* FirstView(CDizadoDoc* document)
{
    if (!document)
        return nullptr;
    POSITION position = document->GetFirstViewPosition();
    return position ? document->GetNextView(position) : nullptr;
}

}  // namespace

void CShellAutomationHost::Reset()
{
    if (AutoApp* app = m_pAutoApp) {
        m_pAutoApp = nullptr;
        app->ExternalRelease();
    }
}

AutoApp* CShellAutomationHost::GetAutoApp()
{
    if (!m_pAutoApp)
        m_pAutoApp = new AutoApp;
    return m_pAutoApp;
}

IDispatch* CShellAutomationHost::GetApplicationDispatch()
{
    return GetAutoApp()->GetIDispatch(TRUE);
}

void CShellAutomationHost::ShowDocumentWindow(CDizadoDoc* document)
{
    CView* view = FirstView(document);
    CFrameWnd* frame = view ? view->GetParentFrame() : nullptr;
    if (!frame)
        return;
    frame->ActivateFrame(SW_SHOW);
    if (CFrameWnd* outer = frame->GetParentFrame())
        outer->ActivateFrame(SW_SHOW);
}

BOOL CShellAutomationHost::GetFirstViewSize(CDizadoDoc* document, LONG& width, LONG& height)
{
    CView* view = FirstView(document);
    if (!view || !view->GetSafeHwnd())
        return FALSE;
    RECT client{};
    view->GetClientRect(&client);
    width = client.right - client.left;
    height = client.bottom - client.top;
    return TRUE;
}

CShellAutomationHost& GetShellAutomationHost()
{
    static CShellAutomationHost host;
    return host;
}

BOOL StartAutomationServer(CString& problem)
{
    CShellAutomationHost& host = GetShellAutomationHost();
    SetDocumentAutomationHost(&host);
    CString why;
    if (platform::StartAutomationServing(kAutomationProgId, host.GetAutoApp()->GetIDispatch(FALSE), why))
        return TRUE;
    problem = "dizado cannot be driven by other programs. ";
    problem += why;
    return FALSE;
}

BOOL OfferAutomationServer()
{
    if (!platform::SessionBusAnnounced())
        return FALSE;
    CString unused;
    return StartAutomationServer(unused);
}

void StopAutomationServer()
{
    platform::StopAutomationServing();
    GetShellAutomationHost().Reset();
}
