#include "platform/ui/ole_ip_frame.h"

#include <cstring>

#include "platform/ui/doc_template.h"
#include "platform/ui/res_templates.h"

IMPLEMENT_DYNAMIC(CToolBar, CWnd)
IMPLEMENT_DYNAMIC(COleResizeBar, CWnd)
IMPLEMENT_DYNAMIC(COleDropTarget, CCmdTarget)
IMPLEMENT_DYNCREATE(COleIPFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(CToolBar, CWnd)
    ON_WM_PAINT()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

BOOL CToolBar::Create(CWnd* parent, DWORD style, UINT id)
{
    if (!parent || !parent->GetSafeHwnd())
        return FALSE;
    CRect client;
    parent->GetClientRect(&client);
    const RECT place{0, 0, client.Width(), kHeight};
    return CWnd::Create(nullptr, nullptr, (style & ~CBRS_TOP) | WS_CHILD, place, parent, id);
}

BOOL CToolBar::LoadBitmap(UINT resourceId)
{
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCE(resourceId), RT_BITMAP);
    HGLOBAL data = resource ? LoadResource(module, resource) : nullptr;
    const auto* bytes = static_cast<const BYTE*>(data ? LockResource(data) : nullptr);
    const uint64_t size = bytes ? SizeofResource(module, resource) : 0;
    if (size < sizeof(BITMAPINFOHEADER))
        return FALSE;
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof header);
    const uint64_t colours = header.biClrUsed ? header.biClrUsed : 256;
    const uint64_t bitsAt = header.biSize + 4 * colours;
    if (header.biSize != sizeof header || header.biBitCount != 8 || header.biCompression != BI_RGB ||
        header.biPlanes != 1 || header.biWidth < kImageWidth || header.biWidth > 4096 ||
        (header.biHeight != kImageHeight && header.biHeight != -kImageHeight) || colours > 256 ||
        size < bitsAt + DibRowStride(header.biWidth, 8) * kImageHeight)
        return FALSE;
    m_pImage = reinterpret_cast<const BITMAPINFO*>(bytes);
    m_pImageBits = bytes + bitsAt;
    m_nIDBitmap = resourceId;
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* ids, int count)
{
    if (count < 0 || (count > 0 && !ids))
        return FALSE;
    m_buttons.assign(ids, ids + count);
    return TRUE;
}

UINT CToolBar::GetItemID(int index) const
{
    return index >= 0 && index < GetCount() ? m_buttons[static_cast<size_t>(index)] : ID_SEPARATOR;
}

int CToolBar::HitTest(CPoint point) const
{
    if (point.y < 0 || point.y >= kHeight)
        return -1;
    int left = 0;
    for (int index = 0; index < GetCount(); ++index) {
        const bool gap = m_buttons[static_cast<size_t>(index)] == ID_SEPARATOR;
        const int right = left + (gap ? kSeparatorWidth : kButtonWidth);
        if (point.x >= left && point.x < right)
            return gap ? -1 : index;
        left = right;
    }
    return -1;
}

void CToolBar::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, RGB(192, 192, 192));
    const int images = m_pImage ? static_cast<int>(m_pImage->bmiHeader.biWidth / kImageWidth) : 0;
    int left = 0;
    int image = 0;
    for (const UINT id : m_buttons) {
        if (id == ID_SEPARATOR) {
            left += kSeparatorWidth;
            continue;
        }
        dc.FillSolidRect(left, 0, kButtonWidth, 1, RGB(255, 255, 255));
        dc.FillSolidRect(left, 0, 1, kHeight, RGB(255, 255, 255));
        dc.FillSolidRect(left, kHeight - 1, kButtonWidth, 1, RGB(128, 128, 128));
        dc.FillSolidRect(left + kButtonWidth - 1, 0, 1, kHeight, RGB(128, 128, 128));
        if (image < images)
            dc.SetDIBitsToDevice(left + (kButtonWidth - kImageWidth) / 2, (kHeight - kImageHeight) / 2,
                                 kImageWidth, kImageHeight, image * kImageWidth, 0, 0, kImageHeight, m_pImageBits,
                                 m_pImage, DIB_RGB_COLORS);
        ++image;
        left += kButtonWidth;
    }
}

void CToolBar::OnLButtonUp(UINT, CPoint point)
{
    const int index = HitTest(point);
    if (index < 0)
        return;
    if (CWnd* target = GetOwner())
        target->SendMessage(WM_COMMAND, GetItemID(index), 0);
}

BOOL COleResizeBar::Create(CWnd* parent, DWORD style, UINT id)
{
    if (!parent || !parent->GetSafeHwnd())
        return FALSE;
    // Empty, so that it never covers the view it surrounds.
    return CWnd::Create(nullptr, nullptr, style | WS_CHILD, RECT{}, parent, id);
}

BOOL COleDropTarget::Register(CWnd* wnd)
{
    if (!wnd || !wnd->GetSafeHwnd() || m_pWnd)
        return FALSE;
    m_pWnd = wnd;
    return TRUE;
}

void COleDropTarget::Revoke()
{
    m_pWnd = nullptr;
}

BEGIN_MESSAGE_MAP(COleIPFrameWnd, CFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

int COleIPFrameWnd::OnCreate(LPCREATESTRUCT createStruct)
{
    return CFrameWnd::OnCreate(createStruct);
}

void COleIPFrameWnd::OnContextHelp()
{
    // The container is one of the program's own windows here, with no help
    // mode of its own to enter: the frame's context help is all there is.
    CFrameWnd::OnContextHelp();
}

BOOL COleIPFrameWnd::OnCreateControlBars(CFrameWnd*, CFrameWnd*)
{
    return TRUE;
}

namespace platform {

COleIPFrameWnd* ActivateInPlace(CDocTemplate& docTemplate, CDocument& document, CWnd& container,
                                CFrameWnd& containerFrame)
{
    const CRuntimeClass* frameClass = docTemplate.m_pInPlaceFrameClass;
    if (!frameClass || !container.GetSafeHwnd() || !containerFrame.GetSafeHwnd())
        return nullptr;
    CObject* object = frameClass->CreateObject();
    auto* frame = dynamic_cast<COleIPFrameWnd*>(object);
    if (!frame) {
        delete object;
        return nullptr;
    }
    CCreateContext context;
    context.m_pCurrentDoc = &document;
    context.m_pNewViewClass =
        docTemplate.m_pInPlaceViewClass ? docTemplate.m_pInPlaceViewClass : docTemplate.GetViewClass();
    context.m_pNewDocTemplate = &docTemplate;
    context.m_pCurrentFrame = frame;
    CRect client;
    container.GetClientRect(&client);
    // A frame that cannot be made has deleted itself (PostNcDestroy).
    if (!frame->CWnd::Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, client, &container, AFX_IDW_PANE_FIRST,
                             &context))
        return nullptr;
    // The document window is a frame only in containers that show several documents.
    if (!frame->OnCreateControlBars(&containerFrame, dynamic_cast<CFrameWnd*>(&container))) {
        frame->DestroyWindow();
        return nullptr;
    }
    frame->InitialUpdateFrame(&document, TRUE);
    return frame;
}

}  // namespace platform
