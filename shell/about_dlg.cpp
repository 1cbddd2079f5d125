#include "shell/about_dlg.h"

#include <cstdlib>

#include "model/brick.h"
#include "platform/core/hooks.h"
#include "platform/core/resources.h"
#include "platform/gdi/dc.h"
#include "resources/dialog_ids.h"
#include "resources/resource_ids.h"
#include "shell/dialog_art.h"
#include "shell/dizado_app.h"

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_LBUTTONDOWN()
    ON_MESSAGE(CAboutDlg::kPictureMissing, OnPictureMissing)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUT, nullptr) {}

CAboutDlg::~CAboutDlg()
{
    if (m_hPicture)
        m_hPicture = GlobalFree(m_hPicture);
}

UINT CAboutDlg::GetPageString() const
{
    return IDS_ABOUT_PAGE_FIRST + static_cast<UINT>(m_nPageCounter % m_nPageCount);
}

int CAboutDlg::ParsePageCount(const char* text)
{
    const long pages = text ? std::strtol(text, nullptr, 10) : 0;
    // Fewer than one page would leave nothing to show and nothing to count by.
    return pages < 1 ? 1 : pages > 1000 ? 1000 : static_cast<int>(pages);
}

HGLOBAL CAboutDlg::LoadPicture()
{
    return CBrick::LoadImage(AfxGetResourceHandle(), IDB_ABOUT);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_nPageCounter = 0;
    m_nShownPage = 0;
    m_bPictureReported = FALSE;
    if (!m_hPicture)
        m_hPicture = LoadPicture();
    int pictureWidth = 0;
    int pictureHeight = 0;
    if (GetFileImageSize(m_hPicture, pictureWidth, pictureHeight)) {
        RECT window{};
        GetWindowRect(&window);
        const int w = window.right - window.left;
        const int h = window.bottom - window.top;
        // The template's size moved halfway to the picture's from each side.
        const int width = w - 2 * ((w - pictureWidth) / 2);
        const int height = h - 2 * ((h - pictureHeight) / 2);
        SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    } else {
        // The template's size stays; the child sees the texts on black.
        if (m_hPicture)
            m_hPicture = GlobalFree(m_hPicture);
        ReportMissingPicture();
    }
    CenterWindow();
    SetTimer(kFirstTimer, kFirstDelay);

    CString count;
    count.LoadString(IDS_ABOUT_PAGE_COUNT);
    m_nPageCount = ParsePageCount(count);
    return TRUE;
}

void CAboutDlg::ReportMissingPicture()
{
    if (m_bPictureReported)
        return;
    m_bPictureReported = TRUE;
    ++m_nPictureReports;
    PostMessage(kPictureMissing);
}

LRESULT CAboutDlg::OnPictureMissing(WPARAM, LPARAM)
{
    AfxMessageBox("Scream and Yell");
    return 0;
}

void CAboutDlg::Close(int result)
{
    KillTimer(kFirstTimer);
    KillTimer(kPageTimer);
    if (m_hPicture)
        m_hPicture = GlobalFree(m_hPicture);
    EndDialog(result);
}

void CAboutDlg::OnOK()
{
    Close(IDOK);
}

void CAboutDlg::OnCancel()
{
    Close(IDCANCEL);
}

void CAboutDlg::OnLButtonDown(UINT, CPoint)
{
    OnOK();
}

BOOL CAboutDlg::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CAboutDlg::OnPaint()
{
    CPaintDC dc(this);
    CDizadoApp* app = GetDizadoApp();
    CPalette* palette = app ? app->GetPalette() : nullptr;
    CPalette* oldPalette = palette ? dc.SelectPalette(palette, FALSE) : nullptr;
    if (palette)
        dc.RealizePalette();
    if (!DrawFileImage(&dc, m_hPicture, 0, 0)) {
        RECT client{};
        GetClientRect(&client);
        dc.FillSolidRect(&client, RGB(0, 0, 0));
        ReportMissingPicture();
    }
    if (palette)
        dc.SelectPalette(oldPalette, FALSE);

    // A repaint shows the same page again: only the page timer turns them.
    m_nShownPage = GetPageString();
    CString text;
    text.LoadString(m_nShownPage);
    RECT place = kTextRect;
    const COLORREF oldColour = dc.SetTextColor(RGB(255, 255, 255));
    const int oldMode = dc.SetBkMode(TRANSPARENT);
    dc.DrawText(text, -1, &place, DT_CENTER);
    dc.SetTextColor(oldColour);
    dc.SetBkMode(oldMode);
}

void CAboutDlg::OnTimer(UINT_PTR id)
{
    if (id == kFirstTimer) {
        KillTimer(kFirstTimer);
        SetTimer(kPageTimer, kPageDelay);
    } else if (id == kPageTimer) {
        m_nPageCounter = (m_nPageCounter + 1) % m_nPageCount;
        InvalidateRect(&kTextRect, FALSE);
    }
    CDialog::OnTimer(id);
}
