// The application object: one per program, made statically. The program's
// entry (platform::RunApplication) starts the toolkit, installs the message
// boxes and the sound output, calls InitInstance and, when that succeeds,
// Run: the message loop with its throttled idle passes, until the main
// window goes or PostQuitMessage. ExitInstance's answer is the exit code.
#pragma once

#include <memory>
#include <vector>

#include "platform/core/command_line.h"
#include "platform/core/cstring.h"
#include "platform/ui/app.h"

class CDocTemplate;
class CDocument;
class CPrivateProfile;

// Standard command ids the application handles.
constexpr UINT ID_FILE_NEW = 0xE100;         // 57600
constexpr UINT ID_FILE_OPEN = 0xE101;        // 57601
constexpr UINT ID_FILE_PRINT_SETUP = 0xE106; // 57606
constexpr UINT ID_APP_ABOUT = 0xE140;        // 57664
constexpr UINT ID_APP_EXIT = 0xE141;         // 57665
constexpr UINT ID_FILE_MRU_FILE1 = 0xE110;   // 57616, the "Recent File" place of a menu
constexpr UINT ID_FILE_MRU_LAST = 0xE11F;    // 57631
constexpr UINT ID_HELP_INDEX = 0xE142;       // 57666
constexpr UINT ID_HELP_USING = 0xE144;       // 57668
constexpr UINT ID_CONTEXT_HELP = 0xE145;     // 57669
constexpr UINT ID_HELP = 0xE146;             // 57670
constexpr UINT ID_DEFAULT_HELP = 0xE147;     // 57671

class CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    // Start-up; FALSE ends the program at once (Run is not called).
    virtual BOOL InitInstance();
    // On the first pass after messages, the main window and the windows it
    // owns update their command state (WM_IDLEUPDATECMDUI); answers TRUE for
    // that pass only.
    BOOL OnIdle(LONG count) override;
    int ExitInstance() override;

    // The words after the program's name; ParseCommandLine reads them.
    void SetCommandLine(int argc, const char* const* argv);
    void ParseCommandLine(CCommandLineInfo& info);
    // The embedding and automation switches of the parsed command line.
    BOOL RunEmbedded() const { return m_cmdInfo.m_bRunEmbedded; }
    BOOL RunAutomated() const { return m_cmdInfo.m_bRunAutomated; }
    const CCommandLineInfo& GetCommandLineInfo() const { return m_cmdInfo; }

    // Documents: the templates are owned by the application.
    void AddDocTemplate(CDocTemplate* docTemplate);
    CDocTemplate* GetFirstDocTemplate() const { return m_templates.empty() ? nullptr : m_templates.front(); }
    virtual CDocument* OpenDocumentFile(const char* path);
    void OnFileNew();
    void OnFileOpen();
    // The printer and page the next print starts from (the print dialog
    // still comes when printing asks for it).
    void OnFilePrintSetup();
    void OnAppExit();
    // Recent files: remembered in the profile's "Recent File List". Every
    // path a document takes is added; a menu shows them in place of its
    // "Recent File" item (ID_FILE_MRU_FILE1), one command each from that id.
    void LoadStdProfileSettings(UINT maxRecent = 4);
    virtual void AddToRecentFileList(const char* path);
    const std::vector<CString>& GetRecentFiles() const { return m_recent; }
    // Opens the recent file of command `id`; one that does not open leaves
    // the list. TRUE when it opened.
    BOOL OnOpenRecentFile(UINT id);
    void OnUpdateRecentFile(CCmdUI* cmdUI);
    // There is no help engine: says so, naming the help file.
    virtual void WinHelp(DWORD_PTR data, UINT command);
    void SetDialogBkColor(COLORREF background, COLORREF text = RGB(0, 0, 0));
    // Shell registration does not apply here: both only note the request.
    void EnableShellOpen() { m_bShellOpen = TRUE; }
    void RegisterShellFileTypes(BOOL = FALSE) {}

    // The private profile (platform::DefaultProfilePath() unless
    // m_pszProfileName names another file).
    CString GetProfileString(const char* section, const char* entry, const char* defaultValue = nullptr);
    UINT GetProfileInt(const char* section, const char* entry, int defaultValue);
    BOOL WriteProfileString(const char* section, const char* entry, const char* value);
    BOOL WriteProfileInt(const char* section, const char* entry, int value);
    CPrivateProfile& Profile();

    CString m_pszAppName;
    CString m_pszProfileName;
    CString m_pszHelpFilePath;
    // The program's folder, from the running executable.
    CString m_strProgramFolder;
    BOOL m_bShellOpen = FALSE;

protected:
    std::vector<CDocTemplate*> m_templates;
    CCommandLineInfo m_cmdInfo;
    std::vector<CString> m_args;
    std::vector<CString> m_recent;
    UINT m_nMaxRecent = 0;
    std::unique_ptr<CPrivateProfile> m_profile;

    DECLARE_MESSAGE_MAP()
};

// The application object (null before it is made).
CWinApp* AfxGetApp();

namespace platform {

// The program's entry: toolkit, message boxes, sound, command line, then
// InitInstance and Run. Answers the exit code.
int RunApplication(int argc, char** argv);

// Real message boxes through the toolkit, modal, with the program's name as
// the caption and the buttons the style asks for.
void InstallMessageBoxes();

// The layer's top-level windows in the order they were made.
std::vector<CWnd*> TopLevelWindows();
void NoteActiveWindow(CWnd* top);
CWnd* ActiveWindow();

}  // namespace platform
