#include "document/dizado_doc.h"

#include "document/brick_command.h"
#include "document/document_services.h"
#include "document/preview.h"
#include "document/server_item.h"
#include "foundation/notification_codes.h"
#include "platform/core/clipboard.h"
#include "platform/core/hooks.h"
#include "platform/ui/doc_template.h"

namespace {
// Registered by the first document; one id for the whole run.
UINT g_clipboardFormat = 0;
}  // namespace

IMPLEMENT_DYNCREATE(CDizadoDoc, COleServerDoc)

CDizadoDoc::CDizadoDoc()
{
    SetNotifyId(kNotifyId);
    OnTool(doc_id::kToolNewBrick);
    EnableAutomation();
    m_brickList.SetModelRoot(TRUE);
    AfxOleLockApp();
    if (g_clipboardFormat == 0)
        g_clipboardFormat = RegisterClipboardFormatA(kClipboardFormatName);
}

CDizadoDoc::~CDizadoDoc()
{
    // The command may own bricks taken out of the tree; it goes before the tree.
    delete m_pLastAction;
    m_pLastAction = nullptr;
    AfxOleUnlockApp();
}

UINT CDizadoDoc::GetClipboardFormat()
{
    return g_clipboardFormat;
}

void CDizadoDoc::SetCurrentBrickType(SHORT classId)
{
    m_nCurrentBrickType = classId;
    NotifyListeners(NOTIFY_DOC_CLASS_CHANGED, 0);
}

void CDizadoDoc::SetBaseplateSize(LONG x, LONG y)
{
    m_baseplateSize.cx = x;
    m_baseplateSize.cy = y;
}

CString CDizadoDoc::GetBackgroundImagePath()
{
    return m_strBackgroundPath;
}

void CDizadoDoc::ChangeBackgroundImage(const char* path)
{
    NotifyListeners(NOTIFY_DOC_BKPICTURE_CHANGING, 0);
    m_strBackgroundPath = path;
    NotifyListeners(NOTIFY_DOC_BKPICTURE_CHANGED, 0);
    SetModifiedFlag(TRUE);
}

COLORREF CDizadoDoc::GetBackgroundRGB()
{
    return m_backgroundColor;
}

void CDizadoDoc::ChangeBackgroundColor(const COLORREF* colour)
{
    NotifyListeners(NOTIFY_DOC_BKCOLOR_CHANGING, 0);
    if (colour)
        m_backgroundColor = *colour;
    NotifyListeners(NOTIFY_DOC_BKCOLOR_CHANGED, 0);
    SetModifiedFlag(TRUE);
}

BOOL CDizadoDoc::IsBackgroundTiled()
{
    return m_bBackgroundTiled;
}

void CDizadoDoc::ChangeTiled(BOOL tiled)
{
    NotifyListeners(NOTIFY_DOC_BKTILE_CHANGING, 0);
    m_bBackgroundTiled = tiled;
    NotifyListeners(NOTIFY_DOC_BKTILE_CHANGED, 0);
    SetModifiedFlag(TRUE);
}

void CDizadoDoc::SetLastAction(CBrickCommand* command)
{
    if (command != m_pLastAction) {
        delete m_pLastAction;
        m_pLastAction = command;
    }
    if (command && command->ModifiesDocument())
        m_bModifiedByCommands = TRUE;
    if (m_bModifiedByCommands)
        SetModifiedFlag(TRUE);
}

void CDizadoDoc::SetTitle(const char* title)
{
    COleServerDoc::SetTitle(title);
}

void CDizadoDoc::DeleteContents()
{
    // A command never outlives the bricks it refers to.
    delete m_pLastAction;
    m_pLastAction = nullptr;
    CPaneHold hold(&m_brickList);
    m_brickList.DeleteContents();
}

BOOL CDizadoDoc::OnNewDocument()
{
    if (!COleServerDoc::OnNewDocument())
        return FALSE;
    OnTool(doc_id::kToolNewBrick);
    ChangeBackgroundImage("");
    SetModifiedFlag(FALSE);
    UpdateAllViews(nullptr, doc_id::kFileNew);
    return TRUE;
}

BOOL CDizadoDoc::OnOpenDocument(const char* path)
{
    delete m_pLastAction;
    m_pLastAction = nullptr;
    m_bNotAModel = FALSE;
    m_bFlattened = FALSE;
    m_strRefusedPath.Empty();
    // The layer leaves the flag set once reading has begun; cleared here, it
    // tells a damaged file from one that could not be opened at all.
    const BOOL wasModified = IsModified();
    SetModifiedFlag(FALSE);
    if (!COleServerDoc::OnOpenDocument(path)) {
        m_bFlattened = FALSE;
        // The file is damaged and the half-read model is gone: a new, unnamed
        // document takes its place, so that no automatic save can replace
        // that file.
        if (IsModified()) {
            OnNewDocument();
            ForgetPath();
        } else {
            SetModifiedFlag(wasModified);
        }
        return FALSE;
    }
    if (m_bNotAModel) {
        // Some other file: the open succeeds with the empty model, under no
        // name, so that it is never saved over that file. The template names
        // the document after the open; that name is refused once.
        m_bNotAModel = FALSE;
        ForgetPath();
        m_strRefusedPath = path;
        SetModifiedFlag(FALSE);
        UpdateAllViews(nullptr, doc_id::kFileNew);
    }
    if (m_bFlattened) {
        m_bFlattened = FALSE;
        AfxMessageBox(kFlattenedMessage, MB_OK | MB_ICONINFORMATION);
    }
    return TRUE;
}

void CDizadoDoc::SetPathName(const char* path, BOOL addToMRU)
{
    const CString refused = m_strRefusedPath;
    m_strRefusedPath.Empty();
    if (!refused.IsEmpty() && refused == path)
        return;
    COleServerDoc::SetPathName(path, addToMRU);
}

void CDizadoDoc::ForgetPath()
{
    m_strPathName.Empty();
    if (CDocTemplate* docTemplate = GetDocTemplate())
        docTemplate->SetDefaultTitle(this);
    else
        SetTitle("");
}

BOOL CDizadoDoc::OnSaveDocument(const char* path)
{
    // The layer writes a temporary file and renames it over the old one, so
    // a failed save leaves the model on disk as it was.
    const CString target(path);
    if (!COleServerDoc::OnSaveDocument(target))
        return FALSE;
    // A document named like its own preview ("castle.pbk") gets none: the
    // picture would replace the model just saved. No list shows such a
    // document, so nothing misses the picture.
    const CString preview = GetPreviewPath(target);
    if (!IsSameFile(preview, target))
        WriteBitmapFile(preview, -1, -1);
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDizadoDoc::EnsurePath()
{
    if (!m_strPathName.IsEmpty())
        return TRUE;
    const CString path = GetDocumentShell()->GetNewDocumentPath();
    if (path.IsEmpty())
        return FALSE;
    SetPathName(path, TRUE);
    return TRUE;
}

BOOL CDizadoDoc::SaveModified()
{
    const BOOL named = EnsurePath();
    if (!IsModified())
        return TRUE;
    // Without any name the model cannot be put anywhere: refuse the close
    // rather than lose it.
    if (!named)
        return FALSE;
    const CString path(m_strPathName);
    return DoSave(path, TRUE);
}

void CDizadoDoc::OnFileSave()
{
    if (!IsModified() || !EnsurePath())
        return;
    const CString path(m_strPathName);
    DoSave(path, TRUE);
}

COleServerItem* CDizadoDoc::OnGetEmbeddedItem()
{
    return new CDizadoSrvrItem(this);
}
