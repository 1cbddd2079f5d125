#include "shell/automation/auto_app.h"

#include "document/dizado_doc.h"
#include "platform/core/dispatch.h"
#include "platform/core/hooks.h"
#include "platform/core/registry.h"
#include "platform/core/resources.h"
#include "platform/ui/document.h"
#include "platform/ui/frame_wnd.h"
#include "platform/ui/ole_server_doc.h"
#include "platform/ui/win_app.h"
#include "shell/dizado_app.h"

IMPLEMENT_DYNAMIC(AutoApp, CCmdTarget)

BEGIN_DISPATCH_MAP(AutoApp, CCmdTarget)
    DISP_FUNCTION(AutoApp, "TCFunction", TCFunction, VT_I4, VT_I2, VT_I4, VT_BSTR)
    DISP_FUNCTION(AutoApp, "TestFunc", TestFunc, VT_EMPTY, VT_BSTR)
    DISP_FUNCTION(AutoApp, "Open", Open, VT_DISPATCH, VT_BSTR)
    DISP_FUNCTION(AutoApp, "NewDoc", NewDoc, VT_DISPATCH)
    DISP_FUNCTION(AutoApp, "ShowWindow", ShowWindow, VT_EMPTY, VT_BOOL)
    DISP_FUNCTION(AutoApp, "GetActiveDoc", GetActiveDoc, VT_DISPATCH)
END_DISPATCH_MAP()

namespace {

CFrameWnd* MainFrame()
{
    CWinApp* app = AfxGetApp();
    CWnd* main = app ? app->GetMainWnd() : nullptr;
    if (!main || !main->GetSafeHwnd())
        return nullptr;
    return dynamic_cast<CFrameWnd*>(main);
}

}  // namespace

AutoApp::AutoApp()
{
    EnableAutomation();
    AfxOleLockApp();
}

AutoApp::~AutoApp()
{
    MessageBeep(0);
    AfxOleUnlockApp();
}

CString AutoApp::FormatTCText(SHORT p1, LONG p2)
{
    // The box's format text has one conversion, "%LD", and the first value
    // given to it is p1; the text is built by hand so that no client text or
    // argument ever reaches a printf-style routine.
    (void)p2;
    CString text("P1 = 5D- P2 = ");
    text += CString(std::to_string(static_cast<LONG>(p1)).c_str());
    return text;
}

LONG AutoApp::TCFunction(SHORT p1, LONG p2, const CString& text)
{
    AfxMessageBox(text, MB_OK);
    AfxMessageBox(FormatTCText(p1, p2), MB_OK);
    return 0;
}

void AutoApp::TestFunc(const CString& text)
{
    AfxMessageBox(text, MB_OK);
}

// A model that cannot be saved stays the active document (rescued when it
// can be): the client hears of it, rather than getting another document in
// its place with an answer that reads as a failure.
namespace {
void KeepCurrentModelIfItCannotBeSaved()
{
    if (CFrameWnd* frame = MainFrame())
        if (auto* doc = dynamic_cast<CDizadoDoc*>(frame->GetActiveDocument())) {
            const CDizadoDoc::SaveOutcome outcome = doc->SaveOrRescue(FALSE);
            if (outcome == CDizadoDoc::SaveOutcome::rescued || outcome == CDizadoDoc::SaveOutcome::kept)
                AfxThrowOleDispatchException("Unable to save the file: the current model stays open.");
        }
}
}  // namespace

IDispatch* AutoApp::Open(const CString& path)
{
    CWinApp* app = AfxGetApp();
    if (!app || path.IsEmpty())
        return nullptr;
    KeepCurrentModelIfItCannotBeSaved();
    CDocument* document = app->OpenDocumentFile(path);
    return document ? document->GetIDispatch(TRUE) : nullptr;
}

IDispatch* AutoApp::NewDoc()
{
    CDizadoApp* app = GetDizadoApp();
    if (!app)
        return nullptr;
    KeepCurrentModelIfItCannotBeSaved();
    app->OnFileNew();
    return GetActiveDoc();
}

void AutoApp::ShowWindow(LONG show)
{
    if (CFrameWnd* frame = MainFrame())
        frame->ShowWindow(show ? SW_SHOW : SW_HIDE);
}

IDispatch* AutoApp::GetActiveDoc()
{
    CFrameWnd* frame = MainFrame();
    if (!frame)
        return nullptr;
    frame->ActivateFrame(-1);
    CDocument* document = frame->GetActiveDocument();
    return document ? document->GetIDispatch(TRUE) : nullptr;
}

BOOL RegisterShellOpenCommand()
{
    char program[260] = {};
    const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    LONG result = ERROR_INVALID_PARAMETER;
    // A path cut short would register a command that starts nothing.
    if (length > 0 && length < sizeof program) {
        CString command(program);
        command += " %1";
        CString key(kAutomationProgId);
        key += "\\shell\\open\\command";
        result = RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, command, static_cast<DWORD>(command.GetLength()));
    }
    if (result != ERROR_SUCCESS) {
        AfxMessageBox("OOOPs", MB_OK);
        return FALSE;
    }
    return TRUE;
}
