#include "tests/realwindow/ScreenText.h"

#include "tests/realwindow/KorvuScreen.h"

#include <QLabel>
#include <QRect>

QImage renderedText(const QString &text)
{
    QLabel label(text);
    label.ensurePolished();
    label.adjustSize();
    const QImage image = label.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb paper = KorvuScreen::colourAt(image, 0, 0);
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (KorvuScreen::colourAt(image, x, y) != paper)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return image.copy(ink);
}

bool containsText(const QImage &shot, const QImage &glyphs)
{
    constexpr int Tolerance = 48;
    for (int top = 0; top + glyphs.height() <= shot.height(); ++top) {
        for (int left = 0; left + glyphs.width() <= shot.width(); ++left) {
            bool same = true;
            for (int y = 0; same && y < glyphs.height(); ++y) {
                for (int x = 0; same && x < glyphs.width(); ++x)
                    same = qAbs(qGray(glyphs.pixel(x, y)) - qGray(shot.pixel(left + x, top + y)))
                            <= Tolerance;
            }
            if (same)
                return true;
        }
    }
    return false;
}
