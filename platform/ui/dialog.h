// Dialogs built from the DIALOG templates of the resources, at 2 pixels per
// dialog unit both ways. A modal dialog runs its own loop: posted messages,
// timers and paints go on, the application's idle pass does not, and the
// owner is disabled meanwhile. Enter sends IDOK, Escape IDCANCEL, Tab moves
// the focus to the next control that takes it.
#pragma once

#include <functional>
#include <vector>

#include "platform/ui/controls.h"
#include "platform/ui/wnd.h"

constexpr DWORD DS_MODALFRAME = 0x80;
constexpr DWORD DS_SETFONT = 0x40;
constexpr DWORD DS_CENTER = 0x0800;
constexpr int kDialogUnitPixels = 2;

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    explicit CDialog(UINT templateId = 0, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally; IDOK, IDCANCEL or what EndDialog was given;
    // -1 when the template is missing or damaged.
    virtual INT_PTR DoModal();
    // A modeless dialog; FALSE when the template is missing or damaged.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // Ends the modal loop with `result` (a modeless dialog is hidden).
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    BOOL PreTranslateMessage(MSG* msg) override;

    // The first control after (or before) the one with the focus that takes it.
    void NextDlgCtrl();
    void GotoDlgCtrl(CWnd* control);

    UINT GetTemplateId() const { return m_nIDTemplate; }
    bool IsModalRunning() const { return m_running; }

protected:
    BOOL OnEraseBkgnd(CDC* dc);
    void OnClose();
    LRESULT OnInitDialogMessage(WPARAM, LPARAM);

    BOOL Build(CWnd* owner);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    int m_nModalResult = -1;
    bool m_running = false;
    void* m_loop = nullptr;
    std::vector<CWnd*> m_controls;  // made by the template, owned

    DECLARE_MESSAGE_MAP()
};

namespace platform {

// The colour dialogs erase their background with (SetDialogBkColor).
void SetDialogBackground(COLORREF colour);
COLORREF DialogBackground();

// Runs `action` on each modal dialog once it is on screen and its loop runs
// (tests drive dialogs with it). Answers the hook it replaced.
using ModalHook = std::function<void(CDialog& dialog)>;
ModalHook SetModalHook(ModalHook hook);
// The innermost modal dialog running, or null.
CDialog* CurrentModalDialog();

}  // namespace platform
