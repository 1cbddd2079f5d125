// Defined in (document/):
//   dizado_doc.cpp: the model, current choices, background, baseplate, undo store; new, open, save, rescue
//   dizado_doc_commands.cpp: the message map, the command handlers and the edit path (Perform)
//   document_file.cpp: the .brk file: Serialize and its settings block
//   clipboard_format.cpp: copy and paste in "Vostrel Dizado Data"
//   preview.cpp: the .pbk preview picture
//   document_automation.cpp: the dispatch map and its methods
//
// The one document of the program: the brick model, the child's current
// choices for the mouse tools, the background and baseplate, and the single
// undoable command. Panes listen to it (NOTIFY_ID_DOCUMENT) for document-level
// changes; brick changes reach them through the root group.
#pragma once

#include <functional>

#include "foundation/notifier.h"
#include "model/brick_group.h"
#include "platform/core/cstring.h"
#include "platform/core/global_memory.h"
#include "platform/gdi/gdi_types.h"
#include "platform/ui/ole_server_doc.h"
#include "resources/resource_ids.h"

class CArchive;
class CChunkBlock;
class CBrickCommand;
class CCmdUI;
class IMousePane;

class CDizadoDoc : public COleServerDoc, public CNotifier {
    DECLARE_DYNCREATE(CDizadoDoc)
public:
    static constexpr const char* kClipboardFormatName = "Vostrel Dizado Data";
    // Said once when a model opens with groups nested past the depth limit.
    static constexpr const char* kFlattenedMessage =
        "This model has more than 1,000 groups inside one another. The deepest ones were joined "
        "into one group so that it could open; every brick is still there.";

    CDizadoDoc();
    ~CDizadoDoc() override;

    // The program-wide id of "Vostrel Dizado Data", registered by the first
    // document made (0 before that).
    static UINT GetClipboardFormat();

    // The model.
    CBrickGroup* GetBrickList() { return &m_brickList; }
    const CBrickGroup* GetBrickList() const { return &m_brickList; }
    // A selected brick anywhere in the tree.
    BOOL HasSelection() const { return m_brickList.HasSelection(); }

    // The mouse tools' current choices; the setters check no range.
    SHORT GetCurrentTool() const { return m_nCurrentTool; }
    UINT GetToolCursorId() const { return m_nToolCursorId; }
    LONG GetCurrentColorIndex() const { return m_nCurrentColor; }
    void SetCurrentColorIndex(LONG colour) { m_nCurrentColor = colour; }
    LONG GetCurrentOrientationIndex() const { return m_nCurrentOrientation; }
    void SetCurrentOrientationIndex(LONG orientation) { m_nCurrentOrientation = orientation; }
    SHORT GetCurrentBrickType() const { return m_nCurrentBrickType; }
    // Notifies NOTIFY_DOC_CLASS_CHANGED.
    void SetCurrentBrickType(SHORT classId);

    BOOL IsMultiViewShown() const { return m_bMultiView; }
    BOOL IsBaseplateShown() const { return m_bBaseplateShown; }
    // x in cx, y in cy.
    SIZE GetBaseplateSize() const { return m_baseplateSize; }
    void SetBaseplateSize(LONG x, LONG y);

    // The background. The changers notify before and after and mark the
    // document modified.
    virtual CString GetBackgroundImagePath();
    virtual void ChangeBackgroundImage(const char* path);
    virtual COLORREF GetBackgroundRGB();
    virtual void ChangeBackgroundColor(const COLORREF* colour);
    virtual BOOL IsBackgroundTiled();
    virtual void ChangeTiled(BOOL tiled);

    // The one-level undo store: deletes the command held before and takes
    // ownership of `command` (null forgets the undo).
    void SetLastAction(CBrickCommand* command);
    CBrickCommand* GetLastAction() const { return m_pLastAction; }
    // Sticky: set once any modifying command has been held.
    BOOL IsModifiedByCommands() const { return m_bModifiedByCommands; }

    // What a failed edit leaves in the undo store. The child is told once, in
    // the failure's own words or in general ones.
    enum class OnFailure {
        // The model may have changed outside any record and the held command
        // may no longer fit it: none is held.
        forgetUndo,
        // The command ended where it got to and still describes what changed
        // (a drag): it is held. One that could not be made leaves the held one.
        keepCommand,
        // The edit touches no brick (the background): the held command stays.
        keepUndo,
    };
    struct EditPath {
        // Performs the command; its Do when empty.
        std::function<void(CBrickCommand& command)> run;
        // A command that ran yet reports nothing performed is dropped and the
        // held one stays; `notPerformedText`, when given, tells the child.
        BOOL onlyIfPerformed = FALSE;
        const char* notPerformedText = nullptr;
        OnFailure onFailure = OnFailure::forgetUndo;
    };
    // The one way an edit reaches the undo store, for the document's handlers
    // and the panes' tools alike: `make` builds the command, the path runs it,
    // and the command is handed to SetLastAction. FALSE when it failed or was
    // dropped.
    BOOL Perform(const std::function<CBrickCommand*()>& make);
    BOOL Perform(const std::function<CBrickCommand*()>& make, const EditPath& path);
    // The path of a drag: its tracking from the press at `point` performs it,
    // and a failure inside keeps it (OnFailure::keepCommand).
    static EditPath Tracking(IMousePane* pane, POINT point, UINT keyFlags);

    // Stores the tool, picks its cursor and ticks its button.
    void OnTool(UINT id);
    // Flips the baseplate and redraws the panes; the document stays unmodified.
    void OnShowBaseplate();
    void OnShowMultiview();

    // The clipboard in the format "Vostrel Dizado Data": the selected bricks
    // go out as one group record; pasting adds the record's bricks and groups
    // to the root group. Raise CMemoryException or CArchiveException; copying
    // answers FALSE when the clipboard could not be had.
    BOOL CopyToClipboard();
    void PasteFromClipboard();
    // Reads one record from a clipboard block; bricks read before a failure stay.
    void ReadNativeData(HGLOBAL block);

    // The preview picture: 80 by 60 when either size is -1 (or not positive).
    // It replaces an older file at the path only once it is whole, and never
    // replaces a model; a picture that cannot be written is reported.
    // FALSE when it was not written.
    BOOL WriteBitmapFile(const char* path, int width, int height);
    // The preview's name beside a document: the file name cut at its first ".".
    static CString GetPreviewPath(const char* documentPath);

    // Overrides of the document.
    void Serialize(CArchive& ar) override;
    void SetTitle(const char* title) override;
    // Empties the tree, and forgets the undo that refers to it.
    void DeleteContents() override;
    BOOL OnNewDocument() override;
    // A file that is no model (wrong magic) leaves the empty model, unnamed,
    // and answers FALSE without a message. A damaged file is reported and
    // gives a new document, unnamed: none of its bricks stay, only the
    // settings a new document keeps (colour, tiling, baseplate, multiview)
    // as far as they were read. Either way no automatic save can later
    // replace the file that was not read. A file that cannot be opened
    // leaves the document as it was.
    BOOL OnOpenDocument(const char* path) override;
    // Refuses, once, the name of a file that opened as no model.
    void SetPathName(const char* path, BOOL addToMRU = TRUE) override;
    // The model, then its preview; the preview only after a successful save.
    BOOL OnSaveDocument(const char* path) override;
    // Never asks: an unnamed document takes the automatic name, a modified
    // one is saved. When that save fails the model is rescued (see
    // SaveOrRescue) and may be closed; FALSE only when it could not be
    // rescued either and the grown-up chose to keep it open.
    BOOL SaveModified() override;

    enum class SaveOutcome { unchanged, saved, rescued, dropped, kept };
    // Saves a document that needs it. A failed save writes a copy into the
    // shell's rescue folder and says where; only when that fails too, with
    // `mayDrop` and someone at the screen, a grown-up is asked whether to
    // close without saving.
    SaveOutcome SaveOrRescue(BOOL mayDrop);
    // Modified, or holding bricks made through automation since the last
    // save or open: those leave the modified flag alone, yet must not be lost.
    BOOL NeedsSave() { return IsModified() || m_bMadeByAutomation; }

    // Handlers of the message map, public so that frames, panes and
    // automation can run them directly.
    void OnUpdateTool(CCmdUI* cmdUI);
    void OnDirection(UINT id);
    void OnColor(UINT id);
    void OnUpdateColor(CCmdUI* cmdUI);
    void OnBrickListSelChange();
    void OnUpdateBrickList(CCmdUI* cmdUI);
    void OnEditCopy();
    void OnUpdateEditCopy(CCmdUI* cmdUI);
    void OnEditPaste();
    void OnUpdateEditPaste(CCmdUI* cmdUI);
    void OnEditCut();
    void OnUpdateEditCut(CCmdUI* cmdUI);
    void OnEditUndo();
    void OnUpdateEditUndo(CCmdUI* cmdUI);
    void OnToggleTool();
    void OnEditClear();
    void OnUpdateEditClear(CCmdUI* cmdUI);
    void OnEditDuplicate();
    void OnUpdateEditDuplicate(CCmdUI* cmdUI);
    void OnEditSelectAll();
    void OnUpdateEditSelectAll(CCmdUI* cmdUI);
    void OnEditSelectNone();
    void OnUpdateEditSelectNone(CCmdUI* cmdUI);
    void OnGroup();
    void OnUpdateGroup(CCmdUI* cmdUI);
    void OnUngroup();
    void OnUpdateUngroup(CCmdUI* cmdUI);
    void OnUpdateShowBaseplate(CCmdUI* cmdUI);
    void OnPrintPlans();
    void OnUpdatePrintPlans(CCmdUI* cmdUI);
    void OnPrintParts();
    void OnUpdatePrintParts(CCmdUI* cmdUI);
    void OnPrintPreviewPlans();
    void OnUpdatePrintPreviewPlans(CCmdUI* cmdUI);
    void OnPrintPreviewParts();
    void OnUpdatePrintPreviewParts(CCmdUI* cmdUI);
    void OnBackground();
    void OnUpdateBackground(CCmdUI* cmdUI);
    void OnUpdateShowMultiview(CCmdUI* cmdUI);
    void OnFileSave() override;
    void OnUpdateFileSave(CCmdUI* cmdUI);
    void OnUpdateFilePrint(CCmdUI* cmdUI);

protected:
    COleServerItem* OnGetEmbeddedItem() override;

    DECLARE_MESSAGE_MAP()

    // Dispatch handlers. Values a client gives are checked like a file's.
    IDispatch* DispApplication();
    void DispShowWindow();
    IDispatch* DispMakeBrick(SHORT classId, SHORT x, SHORT y, SHORT z, SHORT orientation, SHORT colour,
                             LONG selected);
    IDispatch* DispGetList();
    void DispSetName(const char* path);
    void DispSetBackgroundColor(LONG colour);
    LONG DispGetBackgroundColor();
    void DispSetBackgroundImage(const char* path);
    void DispSetTiled(LONG tiled);
    LONG DispIsTiled();
    LONG DispHasBaseplate();
    void DispSetBaseplate(LONG shown);
    void DispSetBaseplateSize(SHORT x, SHORT y);
    LONG DispHasMultiView();
    void DispSetMultiView(LONG shown);
    LONG DispIsModified();
    CString DispGetName();
    CString DispGetBackgroundImage();
    void DispSetCurrentColor(SHORT colour);
    SHORT DispGetCurrentColor();
    void DispSetCurrentBrick(SHORT classId);
    SHORT DispGetCurrentBrick();
    void DispSetCurrentOrientation(SHORT orientation);
    SHORT DispGetCurrentOrientation();
    LONG DispSaveBmp(const char* path, SHORT width, SHORT height);
    SHORT DispGetDocBoundsW();
    SHORT DispGetDocBoundsH();
    SHORT DispGetBaseplateSizeX();
    SHORT DispGetBaseplateSizeY();

    DECLARE_DISPATCH_MAP()

private:
    // Gives an unnamed document its automatic path; FALSE when there is none.
    BOOL EnsurePath();
    // No path, the template's default title.
    void ForgetPath();
    void Nudge(LONG dx, LONG dy, LONG dz);
    void Rotate(LONG direction);
    void AdvanceOrientation();
    void ReadSettings(const CChunkBlock& block);

    CBrickGroup m_brickList;
    LONG m_nCurrentColor = 0;
    LONG m_nCurrentOrientation = 0;
    SHORT m_nCurrentBrickType = IDC_BUILTIN_CLASS;
    SHORT m_nCurrentTool = static_cast<SHORT>(IDM_TOOL_NEW_BRICK);
    CBrickCommand* m_pLastAction = nullptr;
    BOOL m_bModifiedByCommands = FALSE;
    BOOL m_bMultiView = FALSE;
    CString m_strBackgroundPath;
    COLORREF m_backgroundColor = 0;
    BOOL m_bBackgroundTiled = FALSE;
    BOOL m_bBaseplateShown = TRUE;
    SIZE m_baseplateSize{2, 2};
    // The window layer loads the cursor from this id.
    UINT m_nToolCursorId = 0;
    // Set by a read that found no magic; see OnOpenDocument.
    BOOL m_bNotAModel = FALSE;
    // Set by a read that folded groups past the depth limit into their
    // ancestor; told once the open is over.
    BOOL m_bFlattened = FALSE;
    BOOL m_bMadeByAutomation = FALSE;
    BOOL m_bMissingClasses = FALSE;
    // Writes the model into the rescue folder; the path written, empty on failure.
    CString WriteRescueCopy();
    CString m_strRefusedPath;
};
