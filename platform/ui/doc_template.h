// Document templates: what kind of document a program makes, with which frame
// and view classes, and how a document is made, opened and replaced. The
// frames and views are the window layer's; it supplies them through
// platform::IDocumentFrames. Without it no frame is made and the views a
// document has are the ones attached to it by hand.
#pragma once

#include "platform/core/cmd_target.h"
#include "platform/core/collections.h"
#include "platform/core/cstring.h"

class CDocTemplate;
class CDocument;

namespace platform {

class IDocumentFrames {
public:
    virtual ~IDocumentFrames() = default;
    // Makes the frame (of the template's frame class) and its view for a
    // document just made. False: the document cannot be shown.
    virtual bool CreateFrame(CDocTemplate& docTemplate, CDocument& document) = 0;
    // The document is ready: its views get their initial update and the frame
    // is shown when asked.
    virtual void InitialUpdateFrame(CDocTemplate& docTemplate, CDocument& document, bool makeVisible) = 0;
    // Destroys the frames of a document that is closing, and with them its views.
    virtual void CloseFrames(CDocument& document) = 0;
};

// Returns the previous one; null removes it.
IDocumentFrames* SetDocumentFrames(IDocumentFrames* frames);
IDocumentFrames* GetDocumentFrames();

}  // namespace platform

class CDocTemplate : public CCmdTarget {
    DECLARE_DYNAMIC(CDocTemplate)
public:
    // The newline-separated fields of the template's resource string.
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

    UINT GetResourceID() const { return m_nIDResource; }
    const CRuntimeClass* GetDocClass() const { return m_pDocClass; }
    const CRuntimeClass* GetFrameClass() const { return m_pFrameClass; }
    const CRuntimeClass* GetViewClass() const { return m_pViewClass; }
    // FALSE when the string has no such field or it is empty.
    virtual BOOL GetDocString(CString& text, DocStringIndex index) const;

    // Resources and frame of the document when it is embedded in a container.
    void SetServerInfo(UINT idOleEmbedding, UINT idOleInPlace = 0, const CRuntimeClass* inPlaceFrameClass = nullptr,
                       const CRuntimeClass* inPlaceViewClass = nullptr);
    UINT m_nIDServerResource = 0;
    UINT m_nIDInPlaceResource = 0;
    const CRuntimeClass* m_pInPlaceFrameClass = nullptr;
    const CRuntimeClass* m_pInPlaceViewClass = nullptr;

    virtual void AddDocument(CDocument* document);
    virtual void RemoveDocument(CDocument* document);
    virtual POSITION GetFirstDocPosition() const = 0;
    virtual CDocument* GetNextDoc(POSITION& position) const = 0;

    // A new document of the template's class, added to the template; null
    // when the class cannot be made or is no document.
    virtual CDocument* CreateNewDocument();
    // Through the installed IDocumentFrames; TRUE when there is none.
    virtual BOOL CreateNewFrame(CDocument* document);
    // Through the installed IDocumentFrames; without one every view of the
    // document gets OnInitialUpdate.
    virtual void InitialUpdateFrame(CDocument* document, BOOL makeVisible = TRUE);
    // The document-name field, else "Untitled".
    virtual void SetDefaultTitle(CDocument* document);

    // Null path: a new document. Answers the document, or null on failure
    // (the failure has been reported).
    virtual CDocument* OpenDocumentFile(const char* path, BOOL makeVisible = TRUE) = 0;
    // Asks every document's SaveModified; FALSE as soon as one refuses.
    virtual BOOL SaveAllModified();
    virtual void CloseAllDocuments(BOOL endSession);

protected:
    CDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                 const CRuntimeClass* viewClass);

    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
    CString m_strDocStrings;
};

// One document object for the whole run: made the first time a document is
// opened or made new, reused for every later one, and deleted with the
// template. Closing it empties it but keeps the object.
class CSingleDocTemplate : public CDocTemplate {
    DECLARE_DYNAMIC(CSingleDocTemplate)
public:
    CSingleDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                       const CRuntimeClass* viewClass);
    ~CSingleDocTemplate() override;

    void AddDocument(CDocument* document) override;
    void RemoveDocument(CDocument* document) override;
    POSITION GetFirstDocPosition() const override;
    CDocument* GetNextDoc(POSITION& position) const override;

    // The document in use is asked SaveModified first; its refusal cancels.
    // A new document is OnNewDocument with the default title. An open is
    // OnOpenDocument, then the path is set (and added to the recent files).
    // When an open fails: a file that could not be read at all leaves the
    // document as it was, modified flag included; a read that failed midway
    // leaves a new, empty, untitled document in place of the half-read one;
    // the very first document of the run is deleted instead, since nothing
    // was shown yet. Either way the answer is null.
    CDocument* OpenDocumentFile(const char* path, BOOL makeVisible = TRUE) override;

protected:
    CDocument* m_pOnlyDoc = nullptr;

private:
    void DestroyDocument(CDocument* document);
};
