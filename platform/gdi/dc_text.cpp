// Text: glyphs from the toolkit, drawn into the context's surface within its
// clip rectangles.
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/gdi/dc.h"

namespace {

bool ToolkitRunning()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

QString TextOf(const char* text, int count)
{
    const qsizetype length = count < 0 ? static_cast<qsizetype>(std::strlen(text)) : count;
    return QString::fromUtf8(text, length);
}

// The toolkit's font for a context's font attributes, `pixels` high.
QFont ToolkitFont(const CFont::Attributes& a, int pixels)
{
    QFont font;
    if (!a.face.empty())
        font.setFamily(QString::fromUtf8(a.face.c_str()));
    switch (a.family) {
    case FF_SWISS:
        font.setStyleHint(QFont::SansSerif);
        break;
    case FF_ROMAN:
        font.setStyleHint(QFont::Serif);
        break;
    case FF_MODERN:
        font.setStyleHint(QFont::TypeWriter);
        break;
    default:
        break;
    }
    font.setPixelSize(std::max(1, pixels));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(a.weight, 100, 900)));
    font.setItalic(a.italic);
    font.setUnderline(a.underline);
    return font;
}

// The font for the context's attributes in device pixels: a negative height
// is the em, a positive one the whole cell.
QFont DeviceFont(const CFont::Attributes& a, int64_t deviceHeight)
{
    const int height = static_cast<int>(std::min<int64_t>(deviceHeight, 4096));
    if (a.height == 0)
        return ToolkitFont(a, 13);
    if (a.height < 0)
        return ToolkitFont(a, height);
    QFont font = ToolkitFont(a, height);
    const int cell = QFontMetrics(font).height();
    if (cell > height && cell > 0)
        font = ToolkitFont(a, static_cast<int>(int64_t{height} * height / cell));
    return font;
}

}  // namespace

BOOL CDC::TextOut(int x, int y, const char* text, int count)
{
    if (!text || !ToolkitRunning())
        return FALSE;
    if (!m_surface || m_surface->Width() == 0 || m_surface->Height() == 0)
        return TRUE;
    const int64_t deviceHeight = std::llabs(MapY(int64_t{y} + m_state.fontAttributes.height) - MapY(y));
    const QFont font = DeviceFont(m_state.fontAttributes, deviceHeight);
    const QFontMetrics metrics(font);
    const QString string = TextOf(text, count);
    const int64_t left = MapX(x);
    const int64_t top = MapY(y);
    const int64_t width = metrics.horizontalAdvance(string);
    const int64_t height = metrics.height();
    // Far off the surface: nothing to draw, and QPainter takes ints.
    if (left + width <= 0 || top + height <= 0 || left >= m_surface->Width() || top >= m_surface->Height())
        return TRUE;

    QRegion clip;
    for (const Box& b : ClipRects())
        clip += QRect(static_cast<int>(b.left), static_cast<int>(b.top), static_cast<int>(b.right - b.left),
                      static_cast<int>(b.bottom - b.top));
    if (clip.isEmpty())
        return TRUE;
    Touch(left, top, left + width, top + height);

    QImage image(reinterpret_cast<uchar*>(m_surface->Bits()), m_surface->Width(), m_surface->Height(),
                 m_surface->Width() * 4, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setClipRegion(clip);
    const QRect cell(static_cast<int>(left), static_cast<int>(top), static_cast<int>(width), static_cast<int>(height));
    if (m_state.bkMode == OPAQUE) {
        const COLORREF bk = GetNearestColor(m_state.bkColour);
        painter.fillRect(cell, QColor(GetRValue(bk), GetGValue(bk), GetBValue(bk)));
    }
    const COLORREF colour = GetNearestColor(m_state.textColour);
    painter.setPen(QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
    painter.setFont(font);
    painter.drawText(cell.left(), cell.top() + metrics.ascent(), string);
    return TRUE;
}

CSize CDC::GetTextExtent(const char* text, int count) const
{
    if (!text || !ToolkitRunning())
        return CSize();
    const int64_t deviceHeight = std::llabs(MapY(int64_t{m_state.fontAttributes.height}) - MapY(0));
    const QFontMetrics metrics(DeviceFont(m_state.fontAttributes, deviceHeight));
    const QString string = TextOf(text, count);
    // Back to logical units.
    const int64_t w = std::llabs(UnmapX(metrics.horizontalAdvance(string)) - UnmapX(0));
    const int64_t h = std::llabs(UnmapY(metrics.height()) - UnmapY(0));
    return CSize(static_cast<int>(std::min<int64_t>(w, INT32_MAX)), static_cast<int>(std::min<int64_t>(h, INT32_MAX)));
}
