#include "document/dizado_doc.h"

#include <filesystem>
#include <string>

#include "document/brick_command.h"
#include "document/document_services.h"
#include "document/preview.h"
#include "document/server_item.h"
#include "foundation/notification_codes.h"
#include "platform/core/archive.h"
#include "platform/core/clipboard.h"
#include "platform/core/file.h"
#include "platform/core/find_file.h"
#include "platform/core/hooks.h"
#include "platform/core/safe_replace.h"
#include "platform/ui/doc_template.h"

namespace {
// Registered by the first document; one id for the whole run.
UINT g_clipboardFormat = 0;
}  // namespace

IMPLEMENT_DYNCREATE(CDizadoDoc, COleServerDoc)

CDizadoDoc::CDizadoDoc()
{
    SetNotifyId(NOTIFY_ID_DOCUMENT);
    OnTool(IDM_TOOL_NEW_BRICK);
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
    m_bMadeByAutomation = FALSE;
    m_bMissingClasses = FALSE;
    CPaneHold hold(&m_brickList);
    m_brickList.DeleteContents();
}

BOOL CDizadoDoc::OnNewDocument()
{
    if (!COleServerDoc::OnNewDocument())
        return FALSE;
    OnTool(IDM_TOOL_NEW_BRICK);
    ChangeBackgroundImage("");
    SetModifiedFlag(FALSE);
    UpdateAllViews(nullptr, IDM_FILE_NEW);
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
        UpdateAllViews(nullptr, IDM_FILE_NEW);
    }
    if (m_bFlattened) {
        m_bFlattened = FALSE;
        AfxMessageBox(kFlattenedMessage, MB_OK | MB_ICONINFORMATION);
    }
    if (m_bMissingClasses)
        GetDocumentShell()->Say(
            "Some bricks of this model come from a kit that is not installed on this computer. They are shown as "
            "small plates until the kit is back; saving keeps what they really are, so nothing of the model is lost.");
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
    m_bMadeByAutomation = FALSE;
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
    return SaveOrRescue(TRUE) != SaveOutcome::kept;
}

CDizadoDoc::SaveOutcome CDizadoDoc::SaveOrRescue(BOOL mayDrop)
{
    const BOOL named = EnsurePath();
    if (!NeedsSave())
        return SaveOutcome::unchanged;
    if (named) {
        const CString path(m_strPathName);
        if (DoSave(path, TRUE))
            return SaveOutcome::saved;
    }
    // The program must always be able to close, and never drop a model
    // without a word.
    const CString rescued = WriteRescueCopy();
    if (!rescued.IsEmpty()) {
        GetDocumentShell()->Say("The model could not be saved in its own folder, so a copy of it was put in " +
                                rescued + ". A grown-up can move it back later.");
        return SaveOutcome::rescued;
    }
    if (!mayDrop || !GetDocumentShell()->CanAsk())
        return SaveOutcome::kept;
    const CString folder = GetDocumentShell()->GetRescueFolder();
    const CString question = "The model could not be saved, and no copy of it could be put in " +
                             (folder.IsEmpty() ? CString("a rescue folder") : folder) +
                             " either.\n\nA question for a grown-up: close it without saving? Its changes will "
                             "be lost.";
    if (AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) == IDYES)
        return SaveOutcome::dropped;
    return SaveOutcome::kept;
}

CString CDizadoDoc::WriteRescueCopy()
{
    const CString folder = GetDocumentShell()->GetRescueFolder();
    if (folder.IsEmpty())
        return CString();
    std::error_code error;
    const std::filesystem::path base(platform::NativePath(folder));
    std::filesystem::create_directories(base, error);
    std::string stem = std::filesystem::path(platform::NativePath(m_strPathName)).stem().string();
    if (stem.empty() || stem[0] == '.')
        stem = "model";
    // Never over an earlier rescue: each one may be the only copy of its model.
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const std::filesystem::path candidate =
            base / (attempt == 1 ? stem + ".brk" : stem + "-" + std::to_string(attempt) + ".brk");
        if (std::filesystem::exists(candidate, error) || error)
            continue;
        try {
            platform::ReplaceFileSafely(candidate.c_str(), [&](CFile& file) {
                CArchive archive(&file, CArchive::store | CArchive::bNoFlushOnDelete);
                Serialize(archive);
                archive.Close();
            });
            return CString(candidate.c_str());
        } catch (...) {
            return CString();
        }
    }
    return CString();
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
