#include "shell/dizado_app.h"

#include <cctype>
#include <cstdio>

#include <sys/stat.h>

#include "document/dizado_doc.h"
#include "foundation/notification_codes.h"
#include "foundation/sound_player.h"
#include "model/kit_list.h"
#include "platform/core/hooks.h"
#include "platform/core/single_instance.h"
#include "platform/core/user_paths.h"
#include "platform/ui/app.h"
#include "platform/ui/close_signals.h"
#include "platform/ui/controls.h"
#include "platform/ui/cursor.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/document.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/frame_wnd.h"
#include "resources/dialog_ids.h"
#include "resources/resource_ids.h"
#include "shell/automation/auto_app.h"
#include "shell/automation/shell_automation.h"
#include "shell/browser_commands.h"
#include "shell/in_place_frame.h"
#include "shell/kid_frame.h"
#include "shell/settings_dlg.h"
#include "shell/sign_in_dlg.h"
#include "views/iso_brick_pane.h"
#include "views/pane_window.h"

IMPLEMENT_DYNAMIC(CDizadoApp, CWinApp)

BEGIN_MESSAGE_MAP(CDizadoApp, CWinApp)
    ON_COMMAND(IDM_APP_ABOUT, OnAppAbout)
    ON_COMMAND(IDM_PREFERENCES, OnSettings)
    ON_COMMAND(IDM_FILE_OPEN, OnFileOpen)
    ON_COMMAND(IDM_FILE_NEW, OnFileNew)
    ON_COMMAND(IDM_FILE_PRINT_SETUP, OnFilePrintSetup)
END_MESSAGE_MAP()

namespace {

CDizadoApp* g_app = nullptr;

constexpr const char* kInstanceName = "VostrelDIZADO";

// Length in bytes of the first `chars` UTF-8 characters of `text`.
size_t Utf8Prefix(const std::string& text, int chars)
{
    size_t i = 0;
    for (int n = 0; n < chars && i < text.size(); ++n) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            ++i;
    }
    return i;
}

// A "Directory" word names one folder right inside the users' root: no path,
// no way up, nothing that names the root itself.
bool IsPlainFolderName(const CString& word)
{
    const std::string text = word.c_str();
    return !text.empty() && text != "." && text != ".." && text.find_first_of("/\\") == std::string::npos;
}

std::string RunKey(const CString& name)
{
    std::string key = name.c_str();
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

}  // namespace

CDizadoApp* GetDizadoApp()
{
    return g_app;
}

CString MakeUniqueName(std::time_t now)
{
    CString text;
    text.Format("%lx", static_cast<unsigned long>(now));
    return text;
}

CString CleanUserName(const char* typed)
{
    if (!typed)
        return CString();
    std::string name(typed);
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
    while (!name.empty() && blank(name.back()))
        name.pop_back();
    size_t lead = 0;
    while (lead < name.size() && blank(name[lead]))
        ++lead;
    name.erase(0, lead);
    name.resize(Utf8Prefix(name, kMaxUserNameChars));
    while (!name.empty() && blank(name.back()))
        name.pop_back();
    CString cut(name.c_str());
    if (cut.IsEmpty() || cut.CompareNoCase(kDefaultSection) == 0 || cut.CompareNoCase(kNamesSection) == 0)
        return CString();
    return cut;
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
    if (GetDocumentShell() == this)
        SetDocumentShell(nullptr);
    CPaneWindow::SetApplicationNotifier(nullptr);
    if (m_classes && GetBrickServices() == m_classes.get())
        SetBrickServices(nullptr);
    if (g_app == this)
        g_app = nullptr;
}

BOOL CDizadoApp::IsAnotherInstanceRunning(const char* name)
{
    return platform::LockSingleInstance(name) == platform::InstanceLock::alreadyRunning;
}

void CDizadoApp::LoadPalette()
{
    if (m_classes)
        m_classes->LoadPalette();
}

BOOL CDizadoApp::InitInstance()
{
    if (IsAnotherInstanceRunning(kInstanceName)) {
        // The program that started this copy waits for an answer that the
        // running copy will not give through it.
        CCommandLineInfo info;
        ParseCommandLine(info);
        if (RunEmbedded() || RunAutomated()) {
            std::fprintf(stderr, "%s\n",
                         "dizado is already running, so this copy ends; other programs reach the running "
                         "copy as dizado.DodezAR on the session bus.");
            m_bNoAutomationBus = TRUE;
        }
        return FALSE;
    }
    return StartUp();
}

int CDizadoApp::ExitInstance()
{
    StopAutomationServer();
    const int code = CWinApp::ExitInstance();
    return m_bNoAutomationBus ? 1 : code;
}

BOOL CDizadoApp::StartUp()
{
    m_strProgramDirectory = m_strProgramFolder;
    m_classes = std::make_unique<CBrickClassLibrary>(m_strProgramDirectory);
    LoadPalette();
    SetBrickServices(m_classes.get());

    CString helpName;
    if (!helpName.LoadString(IDS_HELP_FILE))
        helpName = "daruru32.hlp";
    m_pszHelpFilePath = m_strProgramDirectory + "/" + helpName;

    m_bSignInPending = TRUE;
    m_strLocation = GetProfileString(kDefaultSection, "Location", platform::DefaultLocation().c_str());
    SetDialogBkColor(RGB(192, 192, 192), RGB(0, 0, 0));
    LoadStdProfileSettings(4);

    m_classes->ScanKits();
    const BOOL noKits = !GetKitList() || GetKitList()->GetKitCount() == 0;

    if (!GetFirstDocTemplate()) {
        auto* docTemplate = new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CDizadoDoc), RUNTIME_CLASS(CKidFrame),
                                                   RUNTIME_CLASS(CIsoBrickPane));
        docTemplate->SetServerInfo(IDR_SRVR_EMBEDDED, IDR_SRVR_INPLACE, RUNTIME_CLASS(CInPlaceFrame));
        AddDocTemplate(docTemplate);
    }

    CCommandLineInfo info;
    ParseCommandLine(info);
    const BOOL startedByAnotherProgram = RunEmbedded() || RunAutomated();
    // The class factories are there for every start: a copy a child started
    // answers other programs too, when the desktop has a session bus.
    CString problem;
    const BOOL serving = startedByAnotherProgram ? StartAutomationServer(problem) : OfferAutomationServer();

    SetNotifyId(NOTIFY_ID_APP);
    CPaneWindow::SetApplicationNotifier(this);
    SetDocumentShell(this);
    // Logout, shutdown, a closed terminal or Ctrl+C close the program as the
    // child would, saving the model first.
    platform::InstallCloseSignals([this](int) { CloseForSignal(); });
    platform::SetSessionSaveHook([this] { SaveAllForEnd(); });
    if (noKits)
        Say("No brick kits were found in " + m_strProgramDirectory +
            "/kits, so only the small plates can be used until the kits are installed again. Models that use other "
            "bricks show them as small plates, and saving them keeps what they really are.");
    EnableShellOpen();
    RegisterShellFileTypes(FALSE);

    // Another program drives this copy: no window and no sign-in until a
    // client asks for them.
    if (startedByAnotherProgram) {
        if (!serving) {
            // Started by another program, perhaps with no one at the screen:
            // the message goes where that program reads it.
            std::fprintf(stderr, "%s\n", static_cast<const char*>(problem));
            m_bNoAutomationBus = TRUE;
            return FALSE;
        }
        return TRUE;
    }

    RegisterShellOpenCommand();
    platform::SetSavePathPromptHook([this](CDocument&, CString& path) {
        CString chosen = path.IsEmpty() ? GetNewDocumentPath() : path;
        if (!platform::ChooseSavePath(GetMainWnd(), "Save As", "Dizado models (*.brk)", ".brk", chosen))
            return false;
        path = chosen;
        return true;
    });

    if (!OpenFirstDocument())
        return FALSE;
    CWnd* main = GetMainWnd();
    if (!main || !main->GetSafeHwnd())
        return FALSE;
    main->DragAcceptFiles(TRUE);
    main->ShowWindow(SW_SHOWMAXIMIZED);

    SignIn();
    if (CWnd* shown = GetMainWnd(); shown && shown->GetSafeHwnd())
        shown->UpdateWindow();
    return TRUE;
}

BOOL CDizadoApp::OpenFirstDocument()
{
    const CString& path = m_cmdInfo.m_strFileName;
    CDocument* document = nullptr;
    if (!path.IsEmpty())
        document = OpenDocumentFile(path);
    // A model that cannot be read still leaves the child something to build on.
    if (!document) {
        if (CDocTemplate* docTemplate = GetFirstDocTemplate())
            document = docTemplate->OpenDocumentFile(nullptr);
    }
    return document != nullptr;
}

BOOL CDizadoApp::OnIdle(LONG count)
{
    // The passes repeat only for the panes' blinking, which says itself when
    // it is next due; the rest of the pass waits for a message.
    platform::IdleDue(-1);
    NotifyListeners(NOTIFY_IDLE, 0);
    CWnd* main = GetMainWnd();
    if (count == 0 && main && main->GetSafeHwnd()) {
        // An owned popup that is active gives the activation back to the
        // main window, unless a window holds the mouse.
        for (CWnd* top : platform::TopLevelWindows()) {
            if (top == main || !top->GetSafeHwnd() || (top->GetOwner() != main && top->GetParent() != main))
                continue;
            if (CWnd::GetActiveWindow() == top && !CWnd::GetCapture())
                main->SetActiveWindow();
            top->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
        }
    }
    CWinApp::OnIdle(count);
    return TRUE;
}

void CDizadoApp::FillBrickList(CListBox* listBox)
{
    if (CKitList* kits = GetKitList(); kits && listBox)
        kits->FillListBox(listBox);
}

CKidFrame* CDizadoApp::GetKidFrame()
{
    CWnd* main = GetMainWnd();
    return main && main->GetSafeHwnd() ? dynamic_cast<CKidFrame*>(main) : nullptr;
}

void CDizadoApp::SignIn()
{
    CSignInDlg dialog;
    const INT_PTR result = dialog.DoModal();
    if (result == IDOK && SignInAs(dialog.GetChosenName(), dialog.GetNamesRead())) {
        // signed in
    } else if (m_bSignInPending) {
        if (CWnd* main = GetMainWnd(); main && main->GetSafeHwnd())
            main->PostMessage(WM_CLOSE, 0, 0);
        else
            PostQuitMessage(0);
    }
    m_bSignInPending = FALSE;
    ShowPrintButton();
}

BOOL CDizadoApp::SignInAs(const char* typed, int namesRead)
{
    const CString name = CleanUserName(typed);
    if (name.IsEmpty())
        return FALSE;
    m_strCurrentUser = name;
    const std::string key = RunKey(name);
    if (const auto known = m_runUsers.find(key); known != m_runUsers.end()) {
        // Signed in before in this run: the same folder, whatever the
        // profile managed to keep.
        m_strUserDirectoryValue = known->second.directory;
        m_settings = known->second.settings;
    } else {
        m_strUserDirectoryValue = GetProfileString(name, "Directory", "");
        // Anything but one plain folder name would put the child's models,
        // and the trash can's reach, outside the users' root.
        if (!IsPlainFolderName(m_strUserDirectoryValue))
            m_strUserDirectoryValue.Empty();
        if (m_strUserDirectoryValue.IsEmpty()) {
            m_strUserDirectoryValue = MakeUniqueName(m_clock ? m_clock() : std::time(nullptr));
            NoteProfileWrite(WriteProfileString(name, "Directory", m_strUserDirectoryValue));
            CString namesKey;
            namesKey.Format("name%03d", namesRead < 0 ? 0 : namesRead);
            NoteProfileWrite(WriteProfileString(kNamesSection, namesKey, name));
            m_settings.m_bSoundOn = GetProfileInt(kDefaultSection, "SoundOn", 1) != 0;
            m_settings.m_bFileDelete = GetProfileInt(kDefaultSection, "FileDelete", 0) != 0;
            m_settings.m_bPrintOn = GetProfileInt(kDefaultSection, "PrintOn", 0) != 0;
            NoteProfileWrite(WriteProfileInt(name, "SoundOn", m_settings.m_bSoundOn));
            NoteProfileWrite(WriteProfileInt(name, "FileDelete", m_settings.m_bFileDelete));
            NoteProfileWrite(WriteProfileInt(name, "PrintOn", m_settings.m_bPrintOn));
        } else {
            m_settings.m_bSoundOn = GetProfileInt(name, "SoundOn", 1) != 0;
            m_settings.m_bFileDelete = GetProfileInt(name, "FileDelete", 0) != 0;
            m_settings.m_bPrintOn = GetProfileInt(name, "PrintOn", 0) != 0;
        }
        m_runUsers[key] = RunUser{m_strUserDirectoryValue, m_settings};
    }
    SetSoundSwitch(m_settings.m_bSoundOn);
    SetupUserDirectory();
    TellProfileWriteFailure();
    return TRUE;
}

void CDizadoApp::NoteProfileWrite(BOOL written)
{
    if (!written)
        m_bProfileWriteFailed = TRUE;
}

void CDizadoApp::TellProfileWriteFailure()
{
    if (!m_bProfileWriteFailed || m_bProfileWriteTold)
        return;
    m_bProfileWriteTold = TRUE;
    AfxMessageBox(kSettingsNotSavedMessage, MB_OK | MB_ICONEXCLAMATION);
}

void CDizadoApp::SetFoldersForTest(const char* location, const char* programDirectory)
{
    m_strLocation = location;
    m_strProgramDirectory = programDirectory;
    m_strCurrentUser.Empty();
    m_strUserDirectoryValue.Empty();
    m_strUserDirectory.Empty();
    m_settings = CUserSettings{};
    m_runUsers.clear();
    m_bProfileWriteFailed = FALSE;
    m_bProfileWriteTold = FALSE;
    m_documentList.Clear();
    m_backgroundList.Clear();
}

void CDizadoApp::SetupUserDirectory()
{
    m_documentList.Clear();
    m_backgroundList.Clear();
    m_strUserDirectory = m_strLocation + "/" + m_strUserDirectoryValue.Left(8);
    if (!m_strUserDirectoryValue.IsEmpty()) {
        struct stat info {};
        if (::stat(m_strUserDirectory, &info) != 0 || !S_ISDIR(info.st_mode))
            ::mkdir(m_strUserDirectory, 0777);
    }
    m_backgroundList.SetPicturePath("");
    WIN32_FIND_DATAA none{};
    m_backgroundList.AddFile(none);
    m_backgroundList.Fill(m_strProgramDirectory + "/backgrnd/*.bmp");
    if (!m_strUserDirectoryValue.IsEmpty())
        m_documentList.Fill(m_strUserDirectory + "/*.brk");
}

void CDizadoApp::GetNewDocumentPath(CString& path)
{
    path = GetNewDocumentPath();
}

void CDizadoApp::Say(const char* text, UINT type)
{
    // Started by another program there may be no one at the screen, and a
    // note (not a failure) must not hold up or fail that program's call; nor
    // may a box hold up an end the session asked for. The note goes where
    // that program or the session's log reads it.
    if (!CanAsk()) {
        std::fprintf(stderr, "%s\n", text);
        return;
    }
    IDocumentShell::Say(text, type);
}

BOOL CDizadoApp::CanAsk()
{
    return !(RunEmbedded() || RunAutomated() || m_bSavingForEnd);
}

CString CDizadoApp::GetRescueFolder()
{
    return CString(platform::RescueFolder().c_str());
}

void CDizadoApp::SaveAllForEnd()
{
    CDocTemplate* docTemplate = GetFirstDocTemplate();
    if (!docTemplate)
        return;
    // The session is ending: a box would wait for no one, so what the saves
    // have to say goes to standard error.
    m_bSavingForEnd = TRUE;
    const platform::MessageBoxHook previous =
        platform::SetMessageBoxHook([](const std::string& text, const std::string&, UINT type) {
            std::fprintf(stderr, "%s\n", text.c_str());
            return platform::CautiousAnswer(type);
        });
    for (POSITION position = docTemplate->GetFirstDocPosition(); position;)
        if (auto* doc = dynamic_cast<CDizadoDoc*>(docTemplate->GetNextDoc(position)))
            doc->SaveOrRescue(FALSE);
    platform::SetMessageBoxHook(previous);
    m_bSavingForEnd = FALSE;
}

void CDizadoApp::CloseForSignal()
{
    // A second signal while the first one saves waits for that save.
    if (m_bClosingForSignal)
        return;
    m_bClosingForSignal = TRUE;
    SaveAllForEnd();
    // Ends every loop, a dialog's too; the documents are saved, so nothing
    // is left to ask about. The close that follows ends a main loop that
    // starts only after this one.
    PostQuitMessage(0);
    if (CWnd* main = GetMainWnd(); main && main->GetSafeHwnd())
        main->PostMessage(WM_CLOSE, 0, 0);
}

CString CDizadoApp::GetNewDocumentPath()
{
    const CString userFolder = m_strUserDirectoryValue.IsEmpty() ? CString() : m_strUserDirectory;
    return MakeNewDocumentPath(userFolder, m_strLocation, m_clock ? m_clock() : std::time(nullptr));
}

void CDizadoApp::ApplySettings(const CUserSettings& settings)
{
    m_settings = settings;
    SetSoundSwitch(m_settings.m_bSoundOn);
    ShowPrintButton();
    // Without a signed-in child there is no section to keep them in.
    if (m_strCurrentUser.IsEmpty())
        return;
    if (const auto known = m_runUsers.find(RunKey(m_strCurrentUser)); known != m_runUsers.end())
        known->second.settings = m_settings;
    NoteProfileWrite(WriteProfileInt(m_strCurrentUser, "SoundOn", m_settings.m_bSoundOn));
    NoteProfileWrite(WriteProfileInt(m_strCurrentUser, "FileDelete", m_settings.m_bFileDelete));
    NoteProfileWrite(WriteProfileInt(m_strCurrentUser, "PrintOn", m_settings.m_bPrintOn));
    TellProfileWriteFailure();
}

void CDizadoApp::OnSettings()
{
    CSettingsDlg dialog;
    dialog.SetFileDelete(m_settings.m_bFileDelete);
    dialog.SetSoundOn(m_settings.m_bSoundOn);
    dialog.SetPrintOn(m_settings.m_bPrintOn);
    if (dialog.DoModal() != IDOK)
        return;
    CUserSettings chosen;
    chosen.m_bFileDelete = dialog.GetFileDelete();
    chosen.m_bSoundOn = dialog.GetSoundOn();
    chosen.m_bPrintOn = dialog.GetPrintOn();
    ApplySettings(chosen);
}

void CDizadoApp::OnAppAbout()
{
    RunAboutBox();
}

void CDizadoApp::OnFileOpen()
{
    RunFileOpenBrowser(*this);
}

void CDizadoApp::OnFileNew()
{
    CWinApp::OnFileNew();
}

void CDizadoApp::ShowPrintButton()
{
    if (CKidFrame* frame = GetKidFrame())
        frame->ShowPrintButton(m_settings.m_bPrintOn);
}

BOOL CDizadoApp::HasKidFrame()
{
    return GetKidFrame() != nullptr;
}

void CDizadoApp::CheckButtonRange(UINT first, UINT last, UINT id)
{
    if (CKidFrame* frame = GetKidFrame())
        frame->CheckButtonRange(first, last, id);
}

int CDizadoApp::OnBrickListSelect()
{
    CKidFrame* frame = GetKidFrame();
    return frame ? frame->OnBrickListSelect() : -1;
}

void* CDizadoApp::GetMainWindow()
{
    CWnd* main = GetMainWnd();
    return main && main->GetSafeHwnd() ? main : nullptr;
}

BOOL CDizadoApp::ChooseBackground(void* owner, BackgroundChoice& choice)
{
    return RunBackgroundBrowser(owner, choice);
}

void CDizadoApp::BeginWaitCursor()
{
    platform::BeginWaitCursor();
}

void CDizadoApp::EndWaitCursor()
{
    platform::EndWaitCursor();
}

void CDizadoApp::RefreshCursor()
{
    POINT point;
    if (GetCursorPos(&point))
        SetCursorPos(point.x, point.y);
}
