#include "platform/ui/controls.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWheelEvent>

#include <algorithm>
#include <cstring>

#include "platform/core/tick_count.h"
#include "platform/ui/synthetic_input.h"
#include "platform/ui/window_peer.h"

IMPLEMENT_DYNCREATE(CButton, CWnd)
IMPLEMENT_DYNCREATE(CListBox, CWnd)
IMPLEMENT_DYNCREATE(CEdit, CWnd)
IMPLEMENT_DYNCREATE(CStatic, CWnd)

namespace {

QImage BackingImage(CWnd* wnd)
{
    platform::Surface* surface = wnd->GetBackingSurface();
    if (!surface || surface->Width() == 0 || surface->Height() == 0)
        return QImage();
    return QImage(reinterpret_cast<uchar*>(surface->Bits()), surface->Width(), surface->Height(),
                  surface->Width() * 4, QImage::Format_RGB32);
}

// A control is drawn disabled only when it was disabled itself, not while its
// parent is (a frame under a modal dialog keeps its look).
bool SelfEnabled(const CWnd* wnd)
{
    const QWidget* widget = wnd->GetSafeHwnd();
    return widget && !widget->testAttribute(Qt::WA_ForceDisabled);
}

QString TextOf(CWnd* wnd)
{
    CString text;
    wnd->GetWindowText(text);
    return QString::fromUtf8(text.c_str());
}

bool QuickSecond(DWORD last, bool had)
{
    return had && GetTickCount() - last <= static_cast<DWORD>(QApplication::doubleClickInterval());
}

// Enter, Escape and Tab in an edit field go to the dialog's keyboard
// handling, as they would from any other control.
class EditKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        int vk = 0;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            vk = VK_RETURN;
            break;
        case Qt::Key_Escape:
            vk = VK_ESCAPE;
            break;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            vk = VK_TAB;
            break;
        default:
            return false;
        }
        auto* peer = dynamic_cast<platform::WindowPeer*>(static_cast<QWidget*>(watched)->parentWidget());
        if (!peer)
            return false;
        peer->Deliver(WM_KEYDOWN, static_cast<WPARAM>(vk), MAKELONG(1, 0));
        return true;
    }
};

// The wheel scrolls a list box a row per notch, as its scroll bar would.
class ListWheel : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel)
            return false;
        auto* peer = dynamic_cast<platform::WindowPeer*>(watched);
        auto* list = peer ? dynamic_cast<CListBox*>(peer->Owner()) : nullptr;
        if (!list)
            return false;
        const int notches = static_cast<QWheelEvent*>(event)->angleDelta().y() / 120;
        if (notches != 0) {
            const int top = std::clamp(list->GetTopIndex() - notches, 0, std::max(0, list->GetCount() - 1));
            list->SetTopIndex(top);
        }
        return true;
    }
};

QLineEdit* FieldOf(const CWnd* wnd)
{
    platform::WindowPeer* peer = wnd->GetSafeHwnd();
    return peer ? peer->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

}  // namespace

// --- Buttons ------------------------------------------------------------------------------

BOOL CButton::Create(LPCTSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create(nullptr, caption, style | WS_CHILD, rect, parent, id);
}

int CButton::GetCheck() const
{
    return m_check;
}

void CButton::SetCheck(int check)
{
    SendMessage(BM_SETCHECK, static_cast<WPARAM>(check));
}

UINT CButton::GetState() const
{
    return static_cast<UINT>(m_check) | (m_pressed ? BST_PUSHED : 0) | (GetFocus() == this ? BST_FOCUS : 0);
}

void CButton::SetState(BOOL highlight)
{
    SendMessage(BM_SETSTATE, highlight);
}

void CButton::SetButtonStyle(UINT style, BOOL redraw)
{
    ModifyStyle(BS_TYPEMASK, style & BS_TYPEMASK);
    if (redraw)
        Invalidate();
}

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

void CButton::Notify(int code)
{
    CWnd* parent = GetParent();
    if (parent && parent->GetSafeHwnd())
        parent->SendMessage(WM_COMMAND, MAKELONG(static_cast<WORD>(GetDlgCtrlID()), static_cast<WORD>(code)),
                            reinterpret_cast<LPARAM>(GetSafeHwnd()));
}

void CButton::Click()
{
    switch (GetButtonStyle()) {
    case BS_AUTOCHECKBOX:
        m_check = m_check ? 0 : 1;
        Invalidate(FALSE);
        break;
    case BS_AUTORADIOBUTTON:
        m_check = 1;
        Invalidate(FALSE);
        break;
    default:
        break;
    }
    Notify(BN_CLICKED);
}

void CButton::PaintButton()
{
    CPaintDC dc(this);
    RECT client;
    GetClientRect(&client);
    if (GetButtonStyle() == BS_OWNERDRAW) {
        DRAWITEMSTRUCT item;
        item.CtlType = ODT_BUTTON;
        item.CtlID = GetDlgCtrlID();
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = (m_pressed ? ODS_SELECTED : 0) | (GetFocus() == this ? ODS_FOCUS : 0) |
                         (SelfEnabled(this) ? 0 : ODS_DISABLED);
        item.hwndItem = this;
        item.hDC = &dc;
        item.rcItem = client;
        QPointer<platform::WindowPeer> alive(GetSafeHwnd());
        CWnd* parent = GetParent();
        if (!parent || !parent->SendMessage(WM_DRAWITEM, GetDlgCtrlID(), reinterpret_cast<LPARAM>(&item)))
            if (alive && alive->Owner() == this)
                DrawItem(&item);
        return;
    }
    QImage image = BackingImage(this);
    if (image.isNull())
        return;
    QPainter painter(&image);
    QStyleOptionButton option;
    option.rect = QRect(0, 0, client.right, client.bottom);
    option.text = TextOf(this);
    option.state = QStyle::State_None;
    if (SelfEnabled(this))
        option.state |= QStyle::State_Enabled;
    if (GetFocus() == this)
        option.state |= QStyle::State_HasFocus;
    const DWORD type = GetButtonStyle();
    QWidget* widget = GetSafeHwnd();
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
        const COLORREF back = RGB(192, 192, 192);
        painter.fillRect(option.rect, QColor(GetRValue(back), GetGValue(back), GetBValue(back)));
        option.state |= m_check ? QStyle::State_On : QStyle::State_Off;
        const bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
        QApplication::style()->drawControl(radio ? QStyle::CE_RadioButton : QStyle::CE_CheckBox, &option, &painter,
                                           widget);
    } else {
        option.state |= m_pressed ? QStyle::State_Sunken : QStyle::State_Raised;
        if (type == BS_DEFPUSHBUTTON)
            option.features |= QStyleOptionButton::DefaultButton;
        QApplication::style()->drawControl(QStyle::CE_PushButton, &option, &painter, widget);
    }
}

LRESULT CButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintButton();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // A quick second press is a press, and also a double click for the
        // buttons that report them.
        const bool second = QuickSecond(m_lastPress, m_hadPress);
        m_lastPress = GetTickCount();
        m_hadPress = !second;
        SetFocus();
        SetCapture();
        m_tracking = true;
        m_pressed = true;
        Invalidate(FALSE);
        UpdateWindow();
        if (second && GetButtonStyle() == BS_OWNERDRAW)
            Notify(BN_DOUBLECLICKED);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (m_tracking) {
            RECT client;
            GetClientRect(&client);
            const bool inside = PtInRect(&client, POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))});
            if (inside != m_pressed) {
                m_pressed = inside;
                Invalidate(FALSE);
            }
        }
        return 0;
    case WM_LBUTTONUP: {
        if (!m_tracking)
            return 0;
        m_tracking = false;
        const bool clicked = m_pressed;
        m_pressed = false;
        if (GetCapture() == this)
            ReleaseCapture();
        Invalidate(FALSE);
        UpdateWindow();
        if (clicked && GetSafeHwnd())
            Click();
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (m_tracking) {
            m_tracking = false;
            m_pressed = false;
            Invalidate(FALSE);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && IsWindowEnabled())
            Click();
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate(FALSE);
        return 0;
    case BM_GETCHECK:
        return m_check;
    case BM_SETCHECK:
        if (m_check != static_cast<int>(wParam)) {
            m_check = static_cast<int>(wParam);
            Invalidate(FALSE);
        }
        return 0;
    case BM_GETSTATE:
        return GetState();
    case BM_SETSTATE:
        if (m_pressed != (wParam != 0)) {
            m_pressed = wParam != 0;
            Invalidate(FALSE);
        }
        return 0;
    case BM_CLICK:
        Click();
        return 0;
    case WM_SETTEXT:
        CWnd::DefWindowProc(message, wParam, lParam);
        Invalidate(FALSE);
        return TRUE;
    default:
        return CWnd::DefWindowProc(message, wParam, lParam);
    }
}

// --- List boxes ---------------------------------------------------------------------------

BOOL CListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CWnd::Create(nullptr, nullptr, style | WS_CHILD, rect, parent, id))
        return FALSE;
    platform::SetUpControl(this, nullptr);
    return TRUE;
}

int CListBox::DefaultHeight() const
{
    return 16;
}

int CListBox::Compare(const Row& a, int indexA, const Row& b, int indexB)
{
    if (HasStrings())
        return QString::fromUtf8(a.text.c_str()).compare(QString::fromUtf8(b.text.c_str()), Qt::CaseInsensitive);
    COMPAREITEMSTRUCT compare;
    compare.CtlType = ODT_LISTBOX;
    compare.CtlID = GetDlgCtrlID();
    compare.hwndItem = this;
    compare.itemID1 = static_cast<UINT>(indexA);
    compare.itemData1 = a.data;
    compare.itemID2 = static_cast<UINT>(indexB);
    compare.itemData2 = b.data;
    CWnd* parent = GetParent();
    LRESULT answer = parent ? parent->SendMessage(WM_COMPAREITEM, GetDlgCtrlID(), reinterpret_cast<LPARAM>(&compare)) : 0;
    if (answer == 0)
        answer = CompareItem(&compare);
    return answer < 0 ? -1 : (answer > 0 ? 1 : 0);
}

int CListBox::Insert(int index, LPCTSTR item, bool sorted)
{
    Row row;
    if (HasStrings())
        row.text = item ? item : "";
    else
        row.data = reinterpret_cast<DWORD_PTR>(item);
    if (sorted) {
        // After every row that does not sort after it: equal rows keep the
        // order in which they came. The rows are in order, so a binary
        // search finds the place: a kit list of hundreds of classes is
        // filled at start-up.
        size_t low = 0;
        size_t high = m_rows.size();
        while (low < high) {
            const size_t middle = low + (high - low) / 2;
            if (Compare(row, -1, m_rows[middle], static_cast<int>(middle)) < 0)
                high = middle;
            else
                low = middle + 1;
        }
        index = static_cast<int>(low);
    } else if (index < 0 || static_cast<size_t>(index) > m_rows.size()) {
        index = static_cast<int>(m_rows.size());
    }
    m_rows.insert(m_rows.begin() + index, row);
    if (m_sel >= index)
        ++m_sel;
    // Rows of varying height are measured once they are in the list.
    if (GetStyle() & LBS_OWNERDRAWVARIABLE) {
        MEASUREITEMSTRUCT measure;
        measure.CtlType = ODT_LISTBOX;
        measure.CtlID = GetDlgCtrlID();
        measure.itemID = static_cast<UINT>(index);
        measure.itemHeight = static_cast<UINT>(DefaultHeight());
        measure.itemData = row.data;
        CWnd* parent = GetParent();
        if (!parent || !parent->SendMessage(WM_MEASUREITEM, GetDlgCtrlID(), reinterpret_cast<LPARAM>(&measure)))
            MeasureItem(&measure);
        if (Valid(index))
            m_rows[static_cast<size_t>(index)].height = static_cast<int>(std::min<UINT>(measure.itemHeight, 255));
    }
    Redraw();
    return index;
}

int CListBox::AddString(LPCTSTR item)
{
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item)));
}

int CListBox::InsertString(int index, LPCTSTR item)
{
    return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item)));
}

int CListBox::DeleteString(UINT index)
{
    return static_cast<int>(SendMessage(LB_DELETESTRING, index));
}

void CListBox::ResetContent()
{
    SendMessage(LB_RESETCONTENT);
}

int CListBox::GetCount() const
{
    return static_cast<int>(m_rows.size());
}

int CListBox::GetCurSel() const
{
    return m_sel;
}

int CListBox::SetCurSel(int index)
{
    return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index)));
}

int CListBox::GetText(int index, CString& text) const
{
    if (!Valid(index)) {
        text.Empty();
        return LB_ERR;
    }
    const Row& row = m_rows[static_cast<size_t>(index)];
    text = HasStrings() ? row.text : CString();
    return text.GetLength();
}

int CListBox::GetTextLen(int index) const
{
    CString text;
    return GetText(index, text);
}

int CListBox::FindString(int startAfter, LPCTSTR prefix) const
{
    const int count = GetCount();
    if (count == 0)
        return LB_ERR;
    const QString wanted = QString::fromUtf8(prefix ? prefix : "");
    const int start = (startAfter >= 0 && startAfter < count) ? startAfter + 1 : 0;
    // The search goes round to the start of the list once.
    for (int step = 0; step < count; ++step) {
        const int i = (start + step) % count;
        const Row& row = m_rows[static_cast<size_t>(i)];
        if (HasStrings() ? QString::fromUtf8(row.text.c_str()).startsWith(wanted, Qt::CaseInsensitive)
                         : row.data == reinterpret_cast<DWORD_PTR>(prefix))
            return i;
    }
    return LB_ERR;
}

int CListBox::FindStringExact(int startAfter, LPCTSTR text) const
{
    const int count = GetCount();
    const QString wanted = QString::fromUtf8(text ? text : "");
    const int start = (startAfter >= 0 && startAfter < count) ? startAfter + 1 : 0;
    for (int step = 0; step < count; ++step) {
        const int i = (start + step) % count;
        const Row& row = m_rows[static_cast<size_t>(i)];
        if (HasStrings() ? QString::fromUtf8(row.text.c_str()).compare(wanted, Qt::CaseInsensitive) == 0
                         : row.data == reinterpret_cast<DWORD_PTR>(text))
            return i;
    }
    return LB_ERR;
}

int CListBox::SelectString(int startAfter, LPCTSTR prefix)
{
    return static_cast<int>(SendMessage(LB_SELECTSTRING, static_cast<WPARAM>(startAfter), reinterpret_cast<LPARAM>(prefix)));
}

int CListBox::GetTopIndex() const
{
    return m_top;
}

int CListBox::SetTopIndex(int index)
{
    return static_cast<int>(SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(index)));
}

DWORD_PTR CListBox::GetItemData(int index) const
{
    return Valid(index) ? m_rows[static_cast<size_t>(index)].data : static_cast<DWORD_PTR>(LB_ERR);
}

int CListBox::SetItemData(int index, DWORD_PTR data)
{
    if (!Valid(index))
        return LB_ERR;
    m_rows[static_cast<size_t>(index)].data = data;
    return 0;
}

int CListBox::GetItemHeight(int index) const
{
    if (GetStyle() & LBS_OWNERDRAWVARIABLE)
        return Valid(index) ? m_rows[static_cast<size_t>(index)].height : LB_ERR;
    return m_fixedHeight > 0 ? m_fixedHeight : DefaultHeight();
}

int CListBox::SetItemHeight(int index, UINT height)
{
    if (height > 255)
        return LB_ERR;
    if (GetStyle() & LBS_OWNERDRAWVARIABLE) {
        if (!Valid(index))
            return LB_ERR;
        m_rows[static_cast<size_t>(index)].height = static_cast<int>(height);
    } else {
        m_fixedHeight = static_cast<int>(height);
    }
    Redraw();
    return 0;
}

int CListBox::GetItemRect(int index, LPRECT rect) const
{
    if (!rect || !Valid(index))
        return LB_ERR;
    RECT client;
    GetClientRect(&client);
    int y = 0;
    if (index >= m_top) {
        for (int i = m_top; i < index; ++i)
            y += GetItemHeight(i);
    } else {
        for (int i = index; i < m_top; ++i)
            y -= GetItemHeight(i);
    }
    *rect = RECT{0, y, client.right, y + GetItemHeight(index)};
    return 0;
}

int CListBox::ItemFromPoint(POINT point) const
{
    if (point.y < 0)
        return LB_ERR;
    int y = 0;
    for (int i = m_top; i < GetCount(); ++i) {
        const int h = GetItemHeight(i);
        if (point.y < y + h)
            return i;
        y += h;
    }
    return LB_ERR;
}

void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}

void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}

int CListBox::CompareItem(LPCOMPAREITEMSTRUCT)
{
    return 0;
}

void CListBox::NotifyParent(int code)
{
    if (!(GetStyle() & LBS_NOTIFY))
        return;
    CWnd* parent = GetParent();
    if (parent && parent->GetSafeHwnd())
        parent->SendMessage(WM_COMMAND, MAKELONG(static_cast<WORD>(GetDlgCtrlID()), static_cast<WORD>(code)),
                            reinterpret_cast<LPARAM>(GetSafeHwnd()));
}

void CListBox::Redraw()
{
    if (m_redraw)
        Invalidate(TRUE);
}

void CListBox::DrawRow(CDC* dc, int index, UINT action)
{
    RECT rect;
    if (GetItemRect(index, &rect) == LB_ERR)
        return;
    const bool selected = index == m_sel;
    if (OwnerDraw()) {
        DRAWITEMSTRUCT item;
        item.CtlType = ODT_LISTBOX;
        item.CtlID = GetDlgCtrlID();
        item.itemID = static_cast<UINT>(index);
        item.itemAction = action;
        item.itemState = (selected ? ODS_SELECTED : 0) | (SelfEnabled(this) ? 0 : ODS_DISABLED);
        item.hwndItem = this;
        item.hDC = dc;
        item.rcItem = rect;
        item.itemData = m_rows[static_cast<size_t>(index)].data;
        QPointer<platform::WindowPeer> alive(GetSafeHwnd());
        CWnd* parent = GetParent();
        if (!parent || !parent->SendMessage(WM_DRAWITEM, GetDlgCtrlID(), reinterpret_cast<LPARAM>(&item)))
            if (alive && alive->Owner() == this)
                DrawItem(&item);
        return;
    }
    QImage image = BackingImage(this);
    if (image.isNull())
        return;
    QPainter painter(&image);
    const QRect area(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    const QPalette palette = QApplication::palette();
    painter.fillRect(area, selected ? palette.highlight() : QBrush(Qt::white));
    painter.setPen(selected ? palette.highlightedText().color() : QColor(Qt::black));
    painter.drawText(area.adjusted(2, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     QString::fromUtf8(m_rows[static_cast<size_t>(index)].text.c_str()));
}

void CListBox::PaintList()
{
    CPaintDC dc(this);
    RECT client;
    GetClientRect(&client);
    int y = 0;
    for (int i = m_top; i < GetCount() && y < client.bottom; ++i) {
        DrawRow(&dc, i, ODA_DRAWENTIRE);
        if (!GetSafeHwnd())
            return;
        y += GetItemHeight(i);
    }
    if (y < client.bottom)
        dc.FillSolidRect(0, y, client.right, client.bottom - y, RGB(255, 255, 255));
}

void CListBox::Select(int index, bool notify)
{
    const int previous = m_sel;
    m_sel = Valid(index) ? index : LB_ERR;
    if (m_sel != previous && m_redraw && GetSafeHwnd()) {
        if (OwnerDraw()) {
            // The two rows are told at once, as the system does.
            CClientDC dc(this);
            if (Valid(previous))
                DrawRow(&dc, previous, ODA_SELECT);
            if (Valid(m_sel) && GetSafeHwnd())
                DrawRow(&dc, m_sel, ODA_SELECT);
        } else {
            Invalidate(FALSE);
        }
    }
    if (notify && GetSafeHwnd())
        NotifyParent(LBN_SELCHANGE);
}

LRESULT CListBox::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const int index = static_cast<int>(static_cast<INT_PTR>(wParam));
    switch (message) {
    case WM_PAINT:
        PaintList();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETREDRAW:
        m_redraw = wParam != 0;
        if (m_redraw)
            Invalidate(TRUE);
        return 0;
    case LB_ADDSTRING:
        return Insert(-1, reinterpret_cast<LPCTSTR>(lParam), (GetStyle() & LBS_SORT) != 0);
    case LB_INSERTSTRING:
        return Insert(index, reinterpret_cast<LPCTSTR>(lParam), false);
    case LB_DELETESTRING:
        if (!Valid(index))
            return LB_ERR;
        m_rows.erase(m_rows.begin() + index);
        if (m_sel == index)
            m_sel = LB_ERR;
        else if (m_sel > index)
            --m_sel;
        m_top = std::max(0, std::min(m_top, GetCount() - 1));
        Redraw();
        return GetCount();
    case LB_RESETCONTENT:
        m_rows.clear();
        m_sel = LB_ERR;
        m_top = 0;
        Redraw();
        return 0;
    case LB_GETCOUNT:
        return GetCount();
    case LB_GETCURSEL:
        return m_sel;
    case LB_SETCURSEL:
        if (index == -1) {
            Select(LB_ERR, false);
            return LB_ERR;
        }
        if (!Valid(index))
            return LB_ERR;
        Select(index, false);
        return index;
    case LB_SELECTSTRING: {
        const int found = FindString(index, reinterpret_cast<LPCTSTR>(lParam));
        if (found != LB_ERR)
            Select(found, false);
        return found;
    }
    case LB_FINDSTRING:
        return FindString(index, reinterpret_cast<LPCTSTR>(lParam));
    case LB_FINDSTRINGEXACT:
        return FindStringExact(index, reinterpret_cast<LPCTSTR>(lParam));
    case LB_GETTEXT: {
        auto* text = reinterpret_cast<CString*>(lParam);
        if (!text)
            return LB_ERR;
        return GetText(index, *text);
    }
    case LB_GETTEXTLEN:
        return GetTextLen(index);
    case LB_GETTOPINDEX:
        return m_top;
    case LB_SETTOPINDEX:
        if (!Valid(index))
            return LB_ERR;
        if (m_top != index) {
            m_top = index;
            Redraw();
        }
        return 0;
    case LB_GETITEMDATA:
        return static_cast<LRESULT>(GetItemData(index));
    case LB_SETITEMDATA:
        return SetItemData(index, static_cast<DWORD_PTR>(lParam));
    case LB_GETITEMHEIGHT:
        return GetItemHeight(index);
    case LB_SETITEMHEIGHT:
        return SetItemHeight(index, static_cast<UINT>(LOWORD(lParam)));
    case LB_GETITEMRECT:
        return GetItemRect(index, reinterpret_cast<LPRECT>(lParam));
    case LB_ITEMFROMPOINT:
        return ItemFromPoint(POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))});
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        SetFocus();
        const int row = ItemFromPoint(POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))});
        if (row == LB_ERR)
            return 0;
        const bool second = row == m_lastClickRow && QuickSecond(m_lastClick, m_lastClickRow != LB_ERR);
        m_lastClick = GetTickCount();
        m_lastClickRow = second ? LB_ERR : row;
        SetCapture();
        m_tracking = true;
        QPointer<platform::WindowPeer> alive(GetSafeHwnd());
        Select(row, true);
        if (second && alive && alive->Owner() == this)
            NotifyParent(LBN_DBLCLK);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (m_tracking && (wParam & MK_LBUTTON)) {
            const int row = ItemFromPoint(POINT{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))});
            if (row != LB_ERR && row != m_sel)
                Select(row, true);
        }
        return 0;
    case WM_LBUTTONUP:
        m_tracking = false;
        if (GetCapture() == this)
            ReleaseCapture();
        return 0;
    case WM_KEYDOWN:
        if ((wParam == VK_UP || wParam == VK_DOWN) && GetCount() > 0) {
            int row = m_sel == LB_ERR ? 0 : m_sel + (wParam == VK_UP ? -1 : 1);
            row = std::clamp(row, 0, GetCount() - 1);
            if (row < m_top) {
                SetTopIndex(row);
            } else {
                // Down to a row below the last one shown: scroll it into view.
                RECT client, place;
                GetClientRect(&client);
                while (m_top < row && GetItemRect(row, &place) == 0 && place.bottom > client.bottom)
                    SetTopIndex(m_top + 1);
            }
            if (row != m_sel)
                Select(row, true);
        }
        return 0;
    default:
        return CWnd::DefWindowProc(message, wParam, lParam);
    }
}

// --- Edits ----------------------------------------------------------------------------------

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CWnd::Create(nullptr, nullptr, style | WS_CHILD, rect, parent, id))
        return FALSE;
    platform::SetUpControl(this, "");
    return TRUE;
}

int CEdit::GetWindowTextLength() const
{
    CString text;
    GetWindowText(text);
    return text.GetLength();
}

void CEdit::SetSel(int start, int end)
{
    SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end);
}

void CEdit::LimitText(int chars)
{
    SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(chars));
}

LRESULT CEdit::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    QLineEdit* field = FieldOf(this);
    switch (message) {
    case WM_SETTEXT: {
        if (!field)
            return FALSE;
        const QString text = QString::fromUtf8(lParam ? reinterpret_cast<LPCTSTR>(lParam) : "");
        // The system reports every change the program makes, also one to the
        // text there is.
        if (field->text() == text) {
            CWnd* parent = GetParent();
            if (parent)
                parent->SendMessage(WM_COMMAND, MAKELONG(static_cast<WORD>(GetDlgCtrlID()), static_cast<WORD>(EN_CHANGE)),
                                    reinterpret_cast<LPARAM>(GetSafeHwnd()));
        } else {
            field->setText(text);
        }
        return TRUE;
    }
    case WM_GETTEXT: {
        auto* text = reinterpret_cast<CString*>(lParam);
        if (!text || !field)
            return FALSE;
        *text = field->text().toUtf8().constData();
        return TRUE;
    }
    case EM_SETSEL:
        if (field) {
            const int length = static_cast<int>(field->text().size());
            int start = static_cast<int>(static_cast<INT_PTR>(wParam));
            int end = static_cast<int>(lParam);
            if (start < 0) {
                field->deselect();
                return 0;
            }
            if (end < 0 || end > length)
                end = length;
            start = std::min(start, length);
            field->setSelection(start, end - start);
        }
        return 0;
    case EM_LIMITTEXT:
        if (field)
            field->setMaxLength(wParam == 0 ? 32767 : static_cast<int>(std::min<WPARAM>(wParam, 32767)));
        return 0;
    case WM_SETFOCUS:
        if (field)
            field->setFocus(Qt::OtherFocusReason);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        return CWnd::DefWindowProc(message, wParam, lParam);
    }
}

// --- Statics --------------------------------------------------------------------------------

BOOL CStatic::Create(LPCTSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create(nullptr, text, style | WS_CHILD, rect, parent, id);
}

LRESULT CStatic::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        CPaintDC dc(this);
        RECT client;
        GetClientRect(&client);
        dc.FillSolidRect(&client, RGB(192, 192, 192));
        QImage image = BackingImage(this);
        if (!image.isNull()) {
            QPainter painter(&image);
            painter.setPen(Qt::black);
            painter.drawText(QRect(0, 0, client.right, client.bottom), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                             TextOf(this));
        }
        return 0;
    }
    case WM_SETTEXT:
        CWnd::DefWindowProc(message, wParam, lParam);
        Invalidate();
        return TRUE;
    case WM_ERASEBKGND:
        return 1;
    default:
        return CWnd::DefWindowProc(message, wParam, lParam);
    }
}

// --- Set-up and driving -------------------------------------------------------------------

namespace platform {

void SetUpControl(CWnd* control, const char* text)
{
    WindowPeer* peer = control ? control->GetSafeHwnd() : nullptr;
    if (peer && control->IsKindOf(RUNTIME_CLASS(CListBox)) &&
        !peer->findChild<QObject*>(QStringLiteral("dizado-list-wheel"), Qt::FindDirectChildrenOnly)) {
        auto* wheel = new ListWheel(peer);
        wheel->setObjectName(QStringLiteral("dizado-list-wheel"));
        peer->installEventFilter(wheel);
        return;
    }
    if (!peer || !control->IsKindOf(RUNTIME_CLASS(CEdit)) || FieldOf(control))
        return;
    auto* field = new QLineEdit(peer);
    field->setFrame(true);
    field->setGeometry(0, 0, peer->width(), peer->height());
    field->setText(QString::fromUtf8(text ? text : ""));
    field->installEventFilter(new EditKeys(field));
    peer->setFocusProxy(field);
    peer->setFocusPolicy(Qt::StrongFocus);
    QPointer<WindowPeer> alive(peer);
    QObject::connect(field, &QLineEdit::textChanged, field, [alive] {
        if (!alive || !alive->Owner())
            return;
        CWnd* edit = alive->Owner();
        CWnd* parent = edit->GetParent();
        if (parent && parent->GetSafeHwnd())
            parent->SendMessage(WM_COMMAND,
                                MAKELONG(static_cast<WORD>(edit->GetDlgCtrlID()), static_cast<WORD>(EN_CHANGE)),
                                reinterpret_cast<LPARAM>(alive.data()));
    });
    field->show();
}

BOOL ClickControl(CWnd* parent, int id)
{
    CWnd* control = parent ? parent->GetDlgItem(id) : nullptr;
    if (!control || !control->IsWindowEnabled())
        return FALSE;
    RECT client;
    control->GetClientRect(&client);
    const POINT centre{client.right / 2, client.bottom / 2};
    QPointer<WindowPeer> alive(control->GetSafeHwnd());
    SendMouseInput(control, MouseAction::Press, MouseButton::Left, centre, MK_LBUTTON, 0);
    if (alive && alive->Owner())
        SendMouseInput(alive->Owner(), MouseAction::Release, MouseButton::Left, centre, 0, 0);
    return TRUE;
}

BOOL TypeIntoEdit(CWnd* edit, const char* text)
{
    QLineEdit* field = edit ? FieldOf(edit) : nullptr;
    if (!field || !text)
        return FALSE;
    const QString typed = QString::fromUtf8(text);
    QPointer<QLineEdit> alive(field);
    for (const QChar ch : typed) {
        if (!alive)
            return FALSE;
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(field, &release);
    }
    return TRUE;
}

}  // namespace platform
