#pragma once

#include <QRgb>
#include <QString>

// What the program shows, as every real-window test looks for it.
namespace KorvuScreen {

inline const QString StartTitle = QStringLiteral("Korvu Ayarlar - www.korvu.example");
inline const QString GameTitle = QStringLiteral("Korvu 1.0 - www.korvu.example");
inline const QString MessageTitle = QStringLiteral("Korvu");

constexpr QRgb Black = qRgb(0, 0, 0);
constexpr QRgb Green = qRgb(0, 255, 0);
constexpr int Columns = 22;
constexpr int Rows = 14;

} // namespace KorvuScreen
