// The program's top automation object, "DodezAR": other programs open and
// make documents through it and reach the active document. It has no state
// of its own and works on the application object.
#pragma once

#include "platform/core/cmd_target.h"
#include "platform/core/cstring.h"

class CDocument;
class CFrameWnd;

// The programmatic id under which the program serves automation.
inline constexpr const char* kAutomationProgId = "DodezAR";

class AutoApp : public CCmdTarget {
    DECLARE_DYNAMIC(AutoApp)
public:
    // Keeps the program running while a client holds the object.
    AutoApp();
    // Beeps, then lets the program end.
    ~AutoApp() override;

    // Dispatch members.
    LONG TCFunction(SHORT p1, LONG p2, const CString& text);
    void TestFunc(const CString& text);
    IDispatch* Open(const CString& path);
    IDispatch* NewDoc();
    void ShowWindow(LONG show);
    IDispatch* GetActiveDoc();

    // The text of the second "TCFunction" box.
    static CString FormatTCText(SHORT p1, LONG p2);

    DECLARE_DISPATCH_MAP()
};

// Writes the shell's open command, "<program> %1", under
// "DodezAR\shell\open\command"; "OOOPs" when it cannot. FALSE then.
BOOL RegisterShellOpenCommand();
