// The application's steps that run the file browser and the About box, kept
// apart from the application object so that its handlers only call them:
// File Open (CDizadoApp::OnFileOpen), the background browser
// (CDizadoApp::ChooseBackground) and About (CDizadoApp::OnAppAbout).
#pragma once

#include "document/document_services.h"
#include "platform/core/cstring.h"

class CDizadoApp;
class CDocument;

// File Open: refreshes both lists, runs the browser on the child's saved
// models and opens the chosen one in place of the current document. Null when
// the browser was cancelled or the model could not be opened.
CDocument* RunFileOpenBrowser(CDizadoApp& app);

// The browser on the background pictures and colours, for the document's
// Background command: `owner` (a CWnd, may be null) is its parent; `choice`
// gives the baseplate flag and takes the child's choice. FALSE when cancelled.
BOOL RunBackgroundBrowser(void* owner, BackgroundChoice& choice);

// About, modal, without a parent.
void RunAboutBox();
