#pragma once

#include <QImage>
#include <QRect>
#include <QtGlobal>

#include <functional>

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
    quint32 PixelColour(int x, int y) const;
    void ClearCanvas();

    quint32 BackgroundColour() const { return m_background; }
    quint32 ForegroundColour() const { return Black; }

    const QImage &image() const { return m_image; }

    // Told the rectangle of every change, so the window repaints only that.
    void setDamageHandler(std::function<void(const QRect &)> handler);

    static QRgb toRgb(quint32 colour);
    static quint32 fromRgb(QRgb rgb);

private:
    QImage m_image;
    quint32 m_background;
    std::function<void(const QRect &)> m_onDamage;
};
