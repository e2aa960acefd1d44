#pragma once

#include "settings/Store.h"

#include <QMap>
#include <QStringList>

// An in-memory store that records every write in order, as "Section/Key=value".
class MemoryStore final : public Store {
public:
    QString GetSetting(const QString &app, const QString &section, const QString &key,
                       const QVariant &defaultValue) override
    {
        reads.append(section + QLatin1Char('/') + key);
        const auto it = values.constFind(path(app, section, key));
        return it == values.constEnd() ? defaultText(defaultValue) : *it;
    }

    void SaveSetting(const QString &app, const QString &section, const QString &key,
                     const QString &value) override
    {
        writes.append(section + QLatin1Char('/') + key + QLatin1Char('=') + value);
        values.insert(path(app, section, key), value);
    }

    void set(const QString &section, const QString &key, const QString &value)
    {
        values.insert(path(StoreKeys::App, section, key), value);
    }

    QString value(const QString &section, const QString &key) const
    {
        return values.value(path(StoreKeys::App, section, key), QStringLiteral("<missing>"));
    }

    QMap<QString, QString> values;
    QStringList writes;
    QStringList reads;

private:
    static QString path(const QString &app, const QString &section, const QString &key)
    {
        return app + QLatin1Char('/') + section + QLatin1Char('/') + key;
    }
};
