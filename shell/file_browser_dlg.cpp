#include "shell/file_browser_dlg.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "foundation/sound_player.h"
#include "model/bitmap_check.h"
#include "platform/core/exceptions.h"
#include "platform/core/find_file.h"
#include "platform/core/hooks.h"
#include "platform/core/regular_file.h"
#include "platform/core/resources.h"
#include "platform/gdi/dc.h"
#include "platform/ui/res_templates.h"
#include "resources/dialog_ids.h"
#include "resources/resource_ids.h"
#include "shell/dialog_art.h"
#include "shell/dizado_app.h"

namespace {

constexpr size_t kFileHeaderSize = 14;
// A preview is 80 x 60 at 8 bits, under 6 KB; a file far larger is no preview
// and is not read into memory.
constexpr std::uintmax_t kLargestPreview = 1u << 20;

// Colours of the sixteen colour buttons, in control order.
constexpr COLORREF kColourTable[CFileBrowserDlg::kColours] = {
    RGB(0, 0, 0),       RGB(255, 255, 0),   RGB(255, 102, 0), RGB(221, 0, 0),    RGB(255, 0, 153), RGB(51, 0, 153),
    RGB(0, 0, 204),     RGB(0, 153, 255),   RGB(0, 170, 0),   RGB(0, 102, 0),    RGB(102, 51, 0),  RGB(153, 102, 51),
    RGB(204, 204, 204), RGB(136, 136, 136), RGB(68, 68, 68),  RGB(255, 255, 255),
};

struct ButtonPictures {
    UINT id;
    UINT normal;
    UINT pressed;
    BOOL toggle;
};

bool FileExists(const CString& path)
{
    return platform::IsRegularFile(platform::NativePath(path));
}

// Anything at all under the name, a file that cannot be opened included.
bool NameTaken(const CString& path)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(platform::NativePath(path), error));
}

void ReportFileError(int cause, LONG osError, const CString& path)
{
    AfxMessageBox(CFileException(cause, osError, path).Describe(), MB_OK | MB_ICONEXCLAMATION);
}

// Removes a file; FALSE, with the reason shown to the user, when it stays.
bool RemoveReported(const CString& path)
{
    if (std::remove(platform::NativePath(path).c_str()) == 0)
        return true;
    const int error = errno;
    ReportFileError(CFileException::OsErrorToException(error), error, path);
    return false;
}

}  // namespace

BOOL CThumbnailButton::LoadNamedPicture(const char* name)
{
    HMODULE module = AfxGetResourceHandle();
    HRSRC resource = FindResourceA(module, name, RT_BITMAP);
    HGLOBAL data = resource ? LoadResource(module, resource) : nullptr;
    const void* bytes = data ? LockResource(data) : nullptr;
    const BOOL stored = StoreImage(bytes, bytes ? SizeofResource(module, resource) : 0, 0);
    if (data)
        FreeResource(data);
    return stored;
}

BOOL CThumbnailButton::LoadPreview(const char* path)
{
    std::vector<unsigned char> file;
    if (path)
        platform::ReadRegularFile(platform::NativePath(path), file, kLargestPreview);
    BitmapLayout layout;
    if (!file.empty() && CheckPackedBitmap(file.data(), file.size(), true, &layout) &&
        layout.width >= CFileBrowserDlg::kThumbWidth && layout.height >= CFileBrowserDlg::kThumbHeight &&
        StoreImage(file.data() + kFileHeaderSize, file.size() - kFileHeaderSize, 0))
        return TRUE;
    LoadNamedPicture("BLANK");
    return FALSE;
}

BEGIN_MESSAGE_MAP(CFileBrowserDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_COMMAND_RANGE(IDC_BROWSER_THUMB_FIRST, IDC_BROWSER_THUMB_FIRST + IDC_BROWSER_THUMB_COUNT - 1, OnThumbnail)
    ON_COMMAND(IDC_BROWSER_UP, OnUp)
    ON_COMMAND(IDC_BROWSER_DOWN, OnDown)
    ON_COMMAND(IDC_BROWSER_BASE, OnBase)
    ON_COMMAND_RANGE(IDC_BROWSER_COLOR_FIRST, IDC_BROWSER_COLOR_FIRST + IDC_BROWSER_COLOR_COUNT - 1, OnColour)
    ON_COMMAND(IDC_BROWSER_TRASH, OnTrash)
    ON_MESSAGE(CFileBrowserDlg::kOpenSound, OnOpenSound)
    ON_MESSAGE(CFileBrowserDlg::kBackdropMissing, OnBackdropMissing)
END_MESSAGE_MAP()

CFileBrowserDlg::CFileBrowserDlg(CWnd* parent) : CDialog(IDD_FILE_BROWSER, parent) {}

COLORREF CFileBrowserDlg::ColourOf(int index)
{
    return index >= 0 && index < kColours ? kColourTable[index] : RGB(0, 0, 0);
}

BOOL CFileBrowserDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_nFirst = 0;
    m_nSelected = IDC_BROWSER_THUMB_FIRST;
    CenterWindow();

    CDizadoApp* app = GetDizadoApp();
    m_pList = nullptr;
    if (app)
        m_pList = m_nMode == kBackgrounds ? &app->GetBackgroundList() : &app->GetDocumentList();
    m_nCount = m_pList ? static_cast<int>(m_pList->GetSize()) : 0;

    for (int k = 0; k < kThumbnails; ++k)
        m_thumbnails[k].SubclassDlgItem(IDC_BROWSER_THUMB_FIRST + k, this);
    for (int i = 0; i < kColours; ++i)
        m_colours[i].SubclassDlgItem(IDC_BROWSER_COLOR_FIRST + i, this);
    m_trash.SubclassDlgItem(IDC_BROWSER_TRASH, this);
    m_base.SubclassDlgItem(IDC_BROWSER_BASE, this);
    m_ok.SubclassDlgItem(IDOK, this);
    m_cancel.SubclassDlgItem(IDCANCEL, this);
    m_up.SubclassDlgItem(IDC_BROWSER_UP, this);
    m_down.SubclassDlgItem(IDC_BROWSER_DOWN, this);

    ShowPage();

    CPalette* palette = app ? app->GetPalette() : nullptr;
    const ButtonPictures pictures[] = {
        {IDC_BROWSER_BASE, IDB_BACKGROUND, IDB_BACKGROUND_PRESSED, TRUE},
        {IDC_BROWSER_TRASH, IDB_TRASH, IDB_TRASH_DOWN, FALSE},
        {IDOK, IDB_SIGNIN_OK, IDB_SIGNIN_OK_PRESSED, FALSE},
        {IDCANCEL, IDB_SIGNIN_CANCEL, IDB_SIGNIN_CANCEL_PRESSED, FALSE},
        {IDC_BROWSER_UP, IDB_ROW_UP, IDB_ROW_UP_DOWN, FALSE},
        {IDC_BROWSER_DOWN, IDB_ROW_DOWN, IDB_ROW_DOWN_DOWN, FALSE},
    };
    CGTransButton* buttons[] = {&m_base, &m_trash, &m_ok, &m_cancel, &m_up, &m_down};
    for (size_t b = 0; b < std::size(pictures); ++b) {
        CGTransButton& button = *buttons[b];
        button.LoadImageResource(AfxGetResourceHandle(), pictures[b].normal, 0);
        button.LoadImageResource(AfxGetResourceHandle(), pictures[b].pressed, 1);
        button.SetToggle(pictures[b].toggle);
        button.SetPalette(palette);
        button.SetAutoState(TRUE);
        RECT place{};
        button.GetClientRect(&place);
        // Without its picture a button keeps the template's size.
        button.SizeToImage(place.right, place.bottom);
    }

    if (m_nMode == kBackgrounds) {
        for (int i = 0; i < kColours; ++i) {
            m_colours[i].LoadImageResource(AfxGetResourceHandle(), IDB_BROWSER_COLOR_FIRST + 2 * i, 0);
            m_colours[i].LoadImageResource(AfxGetResourceHandle(), IDB_BROWSER_COLOR_FIRST + 2 * i + 1, 1);
            m_colours[i].SetToggle(TRUE);
            m_colours[i].SetPalette(palette);
            m_colours[i].SetAutoState(TRUE);
            m_colours[i].SizeToImage(16, 16);
        }
        RECT size{};
        m_colours[0].GetClientRect(&size);
        PlaceGrid(m_colours[0], m_colours, kColours, kColours / 2, size.right, size.bottom);
    }

    // Every place is a thumbnail's size, whatever picture the first one shows.
    for (CThumbnailButton& thumbnail : m_thumbnails)
        thumbnail.SetPalette(palette);
    PlaceGrid(m_thumbnails[0], m_thumbnails, kThumbnails, kColumns, kThumbWidth, kThumbHeight);

    SelectThumbnail(0);
    m_base.ShowImage(m_bBaseplateHidden ? 1 : 0);

    const BOOL trash = m_nMode == kDocuments && app && app->GetFileDelete();
    m_trash.EnableWindow(trash);
    m_trash.ShowWindow(trash ? SW_SHOW : SW_HIDE);
    if (m_nMode == kDocuments) {
        m_base.EnableWindow(FALSE);
        m_base.ShowWindow(SW_HIDE);
        for (CGTransButton& colour : m_colours) {
            colour.EnableWindow(FALSE);
            colour.ShowWindow(SW_HIDE);
        }
    }
    OnColour(IDC_BROWSER_COLOR_FIRST);

    PostMessage(kOpenSound);
    return TRUE;
}

void CFileBrowserDlg::PlaceGrid(CWnd& first, CGTransButton* buttons, int count, int columns, int width, int height)
{
    RECT origin{};
    first.GetWindowRect(&origin);
    ScreenToClient(&origin);
    for (int k = 0; k < count; ++k)
        buttons[k].SetWindowPos(nullptr, origin.left + width * (k % columns), origin.top + height * (k / columns),
                                width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CFileBrowserDlg::ShowPage()
{
    m_up.EnableWindow(m_nFirst > 3);
    m_down.EnableWindow(m_nFirst + kThumbnails < m_nCount);
    for (int k = 0; k < kThumbnails; ++k) {
        CThumbnailButton& thumbnail = m_thumbnails[k];
        const int index = m_nFirst + k;
        const CFileBrowserEntry* entry = index < m_nCount && m_pList ? m_pList->GetEntry(index) : nullptr;
        if (!entry) {
            thumbnail.LoadNamedPicture("BLANK");
            thumbnail.EnableWindow(FALSE);
        } else {
            if (entry->m_strPicturePath.IsEmpty())
                thumbnail.LoadNamedPicture("BLACK");
            else
                thumbnail.LoadPreview(entry->m_strPicturePath);
            thumbnail.EnableWindow(TRUE);
        }
        thumbnail.Invalidate(TRUE);
        thumbnail.UpdateWindow();
    }
    m_ok.EnableWindow(m_nCount != 0);
}

void CFileBrowserDlg::SelectThumbnail(int k)
{
    for (CThumbnailButton& thumbnail : m_thumbnails) {
        thumbnail.SetHighlight(FALSE);
        thumbnail.Invalidate(TRUE);
        thumbnail.UpdateWindow();
    }
    if (k >= 0 && k < kThumbnails)
        m_thumbnails[k].SetHighlight(TRUE);
}

BOOL CFileBrowserDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    if (HIWORD(wParam) == BN_DOUBLECLICKED && id >= IDC_BROWSER_THUMB_FIRST &&
        id < IDC_BROWSER_THUMB_FIRST + kThumbnails) {
        OnOK();
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CFileBrowserDlg::OnThumbnail(UINT id)
{
    m_nSelected = static_cast<UINT>(m_nFirst) + id;
    SelectThumbnail(static_cast<int>(id - IDC_BROWSER_THUMB_FIRST));
}

void CFileBrowserDlg::OnUp()
{
    if (m_nFirst < kColumns)
        return;
    m_nFirst -= kColumns;
    SelectThumbnail(static_cast<int>(m_nSelected) - IDC_BROWSER_THUMB_FIRST - m_nFirst);
    ShowPage();
}

void CFileBrowserDlg::OnDown()
{
    if (m_nFirst + kThumbnails >= m_nCount)
        return;
    m_nFirst += kColumns;
    SelectThumbnail(static_cast<int>(m_nSelected) - IDC_BROWSER_THUMB_FIRST - m_nFirst);
    ShowPage();
}

void CFileBrowserDlg::OnBase()
{
    m_bBaseplateHidden = !m_bBaseplateHidden;
    m_base.ShowImage(m_bBaseplateHidden ? 1 : 0);
}

void CFileBrowserDlg::OnColour(UINT id)
{
    for (int i = 0; i < kColours; ++i)
        m_colours[i].ShowImage(IDC_BROWSER_COLOR_FIRST + static_cast<UINT>(i) == id ? 1 : 0);
    m_chosenColor = ColourOf(static_cast<int>(id - IDC_BROWSER_COLOR_FIRST));
}

void CFileBrowserDlg::OnOK()
{
    const int index = static_cast<int>(m_nSelected) - IDC_BROWSER_THUMB_FIRST;
    const CFileBrowserEntry* entry =
        index >= 0 && index < m_nCount && m_pList ? m_pList->GetEntry(index) : nullptr;
    if (!entry) {
        MessageBeep(0);
        return;
    }
    const CString path = entry->m_strPicturePath.IsEmpty() ? CString() : entry->m_strFilePath;
    // Listed when the browser opened, perhaps gone since: said, and the child
    // chooses again.
    if (!path.IsEmpty() && !FileExists(path)) {
        ReportFileError(CFileException::fileNotFound, ENOENT, path);
        return;
    }
    m_strChosenPath = path;
    StopSoundEffect();
    EndDialog(IDOK);
}

void CFileBrowserDlg::OnCancel()
{
    StopSoundEffect();
    EndDialog(IDCANCEL);
}

void CFileBrowserDlg::OnTrash()
{
    const int index = static_cast<int>(m_nSelected) - IDC_BROWSER_THUMB_FIRST;
    const CFileBrowserEntry* entry =
        index >= 0 && index < m_nCount && m_pList ? m_pList->GetEntry(index) : nullptr;
    if (!entry) {
        MessageBeep(0);
        return;
    }
    // The model goes first: while it cannot be removed its preview stays too,
    // and it stays listed as it was. A preview left behind alone is listed
    // nowhere. A model already gone needs only its entry and preview removed.
    if (NameTaken(entry->m_strFilePath) && !RemoveReported(entry->m_strFilePath))
        return;
    if (NameTaken(entry->m_strPicturePath))
        RemoveReported(entry->m_strPicturePath);
    m_pList->RemoveEntry(index);
    --m_nCount;
    m_nFirst = 0;
    m_nSelected = IDC_BROWSER_THUMB_FIRST;
    SelectThumbnail(0);
    ShowPage();
}

LRESULT CFileBrowserDlg::OnOpenSound(WPARAM, LPARAM)
{
    PlaySoundEffect("IMAGE");
    return 1;
}

LRESULT CFileBrowserDlg::OnBackdropMissing(WPARAM, LPARAM)
{
    AfxMessageBox("Scream and Yell");
    return 0;
}

BOOL CFileBrowserDlg::OnEraseBkgnd(CDC*)
{
    // The paint covers everything with the backdrop.
    return TRUE;
}

void CFileBrowserDlg::OnPaint()
{
    CPaintDC dc(this);
    CDizadoApp* app = GetDizadoApp();
    if (TileBrickImage(&dc, IDB_SIGNIN_BACKDROP, app ? app->GetPalette() : nullptr))
        return;
    RECT clip{};
    dc.GetClipBox(&clip);
    dc.FillSolidRect(&clip, RGB(192, 192, 192));
    // Said once per dialog, after the paint, not from every paint.
    if (!m_bBackdropReported) {
        m_bBackdropReported = TRUE;
        ++m_nBackdropReports;
        PostMessage(kBackdropMissing);
    }
}
