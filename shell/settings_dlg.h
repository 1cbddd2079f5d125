// The interface settings, for a grown-up: sound effects, the trash can in
// the file browser, and the Print button.
#pragma once

#include "platform/ui/dialog.h"

class CSettingsDlg : public CDialog {
public:
    explicit CSettingsDlg(CWnd* parent = nullptr);

    void SetFileDelete(BOOL on) { m_bFileDelete = on; }
    void SetSoundOn(BOOL on) { m_bSoundOn = on; }
    void SetPrintOn(BOOL on) { m_bPrintOn = on; }
    BOOL GetFileDelete() const { return m_bFileDelete; }
    BOOL GetSoundOn() const { return m_bSoundOn; }
    BOOL GetPrintOn() const { return m_bPrintOn; }

    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    BOOL m_bFileDelete = FALSE;
    BOOL m_bSoundOn = TRUE;
    BOOL m_bPrintOn = FALSE;
};
