// Editing a document in place inside a container's window. The container is
// a window of this process that the caller gives; there is no cross-process
// in-place protocol, so another program cannot host the frame, and menu
// merging and the container's own activation do not happen.
#pragma once

#include <vector>

#include "platform/gdi/dib.h"
#include "platform/ui/frame_wnd.h"

constexpr UINT AFX_IDW_TOOLBAR = 0xE800;     // 59392
constexpr UINT AFX_IDW_RESIZE_BAR = 0xE803;  // 59395
constexpr UINT ID_SEPARATOR = 0;
constexpr DWORD CBRS_TOP = 0x1000;

// A row of command buttons along the top of its parent's client area. A click
// sends the button's command to the owner (the parent when none is set).
class CToolBar : public CWnd {
    DECLARE_DYNAMIC(CToolBar)
public:
    static constexpr int kButtonWidth = 23;
    static constexpr int kSeparatorWidth = 8;
    static constexpr int kHeight = 22;

    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT id = AFX_IDW_TOOLBAR);
    // The button images, one 16x15 cell a button, left to right; FALSE when
    // the program has no such bitmap or it is no 8-bit picture 15 rows high
    // (the bar is then drawn without it).
    BOOL LoadBitmap(UINT resourceId);
    // ID_SEPARATOR makes a gap.
    BOOL SetButtons(const UINT* ids, int count);
    int GetCount() const { return static_cast<int>(m_buttons.size()); }
    UINT GetItemID(int index) const;
    UINT GetBitmapID() const { return m_nIDBitmap; }
    // Index of the button under `point` (client pixels), -1 for none or a gap.
    int HitTest(CPoint point) const;
    // Where the buttons' commands go: a bar lives in another window than the
    // one whose commands it gives.
    void SetOwner(CWnd* owner) { m_pOwner = owner; }
    CWnd* GetOwner() const { return m_pOwner ? m_pOwner : GetParent(); }

    static constexpr int kImageWidth = 16;
    static constexpr int kImageHeight = 15;

protected:
    void OnPaint();
    void OnLButtonUp(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    std::vector<UINT> m_buttons;
    UINT m_nIDBitmap = 0;
    const BITMAPINFO* m_pImage = nullptr;  // the program's own resource, never freed
    const BYTE* m_pImageBits = nullptr;
    CWnd* m_pOwner = nullptr;
};

// The bar around an object being edited in place. It only marks the place:
// resizing the object by dragging it is the container's, which is not here.
class COleResizeBar : public CWnd {
    DECLARE_DYNAMIC(COleResizeBar)
public:
    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE, UINT id = AFX_IDW_RESIZE_BAR);
};

// Marks a window as a drop target. Other programs' data objects do not reach
// a window on this platform, and a window that is no view takes no drop, so
// registering changes nothing the user sees; it must not open dropped files,
// which would replace the embedded model.
class COleDropTarget : public CCmdTarget {
    DECLARE_DYNAMIC(COleDropTarget)
public:
    // FALSE without a window or when already registered.
    BOOL Register(CWnd* wnd);
    void Revoke();
    CWnd* GetRegisteredWindow() const { return m_pWnd; }

private:
    CWnd* m_pWnd = nullptr;
};

// The frame that holds a document's view inside a container window. Its
// window is a child of the container; its control bars live in the
// container's frame for as long as it exists.
class COleIPFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(COleIPFrameWnd)
public:
    COleIPFrameWnd() = default;

    // Puts the frame's control bars into the container's frame; FALSE fails
    // the activation.
    virtual BOOL OnCreateControlBars(CFrameWnd* containerFrame, CFrameWnd* containerDoc);

protected:
    int OnCreate(LPCREATESTRUCT createStruct);
    // Context help while in place, for the frame's map to name.
    void OnContextHelp();
    DECLARE_MESSAGE_MAP()
};

namespace platform {

// Activates `document` in place: a frame of the template's in-place frame
// class, made a child filling `container`'s client area, holding a view of the
// template's view class, its control bars put into `containerFrame`. Null
// when the template names no in-place frame or any step fails; the frame is
// then gone. DestroyWindow on the answer ends the activation.
COleIPFrameWnd* ActivateInPlace(CDocTemplate& docTemplate, CDocument& document, CWnd& container,
                                CFrameWnd& containerFrame);

}  // namespace platform
