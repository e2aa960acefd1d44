#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <QString>

// What the program shows, as every real-window test looks for it.
namespace KorvuScreen {

inline const QString StartTitle = QStringLiteral("Korvu Ayarlar - www.korvu.example");
inline const QString GameTitle = QStringLiteral("Korvu 1.0 - www.korvu.example");
inline const QString MessageTitle = QStringLiteral("Korvu");
inline const QString ScoreTableTitle = QStringLiteral("Skor Tablosu");
inline const QString AboutTitle = QStringLiteral("Korvu Bilgi");

constexpr QSize StartClientSize(269, 96);
constexpr QSize NameDialogSize(242, 55);
// The start window's buttons, in its client area.
constexpr QRect Baslat(184, 8, 81, 17);
constexpr QRect SkorTablo(184, 32, 81, 17);
constexpr QRect Bilgi(184, 56, 81, 17);

constexpr QRgb Black = qRgb(0, 0, 0);
constexpr QRgb Green = qRgb(0, 255, 0);
constexpr int Columns = 22;
constexpr int Rows = 14;

// A pixel of a screen grab, opaque whatever alpha the grab left in it.
inline QRgb colourAt(const QImage &image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000u;
}

} // namespace KorvuScreen
