#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

// One key to set in a section.
struct SettingsChange {
    QString section;
    QString key;
    QString value;
};

// The text form of a default: whole numbers as plain decimals, Booleans as
// "True"/"False".
QString defaultText(const QVariant &value);

// What one commit sees and changes: the stored values as they are when the
// commit runs, with the keys it has set so far laid over them.
class SettingsEdit {
public:
    using Lookup = std::function<std::optional<QString>(const QString &section, const QString &key)>;
    explicit SettingsEdit(Lookup stored) : m_stored(std::move(stored)) { }

    bool contains(const QString &section, const QString &key) const;
    QString value(const QString &section, const QString &key, const QVariant &defaultValue) const;
    void setValue(const QString &section, const QString &key, const QString &value);

    const QList<SettingsChange> &changes() const { return m_changes; }

private:
    std::optional<QString> find(const QString &section, const QString &key) const;

    Lookup m_stored;
    QList<SettingsChange> m_changes;
};

// The per-user settings store: text values addressed by application, section and
// key. A missing key reads as the caller's default, turned into text.
class Store {
public:
    virtual ~Store() = default;

    virtual QString GetSetting(const QString &app, const QString &section, const QString &key,
                               const QVariant &defaultValue) = 0;

    // Runs `edit` on the store as it is at this moment and saves every key it
    // sets in one step: another copy of the game writing at the same time
    // comes before or after it, and a kill leaves all of it or none.
    virtual void commit(const QString &app, const std::function<void(SettingsEdit &)> &edit) = 0;
};
