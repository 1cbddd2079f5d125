// The program's one application object: start-up, the shared palette, the
// kits, the signed-in child with their folder and settings, the file lists
// the browser shows, and the idle tick that blinks the panes' selection.
#pragma once

#include <ctime>
#include <map>
#include <memory>
#include <string>

#include "document/document_services.h"
#include "foundation/notifier.h"
#include "model/brick_class_library.h"
#include "platform/core/cstring.h"
#include "platform/ui/win_app.h"
#include "shell/file_browser_list.h"

class CKidFrame;
class CKitList;
class CListBox;
class CPalette;

// Profile sections and keys of the users and their settings.
inline constexpr const char* kDefaultSection = "default";
inline constexpr const char* kNamesSection = "Names";

// Longest name a child can sign in with, in characters.
constexpr int kMaxUserNameChars = 63;

// The signed-in child's settings. Without a signed-in user they hold for the
// run and are written nowhere.
struct CUserSettings {
    BOOL m_bSoundOn = TRUE;
    BOOL m_bFileDelete = FALSE;
    BOOL m_bPrintOn = FALSE;
};

class CDizadoApp : public CWinApp, public CNotifier, public IDocumentShell {
    DECLARE_DYNAMIC(CDizadoApp)
public:
    CDizadoApp();
    ~CDizadoApp() override;

    // The single-instance check, then StartUp.
    BOOL InitInstance() override;
    // Stops the automation server; 1 when a server start had no bus.
    int ExitInstance() override;
    // Everything start-up does once this copy holds the single-instance lock:
    // palette, kits, template, first document, main window, sign-in.
    BOOL StartUp();
    BOOL OnIdle(LONG count) override;

    // TRUE when another copy holds the single-instance lock `name`.
    static BOOL IsAnotherInstanceRunning(const char* name);
    // Makes the shared palette from "MYPALETTE"; without the resource (or
    // with a damaged one) there is no palette.
    void LoadPalette();

    CPalette* GetPalette() { return m_classes ? m_classes->GetPalette() : nullptr; }
    CKitList* GetKitList() { return m_classes ? m_classes->GetKitList() : nullptr; }
    // Fills the kid frame's brick list with every class of every kit.
    void FillBrickList(CListBox* listBox);
    void* GetAutomationObject() const { return m_pAutomationObject; }

    // The main window when it is the kid frame; null otherwise (no main
    // window yet, or a program started for embedding or automation).
    CKidFrame* GetKidFrame();

    // Users and settings.
    void SignIn();
    void SetupUserDirectory();
    void GetNewDocumentPath(CString& path);
    BOOL GetFileDelete() const { return m_settings.m_bFileDelete; }
    BOOL GetSoundOn() const { return m_settings.m_bSoundOn; }
    BOOL GetPrintOn() const { return m_settings.m_bPrintOn; }
    const CUserSettings& GetSettings() const { return m_settings; }
    BOOL IsSignInPending() const { return m_bSignInPending; }
    const CString& GetCurrentUser() const { return m_strCurrentUser; }
    const CString& GetUserDirectoryValue() const { return m_strUserDirectoryValue; }
    const CString& GetLocation() const { return m_strLocation; }
    const CString& GetProgramDirectory() const { return m_strProgramDirectory; }
    const CString& GetUserDirectory() const { return m_strUserDirectory; }
    CFileBrowserList& GetDocumentList() { return m_documentList; }
    CFileBrowserList& GetBackgroundList() { return m_backgroundList; }

    // Takes the name the sign-in dialog chose: a known user's settings, or a
    // new user's section, "Names" key and folder word. `namesRead` is the
    // number of names the dialog found in "Names". FALSE for a refused name.
    BOOL SignInAs(const char* name, int namesRead);
    // Settings changed in the interface settings dialog: applied, and
    // written to the signed-in user's section (nowhere without one).
    void ApplySettings(const CUserSettings& settings);
    // A write of the users' settings that may have failed; the first failure
    // of the run is told at the end of the sign-in or of the settings.
    void NoteProfileWrite(BOOL written);

    // Command handlers.
    void OnAppAbout();
    void OnSettings();
    void OnFileOpen();
    void OnFileNew();

    // IDocumentShell: what the document asks of the shell.
    BOOL HasKidFrame() override;
    void CheckButtonRange(UINT first, UINT last, UINT id) override;
    int OnBrickListSelect() override;
    void* GetMainWindow() override;
    BOOL ChooseBackground(void* owner, BackgroundChoice& choice) override;
    CString GetNewDocumentPath() override;
    void Say(const char* text, UINT type = MB_OK | MB_ICONINFORMATION) override;
    CString GetRescueFolder() override;
    BOOL CanAsk() override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void RefreshCursor() override;

    // For tests: the users' root and the program folder that start-up would
    // read, and no one signed in.
    void SetFoldersForTest(const char* location, const char* programDirectory);
    // For tests: the clock that names new users' folders (null: time()).
    using Clock = std::time_t (*)();
    void SetClock(Clock clock) { m_clock = clock; }

private:
    // Shows or hides the kid frame's Print button, when there is one.
    void ShowPrintButton();
    // Opens the command line's document or a new one; FALSE when neither.
    BOOL OpenFirstDocument();
    // Saves (or rescues) every document that needs it, asking no one.
    void SaveAllForEnd();
    // A signal that ends the program: save, then leave every loop.
    void CloseForSignal();
    // Says once a run that the settings cannot be saved, after a failed write.
    void TellProfileWriteFailure();

    std::unique_ptr<CBrickClassLibrary> m_classes;
    CUserSettings m_settings;
    BOOL m_bSignInPending = FALSE;
    BOOL m_bNoAutomationBus = FALSE;
    BOOL m_bClosingForSignal = FALSE;
    BOOL m_bSavingForEnd = FALSE;
    void* m_pAutomationObject = nullptr;
    CFileBrowserList m_documentList;
    CFileBrowserList m_backgroundList;
    CString m_strCurrentUser;
    CString m_strUserDirectoryValue;
    CString m_strLocation;
    CString m_strProgramDirectory;
    CString m_strUserDirectory;
    Clock m_clock = nullptr;
    // Every name signed in this run, in lower case, with its folder word and
    // settings: a profile that cannot keep them must not give the same name
    // a new, empty folder at its next sign-in.
    struct RunUser {
        CString directory;
        CUserSettings settings;
    };
    std::map<std::string, RunUser> m_runUsers;
    BOOL m_bProfileWriteFailed = FALSE;
    BOOL m_bProfileWriteTold = FALSE;

    DECLARE_MESSAGE_MAP()
};

// The application object while one exists.
CDizadoApp* GetDizadoApp();

// The time as lower-case hexadecimal text, without leading zeros.
CString MakeUniqueName(std::time_t now);

// A typed sign-in name as it is kept: without leading and trailing white
// space, cut to 63 characters (not bytes, so a multi-byte character is never
// split). Empty when the name is refused:
// empty, or the name of a section the profile keeps for itself ("default",
// "Names", in any case).
CString CleanUserName(const char* typed);

// Told once a run when the profile refuses a write of the users' settings.
inline constexpr const char* kSettingsNotSavedMessage =
    "The settings cannot be saved: the settings file is read-only or too big. "
    "Models are still saved in this child's folder.";
