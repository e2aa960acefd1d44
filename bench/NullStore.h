#pragma once

#include "settings/Store.h"

// A store that keeps nothing and answers every read with its default, except
// "HardCore": 0 means blocking never ends a game, so no modal box can open.
class NullStore final : public Store {
public:
    QString GetSetting(const QString &, const QString &, const QString &key,
                       const QVariant &defaultValue) override
    {
        if (key == QLatin1String("HardCore"))
            return QStringLiteral("0");
        return defaultText(defaultValue);
    }
    void commit(const QString &, const std::function<void(SettingsEdit &)> &) override { }
};
