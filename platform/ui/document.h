// The document: the data a user works on, its file, its modified flag and the
// views that show it. Subclasses give it contents through Serialize and
// DeleteContents; this class does the file handling around them.
//
// A save never puts the old file at risk: the contents go to a temporary file
// in the target's folder, which replaces the target only once it is complete
// and on the disk. Open and save report their own failures in a message box
// and answer FALSE.
#pragma once

#include <functional>
#include <vector>

#include "platform/core/cmd_target.h"
#include "platform/core/collections.h"
#include "platform/core/cstring.h"

// The class library's standard File menu commands that a document handles.
constexpr UINT ID_FILE_CLOSE = 0xE102;    // 57602
constexpr UINT ID_FILE_SAVE = 0xE103;     // 57603
constexpr UINT ID_FILE_SAVE_AS = 0xE104;  // 57604

class CArchive;
class CDocTemplate;
class CDocument;
class CException;
class CView;

namespace platform {
// Told of every path set with addToMRU (the application keeps the recent-file list).
using RecentFileHook = std::function<void(const char* path)>;
// Asked for a file name when a document is saved under a new one; `path`
// comes in as the current name. False: the user cancelled.
using SavePathPromptHook = std::function<bool(CDocument& document, CString& path)>;

// Each setter returns the hook it replaced; an empty hook means none.
RecentFileHook SetRecentFileHook(RecentFileHook hook);
SavePathPromptHook SetSavePathPromptHook(SavePathPromptHook hook);
}  // namespace platform

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument() = default;
    // Leaves its template; its views are left without a document.
    ~CDocument() override;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    const CString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(const char* title);
    // The path exactly as given; the title becomes its file name.
    const CString& GetPathName() const { return m_strPathName; }
    virtual void SetPathName(const char* path, BOOL addToMRU = TRUE);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL modified = TRUE) { m_bModified = modified ? TRUE : FALSE; }

    // A view belongs to one document at a time; adding it here takes it from
    // any other.
    void AddView(CView* view);
    void RemoveView(CView* view);
    virtual POSITION GetFirstViewPosition() const;
    // The view at `position`; moves `position` on (null after the last).
    virtual CView* GetNextView(POSITION& position) const;
    // Tells every view but `sender` through its OnUpdate. Views removed during
    // the pass are not told.
    void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hintObject = nullptr);

    // Empties the document's data; called before new data arrives and when
    // the document closes.
    virtual void DeleteContents();
    // Empty contents, no path, not modified.
    virtual BOOL OnNewDocument();
    // Reads the file through Serialize. A file that cannot be opened leaves
    // the document as it was. Once reading has begun the document counts as
    // modified; a read that fails empties the contents again and leaves the
    // document modified, so that its template can tell it was touched.
    virtual BOOL OnOpenDocument(const char* path);
    // Writes the document through Serialize; see the header comment. The
    // modified flag is cleared only when the file was replaced.
    virtual BOOL OnSaveDocument(const char* path);
    // Closes the document's frames (the window layer's), leaves its views
    // without a document and empties it; deletes it when m_bAutoDelete.
    virtual void OnCloseDocument();
    // Before the document is closed or replaced: an unmodified document
    // answers TRUE, a modified one is saved where it belongs without a
    // question and answers whether that worked.
    virtual BOOL SaveModified();
    // Saves under `path` (null or empty: asks for a name through the prompt
    // hook) and on success takes it as the document's path when `replace`.
    virtual BOOL DoSave(const char* path, BOOL replace = TRUE);
    // Saves under the document's own path; a document without one, or whose
    // file is read-only, asks for a name.
    virtual BOOL DoFileSave();
    virtual void ReportSaveLoadException(const char* path, const CException* error, BOOL saving);
    // A document that loses its last view closes itself when m_bAutoDelete.
    virtual void OnChangedViewList();

    void Serialize(CArchive& ar) override;
    // The document's own map first, then its template's.
    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;
    // The last automation reference closes the document.
    void OnFinalRelease() override;

    BOOL m_bAutoDelete = TRUE;
    BOOL m_bEmbedded = FALSE;

protected:
    // File menu commands.
    virtual void OnFileClose();
    virtual void OnFileSave();
    virtual void OnFileSaveAs();

    DECLARE_MESSAGE_MAP()

protected:
    CString m_strTitle;
    CString m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    BOOL m_bModified = FALSE;

private:
    // Every view loses its document, without the view-list notification.
    void DetachViews();

    std::vector<CView*> m_viewList;

    friend class CDocTemplate;
};
