#include "platform/ui/win_app.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QPointer>

#include <algorithm>
#include <cstdio>

#include "platform/core/cmd_ui.h"
#include "platform/core/hooks.h"
#include "platform/core/profile.h"
#include "platform/core/resources.h"
#include "platform/core/user_paths.h"
#include "platform/ui/audio_output.h"
#include "platform/ui/dialog.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/document.h"
#include "platform/ui/print.h"
#include "platform/ui/frame_wnd.h"
#include "platform/ui/toolkit_clipboard.h"
#include "platform/ui/window_peer.h"

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
    ON_COMMAND(ID_FILE_PRINT_SETUP, OnFilePrintSetup)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
    ON_COMMAND_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST, OnOpenRecentFile)
    ON_UPDATE_COMMAND_UI_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST, OnUpdateRecentFile)
END_MESSAGE_MAP()

namespace {

constexpr const char* kRecentSection = "Recent File List";

CString ProgramFolder()
{
    char path[4096] = {};
    if (GetModuleFileNameA(nullptr, path, sizeof path) == 0)
        return CString();
    CString folder(path);
    const int slash = folder.ReverseFind('/');
    return slash > 0 ? folder.Left(slash) : CString();
}

void SendIdleUpdate(CWnd* wnd)
{
    if (!wnd || !wnd->GetSafeHwnd())
        return;
    QPointer<platform::WindowPeer> alive(wnd->GetSafeHwnd());
    wnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
    if (!alive || !alive->Owner())
        return;
    std::vector<QPointer<platform::WindowPeer>> children;
    for (CWnd* child = wnd->GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT))
        children.emplace_back(child->GetSafeHwnd());
    for (const auto& child : children)
        if (child && child->Owner())
            SendIdleUpdate(child->Owner());
}

QPointer<platform::WindowPeer>& NotedActive()
{
    static QPointer<platform::WindowPeer> active;
    return active;
}

}  // namespace

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName ? appName : "") {}

CWinApp::~CWinApp()
{
    for (CDocTemplate* docTemplate : m_templates)
        delete docTemplate;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

BOOL CWinApp::OnIdle(LONG count)
{
    if (count <= 0) {
        SendIdleUpdate(m_pMainWnd);
        return TRUE;
    }
    return FALSE;
}

int CWinApp::ExitInstance()
{
    if (m_nMaxRecent > 0) {
        for (UINT i = 0; i < m_nMaxRecent; ++i) {
            CString key;
            key.Format("File%u", i + 1);
            WriteProfileString(kRecentSection, key, i < m_recent.size() ? m_recent[i].c_str() : nullptr);
        }
    }
    return CWinThread::ExitInstance();
}

void CWinApp::SetCommandLine(int argc, const char* const* argv)
{
    m_args.clear();
    for (int i = 1; i < argc; ++i)
        if (argv[i])
            m_args.emplace_back(argv[i]);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info)
{
    std::vector<const char*> argv{"dizado"};
    for (const CString& arg : m_args)
        argv.push_back(arg.c_str());
    ::ParseCommandLine(static_cast<int>(argv.size()), argv.data(), info);
    m_cmdInfo = info;
}

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate)
{
    if (!docTemplate)
        return;
    if (!platform::GetDocumentFrames())
        platform::SetDocumentFrames(platform::WindowDocumentFrames());
    m_templates.push_back(docTemplate);
}

CDocument* CWinApp::OpenDocumentFile(const char* path)
{
    CDocTemplate* docTemplate = GetFirstDocTemplate();
    if (!docTemplate)
        return nullptr;
    CDocument* document = docTemplate->OpenDocumentFile(path);
    if (document && path && *path)
        AddToRecentFileList(path);
    return document;
}

void CWinApp::OnFileNew()
{
    if (CDocTemplate* docTemplate = GetFirstDocTemplate())
        docTemplate->OpenDocumentFile(nullptr);
}

// Programs give File Open their own browser; the base has none.
void CWinApp::OnFileOpen() {}

void CWinApp::OnFilePrintSetup()
{
    if (platform::IPrintBackend* backend = platform::GetPrintBackend())
        backend->ChoosePrinter(m_pMainWnd);
}

BOOL CWinApp::OnOpenRecentFile(UINT id)
{
    const size_t index = id - ID_FILE_MRU_FILE1;
    if (id < ID_FILE_MRU_FILE1 || index >= m_recent.size())
        return FALSE;
    const CString path = m_recent[index];
    if (OpenDocumentFile(path))
        return TRUE;
    // The file has gone or cannot be read (the open said so): it leaves the list.
    m_recent.erase(std::remove(m_recent.begin(), m_recent.end(), path), m_recent.end());
    return FALSE;
}

void CWinApp::OnUpdateRecentFile(CCmdUI* cmdUI)
{
    cmdUI->Enable(cmdUI->m_nID - ID_FILE_MRU_FILE1 < m_recent.size());
}

void CWinApp::WinHelp(DWORD_PTR, UINT)
{
    CString text("There is no help viewer here, so help cannot be shown");
    const int slash = m_pszHelpFilePath.ReverseFind('/');
    const CString file = slash >= 0 ? m_pszHelpFilePath.Mid(slash + 1) : m_pszHelpFilePath;
    if (!file.IsEmpty())
        text += " (the help file " + file + " needs one)";
    text += ". The README that comes with the program tells how it works.";
    AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd && m_pMainWnd->GetSafeHwnd())
        m_pMainWnd->SendMessage(WM_CLOSE);
    else
        PostQuitMessage(0);
}

void CWinApp::LoadStdProfileSettings(UINT maxRecent)
{
    m_nMaxRecent = std::min<UINT>(maxRecent, ID_FILE_MRU_LAST - ID_FILE_MRU_FILE1 + 1);
    m_recent.clear();
    for (UINT i = 0; i < m_nMaxRecent; ++i) {
        CString key;
        key.Format("File%u", i + 1);
        const CString path = GetProfileString(kRecentSection, key);
        // Only what could be a path: a line of the profile may hold anything.
        if (!path.IsEmpty() && path.GetLength() < 4096 && path.Find('\n') < 0 &&
            std::find(m_recent.begin(), m_recent.end(), path) == m_recent.end())
            m_recent.push_back(path);
    }
    platform::SetRecentFileHook([](const char* path) {
        if (CWinApp* app = AfxGetApp())
            app->AddToRecentFileList(path);
    });
}

void CWinApp::AddToRecentFileList(const char* path)
{
    if (m_nMaxRecent == 0 || !path || !*path)
        return;
    const CString entry(path);
    m_recent.erase(std::remove(m_recent.begin(), m_recent.end(), entry), m_recent.end());
    m_recent.insert(m_recent.begin(), entry);
    if (m_recent.size() > m_nMaxRecent)
        m_recent.resize(m_nMaxRecent);
}

void CWinApp::SetDialogBkColor(COLORREF background, COLORREF)
{
    platform::SetDialogBackground(background);
}

CPrivateProfile& CWinApp::Profile()
{
    const std::string path = m_pszProfileName.IsEmpty() ? platform::DefaultProfilePath()
                                                         : std::string(m_pszProfileName.c_str());
    if (!m_profile || m_profile->GetPath() != path) {
        // The folder of the default profile may not exist yet.
        if (m_pszProfileName.IsEmpty())
            platform::MakeFolders(platform::ConfigFolder());
        m_profile = std::make_unique<CPrivateProfile>(path);
    }
    return *m_profile;
}

CString CWinApp::GetProfileString(const char* section, const char* entry, const char* defaultValue)
{
    return Profile().GetProfileString(section, entry, defaultValue);
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue)
{
    return Profile().GetProfileInt(section, entry, defaultValue);
}

BOOL CWinApp::WriteProfileString(const char* section, const char* entry, const char* value)
{
    return Profile().WriteProfileString(section, entry, value);
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value)
{
    return Profile().WriteProfileInt(section, entry, value);
}

CWinApp* AfxGetApp()
{
    return dynamic_cast<CWinApp*>(AfxGetThread());
}

namespace platform {

int RunApplication(int argc, char** argv)
{
    StartToolkit(argc, argv);
    InstallAudioOutput();
    InstallMessageBoxes();
    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    InstallToolkitClipboard();
    struct ClipboardScope {
        ~ClipboardScope() { UninstallToolkitClipboard(); }
    } clipboardScope;
    app->SetCommandLine(argc, argv);
    if (app->m_strProgramFolder.IsEmpty())
        app->m_strProgramFolder = ProgramFolder();
    if (!app->InitInstance()) {
        if (app->m_pMainWnd && app->m_pMainWnd->GetSafeHwnd())
            app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}

void InstallMessageBoxes()
{
    // Without a screen a shown window is seen by no one.
    SetWindowOnScreenHook([] {
        if (!qApp)
            return false;
        const QString system = QGuiApplication::platformName();
        if (system == QLatin1String("offscreen") || system == QLatin1String("minimal"))
            return false;
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::any_of(windows.begin(), windows.end(), [](const QWidget* window) { return window->isVisible(); });
    });
    SetMessageBoxHook([](const std::string& text, const std::string& caption, UINT type) -> int {
        EnsureToolkit();
        QString title = QString::fromUtf8(caption.c_str());
        if (title.isEmpty())
            if (CWinApp* app = AfxGetApp())
                title = QString::fromUtf8(app->m_pszAppName.c_str());
        QMessageBox box;
        box.setWindowTitle(title);
        box.setText(QString::fromUtf8(text.c_str()));
        switch (type & 0xF0) {
        case MB_ICONHAND:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONEXCLAMATION:
            box.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONINFORMATION:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
        }
        // The buttons carry the system's fixed texts, whatever the language
        // of the desktop.
        struct Choice {
            const char* text;
            int answer;
            QMessageBox::ButtonRole role;
        };
        std::vector<Choice> choices;
        switch (type & 0x0F) {
        case MB_OKCANCEL:
            choices = {{"OK", IDOK, QMessageBox::AcceptRole}, {"Cancel", IDCANCEL, QMessageBox::RejectRole}};
            break;
        case MB_YESNO:
            choices = {{"Yes", IDYES, QMessageBox::YesRole}, {"No", IDNO, QMessageBox::NoRole}};
            break;
        case MB_YESNOCANCEL:
            choices = {{"Yes", IDYES, QMessageBox::YesRole},
                       {"No", IDNO, QMessageBox::NoRole},
                       {"Cancel", IDCANCEL, QMessageBox::RejectRole}};
            break;
        default:
            choices = {{"OK", IDOK, QMessageBox::AcceptRole}};
            break;
        }
        std::vector<std::pair<QAbstractButton*, int>> buttons;
        for (const Choice& choice : choices)
            buttons.emplace_back(box.addButton(QString::fromUtf8(choice.text), choice.role), choice.answer);
        box.setDefaultButton(qobject_cast<QPushButton*>(buttons.front().first));
        // Escape answers Cancel where there is one, else the only or last button.
        const bool hasCancel = (type & 0x0F) == MB_OKCANCEL || (type & 0x0F) == MB_YESNOCANCEL;
        box.setEscapeButton(hasCancel || buttons.size() == 1 ? buttons.back().first : nullptr);
        ModalScope modal;
        box.exec();
        for (const auto& [button, answer] : buttons)
            if (box.clickedButton() == button)
                return answer;
        return hasCancel ? IDCANCEL : buttons.back().second;
    });
}

std::vector<CWnd*> TopLevelWindows()
{
    std::vector<CWnd*> windows;
    if (!qApp)
        return windows;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* peer = dynamic_cast<WindowPeer*>(widget); peer && peer->Owner())
            windows.push_back(peer->Owner());
    return windows;
}

void NoteActiveWindow(CWnd* top)
{
    NotedActive() = top ? top->GetSafeHwnd() : nullptr;
}

CWnd* ActiveWindow()
{
    if (qApp)
        if (QWidget* active = QApplication::activeWindow())
            if (auto* peer = dynamic_cast<WindowPeer*>(active); peer && peer->Owner())
                return peer->Owner();
    WindowPeer* noted = NotedActive().data();
    return noted && noted->Owner() && noted->isVisible() ? noted->Owner() : nullptr;
}

}  // namespace platform
