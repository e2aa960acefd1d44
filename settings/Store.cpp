#include "settings/Store.h"

QString defaultText(const QVariant &value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return value.toString();
}

std::optional<QString> SettingsEdit::find(const QString &section, const QString &key) const
{
    for (auto change = m_changes.crbegin(); change != m_changes.crend(); ++change) {
        if (change->section == section && change->key == key)
            return change->value;
    }
    return m_stored(section, key);
}

bool SettingsEdit::contains(const QString &section, const QString &key) const
{
    return find(section, key).has_value();
}

QString SettingsEdit::value(const QString &section, const QString &key,
                            const QVariant &defaultValue) const
{
    return find(section, key).value_or(defaultText(defaultValue));
}

void SettingsEdit::setValue(const QString &section, const QString &key, const QString &value)
{
    m_changes.append(SettingsChange{section, key, value});
}
