#include "platform/ui/doc_template.h"

#include <new>

#include "platform/core/exceptions.h"
#include "platform/core/hooks.h"
#include "platform/ui/document.h"
#include "platform/ui/view.h"

namespace platform {
namespace {
IDocumentFrames*& FramesSlot()
{
    static IDocumentFrames* frames = nullptr;
    return frames;
}
}  // namespace

IDocumentFrames* SetDocumentFrames(IDocumentFrames* frames)
{
    IDocumentFrames* previous = FramesSlot();
    FramesSlot() = frames;
    return previous;
}

IDocumentFrames* GetDocumentFrames()
{
    return FramesSlot();
}
}  // namespace platform

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                           const CRuntimeClass* viewClass)
    : m_nIDResource(resourceId), m_pDocClass(docClass), m_pFrameClass(frameClass), m_pViewClass(viewClass)
{
    // A template without its string still works; its fields are then empty.
    m_strDocStrings.LoadString(resourceId);
}

BOOL CDocTemplate::GetDocString(CString& text, DocStringIndex index) const
{
    text.Empty();
    int start = 0;
    for (int field = 0; field < index; ++field) {
        start = m_strDocStrings.Find('\n', start);
        if (start < 0)
            return FALSE;
        ++start;
    }
    const int end = m_strDocStrings.Find('\n', start);
    text = end < 0 ? m_strDocStrings.Mid(start) : m_strDocStrings.Mid(start, end - start);
    return !text.IsEmpty();
}

void CDocTemplate::SetServerInfo(UINT idOleEmbedding, UINT idOleInPlace, const CRuntimeClass* inPlaceFrameClass,
                                 const CRuntimeClass* inPlaceViewClass)
{
    m_nIDServerResource = idOleEmbedding;
    m_nIDInPlaceResource = idOleInPlace;
    m_pInPlaceFrameClass = inPlaceFrameClass;
    m_pInPlaceViewClass = inPlaceViewClass;
}

void CDocTemplate::AddDocument(CDocument* document)
{
    document->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* document)
{
    if (document->m_pDocTemplate == this)
        document->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    if (!m_pDocClass)
        return nullptr;
    CObject* object = nullptr;
    try {
        object = m_pDocClass->CreateObject();
    } catch (const CException&) {
        return nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    auto* document = dynamic_cast<CDocument*>(object);
    if (!document) {
        delete object;
        return nullptr;
    }
    AddDocument(document);
    return document;
}

BOOL CDocTemplate::CreateNewFrame(CDocument* document)
{
    platform::IDocumentFrames* frames = platform::GetDocumentFrames();
    return frames ? frames->CreateFrame(*this, *document) : TRUE;
}

void CDocTemplate::InitialUpdateFrame(CDocument* document, BOOL makeVisible)
{
    if (platform::IDocumentFrames* frames = platform::GetDocumentFrames()) {
        frames->InitialUpdateFrame(*this, *document, makeVisible != FALSE);
        return;
    }
    std::vector<CView*> views;
    for (POSITION position = document->GetFirstViewPosition(); position;)
        views.push_back(document->GetNextView(position));
    for (CView* view : views)
        if (view->GetDocument() == document)
            view->OnInitialUpdate();
}

void CDocTemplate::SetDefaultTitle(CDocument* document)
{
    CString title;
    if (!GetDocString(title, docName))
        title = "Untitled";
    document->SetTitle(title);
}

BOOL CDocTemplate::SaveAllModified()
{
    for (POSITION position = GetFirstDocPosition(); position;)
        if (!GetNextDoc(position)->SaveModified())
            return FALSE;
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    std::vector<CDocument*> documents;
    for (POSITION position = GetFirstDocPosition(); position;)
        documents.push_back(GetNextDoc(position));
    for (CDocument* document : documents)
        document->OnCloseDocument();
}

CSingleDocTemplate::CSingleDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                                       const CRuntimeClass* viewClass)
    : CDocTemplate(resourceId, docClass, frameClass, viewClass)
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
    delete m_pOnlyDoc;
}

void CSingleDocTemplate::AddDocument(CDocument* document)
{
    if (m_pOnlyDoc && m_pOnlyDoc != document)
        return;
    CDocTemplate::AddDocument(document);
    m_pOnlyDoc = document;
    // The template keeps its one document for the whole run.
    document->m_bAutoDelete = FALSE;
}

void CSingleDocTemplate::RemoveDocument(CDocument* document)
{
    if (document != m_pOnlyDoc)
        return;
    CDocTemplate::RemoveDocument(document);
    m_pOnlyDoc = nullptr;
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const
{
    return m_pOnlyDoc ? reinterpret_cast<POSITION>(1) : nullptr;
}

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& position) const
{
    CDocument* document = position ? m_pOnlyDoc : nullptr;
    position = nullptr;
    return document;
}

void CSingleDocTemplate::DestroyDocument(CDocument* document)
{
    if (platform::IDocumentFrames* frames = platform::GetDocumentFrames())
        frames->CloseFrames(*document);
    delete document;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* path, BOOL makeVisible)
{
    CDocument* document = m_pOnlyDoc;
    bool created = false;
    if (document) {
        if (!document->SaveModified())
            return nullptr;
        // Its frame was closed: the document is shown in a new one.
        if (!document->GetFirstViewPosition() && !CreateNewFrame(document))
            return nullptr;
    } else {
        document = CreateNewDocument();
        if (!document) {
            AfxMessageBox("Unable to create the document.", MB_OK | MB_ICONEXCLAMATION);
            return nullptr;
        }
        created = true;
        if (!CreateNewFrame(document)) {
            delete document;
            return nullptr;
        }
    }

    if (!path) {
        SetDefaultTitle(document);
        if (!document->OnNewDocument()) {
            if (created)
                DestroyDocument(document);
            return nullptr;
        }
    } else {
        // The path is copied: it may be the document's own, which the open changes.
        const CString target(path);
        const BOOL wasModified = document->IsModified();
        document->SetModifiedFlag(FALSE);
        if (!document->OnOpenDocument(target)) {
            if (created) {
                DestroyDocument(document);
            } else if (!document->IsModified()) {
                document->SetModifiedFlag(wasModified);
            } else {
                SetDefaultTitle(document);
                document->OnNewDocument();
            }
            return nullptr;
        }
        document->SetPathName(target, TRUE);
    }
    InitialUpdateFrame(document, makeVisible);
    return document;
}
