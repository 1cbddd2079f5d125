#include "document/document_automation.h"

#include "document/dizado_doc.h"
#include "model/brick.h"

namespace {
IDocumentAutomationHost* g_pHost = nullptr;
}  // namespace

IDocumentAutomationHost* GetDocumentAutomationHost()
{
    return g_pHost;
}

void SetDocumentAutomationHost(IDocumentAutomationHost* host)
{
    g_pHost = host;
}

BEGIN_DISPATCH_MAP(CDizadoDoc, COleServerDoc)
    DISP_FUNCTION(CDizadoDoc, "Application", DispApplication, VT_DISPATCH)
    DISP_FUNCTION(CDizadoDoc, "ShowWindow", DispShowWindow, VT_EMPTY)
    DISP_FUNCTION(CDizadoDoc, "MakeBrick", DispMakeBrick, VT_DISPATCH, VT_I2, VT_I2, VT_I2, VT_I2, VT_I2, VT_I2,
                  VT_BOOL)
    DISP_FUNCTION(CDizadoDoc, "GetList", DispGetList, VT_DISPATCH)
    DISP_FUNCTION(CDizadoDoc, "SetName", DispSetName, VT_EMPTY, VT_BSTR)
    DISP_FUNCTION(CDizadoDoc, "SetBackgroundColor", DispSetBackgroundColor, VT_EMPTY, VT_I4)
    DISP_FUNCTION(CDizadoDoc, "GetBackgroundColor", DispGetBackgroundColor, VT_I4)
    // The name is spelled so; clients call it by this name.
    DISP_FUNCTION(CDizadoDoc, "SetBackgroungImage", DispSetBackgroundImage, VT_EMPTY, VT_BSTR)
    DISP_FUNCTION(CDizadoDoc, "SetTiled", DispSetTiled, VT_EMPTY, VT_BOOL)
    DISP_FUNCTION(CDizadoDoc, "IsTiled", DispIsTiled, VT_BOOL)
    DISP_FUNCTION(CDizadoDoc, "HasBaseplate", DispHasBaseplate, VT_BOOL)
    DISP_FUNCTION(CDizadoDoc, "SetBaseplate", DispSetBaseplate, VT_EMPTY, VT_BOOL)
    DISP_FUNCTION(CDizadoDoc, "SetBaseplateSize", DispSetBaseplateSize, VT_EMPTY, VT_I2, VT_I2)
    DISP_FUNCTION(CDizadoDoc, "HasMultiView", DispHasMultiView, VT_BOOL)
    DISP_FUNCTION(CDizadoDoc, "SetMultiView", DispSetMultiView, VT_EMPTY, VT_BOOL)
    DISP_FUNCTION(CDizadoDoc, "IsModified", DispIsModified, VT_BOOL)
    DISP_FUNCTION(CDizadoDoc, "GetName", DispGetName, VT_BSTR)
    DISP_FUNCTION(CDizadoDoc, "GetBackgroundImage", DispGetBackgroundImage, VT_BSTR)
    DISP_FUNCTION(CDizadoDoc, "SetCurrentColor", DispSetCurrentColor, VT_EMPTY, VT_I2)
    DISP_FUNCTION(CDizadoDoc, "GetCurrentColor", DispGetCurrentColor, VT_I2)
    DISP_FUNCTION(CDizadoDoc, "SetCurrentBrick", DispSetCurrentBrick, VT_EMPTY, VT_I2)
    DISP_FUNCTION(CDizadoDoc, "GetCurrentBrick", DispGetCurrentBrick, VT_I2)
    DISP_FUNCTION(CDizadoDoc, "SetCurrentOrientation", DispSetCurrentOrientation, VT_EMPTY, VT_I2)
    DISP_FUNCTION(CDizadoDoc, "GetCurrentOrientation", DispGetCurrentOrientation, VT_I2)
    DISP_FUNCTION(CDizadoDoc, "SaveBmp", DispSaveBmp, VT_BOOL, VT_BSTR, VT_I2, VT_I2)
    DISP_FUNCTION(CDizadoDoc, "GetDocBoundsW", DispGetDocBoundsW, VT_I2)
    DISP_FUNCTION(CDizadoDoc, "GetDocBoundsH", DispGetDocBoundsH, VT_I2)
    DISP_FUNCTION(CDizadoDoc, "GetBaseplateSizeX", DispGetBaseplateSizeX, VT_I2)
    DISP_FUNCTION(CDizadoDoc, "GetBaseplateSizeY", DispGetBaseplateSizeY, VT_I2)
END_DISPATCH_MAP()

namespace {

void CheckColour(LONG colour)
{
    if (colour < 0 || colour >= CBrick::kColorCount)
        AfxThrowOleDispatchException("A colour is a number from 0 to 11.");
}

void CheckOrientation(LONG orientation)
{
    if (orientation < 0 || orientation >= CBrick::kOrientationCount)
        AfxThrowOleDispatchException("An orientation is a number from 0 to 3.");
}

// The id a brick of this class gets: one nobody holds is the built-in class,
// as when a model file names it.
SHORT KnownClass(SHORT classId)
{
    return CBrick::IsKnownClassId(classId) ? classId : IDC_BUILTIN_CLASS;
}

}  // namespace

IDispatch* CDizadoDoc::DispApplication()
{
    IDocumentAutomationHost* host = GetDocumentAutomationHost();
    IDispatch* application = host ? host->GetApplicationDispatch() : nullptr;
    if (!application)
        AfxThrowOleDispatchException("The program has no application object to hand out.");
    return application;
}

void CDizadoDoc::DispShowWindow()
{
    if (IDocumentAutomationHost* host = GetDocumentAutomationHost())
        host->ShowDocumentWindow(this);
}

IDispatch* CDizadoDoc::DispMakeBrick(SHORT classId, SHORT x, SHORT y, SHORT z, SHORT orientation, SHORT colour,
                                     LONG selected)
{
    const SHORT kind = KnownClass(classId == -1 ? m_nCurrentBrickType : classId);
    const LONG turn = orientation == -1 ? m_nCurrentOrientation : orientation;
    const LONG paint = colour == -1 ? m_nCurrentColor : colour;
    CheckOrientation(turn);
    CheckColour(paint);
    // Make opens and closes its own extent hold; nothing else is left open.
    CBrick* brick =
        CBrick::Make(&m_brickList, CPoint3D(x, y, z), kind, paint, 0, static_cast<SHORT>(turn));
    brick->SetSelected(selected);
    m_bMadeByAutomation = TRUE;
    return brick->GetIDispatch(TRUE);
}

IDispatch* CDizadoDoc::DispGetList()
{
    return m_brickList.GetIDispatch(TRUE);
}

void CDizadoDoc::DispSetName(const char* path)
{
    SetPathName(path, TRUE);
}

void CDizadoDoc::DispSetBackgroundColor(LONG colour)
{
    // Red, green and blue; the high byte is no colour.
    const COLORREF rgb = static_cast<COLORREF>(colour) & 0x00FFFFFF;
    ChangeBackgroundColor(&rgb);
}

LONG CDizadoDoc::DispGetBackgroundColor()
{
    return static_cast<LONG>(GetBackgroundRGB());
}

void CDizadoDoc::DispSetBackgroundImage(const char* path)
{
    ChangeBackgroundImage(path);
}

void CDizadoDoc::DispSetTiled(LONG tiled)
{
    ChangeTiled(tiled);
}

LONG CDizadoDoc::DispIsTiled()
{
    return IsBackgroundTiled();
}

LONG CDizadoDoc::DispHasBaseplate()
{
    return m_bBaseplateShown;
}

void CDizadoDoc::DispSetBaseplate(LONG shown)
{
    if ((shown != 0) != (m_bBaseplateShown != 0))
        OnShowBaseplate();
}

void CDizadoDoc::DispSetBaseplateSize(SHORT x, SHORT y)
{
    const BOOL shown = m_bBaseplateShown;
    if (shown)
        OnShowBaseplate();
    SetBaseplateSize(x, y);
    if (shown)
        OnShowBaseplate();
}

LONG CDizadoDoc::DispHasMultiView()
{
    return m_bMultiView;
}

void CDizadoDoc::DispSetMultiView(LONG shown)
{
    if ((shown != 0) != (m_bMultiView != 0))
        OnShowMultiview();
}

LONG CDizadoDoc::DispIsModified()
{
    return IsModified();
}

CString CDizadoDoc::DispGetName()
{
    return GetPathName();
}

CString CDizadoDoc::DispGetBackgroundImage()
{
    return GetBackgroundImagePath();
}

void CDizadoDoc::DispSetCurrentColor(SHORT colour)
{
    CheckColour(colour);
    m_nCurrentColor = colour;
}

SHORT CDizadoDoc::DispGetCurrentColor()
{
    return static_cast<SHORT>(m_nCurrentColor);
}

void CDizadoDoc::DispSetCurrentBrick(SHORT classId)
{
    SetCurrentBrickType(KnownClass(classId));
}

SHORT CDizadoDoc::DispGetCurrentBrick()
{
    return m_nCurrentBrickType;
}

void CDizadoDoc::DispSetCurrentOrientation(SHORT orientation)
{
    CheckOrientation(orientation);
    m_nCurrentOrientation = orientation;
}

SHORT CDizadoDoc::DispGetCurrentOrientation()
{
    return static_cast<SHORT>(m_nCurrentOrientation);
}

LONG CDizadoDoc::DispSaveBmp(const char* path, SHORT width, SHORT height)
{
    if (!path || !*path)
        return FALSE;
    // Sizes that are not positive give the preview's 80 by 60.
    if (width > 0 && height > 0 && static_cast<LONG>(width) * height > kMaxAutomationPicturePixels)
        return FALSE;
    try {
        return WriteBitmapFile(path, width, height);
    } catch (const CException&) {
        return FALSE;
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
}

SHORT CDizadoDoc::DispGetDocBoundsW()
{
    LONG width = 0;
    LONG height = 0;
    IDocumentAutomationHost* host = GetDocumentAutomationHost();
    if (!host || !host->GetFirstViewSize(this, width, height))
        return 0;
    return static_cast<SHORT>(width);
}

SHORT CDizadoDoc::DispGetDocBoundsH()
{
    LONG width = 0;
    LONG height = 0;
    IDocumentAutomationHost* host = GetDocumentAutomationHost();
    if (!host || !host->GetFirstViewSize(this, width, height))
        return 0;
    return static_cast<SHORT>(height);
}

SHORT CDizadoDoc::DispGetBaseplateSizeX()
{
    return static_cast<SHORT>(m_baseplateSize.cx);
}

SHORT CDizadoDoc::DispGetBaseplateSizeY()
{
    return static_cast<SHORT>(m_baseplateSize.cy);
}
