#include "game/Canvas.h"

#include <algorithm>

Canvas::Canvas(quint32 background)
    : m_image(DesignWidth, DesignHeight, QImage::Format_RGB32),
      m_background(background & 0x00FFFFFFu)
{
    if (m_background == Black || m_background == Green)
        m_background += 1;
    ClearCanvas();
}

QRgb Canvas::toRgb(quint32 colour)
{
    return qRgb(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

quint32 Canvas::fromRgb(QRgb rgb)
{
    return quint32(qRed(rgb)) | (quint32(qGreen(rgb)) << 8) | (quint32(qBlue(rgb)) << 16);
}

void Canvas::setDamageHandler(std::function<void(const QRect &)> handler)
{
    m_onDamage = std::move(handler);
}

void Canvas::BoxFill(int x1, int y1, int x2, int y2)
{
    BoxFill(x1, y1, x2, y2, ForegroundColour());
}

void Canvas::BoxFill(int x1, int y1, int x2, int y2, quint32 colour)
{
    const QRect box = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                            QPoint(std::max(x1, x2), std::max(y1, y2)))
                              .intersected(m_image.rect());
    if (box.isEmpty())
        return;
    const QRgb rgb = toRgb(colour);
    for (int y = box.top(); y <= box.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(m_image.scanLine(y));
        std::fill(line + box.left(), line + box.right() + 1, rgb);
    }
    if (m_onDamage)
        m_onDamage(box);
}

quint32 Canvas::PixelColour(int x, int y) const
{
    // Off the surface reads as free, never as an out-of-bounds read.
    if (!m_image.valid(x, y))
        return m_background;
    return fromRgb(reinterpret_cast<const QRgb *>(m_image.constScanLine(y))[x]);
}

void Canvas::ClearCanvas()
{
    m_image.fill(toRgb(m_background));
    if (m_onDamage)
        m_onDamage(m_image.rect());
}
