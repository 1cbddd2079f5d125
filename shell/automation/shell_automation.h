// The program as an automation server: the application's automation object,
// the document's windows as automation sees them, and the start of a program
// launched with "-Automation" or "-Embedding" by another program.
#pragma once

#include <memory>

#include "document/document_automation.h"
#include "platform/core/cstring.h"

class AutoApp;

// Installed for the whole run. Its application object is made when a client
// first asks for it, so "Application" always answers with one.
class CShellAutomationHost : public IDocumentAutomationHost {
public:
    ~CShellAutomationHost() override { Reset(); }

    IDispatch* GetApplicationDispatch() override;
    void ShowDocumentWindow(CDizadoDoc* document) override;
    BOOL GetFirstViewSize(CDizadoDoc* document, LONG& width, LONG& height) override;

    // The application object, made on first use; the host keeps one reference.
    AutoApp* GetAutoApp();
    // Gives the application object back (it beeps when no client holds it).
    void Reset();

private:
    AutoApp* m_pAutoApp = nullptr;
};

// Serves the application object on the D-Bus session bus: installs the
// host, exports the object and takes the program's well-known name. No
// window and no sign-in: the first document and its frame come when a client
// asks for them. FALSE with `problem` (a whole sentence for the user) when
// there is no bus or the name is taken.
BOOL StartAutomationServer(CString& problem);
// The same for a program a child started: it serves only when the session
// announces a bus (so that no bus is started for it), and a bus that is not
// there or a name another program holds only leaves it unreachable. TRUE
// when serving.
BOOL OfferAutomationServer();
// Leaves the bus and gives back the application object.
void StopAutomationServer();
// The host the program installs; always the same one.
CShellAutomationHost& GetShellAutomationHost();
