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


Canvas::Damage Canvas::takeDamage()
{
    Damage taken = m_damage;
    m_damage.clear();
    return taken;
}

void Canvas::markDamaged(const QRect &rect)
{
    if (m_damage.size() == m_damage.capacity()) {
        QRect bounds = rect;
        for (const QRect &r : m_damage)
            bounds |= r;
        m_damage.clear();
        m_damage.append(bounds);
        return;
    }
    m_damage.append(rect);
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
    // One detach check per fill rather than one per row.
    uchar *bits = m_image.bits();
    const qsizetype stride = m_image.bytesPerLine();
    for (int y = box.top(); y <= box.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(bits + y * stride);
        std::fill(line + box.left(), line + box.right() + 1, rgb);
    }
    markDamaged(box);
}


void Canvas::ClearCanvas()
{
    m_image.fill(toRgb(m_background));
    m_damage.clear();
    m_damage.append(m_image.rect());
}
