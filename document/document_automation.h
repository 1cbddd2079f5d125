// What the document's automation needs of the windows and the application:
// the application's automation object, the frames of the document's first
// view and that view's size. The shell implements it; without one the
// document is driven with no window at all.
#pragma once

#include "platform/core/types.h"

class CDizadoDoc;
class IDispatch;

class IDocumentAutomationHost {
public:
    virtual ~IDocumentAutomationHost() = default;

    // The application's automation object with a reference added; null when
    // there is none.
    virtual IDispatch* GetApplicationDispatch() = 0;
    // Shows the frame of the document's first view, then that frame's own
    // parent frame; nothing without a view.
    virtual void ShowDocumentWindow(CDizadoDoc* document) = 0;
    // The client size of the document's first view; FALSE without a view.
    virtual BOOL GetFirstViewSize(CDizadoDoc* document, LONG& width, LONG& height) = 0;
};

// Null until the shell installs one.
IDocumentAutomationHost* GetDocumentAutomationHost();
// Not owned; null removes it.
void SetDocumentAutomationHost(IDocumentAutomationHost* host);

// The largest picture "SaveBmp" makes: 64 million pixels, 64 MiB at 8 bits.
constexpr LONG kMaxAutomationPicturePixels = 64L * 1024 * 1024;
