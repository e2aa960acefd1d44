#pragma once

#include <QImage>
#include <QRect>
#include <QVarLengthArray>
#include <QtGlobal>

// The game window's persistent drawing surface. Walls, worm and food exist only
// as pixels here; every read is answered from this picture, never the screen.
// Colours are 0x00BBGGRR integers.
class Canvas {
public:
    static constexpr int DesignWidth = 668;
    static constexpr int DesignHeight = 449;
    static constexpr quint32 Black = 0;
    static constexpr quint32 Green = 65280;

    // background: the face colour as 0x00BBGGRR; nudged if it were black or green,
    // which the rules would read as blocked or food.
    explicit Canvas(quint32 background);

    void BoxFill(int x1, int y1, int x2, int y2);
    void BoxFill(int x1, int y1, int x2, int y2, quint32 colour);
    // Off the surface reads as free, never as an out-of-bounds read. Inline:
    // the tick and the food search read a pixel per step.
    quint32 PixelColour(int x, int y) const
    {
        if (uint(x) >= uint(DesignWidth) || uint(y) >= uint(DesignHeight))
            return m_background;
        return fromRgb(reinterpret_cast<const QRgb *>(m_image.constScanLine(y))[x]);
    }
    void ClearCanvas();

    quint32 BackgroundColour() const { return m_background; }
    quint32 ForegroundColour() const { return Black; }

    const QImage &image() const { return m_image; }

    // The rectangles changed since the last call, so the window repaints only
    // those. Recording one costs no allocation; past a handful they merge into
    // their bounding rectangle (a board drawn anew is repainted whole).
    using Damage = QVarLengthArray<QRect, 8>;
    Damage takeDamage();

    static QRgb toRgb(quint32 colour);
    static quint32 fromRgb(QRgb rgb)
    {
        return quint32(qRed(rgb)) | (quint32(qGreen(rgb)) << 8) | (quint32(qBlue(rgb)) << 16);
    }

private:
    void markDamaged(const QRect &rect);

    QImage m_image;
    quint32 m_background;
    Damage m_damage;
};
