// The About box: a borderless window the size of one large picture, with white
// pages of text over it that change by themselves: the product and its maker,
// how to reach them, then the credits, round and round. A click, Enter or
// Escape closes it.
#pragma once

#include "platform/core/global_memory.h"
#include "platform/ui/dialog.h"

class CAboutDlg : public CDialog {
public:
    static constexpr UINT_PTR kFirstTimer = 1;
    static constexpr UINT kFirstDelay = 6000;
    static constexpr UINT_PTR kPageTimer = 8;
    static constexpr UINT kPageDelay = 2500;
    static constexpr RECT kTextRect{172, 127, 364, 332};
    // Posted when the picture is missing, so the report waits for the loop.
    static constexpr UINT kPictureMissing = WM_USER + 15;

    CAboutDlg();
    ~CAboutDlg() override;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // The number of pages IDS_ABOUT_PAGE_COUNT gives: at least one.
    static int ParsePageCount(const char* text);
    int GetPageCount() const { return m_nPageCount; }
    // The string of the page the next paint shows.
    UINT GetPageString() const;
    // The string of the page the last paint showed; 0 before the first.
    UINT GetShownPageString() const { return m_nShownPage; }
    // Times the missing picture was reported (once per opening at most).
    int GetPictureReports() const { return m_nPictureReports; }
    BOOL HasPicture() const { return m_hPicture != nullptr; }

protected:
    // "BRICKIMAGE" IDB_ABOUT; null when it is missing or damaged.
    virtual HGLOBAL LoadPicture();
    void Close(int result);
    void ReportMissingPicture();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnTimer(UINT_PTR id);
    void OnLButtonDown(UINT flags, CPoint point);
    LRESULT OnPictureMissing(WPARAM, LPARAM);

    HGLOBAL m_hPicture = nullptr;
    int m_nPageCounter = 0;
    int m_nPageCount = 1;
    UINT m_nShownPage = 0;
    BOOL m_bPictureReported = FALSE;
    int m_nPictureReports = 0;

    DECLARE_MESSAGE_MAP()
};
