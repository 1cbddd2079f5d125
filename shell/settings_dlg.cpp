#include "shell/settings_dlg.h"

#include "resources/dialog_ids.h"

CSettingsDlg::CSettingsDlg(CWnd* parent) : CDialog(IDD_SETTINGS, parent) {}

BOOL CSettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CenterWindow();
    CheckDlgButton(IDC_SETTINGS_DELETE, m_bFileDelete ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_SETTINGS_SOUND, m_bSoundOn ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(IDC_SETTINGS_PRINT, m_bPrintOn ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void CSettingsDlg::OnOK()
{
    m_bFileDelete = IsDlgButtonChecked(IDC_SETTINGS_DELETE) == BST_CHECKED;
    m_bSoundOn = IsDlgButtonChecked(IDC_SETTINGS_SOUND) == BST_CHECKED;
    m_bPrintOn = IsDlgButtonChecked(IDC_SETTINGS_PRINT) == BST_CHECKED;
    EndDialog(IDOK);
}
