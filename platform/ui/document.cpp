#include "platform/ui/document.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <new>
#include <string>
#include <utility>

#include <sys/stat.h>

#include "platform/core/archive.h"
#include "platform/core/exceptions.h"
#include "platform/core/file.h"
#include "platform/core/find_file.h"
#include "platform/core/hooks.h"
#include "platform/core/safe_replace.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/view.h"

namespace platform {
namespace {
RecentFileHook& RecentFileSlot()
{
    static RecentFileHook hook;
    return hook;
}

SavePathPromptHook& SavePathPromptSlot()
{
    static SavePathPromptHook hook;
    return hook;
}
}  // namespace

RecentFileHook SetRecentFileHook(RecentFileHook hook)
{
    return std::exchange(RecentFileSlot(), std::move(hook));
}

SavePathPromptHook SetSavePathPromptHook(SavePathPromptHook hook)
{
    return std::exchange(SavePathPromptSlot(), std::move(hook));
}
}  // namespace platform

namespace {

// The reason of a failure, naming the document's file rather than whatever
// file the layer was working on (the temporary one, on a save), in the file
// system's spelling: the parent who reads it looks for that file.
CString DescribeFailure(const CException* error, const char* documentPath)
{
    const std::string native = platform::NativePath(documentPath ? documentPath : "");
    const char* path = native.c_str();
    CString reason;
    if (const auto* fileError = dynamic_cast<const CFileException*>(error)) {
        CFileException named(*fileError);
        named.m_strFileName = path;
        reason = named.Describe();
    } else if (const auto* archiveError = dynamic_cast<const CArchiveException*>(error)) {
        CArchiveException named(*archiveError);
        named.m_strFileName = path;
        reason = named.Describe();
    } else if (error) {
        reason = error->Describe();
    }
    if (reason.IsEmpty())
        reason = CFileException(CFileException::generic, -1, path).Describe();
    return reason;
}

}  // namespace

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
ON_COMMAND(ID_FILE_SAVE, OnFileSave)
ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::~CDocument()
{
    DetachViews();
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const char* title)
{
    m_strTitle = title;
}

void CDocument::SetPathName(const char* path, BOOL addToMRU)
{
    m_strPathName = path;
    const std::string& text = m_strPathName.str();
    const size_t slash = text.find_last_of("\\/");
    SetTitle(slash == std::string::npos ? text.c_str() : text.c_str() + slash + 1);
    if (addToMRU && platform::RecentFileSlot())
        platform::RecentFileSlot()(m_strPathName);
}

void CDocument::AddView(CView* view)
{
    if (!view || view->m_pDocument == this)
        return;
    if (view->m_pDocument)
        view->m_pDocument->RemoveView(view);
    m_viewList.push_back(view);
    view->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* view)
{
    auto found = std::find(m_viewList.begin(), m_viewList.end(), view);
    if (found == m_viewList.end())
        return;
    m_viewList.erase(found);
    view->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::DetachViews()
{
    std::vector<CView*> views;
    views.swap(m_viewList);
    for (CView* view : views)
        view->m_pDocument = nullptr;
}

// A view position is its index plus one, so that null means past the end.
POSITION CDocument::GetFirstViewPosition() const
{
    return m_viewList.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<uintptr_t>(1));
}

CView* CDocument::GetNextView(POSITION& position) const
{
    const uintptr_t index = reinterpret_cast<uintptr_t>(position);
    if (index == 0 || index > m_viewList.size()) {
        position = nullptr;
        return nullptr;
    }
    position = index < m_viewList.size() ? reinterpret_cast<POSITION>(index + 1) : nullptr;
    return m_viewList[index - 1];
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hintObject)
{
    const std::vector<CView*> views = m_viewList;
    for (CView* view : views) {
        if (view == sender || std::find(m_viewList.begin(), m_viewList.end(), view) == m_viewList.end())
            continue;
        view->OnUpdate(sender, hint, hintObject);
    }
}

void CDocument::OnChangedViewList()
{
    if (m_viewList.empty() && m_bAutoDelete)
        OnCloseDocument();
}

void CDocument::DeleteContents() {}

void CDocument::Serialize(CArchive&) {}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(const char* path)
{
    CFile file;
    CFileException openError;
    struct stat status {};
    const std::string native = platform::NativePath(path);
    if (::stat(native.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        openError = CFileException(CFileException::accessDenied, EISDIR, path);
        ReportSaveLoadException(path, &openError, FALSE);
        return FALSE;
    }
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite, &openError)) {
        ReportSaveLoadException(path, &openError, FALSE);
        return FALSE;
    }

    DeleteContents();
    SetModifiedFlag(TRUE);
    // Whatever Serialize raises, the half-read contents must not stay.
    auto failed = [&](const CException& error) {
        file.Abort();
        DeleteContents();
        ReportSaveLoadException(path, &error, FALSE);
        return FALSE;
    };
    try {
        CArchive archive(&file, CArchive::load | CArchive::bNoFlushOnDelete);
        // An empty file is an empty document, as the class library reads it.
        if (file.GetLength() != 0)
            Serialize(archive);
        archive.Close();
        file.Abort();
    } catch (const CException& error) {
        return failed(error);
    } catch (const std::bad_alloc&) {
        return failed(CMemoryException());
    } catch (const std::exception&) {
        return failed(CArchiveException(CArchiveException::generic, path));
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(const char* path)
{
    auto failed = [&](const CException& error) {
        ReportSaveLoadException(path, &error, TRUE);
        return FALSE;
    };
    try {
        platform::ReplaceFileSafely(path, [&](CFile& file) {
            CArchive archive(&file, CArchive::store | CArchive::bNoFlushOnDelete);
            Serialize(archive);
            archive.Close();
        });
    } catch (const CException& error) {
        return failed(error);
    } catch (const std::bad_alloc&) {
        return failed(CMemoryException());
    } catch (const std::exception&) {
        return failed(CFileException(CFileException::generic, -1, path));
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::ReportSaveLoadException(const char* path, const CException* error, BOOL saving)
{
    const CString text = CString(saving ? "Unable to save the file.\n" : "Unable to read the file.\n") +
                         DescribeFailure(error, path);
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

void CDocument::OnCloseDocument()
{
    // Closing the frames removes the views; that must not delete the document
    // before it is emptied.
    const BOOL autoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    if (platform::IDocumentFrames* frames = platform::GetDocumentFrames())
        frames->CloseFrames(*this);
    DetachViews();
    m_bAutoDelete = autoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

BOOL CDocument::SaveModified()
{
    if (!IsModified())
        return TRUE;
    return DoFileSave();
}

BOOL CDocument::DoSave(const char* path, BOOL replace)
{
    CString target(path);
    if (target.IsEmpty()) {
        target = m_strPathName;
        const platform::SavePathPromptHook& prompt = platform::SavePathPromptSlot();
        if (!prompt || !prompt(*this, target) || target.IsEmpty())
            return FALSE;
    }
    if (!OnSaveDocument(target))
        return FALSE;
    if (replace)
        SetPathName(target, TRUE);
    return TRUE;
}

BOOL CDocument::DoFileSave()
{
    if (m_strPathName.IsEmpty() || platform::IsReadOnlyFile(platform::NativePath(m_strPathName)))
        return DoSave(nullptr);
    const CString path(m_strPathName);
    return DoSave(path);
}

BOOL CDocument::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    if (CCmdTarget::OnCmdMsg(id, code, extra, handlerInfo))
        return TRUE;
    return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(id, code, extra, handlerInfo);
}

void CDocument::OnFinalRelease()
{
    OnCloseDocument();
}

void CDocument::OnFileClose()
{
    if (!SaveModified())
        return;
    OnCloseDocument();
}

void CDocument::OnFileSave()
{
    DoFileSave();
}

void CDocument::OnFileSaveAs()
{
    DoSave(nullptr);
}
