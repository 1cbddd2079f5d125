#include "shell/sign_in_dlg.h"

#include <cstring>

#include "foundation/sound_player.h"
#include "model/brick.h"
#include "platform/core/hooks.h"
#include "platform/gdi/dib.h"
#include "resources/dialog_ids.h"
#include "resources/resource_ids.h"
#include "shell/dizado_app.h"
#include "views/iso_brick_pane.h"

namespace {

// The backdrop tile as a packed picture (the resource is a bitmap file
// image; its 14-byte file header is dropped), with its size; null when it is
// missing or damaged.
HGLOBAL LoadBackdrop(LONG& width, LONG& height)
{
    constexpr size_t kFileHeader = 14;
    HGLOBAL file = CBrick::LoadImage(AfxGetResourceHandle(), IDB_SIGNIN_BACKDROP);
    if (!file)
        return nullptr;
    HGLOBAL packed = nullptr;
    const size_t size = GlobalSize(file);
    const auto* bytes = static_cast<const unsigned char*>(GlobalLock(file));
    if (bytes && size > kFileHeader + sizeof(BITMAPINFOHEADER)) {
        BITMAPINFOHEADER header{};
        std::memcpy(&header, bytes + kFileHeader, sizeof header);
        packed = GlobalAlloc(GMEM_MOVEABLE, size - kFileHeader);
        if (void* target = packed ? GlobalLock(packed) : nullptr) {
            std::memcpy(target, bytes + kFileHeader, size - kFileHeader);
            GlobalUnlock(packed);
            width = header.biWidth;
            height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
        }
    }
    if (bytes)
        GlobalUnlock(file);
    GlobalFree(file);
    return packed;
}

}  // namespace

BEGIN_MESSAGE_MAP(CSignInDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_CONTROL(EN_CHANGE, IDC_SIGNIN_NAME, OnNameChange)
    ON_CONTROL(LBN_SELCHANGE, IDC_SIGNIN_NAMES, OnNameSelect)
    ON_MESSAGE(CSignInDlg::kOpenSound, OnOpenSound)
    ON_MESSAGE(CSignInDlg::kBackdropMissing, OnBackdropMissing)
END_MESSAGE_MAP()

CSignInDlg::CSignInDlg(CWnd* parent) : CDialog(IDD_SIGNIN, parent) {}

BOOL CSignInDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_strChosenName.Empty();
    m_hBackdrop = nullptr;
    CenterWindow();
    m_cancelButton.SubclassDlgItem(IDCANCEL, this);
    m_okButton.SubclassDlgItem(IDOK, this);
    CDizadoApp* app = GetDizadoApp();
    CPalette* palette = app ? app->GetPalette() : nullptr;
    HMODULE program = AfxGetResourceHandle();
    m_okButton.LoadImageResource(program, IDB_SIGNIN_OK, CGTransButton::kNormal);
    m_okButton.LoadImageResource(program, IDB_SIGNIN_OK_PRESSED, CGTransButton::kPressed);
    m_cancelButton.LoadImageResource(program, IDB_SIGNIN_CANCEL, CGTransButton::kNormal);
    m_cancelButton.LoadImageResource(program, IDB_SIGNIN_CANCEL_PRESSED, CGTransButton::kPressed);
    for (CGTransButton* button : {&m_okButton, &m_cancelButton}) {
        RECT place{};
        button->GetClientRect(&place);
        button->SetPalette(palette);
        button->SetAutoState(TRUE);
        button->SizeToImage(place.right, place.bottom);
    }
    m_nameEdit.SubclassDlgItem(IDC_SIGNIN_NAME, this);
    m_namesList.SubclassDlgItem(IDC_SIGNIN_NAMES, this);
    if (app)
        m_nameEdit.SetWindowText(app->GetProfileString(kDefaultSection, "LastUser", ""));
    FillNames();
    PostMessage(kOpenSound);
    // The list comes first in the template, but a child types a name at once:
    // the field takes the focus, its text (the last name) chosen so that
    // typing replaces it.
    m_nameEdit.SetSel(0, -1);
    GotoDlgCtrl(&m_nameEdit);
    return FALSE;
}

void CSignInDlg::FillNames()
{
    m_nNamesRead = 0;
    CDizadoApp* app = GetDizadoApp();
    if (!app)
        return;
    for (int i = 0;; ++i) {
        CString key;
        key.Format("name%03d", i);
        const CString name = app->GetProfileString(kNamesSection, key, "");
        if (name.IsEmpty())
            break;
        m_namesList.AddString(name);
        ++m_nNamesRead;
    }
    const CString last = app->GetProfileString(kDefaultSection, "LastUser", "");
    if (!last.IsEmpty())
        m_namesList.SelectString(-1, last);
}

LRESULT CSignInDlg::OnBackdropMissing(WPARAM, LPARAM)
{
    AfxMessageBox("Scream and Yell");
    return 0;
}

LRESULT CSignInDlg::OnOpenSound(WPARAM, LPARAM)
{
    PlaySoundEffect("SIGNIN");
    return 1;
}

void CSignInDlg::OnNameChange()
{
    m_namesList.SetCurSel(-1);
}

void CSignInDlg::OnNameSelect()
{
    CString name;
    const int selected = m_namesList.GetCurSel();
    if (selected != LB_ERR)
        m_namesList.GetText(selected, name);
    m_nameEdit.SetWindowText(name);
}

void CSignInDlg::OnOK()
{
    CString typed;
    m_nameEdit.GetWindowText(typed);
    const CString name = CleanUserName(typed);
    if (name.IsEmpty()) {
        PlaySoundEffect("SIGNIN");
        GotoDlgCtrl(&m_nameEdit);
        return;
    }
    m_strChosenName = name;
    if (CDizadoApp* app = GetDizadoApp())
        app->NoteProfileWrite(app->WriteProfileString(kDefaultSection, "LastUser", name));
    EndDialog(IDOK);
    StopSoundEffect();
}

void CSignInDlg::OnCancel()
{
    StopSoundEffect();
    EndDialog(IDCANCEL);
}

BOOL CSignInDlg::OnEraseBkgnd(CDC*)
{
    // The paint covers everything with the backdrop.
    return TRUE;
}

void CSignInDlg::OnPaint()
{
    CPaintDC dc(this);
    CDizadoApp* app = GetDizadoApp();
    CPalette* palette = app ? app->GetPalette() : nullptr;
    CPalette* old = palette ? dc.SelectPalette(palette, FALSE) : nullptr;
    if (palette)
        dc.RealizePalette();
    RECT clip{};
    dc.GetClipBox(&clip);
    LONG width = 0, height = 0;
    m_hBackdrop = LoadBackdrop(width, height);
    if (width > 0 && height > 0) {
        for (LONG x = 0; x < clip.right; x += width) {
            if (x + width <= clip.left)
                continue;
            for (LONG y = 0; y < clip.bottom; y += height) {
                if (y + height <= clip.top)
                    continue;
                const RECT tile{x, y, x + width, y + height};
                DrawDIB(&dc, m_hBackdrop, tile, nullptr);
            }
        }
    } else {
        dc.FillSolidRect(&clip, RGB(192, 192, 192));
        // Said once per dialog, not from every paint.
        if (!m_bBackdropReported) {
            m_bBackdropReported = TRUE;
            ++m_nBackdropReports;
            PostMessage(kBackdropMissing);
        }
    }
    if (m_hBackdrop)
        m_hBackdrop = GlobalFree(m_hBackdrop);
    if (old)
        dc.SelectPalette(old, FALSE);
}
