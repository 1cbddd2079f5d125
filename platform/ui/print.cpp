// Printing and print preview of views, and the page back ends.
#include "platform/ui/print.h"

#include <QImage>
#include <QPainter>
#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

#include "platform/core/hooks.h"
#include "platform/ui/app.h"
#include "platform/ui/view.h"
#include "platform/ui/window_peer.h"

namespace {

// No job prints more pages than this, whatever the view says.
constexpr UINT kMaxPages = 1000;

platform::IPrintBackend*& InstalledBackend()
{
    static platform::IPrintBackend* backend = nullptr;
    return backend;
}

class CPrintPreviewWnd;

CPrintPreviewWnd*& OpenPreview()
{
    static CPrintPreviewWnd* preview = nullptr;
    return preview;
}

// Shows one page raster scaled into its window, on grey.
class CPrintPreviewWnd : public CWnd {
public:
    explicit CPrintPreviewWnd(platform::Surface page) : m_page(std::move(page)) {}
    ~CPrintPreviewWnd() override
    {
        if (OpenPreview() == this)
            OpenPreview() = nullptr;
    }

    const platform::Surface& Page() const { return m_page; }

protected:
    void OnPaint()
    {
        CPaintDC dc(this);
        RECT client;
        GetClientRect(&client);
        dc.FillSolidRect(&client, RGB(128, 128, 128));
        if (m_page.Width() <= 0 || m_page.Height() <= 0 || IsRectEmpty(&client))
            return;
        // The whole page, as large as fits with a margin, centred.
        const int64_t margin = 8;
        const int64_t w = std::max<int64_t>(1, client.right - 2 * margin);
        const int64_t h = std::max<int64_t>(1, client.bottom - 2 * margin);
        int64_t pw = w, ph = w * m_page.Height() / m_page.Width();
        if (ph > h) {
            ph = h;
            pw = std::max<int64_t>(1, h * m_page.Width() / m_page.Height());
        }
        CDC source(&m_page);
        dc.SetStretchBltMode(HALFTONE);
        dc.StretchBlt(static_cast<int>((client.right - pw) / 2), static_cast<int>((client.bottom - ph) / 2),
                      static_cast<int>(pw), static_cast<int>(ph), &source, 0, 0, m_page.Width(), m_page.Height(),
                      SRCCOPY);
    }

    void OnKeyDown(UINT key, UINT, UINT)
    {
        if (key == VK_ESCAPE)
            DestroyWindow();
    }

    void PostNcDestroy() override { delete this; }

private:
    platform::Surface m_page;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPrintPreviewWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

// Draws page `info.m_nCurPage` of `view` into `page`.
void DrawPage(CView* view, CDC& dc, platform::Surface& page, CPrintInfo& info)
{
    page.Fill(RGB(255, 255, 255));
    const int saved = dc.SaveDC();
    info.m_rectDraw = CRect(0, 0, page.Width(), page.Height());
    view->OnPrepareDC(&dc, &info);
    if (info.m_bContinuePrinting)
        view->OnPrint(&dc, &info);
    dc.RestoreDC(saved);
}

}  // namespace

// --- The view's side ------------------------------------------------------------------

BOOL CView::OnPreparePrinting(CPrintInfo* info)
{
    return DoPreparePrinting(info);
}

BOOL CView::DoPreparePrinting(CPrintInfo* info)
{
    if (!info)
        return FALSE;
    platform::IPrintBackend* backend = platform::GetPrintBackend();
    if (!backend->Setup(*info, this, !info->m_bDirect && !info->m_bPreview))
        return FALSE;
    return info->m_page.width > 0 && info->m_page.height > 0;
}

void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}

void CView::OnPrint(CDC* dc, CPrintInfo*)
{
    OnDraw(dc);
}

void CView::OnEndPrinting(CDC*, CPrintInfo*) {}

void CView::OnFilePrint()
{
    CPrintInfo info;
    if (!OnPreparePrinting(&info))
        return;
    platform::IPrintBackend* backend = platform::GetPrintBackend();
    platform::Surface page;
    try {
        page.Resize(info.m_page.width, info.m_page.height, RGB(255, 255, 255));
    } catch (const std::bad_alloc&) {
        backend->EndJob(info, false);
        return;
    }
    page.SetDotsPerInch(info.m_page.dotsPerInch, info.m_page.dotsPerInch);
    CDC dc(&page);
    dc.SetPrinting(TRUE);
    OnBeginPrinting(&dc, &info);
    bool completed = true;
    const UINT last = std::min(info.GetToPage(), info.GetFromPage() + kMaxPages - 1);
    for (UINT number = info.GetFromPage(); number <= last && info.m_bContinuePrinting; ++number) {
        info.m_nCurPage = number;
        DrawPage(this, dc, page, info);
        if (!info.m_bContinuePrinting)
            break;
        if (!backend->PrintPage(info, page)) {
            completed = false;
            break;
        }
    }
    OnEndPrinting(&dc, &info);
    backend->EndJob(info, completed);
}

void CView::OnFilePrintPreview()
{
    CPrintInfo info;
    info.m_bPreview = TRUE;
    if (!OnPreparePrinting(&info))
        return;
    platform::Surface page;
    try {
        page.Resize(info.m_page.width, info.m_page.height, RGB(255, 255, 255));
    } catch (const std::bad_alloc&) {
        return;
    }
    page.SetDotsPerInch(info.m_page.dotsPerInch, info.m_page.dotsPerInch);
    CDC dc(&page);
    dc.SetPrinting(TRUE);
    OnBeginPrinting(&dc, &info);
    info.m_nCurPage = info.GetFromPage();
    DrawPage(this, dc, page, info);
    OnEndPrinting(&dc, &info);

    // The preview window shows the page at the height of a screen page.
    if (CPrintPreviewWnd* open = OpenPreview())
        open->DestroyWindow();
    auto* preview = new CPrintPreviewWnd(std::move(page));
    OpenPreview() = preview;
    const int height = 700;
    const int width = std::max(200, height * info.m_page.width / std::max(1, info.m_page.height));
    // A preview window that cannot be made deletes itself.
    preview->Create(nullptr, "Print Preview", WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{40, 40, 40 + width, 40 + height},
                    nullptr, 0);
}

// --- Back ends ------------------------------------------------------------------------------

namespace platform {

CWnd* GetPrintPreviewWindow()
{
    return OpenPreview();
}

IPrintBackend* SetPrintBackend(IPrintBackend* backend)
{
    IPrintBackend* previous = InstalledBackend();
    InstalledBackend() = backend;
    return previous;
}

IPrintBackend* GetPrintBackend()
{
    if (InstalledBackend())
        return InstalledBackend();
    static QtPrintBackend qt;
    return &qt;
}

struct QtPrintBackend::Job {
    QPrinter printer{QPrinter::HighResolution};
    QPainter painter;
    bool started = false;
};

// What Print Setup chose, for the jobs after it.
struct QtPrintBackend::Choice {
    QString printerName;
    QPageLayout layout;
};

QtPrintBackend::QtPrintBackend() = default;
QtPrintBackend::~QtPrintBackend() = default;

bool QtPrintBackend::Setup(CPrintInfo& info, CWnd* owner, bool askUser)
{
    EnsureToolkit();
    m_job = std::make_unique<Job>();
    QPrinter& printer = m_job->printer;
    printer.setResolution(m_dpi);
    if (!m_pdfPath.IsEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromUtf8(m_pdfPath.c_str()));
    } else {
        // An empty name would turn the printer into a file writer.
        if (m_choice && !m_choice->printerName.isEmpty()) {
            printer.setPrinterName(m_choice->printerName);
            printer.setPageLayout(m_choice->layout);
        }
        if (askUser) {
            QPrintDialog dialog(&printer, owner ? owner->GetPeer() : nullptr);
            ModalScope modal;
            if (dialog.exec() != QDialog::Accepted) {
                m_job.reset();
                return false;
            }
        }
    }
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    info.m_page = PrinterPage{page.width(), page.height(), printer.resolution()};
    if (page.width() <= 0 || page.height() <= 0) {
        m_job.reset();
        return false;
    }
    return true;
}

bool QtPrintBackend::PrintPage(const CPrintInfo&, const Surface& page)
{
    if (!m_job)
        return false;
    if (!m_job->started) {
        if (!m_job->painter.begin(&m_job->printer))
            return false;
        m_job->started = true;
    } else if (!m_job->printer.newPage()) {
        return false;
    }
    const QImage image(reinterpret_cast<const uchar*>(page.Bits()), page.Width(), page.Height(), page.Width() * 4,
                       QImage::Format_RGB32);
    m_job->painter.drawImage(QRect(0, 0, page.Width(), page.Height()), image);
    return true;
}

bool QtPrintBackend::EndJob(const CPrintInfo&, bool completed)
{
    if (!m_job)
        return false;
    bool ok = completed;
    if (m_job->started) {
        if (!completed)
            m_job->printer.abort();
        ok = m_job->painter.end() && ok;
    }
    m_job.reset();
    return ok;
}

ImagePrintBackend::ImagePrintBackend(int width, int height, int dotsPerInch) : m_page{width, height, dotsPerInch} {}

bool QtPrintBackend::ChoosePrinter(CWnd* owner)
{
    EnsureToolkit();
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        AfxMessageBox("No printer is set up on this computer.", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    QPrinter printer{QPrinter::HighResolution};
    if (m_choice && !m_choice->printerName.isEmpty()) {
        printer.setPrinterName(m_choice->printerName);
        printer.setPageLayout(m_choice->layout);
    }
    QPrintDialog dialog(&printer, owner ? owner->GetPeer() : nullptr);
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    // Only the printer and its page: what to print is printing's question.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    // The choice is kept, nothing is printed: the button says so.
    for (QDialogButtonBox* buttons : dialog.findChildren<QDialogButtonBox*>())
        for (QAbstractButton* button : buttons->buttons())
            if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole)
                button->setText(QStringLiteral("OK"));
    ModalScope modal;
    if (dialog.exec() != QDialog::Accepted)
        return false;
    m_choice = std::make_unique<Choice>(Choice{printer.printerName(), printer.pageLayout()});
    return true;
}

bool ImagePrintBackend::ChoosePrinter(CWnd*)
{
    ++m_printerChoices;
    return !m_cancel;
}

bool ImagePrintBackend::Setup(CPrintInfo& info, CWnd*, bool askUser)
{
    m_askedUser = askUser;
    if (m_cancel)
        return false;
    info.m_page = m_page;
    return true;
}

bool ImagePrintBackend::PrintPage(const CPrintInfo&, const Surface& page)
{
    m_pages.push_back(page);
    return true;
}

bool ImagePrintBackend::EndJob(const CPrintInfo&, bool completed)
{
    ++m_jobs;
    if (completed)
        ++m_completedJobs;
    return true;
}

}  // namespace platform
