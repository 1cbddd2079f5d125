#include "platform/ui/dialog.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <algorithm>

#include "platform/ui/app.h"
#include "platform/ui/res_templates.h"
#include "platform/ui/window_peer.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_WM_ERASEBKGND()
    ON_WM_CLOSE()
    ON_MESSAGE(WM_INITDIALOG, OnInitDialogMessage)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

namespace {

COLORREF& Background()
{
    static COLORREF colour = RGB(192, 192, 192);
    return colour;
}

platform::ModalHook& Hook()
{
    static platform::ModalHook hook;
    return hook;
}

std::vector<CDialog*>& ModalStack()
{
    static std::vector<CDialog*> stack;
    return stack;
}

bool TakesFocus(CWnd* control)
{
    return control && control->GetSafeHwnd() && (control->GetStyle() & WS_TABSTOP) && control->IsWindowVisible() &&
           control->IsWindowEnabled();
}

std::vector<CWnd*> Children(CWnd* parent)
{
    std::vector<CWnd*> children;
    for (CWnd* child = parent->GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

bool IsPushButton(CWnd* wnd)
{
    if (!wnd || !wnd->IsKindOf(RUNTIME_CLASS(CButton)))
        return false;
    const DWORD type = wnd->GetStyle() & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW;
}

// The predefined classes may also be named.
WORD ClassOrdinal(const std::string& name)
{
    const CString lower = CString(name.c_str());
    static const struct {
        const char* name;
        WORD ordinal;
    } known[] = {{"button", platform::DIALOG_CLASS_BUTTON},
                 {"edit", platform::DIALOG_CLASS_EDIT},
                 {"static", platform::DIALOG_CLASS_STATIC},
                 {"listbox", platform::DIALOG_CLASS_LISTBOX}};
    for (const auto& entry : known)
        if (lower.CompareNoCase(entry.name) == 0)
            return entry.ordinal;
    return 0;
}

}  // namespace

// --- Taking over a control ------------------------------------------------------------------

namespace platform {

void WindowPeer::TransferOwner(CWnd* owner)
{
    CWnd* previous = m_owner;
    if (!previous || !owner || owner == previous || owner->m_hWnd)
        return;
    owner->m_hWnd = this;
    owner->m_pParent = previous->m_pParent;
    owner->m_nID = previous->m_nID;
    owner->m_dwStyle = previous->m_dwStyle;
    previous->m_hWnd = nullptr;
    m_owner = owner;
}

}  // namespace platform

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    CWnd* item = parent ? parent->GetDlgItem(static_cast<int>(id)) : nullptr;
    if (!item || m_hWnd)
        return FALSE;
    if (item == this)
        return TRUE;
    CString text;
    item->GetWindowText(text);
    item->GetSafeHwnd()->TransferOwner(this);
    platform::SetUpControl(this, text);
    Invalidate();
    return TRUE;
}

// --- Dialogs ----------------------------------------------------------------------------------

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog()
{
    if (GetSafeHwnd())
        DestroyWindow();
    for (CWnd* control : m_controls)
        delete control;
}

BOOL CDialog::Build(CWnd* owner)
{
    const std::vector<uint8_t> bytes = platform::ResourceBytes(nullptr, MAKEINTRESOURCE(m_nIDTemplate), RT_DIALOG);
    platform::DialogTemplate form;
    if (bytes.empty() || !platform::ParseDialogTemplate(bytes.data(), bytes.size(), form))
        return FALSE;
    if (owner)
        owner = owner->GetTopLevelParent();
    // Template places are relative to the owner's client area.
    POINT origin{form.x * kDialogUnitPixels, form.y * kDialogUnitPixels};
    if (owner && owner->GetSafeHwnd())
        owner->ClientToScreen(&origin);
    const RECT rect{origin.x, origin.y, origin.x + form.cx * kDialogUnitPixels, origin.y + form.cy * kDialogUnitPixels};
    const DWORD style = (form.style & ~(WS_CHILD | WS_VISIBLE)) | WS_POPUP;
    if (!CWnd::Create(nullptr, form.title.c_str(), style, rect, owner, 0))
        return FALSE;
    platform::WindowPeer* peer = GetSafeHwnd();
    Qt::WindowFlags flags = Qt::Dialog;
    if (!(form.style & WS_CAPTION))
        flags |= Qt::FramelessWindowHint;
    peer->setWindowFlags(flags);
    peer->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);

    for (const platform::DialogItemTemplate& item : form.items) {
        CWnd* control = nullptr;
        const WORD kind = item.windowClass.isOrdinal ? item.windowClass.ordinal : ClassOrdinal(item.windowClass.name);
        switch (kind) {
        case platform::DIALOG_CLASS_BUTTON:
            control = new CButton;
            break;
        case platform::DIALOG_CLASS_EDIT:
            control = new CEdit;
            break;
        case platform::DIALOG_CLASS_LISTBOX:
            control = new CListBox;
            break;
        default:
            // Statics, and classes the layer does not know, show their text.
            control = new CStatic;
            break;
        }
        const RECT place{item.x * kDialogUnitPixels, item.y * kDialogUnitPixels,
                         (item.x + item.cx) * kDialogUnitPixels, (item.y + item.cy) * kDialogUnitPixels};
        const std::string text = item.text.isOrdinal ? std::string() : item.text.name;
        if (!control->CWnd::Create(nullptr, text.c_str(), item.style | WS_CHILD, place, this, LOWORD(item.id))) {
            delete control;
            continue;
        }
        platform::SetUpControl(control, text.c_str());
        m_controls.push_back(control);
    }
    if (form.style & DS_CENTER)
        CenterWindow();
    return TRUE;
}

INT_PTR CDialog::DoModal()
{
    CWnd* owner = m_pParentWnd;
    if (!owner)
        if (CWinThread* thread = AfxGetThread())
            owner = thread->m_pMainWnd;
    if (owner && !owner->GetSafeHwnd())
        owner = nullptr;
    if (owner)
        owner = owner->GetTopLevelParent();
    m_nModalResult = -1;
    platform::EnsureToolkit();
    if (!Build(owner))
        return -1;
    QPointer<platform::WindowPeer> ownerPeer(owner ? owner->GetSafeHwnd() : nullptr);
    const BOOL ownerWasDisabled = owner ? !owner->IsWindowEnabled() : TRUE;
    if (owner)
        owner->EnableWindow(FALSE);

    platform::ModalScope scope;
    ModalStack().push_back(this);
    m_running = true;
    // The dialog is told it exists before it is shown.
    const LRESULT focusDefault = SendMessage(WM_INITDIALOG);
    if (GetSafeHwnd() && m_running) {
        if (focusDefault)
            for (CWnd* child : Children(this))
                if (TakesFocus(child)) {
                    child->SetFocus();
                    break;
                }
        ShowWindow(SW_SHOW);
        SetActiveWindow();
        QEventLoop loop;
        m_loop = &loop;
        if (Hook()) {
            QPointer<platform::WindowPeer> self(GetSafeHwnd());
            QTimer::singleShot(0, &loop, [this, self] {
                if (self && self->Owner() == this && m_running && Hook())
                    Hook()(*this);
            });
        }
        if (m_running)
            loop.exec();
        m_loop = nullptr;
    }
    m_running = false;
    ModalStack().erase(std::remove(ModalStack().begin(), ModalStack().end(), this), ModalStack().end());
    if (ownerPeer && ownerPeer->Owner()) {
        if (!ownerWasDisabled)
            ownerPeer->Owner()->EnableWindow(TRUE);
        ownerPeer->Owner()->SetActiveWindow();
    }
    if (GetSafeHwnd())
        DestroyWindow();
    for (CWnd* control : m_controls)
        delete control;
    m_controls.clear();
    return m_nModalResult;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    m_nIDTemplate = templateId;
    m_pParentWnd = parent;
    if (!Build(parent))
        return FALSE;
    const LRESULT focusDefault = SendMessage(WM_INITDIALOG);
    if (!GetSafeHwnd())
        return FALSE;
    if (focusDefault)
        for (CWnd* child : Children(this))
            if (TakesFocus(child)) {
                child->SetFocus();
                break;
            }
    ShowWindow(SW_SHOW);
    return TRUE;
}

void CDialog::EndDialog(int result)
{
    m_nModalResult = result;
    if (m_running) {
        m_running = false;
        if (m_loop)
            static_cast<QEventLoop*>(m_loop)->quit();
        if (GetSafeHwnd())
            ShowWindow(SW_HIDE);
    } else if (GetSafeHwnd()) {
        ShowWindow(SW_HIDE);
    }
}

LRESULT CDialog::OnInitDialogMessage(WPARAM, LPARAM)
{
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog()
{
    return TRUE;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::OnClose()
{
    // As the system does: closing is cancelling.
    SendMessage(WM_COMMAND, IDCANCEL, 0);
}

BOOL CDialog::OnEraseBkgnd(CDC* dc)
{
    if (!dc)
        return FALSE;
    RECT clip;
    dc->GetClipBox(&clip);
    dc->FillSolidRect(&clip, platform::DialogBackground());
    return TRUE;
}

void CDialog::NextDlgCtrl()
{
    const std::vector<CWnd*> children = Children(this);
    if (children.empty())
        return;
    const bool back = GetKeyState(VK_SHIFT) < 0;
    CWnd* focus = GetFocus();
    auto at = std::find(children.begin(), children.end(), focus);
    const size_t count = children.size();
    size_t start = at == children.end() ? (back ? 0 : count - 1) : static_cast<size_t>(at - children.begin());
    for (size_t step = 1; step <= count; ++step) {
        const size_t i = back ? (start + count - step) % count : (start + step) % count;
        if (TakesFocus(children[i])) {
            children[i]->SetFocus();
            return;
        }
    }
}

void CDialog::GotoDlgCtrl(CWnd* control)
{
    if (control && control->GetSafeHwnd())
        control->SetFocus();
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    if (!msg || msg->message != WM_KEYDOWN || !GetSafeHwnd())
        return FALSE;
    switch (msg->wParam) {
    case VK_RETURN: {
        CWnd* focus = GetFocus();
        if (IsPushButton(focus) && focus->GetParent() == this) {
            focus->SendMessage(BM_CLICK);
            return TRUE;
        }
        CWnd* ok = GetDlgItem(IDOK);
        if (ok && !ok->IsWindowEnabled())
            return TRUE;
        SendMessage(WM_COMMAND, MAKELONG(IDOK, BN_CLICKED), ok ? reinterpret_cast<LPARAM>(ok->GetSafeHwnd()) : 0);
        return TRUE;
    }
    case VK_ESCAPE: {
        CWnd* cancel = GetDlgItem(IDCANCEL);
        SendMessage(WM_COMMAND, MAKELONG(IDCANCEL, BN_CLICKED),
                    cancel ? reinterpret_cast<LPARAM>(cancel->GetSafeHwnd()) : 0);
        return TRUE;
    }
    case VK_TAB:
        NextDlgCtrl();
        return TRUE;
    default:
        return FALSE;
    }
}

namespace platform {

void SetDialogBackground(COLORREF colour)
{
    Background() = colour;
}

COLORREF DialogBackground()
{
    return Background();
}

ModalHook SetModalHook(ModalHook hook)
{
    ModalHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

CDialog* CurrentModalDialog()
{
    return ModalStack().empty() ? nullptr : ModalStack().back();
}

}  // namespace platform
