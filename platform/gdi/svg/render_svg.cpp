#include "platform/gdi/svg/render_svg.h"

#include <algorithm>
#include <string>

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace platform {

bool RenderSvg(const std::string& svg, int width, int height, ArgbImage& image, std::string& error)
{
    constexpr int kLargest = 4096;
    if (width < 1 || height < 1 || width > kLargest || height > kLargest) {
        error = "picture size " + std::to_string(width) + " x " + std::to_string(height) + " out of range";
        return false;
    }
    QSvgRenderer renderer(QByteArray(svg.data(), static_cast<qsizetype>(svg.size())));
    if (!renderer.isValid()) {
        error = "not a readable SVG document";
        return false;
    }
    QImage canvas(width, height, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
    }
    // Non-premultiplied, so that an edge pixel keeps the colour it was drawn in.
    const QImage straight = canvas.convertToFormat(QImage::Format_ARGB32);
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(straight.constScanLine(y));
        std::copy(row, row + width, image.pixels.begin() + static_cast<ptrdiff_t>(y) * width);
    }
    return true;
}

}  // namespace platform
