// Text: glyphs from the toolkit, drawn into the context's surface within its
// clip rectangles. TextOut draws in the selected font; DrawText, the dialogs'
// text, in the layer's dialog font, each line rendered as coverage into a
// scratch image and blended onto the surface in the text colour.
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QStringList>

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

namespace {

// The dialogs' texts: the toolkit's own sans face at a size that reads like
// the 8-point dialog font at two pixels per dialog unit.
constexpr int kTextPixels = 13;

QFont TextFont()
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(kTextPixels);
    return font;
}

uint32_t Blend(uint32_t under, uint32_t over, int coverage)
{
    const auto channel = [&](int shift) {
        const int a = static_cast<int>((under >> shift) & 0xFF);
        const int b = static_cast<int>((over >> shift) & 0xFF);
        return static_cast<uint32_t>((a * (255 - coverage) + b * coverage + 127) / 255) << shift;
    };
    return platform::Surface::kOpaque | channel(16) | channel(8) | channel(0);
}

}  // namespace

int CDC::GetTextLineHeight()
{
    if (!QGuiApplication::instance())
        return 0;
    return QFontMetrics(TextFont()).height();
}

int CDC::DrawText(const char* text, int count, RECT* rect, UINT format)
{
    if (!text || !rect || !m_surface || !QGuiApplication::instance())
        return 0;
    const size_t length = count < 0 ? std::strlen(text) : strnlen(text, static_cast<size_t>(count));
    QString all = QString::fromUtf8(text, static_cast<qsizetype>(length));
    all.remove(QLatin1Char('\r'));
    QStringList lines;
    if (format & DT_SINGLELINE)
        lines << all.replace(QLatin1Char('\n'), QLatin1Char(' '));
    else
        lines = all.split(QLatin1Char('\n'));

    const QFont font = TextFont();
    const QFontMetrics metrics(font);
    const int64_t lineHeight = metrics.height();
    const int64_t textHeight = lineHeight * lines.size();
    const Box box = MapBox(rect->left, rect->top, rect->right, rect->bottom);
    int64_t top = box.top;
    if ((format & DT_SINGLELINE) && (format & DT_VCENTER))
        top = box.top + (box.bottom - box.top - lineHeight) / 2;
    else if ((format & DT_SINGLELINE) && (format & DT_BOTTOM))
        top = box.bottom - lineHeight;

    // Where each line starts, and the box of them all.
    std::vector<int64_t> lefts;
    std::vector<int64_t> widths;
    Box area{INT64_MAX, top, INT64_MIN, top + textHeight};
    for (const QString& line : lines) {
        const int64_t width = metrics.horizontalAdvance(line);
        int64_t left = box.left;
        if (format & DT_CENTER)
            left = box.left + (box.right - box.left - width) / 2;
        else if (format & DT_RIGHT)
            left = box.right - width;
        lefts.push_back(left);
        widths.push_back(width);
        area.left = std::min(area.left, left);
        area.right = std::max(area.right, left + width);
    }
    if (!(format & DT_NOCLIP)) {
        area.left = std::max(area.left, box.left);
        area.top = std::max(area.top, box.top);
        area.right = std::min(area.right, box.right);
        area.bottom = std::min(area.bottom, box.bottom);
    }
    area.left = std::max<int64_t>(area.left, 0);
    area.top = std::max<int64_t>(area.top, 0);
    area.right = std::min<int64_t>(area.right, m_surface->Width());
    area.bottom = std::min<int64_t>(area.bottom, m_surface->Height());
    if (area.Empty())
        return static_cast<int>(textHeight);

    if (m_state.bkMode == OPAQUE) {
        const uint32_t back = PixelOf(m_state.bkColour);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const int64_t y = top + lineHeight * i;
            Box line{std::max(lefts[static_cast<size_t>(i)], area.left), std::max(y, area.top),
                     std::min(lefts[static_cast<size_t>(i)] + widths[static_cast<size_t>(i)], area.right),
                     std::min(y + lineHeight, area.bottom)};
            if (!line.Empty())
                FillBox(line, back);
        }
    }

    // Coverage only: white on transparent, blended below in the text colour.
    QImage coverage(static_cast<int>(area.right - area.left), static_cast<int>(area.bottom - area.top),
                    QImage::Format_ARGB32_Premultiplied);
    coverage.fill(Qt::transparent);
    {
        QPainter painter(&coverage);
        painter.setFont(font);
        painter.setPen(Qt::white);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QRect place(static_cast<int>(lefts[static_cast<size_t>(i)] - area.left),
                              static_cast<int>(top + lineHeight * i - area.top),
                              static_cast<int>(widths[static_cast<size_t>(i)]) + 1, static_cast<int>(lineHeight));
            painter.drawText(place, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, lines[i]);
        }
    }
    const uint32_t ink = PixelOf(m_state.textColour);
    Touch(area.left, area.top, area.right, area.bottom);
    for (const Box& clip : ClipRects()) {
        const int64_t left = std::max(area.left, clip.left);
        const int64_t right = std::min(area.right, clip.right);
        for (int64_t y = std::max(area.top, clip.top); y < std::min(area.bottom, clip.bottom) && left < right; ++y) {
            uint32_t* row = m_surface->ScanLine(static_cast<int>(y));
            const auto* cover = reinterpret_cast<const uint32_t*>(coverage.constScanLine(static_cast<int>(y - area.top)));
            for (int64_t x = left; x < right; ++x) {
                const int alpha = static_cast<int>(cover[x - area.left] >> 24);
                if (alpha != 0)
                    row[x] = Blend(row[x], ink, alpha);
            }
        }
    }
    return static_cast<int>(textHeight);
}
