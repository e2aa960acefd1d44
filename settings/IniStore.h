#pragma once

#include "settings/Store.h"

#include <QProcessEnvironment>

#include <functional>
#include <optional>

// The user's configuration folder by the XDG rules: $XDG_CONFIG_HOME when it
// is an absolute path, else $HOME/.config; nothing when neither gives one
// (no home, a relative one, or the root folder).
std::optional<QString> userConfigFolder(const QProcessEnvironment &environment);

// The store as an INI file per user, <config folder>/Korvu/Korvu.conf, one
// group per section. Every read opens the file afresh, so a value changed from
// outside the program is seen at the next read. Every commit takes the file's
// lock, reads it, and replaces it with one rename, so other copies of the game
// and a kill at any moment leave either the old file or the new one.
class IniStore final : public Store {
public:
    // The user's own configuration folder.
    IniStore();
    // Another folder, for tests; an empty one stands for no usable folder.
    explicit IniStore(QString folder);

    // Called once, at the first write that could not be saved.
    void setWriteFailureHandler(std::function<void()> handler);

    QString GetSetting(const QString &app, const QString &section, const QString &key,
                       const QVariant &defaultValue) override;
    void commit(const QString &app, const std::function<void(SettingsEdit &)> &edit) override;

    bool hasFailedToWrite() const { return m_failed; }

private:
    bool write(const QString &app, const std::function<void(SettingsEdit &)> &edit);

    QString m_folder;
    std::function<void()> m_onWriteFailure;
    bool m_failed = false;
};
