#include "shell/dizado_app.h"

IMPLEMENT_DYNAMIC(CDizadoApp, CWinApp)

BEGIN_MESSAGE_MAP(CDizadoApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
    ON_COMMAND(ID_OPTIONS_PREFERENCES, OnSettings)
    ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
    ON_COMMAND(ID_FILE_PRINT_SETUP, OnFilePrintSetup)
END_MESSAGE_MAP()

namespace {
CDizadoApp* g_app = nullptr;
}

CDizadoApp* GetDizadoApp()
{
    return g_app;
}

CDizadoApp::CDizadoApp() : CWinApp("dizado")
{
    if (!g_app)
        g_app = this;
}

CDizadoApp::~CDizadoApp()
{
    m_documentList.Clear();
    m_backgroundList.Clear();
    if (g_app == this)
        g_app = nullptr;
}

BOOL CDizadoApp::InitInstance() { return FALSE; }
BOOL CDizadoApp::OnIdle(LONG count)
{
    NotifyListeners(13, 0);
    CWinApp::OnIdle(count);
    return TRUE;
}
BOOL CDizadoApp::IsAnotherInstanceRunning(const char*) { return FALSE; }
void CDizadoApp::LoadPalette() {}
void CDizadoApp::FillBrickList(CListBox*) {}
CKidFrame* CDizadoApp::GetKidFrame() { return nullptr; }
void CDizadoApp::SignIn() {}
void CDizadoApp::SetupUserDirectory() {}
void CDizadoApp::GetNewDocumentPath(CString& path) { path = GetNewDocumentPath(); }
BOOL CDizadoApp::SignInAs(const char*, int) { return FALSE; }
void CDizadoApp::ApplySettings(const CUserSettings& settings) { m_settings = settings; }
void CDizadoApp::OnAppAbout() {}
void CDizadoApp::OnSettings() {}
void CDizadoApp::OnFileOpen() {}
void CDizadoApp::OnFileNew() { CWinApp::OnFileNew(); }
BOOL CDizadoApp::HasKidFrame() { return GetKidFrame() != nullptr; }
void CDizadoApp::CheckButtonRange(UINT, UINT, UINT) {}
int CDizadoApp::OnBrickListSelect() { return -1; }
void* CDizadoApp::GetMainWindow() { return GetMainWnd(); }
BOOL CDizadoApp::ChooseBackground(void*, BackgroundChoice&) { return FALSE; }
CString CDizadoApp::GetNewDocumentPath() { return CString(); }
void CDizadoApp::BeginWaitCursor() {}
void CDizadoApp::EndWaitCursor() {}
void CDizadoApp::RefreshCursor() {}
void CDizadoApp::ShowPrintButton() {}
BOOL CDizadoApp::OpenFirstDocument() { return FALSE; }

CString MakeUniqueName(std::time_t now) { (void)now; return CString(); }
CString CleanUserName(const char* typed) { return CString(typed); }
