// Printing: the print job's information, and the back ends that take the
// page rasters the views draw. A page is drawn by the program's own DC code
// into a raster at the printer's resolution; the Qt back end hands it to a
// system printer chosen in the print dialog or writes a PDF file, the image
// back end keeps it for tests.
#pragma once

#include <memory>
#include <vector>

#include "platform/core/cstring.h"
#include "platform/core/rect.h"
#include "platform/gdi/surface.h"

class CWnd;

namespace platform {

// The printer a job prints on.
struct PrinterPage {
    int width = 0;   // pixels of the printable page
    int height = 0;
    int dotsPerInch = 300;
};

}  // namespace platform

class CPrintInfo {
public:
    CPrintInfo() = default;

    void SetMinPage(UINT page) { m_nMinPage = page; }
    void SetMaxPage(UINT page) { m_nMaxPage = page; }
    UINT GetMinPage() const { return m_nMinPage; }
    UINT GetMaxPage() const { return m_nMaxPage; }
    UINT GetFromPage() const { return m_nFromPage ? m_nFromPage : m_nMinPage; }
    UINT GetToPage() const { return m_nToPage ? m_nToPage : m_nMaxPage; }

    BOOL m_bDirect = FALSE;   // no print dialog
    BOOL m_bPreview = FALSE;  // drawn for the preview window
    BOOL m_bContinuePrinting = TRUE;
    UINT m_nCurPage = 1;
    UINT m_nNumPreviewPages = 1;
    void* m_lpUserData = nullptr;
    CRect m_rectDraw;  // the page, device pixels
    CString m_strPageDesc;

    // Filled in by DoPreparePrinting.
    platform::PrinterPage m_page;

    UINT m_nMinPage = 1;
    UINT m_nMaxPage = 0xFFFF;
    UINT m_nFromPage = 0;
    UINT m_nToPage = 0;
};

namespace platform {

class IPrintBackend {
public:
    virtual ~IPrintBackend() = default;
    // Chooses the printer (with a dialog when `askUser`) and fills in
    // info.m_page; false when cancelled or when there is no printer.
    virtual bool Setup(CPrintInfo& info, CWnd* owner, bool askUser) = 0;
    // One page raster of the job, info.m_page's size.
    virtual bool PrintPage(const CPrintInfo& info, const Surface& page) = 0;
    // The job ends; `completed` false when it was given up.
    virtual bool EndJob(const CPrintInfo& info, bool completed) = 0;
    // Print Setup: the user chooses the printer and its page, which the next
    // jobs start from; false when cancelled.
    virtual bool ChoosePrinter(CWnd* owner) = 0;
};

// Answers the previous one; null goes back to the Qt back end.
IPrintBackend* SetPrintBackend(IPrintBackend* backend);
IPrintBackend* GetPrintBackend();

// Qt's printer: with a PDF path set, jobs are written there without a
// dialog; otherwise the print dialog chooses a system printer.
class QtPrintBackend : public IPrintBackend {
public:
    QtPrintBackend();
    ~QtPrintBackend() override;
    // Empty: print to a system printer.
    void SetPdfFile(const CString& path) { m_pdfPath = path; }
    // The raster resolution asked of the printer.
    void SetDotsPerInch(int dpi) { m_dpi = dpi; }

    bool Setup(CPrintInfo& info, CWnd* owner, bool askUser) override;
    bool PrintPage(const CPrintInfo& info, const Surface& page) override;
    bool EndJob(const CPrintInfo& info, bool completed) override;
    bool ChoosePrinter(CWnd* owner) override;

private:
    struct Job;
    struct Choice;
    CString m_pdfPath;
    std::unique_ptr<Choice> m_choice;
    int m_dpi = 300;
    std::unique_ptr<Job> m_job;
};

// The print preview window now open (one at a time: a new preview closes
// the last), or null.
CWnd* GetPrintPreviewWindow();

// Keeps every page printed, for tests. The page is `width` x `height` pixels
// at `dotsPerInch`.
class ImagePrintBackend : public IPrintBackend {
public:
    ImagePrintBackend(int width, int height, int dotsPerInch);
    void SetCancel(bool cancel) { m_cancel = cancel; }

    bool Setup(CPrintInfo& info, CWnd* owner, bool askUser) override;
    bool PrintPage(const CPrintInfo& info, const Surface& page) override;
    bool EndJob(const CPrintInfo& info, bool completed) override;
    bool ChoosePrinter(CWnd* owner) override;

    std::vector<Surface> m_pages;
    int m_printerChoices = 0;
    int m_jobs = 0;
    int m_completedJobs = 0;
    bool m_askedUser = false;

private:
    PrinterPage m_page;
    bool m_cancel = false;
};

}  // namespace platform
