#pragma once

#include "settings/Store.h"
#include "settings/StoreLayout.h"

#include <QMap>
#include <QStringList>

// An in-memory store that records every write as "Section/Key=value" and
// counts the commits they came in. A commit lands as a whole, so the order of
// its keys cannot be seen: each commit's writes are recorded sorted.
class MemoryStore final : public Store {
public:
    QString GetSetting(const QString &app, const QString &section, const QString &key,
                       const QVariant &defaultValue) override
    {
        const auto it = values.constFind(path(app, section, key));
        return it == values.constEnd() ? defaultText(defaultValue) : *it;
    }

    void commit(const QString &app, const std::function<void(SettingsEdit &)> &edit) override
    {
        SettingsEdit changes([&](const QString &section, const QString &key) {
            const auto it = values.constFind(path(app, section, key));
            return it == values.constEnd() ? std::nullopt : std::optional<QString>(*it);
        });
        edit(changes);
        ++commits;
        QStringList committed;
        for (const SettingsChange &change : changes.changes()) {
            committed.append(change.section + QLatin1Char('/') + change.key + QLatin1Char('=')
                             + change.value);
            values.insert(path(app, change.section, change.key), change.value);
        }
        committed.sort();
        writes.append(committed);
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
    int commits = 0;

private:
    static QString path(const QString &app, const QString &section, const QString &key)
    {
        return app + QLatin1Char('/') + section + QLatin1Char('/') + key;
    }
};
