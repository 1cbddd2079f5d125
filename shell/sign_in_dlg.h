// The sign-in: a child types a name or picks one from the list of everyone
// who has signed in before, on a backdrop of brick pictures.
#pragma once

#include "platform/core/cstring.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"
#include "shell/gtrans_button.h"

class CSignInDlg : public CDialog {
public:
    explicit CSignInDlg(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // After IDOK: the name as typed, cut to 63 characters.
    const CString& GetChosenName() const { return m_strChosenName; }
    // How many names "Names" held, without gaps from name000.
    int GetNamesRead() const { return m_nNamesRead; }
    // Times a missing backdrop was reported (once per dialog at most).
    int GetBackdropReports() const { return m_nBackdropReports; }

    CEdit& GetNameEdit() { return m_nameEdit; }
    CListBox& GetNamesList() { return m_namesList; }

    // The private message that plays the greeting once the dialog shows.
    static constexpr UINT kOpenSound = WM_USER + 14;
    // Posted by the first paint that finds no backdrop: the report waits
    // until the paint is over.
    static constexpr UINT kBackdropMissing = WM_USER + 15;

protected:
    void FillNames();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnNameChange();
    void OnNameSelect();
    LRESULT OnOpenSound(WPARAM, LPARAM);
    LRESULT OnBackdropMissing(WPARAM, LPARAM);

    CGTransButton m_okButton;
    CGTransButton m_cancelButton;
    CEdit m_nameEdit;
    CListBox m_namesList;
    CString m_strChosenName;
    int m_nNamesRead = 0;
    HGLOBAL m_hBackdrop = nullptr;
    BOOL m_bBackdropReported = FALSE;
    int m_nBackdropReports = 0;

    DECLARE_MESSAGE_MAP()
};
