#include "settings/IniStore.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <memory>

namespace {

// <config folder>/<app>/<app>.conf, the user's configuration folder unless a
// test names another.
std::unique_ptr<QSettings> openSettings(const QString &folder, const QString &app)
{
    const QString base = folder.isEmpty()
            ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
            : folder;
    return std::make_unique<QSettings>(base + QLatin1Char('/') + app + QLatin1Char('/') + app
                                               + QStringLiteral(".conf"),
                                       QSettings::IniFormat);
}

} // namespace

IniStore::IniStore(QString folder) : m_folder(std::move(folder)) { }

void IniStore::setWriteFailureHandler(std::function<void()> handler)
{
    m_onWriteFailure = std::move(handler);
}

QString IniStore::fileName(const QString &app) const
{
    return openSettings(m_folder, app)->fileName();
}

QString IniStore::GetSetting(const QString &app, const QString &section, const QString &key,
                             const QVariant &defaultValue)
{
    auto settings = openSettings(m_folder, app);
    settings->beginGroup(section);
    const QVariant stored = settings->value(key);
    if (!stored.isValid())
        return defaultText(defaultValue);
    // A hand-edited value with unquoted commas comes back as a list.
    if (stored.typeId() == QMetaType::QStringList)
        return stored.toStringList().join(QStringLiteral(", "));
    return stored.toString();
}

void IniStore::SaveSetting(const QString &app, const QString &section, const QString &key,
                           const QString &value)
{
    auto settings = openSettings(m_folder, app);
    settings->beginGroup(section);
    settings->setValue(key, value);
    settings->endGroup();
    settings->sync();
    // A FormatError only says the file held lines it could not parse; the write
    // itself went through. An AccessError is a write that did not.
    if (settings->status() != QSettings::AccessError)
        return;
    // A lost setting must not pass silently, but one notice is enough.
    if (!m_failed) {
        m_failed = true;
        if (m_onWriteFailure)
            m_onWriteFailure();
    }
}
