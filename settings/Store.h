#pragma once

#include <QString>
#include <QVariant>

// The per-user settings store: text values addressed by application, section and
// key. A missing key reads as the caller's default, turned into text.
class Store {
public:
    virtual ~Store() = default;

    virtual QString GetSetting(const QString &app, const QString &section, const QString &key,
                               const QVariant &defaultValue) = 0;
    virtual void SaveSetting(const QString &app, const QString &section, const QString &key,
                             const QString &value) = 0;
};

// The text form of a default: whole numbers as plain decimals, Booleans as
// "True"/"False".
QString defaultText(const QVariant &value);

namespace StoreKeys {
inline const QString App = QStringLiteral("Korvu");
inline const QString Options = QStringLiteral("Options");
inline const QString Highscore = QStringLiteral("Highscore");
} // namespace StoreKeys
