// What the document needs of the application shell: the kid frame's buttons
// and brick list, the file browser of the background command, the user's
// folder for automatic names and the mouse cursor. The application
// implements it; without one the document works with no frame at all.
#pragma once

#include <ctime>

#include "platform/core/cstring.h"
#include "platform/core/hooks.h"
#include "platform/core/types.h"
#include "platform/gdi/gdi_types.h"

// What the background browser hands back.
struct BackgroundChoice {
    CString path;          // empty: no picture
    COLORREF colour = 0;   // used when there is no picture
    BOOL baseplate = TRUE;  // in: the document's flag; out: the child's choice
};

class IDocumentShell {
public:
    virtual ~IDocumentShell() = default;

    // The kid frame. Without one the calls below do nothing.
    virtual BOOL HasKidFrame() = 0;
    // Ticks `id` among the buttons first..last.
    virtual void CheckButtonRange(UINT first, UINT last, UINT id) = 0;
    // The brick list's chosen row: a class id, or -1 for a kit row.
    virtual int OnBrickListSelect() = 0;
    // The parent for the shell's dialogs; null without a main window.
    virtual void* GetMainWindow() = 0;

    // The file browser in background mode. FALSE when cancelled or when
    // there is no browser to ask.
    virtual BOOL ChooseBackground(void* owner, BackgroundChoice& choice) = 0;

    // Where an unnamed model is saved without asking.
    virtual CString GetNewDocumentPath() = 0;
    // Tells the grown-up at the screen something about the model; a message
    // box unless the shell knows a better place.
    virtual void Say(const char* text, UINT type = MB_OK | MB_ICONINFORMATION);
    // Whether a question may wait for an answer: someone is at the screen.
    virtual BOOL CanAsk() { return TRUE; }
    // Where a model goes that cannot be saved in its own place; empty: none.
    virtual CString GetRescueFolder() { return CString(); }

    // The wait cursor while files are read and written, and the nudge that
    // makes the system redraw the cursor afterwards.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    virtual void RefreshCursor() = 0;
};

// The shell of a program without windows: no kid frame, no browser, automatic
// names in the folders it is given (none: the current folder).
class CHeadlessDocumentShell : public IDocumentShell {
public:
    BOOL HasKidFrame() override { return FALSE; }
    void CheckButtonRange(UINT, UINT, UINT) override {}
    int OnBrickListSelect() override { return -1; }
    void* GetMainWindow() override { return nullptr; }
    BOOL ChooseBackground(void*, BackgroundChoice&) override { return FALSE; }
    CString GetNewDocumentPath() override;
    CString GetRescueFolder() override { return m_strRescueFolder; }
    void SetRescueFolder(const char* folder) { m_strRescueFolder = folder; }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    void RefreshCursor() override {}

    // The signed-in user's folder and the users' root ("Location").
    void SetFolders(const char* userFolder, const char* location)
    {
        m_strUserFolder = userFolder;
        m_strLocation = location;
    }

private:
    CString m_strUserFolder;
    CString m_strLocation;
    CString m_strRescueFolder;
};

// Never null: the headless shell until the application installs its own.
IDocumentShell* GetDocumentShell();
// Not owned; null restores the headless shell.
void SetDocumentShell(IDocumentShell* shell);

// The automatic name: the folder, the time in lower-case hexadecimal and
// ".brk". The user's folder when there is one, else the users' root, else the
// current folder. A name whose model or preview already exists moves on to the
// next second until it is free, so two quick saves never share a file.
CString MakeNewDocumentPath(const char* userFolder, const char* location, std::time_t now);

// Shows the wait cursor for as long as it lives, however the scope ends.
class CWaitCursorScope {
public:
    CWaitCursorScope() { GetDocumentShell()->BeginWaitCursor(); }
    ~CWaitCursorScope()
    {
        IDocumentShell* shell = GetDocumentShell();
        shell->EndWaitCursor();
        shell->RefreshCursor();
    }
    CWaitCursorScope(const CWaitCursorScope&) = delete;
    CWaitCursorScope& operator=(const CWaitCursorScope&) = delete;
};
