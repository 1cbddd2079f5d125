// The controls of dialogs and frames: buttons (push, check box, owner-drawn),
// list boxes (plain and owner-drawn), single-line edits and statics. Each is
// a window of the layer; their behaviour is their default window procedure,
// so a derived class's handler that calls the base (Default) gets it.
//
// Owner-drawn controls ask their parent to draw (WM_DRAWITEM, WM_MEASUREITEM,
// WM_COMPAREITEM); a parent that does not answer them (result 0) leaves them
// to the control's own DrawItem, MeasureItem and CompareItem, as the class
// library reflects them.
#pragma once

#include <vector>

#include "platform/core/cstring.h"
#include "platform/ui/wnd.h"

// Buttons.
constexpr DWORD BS_PUSHBUTTON = 0x0;
constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
constexpr DWORD BS_CHECKBOX = 0x2;
constexpr DWORD BS_AUTOCHECKBOX = 0x3;
constexpr DWORD BS_RADIOBUTTON = 0x4;
constexpr DWORD BS_AUTORADIOBUTTON = 0x9;
constexpr DWORD BS_OWNERDRAW = 0xB;
constexpr DWORD BS_TYPEMASK = 0xF;
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_CLICK = 0x00F5;
constexpr UINT BST_PUSHED = 0x0004;
constexpr UINT BST_FOCUS = 0x0008;
constexpr int BN_CLICKED = 0;
constexpr int BN_DOUBLECLICKED = 5;

// List boxes.
constexpr DWORD LBS_NOTIFY = 0x0001;
constexpr DWORD LBS_SORT = 0x0002;
constexpr DWORD LBS_OWNERDRAWFIXED = 0x0010;
constexpr DWORD LBS_OWNERDRAWVARIABLE = 0x0020;
constexpr DWORD LBS_HASSTRINGS = 0x0040;
constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_INSERTSTRING = 0x0181;
constexpr UINT LB_DELETESTRING = 0x0182;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;  // lParam: CString*
constexpr UINT LB_GETTEXTLEN = 0x018A;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_SELECTSTRING = 0x018C;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_FINDSTRING = 0x018F;
constexpr UINT LB_SETTOPINDEX = 0x0197;
constexpr UINT LB_GETITEMRECT = 0x0198;
constexpr UINT LB_GETITEMDATA = 0x0199;
constexpr UINT LB_SETITEMDATA = 0x019A;
constexpr UINT LB_SETITEMHEIGHT = 0x01A0;
constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
constexpr UINT LB_FINDSTRINGEXACT = 0x01A2;
constexpr UINT LB_ITEMFROMPOINT = 0x01A9;
constexpr int LB_ERR = -1;
constexpr int LBN_SELCHANGE = 1;
constexpr int LBN_DBLCLK = 2;

// Edits.
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr int EN_CHANGE = 0x0300;

// Owner drawing.
constexpr UINT ODT_LISTBOX = 2;
constexpr UINT ODT_BUTTON = 4;
constexpr UINT ODA_DRAWENTIRE = 0x0001;
constexpr UINT ODA_SELECT = 0x0002;
constexpr UINT ODA_FOCUS = 0x0004;
constexpr UINT ODS_SELECTED = 0x0001;
constexpr UINT ODS_DISABLED = 0x0004;
constexpr UINT ODS_FOCUS = 0x0010;

struct DRAWITEMSTRUCT {
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemAction = 0;
    UINT itemState = 0;
    CWnd* hwndItem = nullptr;
    CDC* hDC = nullptr;
    RECT rcItem;
    DWORD_PTR itemData = 0;
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;

struct MEASUREITEMSTRUCT {
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemWidth = 0;
    UINT itemHeight = 0;
    DWORD_PTR itemData = 0;
};
using LPMEASUREITEMSTRUCT = MEASUREITEMSTRUCT*;

struct COMPAREITEMSTRUCT {
    UINT CtlType = 0;
    UINT CtlID = 0;
    CWnd* hwndItem = nullptr;
    UINT itemID1 = 0;
    DWORD_PTR itemData1 = 0;
    UINT itemID2 = 0;
    DWORD_PTR itemData2 = 0;
};
using LPCOMPAREITEMSTRUCT = COMPAREITEMSTRUCT*;

class CButton : public CWnd {
    DECLARE_DYNCREATE(CButton)
public:
    CButton() = default;
    BOOL Create(LPCTSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);

    int GetCheck() const;
    void SetCheck(int check);
    UINT GetState() const;
    void SetState(BOOL highlight);
    DWORD GetButtonStyle() const { return GetStyle() & BS_TYPEMASK; }
    void SetButtonStyle(UINT style, BOOL redraw = TRUE);

    // Owner-drawn buttons draw here when the parent does not.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void Click();
    void Notify(int code);
    void PaintButton();

    int m_check = 0;
    bool m_pressed = false;
    bool m_tracking = false;
    DWORD m_lastPress = 0;
    bool m_hadPress = false;
};

class CListBox : public CWnd {
    DECLARE_DYNCREATE(CListBox)
public:
    CListBox() = default;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    // With LBS_HASSTRINGS or no owner drawing the text is the item; else
    // the pointer is the item's data. LB_ERR for a bad index.
    int AddString(LPCTSTR item);
    int InsertString(int index, LPCTSTR item);
    int DeleteString(UINT index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    // -1 removes the selection (and answers LB_ERR, as the system does).
    int SetCurSel(int index);
    int GetText(int index, CString& text) const;
    int GetTextLen(int index) const;
    int SelectString(int startAfter, LPCTSTR prefix);
    int FindString(int startAfter, LPCTSTR prefix) const;
    int FindStringExact(int startAfter, LPCTSTR text) const;
    int GetTopIndex() const;
    int SetTopIndex(int index);
    DWORD_PTR GetItemData(int index) const;
    int SetItemData(int index, DWORD_PTR data);
    void* GetItemDataPtr(int index) const { return reinterpret_cast<void*>(GetItemData(index)); }
    int GetItemHeight(int index) const;
    int SetItemHeight(int index, UINT height);
    int GetItemRect(int index, LPRECT rect) const;
    // The row under a client point, LB_ERR below the last row.
    int ItemFromPoint(POINT point) const;

    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT measureItem);
    virtual int CompareItem(LPCOMPAREITEMSTRUCT compareItem);

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    struct Row {
        CString text;
        DWORD_PTR data = 0;
        int height = 0;
    };
    bool OwnerDraw() const { return (GetStyle() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
    bool HasStrings() const { return !OwnerDraw() || (GetStyle() & LBS_HASSTRINGS); }
    int Insert(int index, LPCTSTR item, bool sorted);
    int Compare(const Row& a, int indexA, const Row& b, int indexB);
    int DefaultHeight() const;
    void Select(int index, bool notify);
    void DrawRow(CDC* dc, int index, UINT action);
    void PaintList();
    void Redraw();
    void NotifyParent(int code);
    bool Valid(int index) const { return index >= 0 && static_cast<size_t>(index) < m_rows.size(); }

    std::vector<Row> m_rows;
    int m_sel = LB_ERR;
    int m_top = 0;
    int m_fixedHeight = 0;
    bool m_redraw = true;
    bool m_tracking = false;
    DWORD m_lastClick = 0;
    int m_lastClickRow = LB_ERR;
};

class CEdit : public CWnd {
    DECLARE_DYNCREATE(CEdit)
public:
    CEdit() = default;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    // SetWindowText (WM_SETTEXT) sends EN_CHANGE, as a typed change does,
    // also when the text stays the same.
    int GetWindowTextLength() const;
    void SetSel(int start, int end);
    void LimitText(int chars);

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CStatic : public CWnd {
    DECLARE_DYNCREATE(CStatic)
public:
    CStatic() = default;
    BOOL Create(LPCTSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

namespace platform {

// Makes a control's inner toolkit parts (the edit field of CEdit) for a
// window just made; the dialog builder and Create call it.
void SetUpControl(CWnd* control, const char* text);

// Headless driving: a click (press and release at the centre) of the child
// with `id`, through the toolkit's input path; typing text into an edit
// (appended at the caret, each character a key press).
BOOL ClickControl(CWnd* parent, int id);
BOOL TypeIntoEdit(CWnd* edit, const char* text);

}  // namespace platform
