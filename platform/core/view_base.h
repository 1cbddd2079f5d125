// The view as the document sees it: something attached to one document that
// is told when the document changes. The window layer's views derive from it;
// here it has no window.
#pragma once

#include "platform/core/cmd_target.h"

class CDocument;

class CView : public CCmdTarget {
    DECLARE_DYNAMIC(CView)
public:
    CView() = default;
    // Leaves its document's list.
    ~CView() override;
    CView(const CView&) = delete;
    CView& operator=(const CView&) = delete;

    CDocument* GetDocument() const { return m_pDocument; }

    // Once the view and its document are ready, before it is first shown.
    virtual void OnInitialUpdate();

protected:
    // The document changed; `sender` is the view that changed it (or null).
    // The window layer's default redraws the whole view.
    virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);

    CDocument* m_pDocument = nullptr;

    friend class CDocument;
};
