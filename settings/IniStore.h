#pragma once

#include "settings/Store.h"

#include <QProcessEnvironment>

#include <sys/stat.h>

#include <functional>
#include <memory>
#include <optional>

class QSettings;

// The user's configuration folder by the XDG rules: $XDG_CONFIG_HOME when it
// is an absolute path, else $HOME/.config; nothing when neither gives one
// (no home, a relative one, or one that is the root folder).
std::optional<QString> userConfigFolder(const QProcessEnvironment &environment);

// One version of the settings file. A save puts a new file in place, so a
// file with the same stamp holds the same text.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    bool operator==(const FileStamp &) const = default;
};

// The store as an INI file per user, <config folder>/Korvu/Korvu.conf, one
// group per section, read and written by QSettings. In front of it stand the
// guards QSettings lacks: only a regular file (or a link to one) no larger
// than MaxFileSize that reads through to its end is used; QSettings' view of
// it is checked against what was read, and a file it misread is never
// written; a save waits a bounded time for Korvu's own lock; a file the user
// made read-only is never replaced. A value changed from outside the program
// is seen at the next read; an unchanged file is not parsed again.
class IniStore final : public Store {
public:
    // Far above the fullest file the game writes: four names and a cell size
    // of 32,767 characters each, every one escaped to four bytes, is 640 KiB.
    static constexpr qint64 MaxFileSize = 2 * 1024 * 1024;

    // The user's own configuration folder.
    IniStore();
    // Another folder, for tests; an empty one stands for no usable folder.
    explicit IniStore(QString folder);
    ~IniStore() override;

    // Called once, at the first write that could not be saved.
    void setWriteFailureHandler(std::function<void()> handler);

    QString GetSetting(const QString &app, const QString &section, const QString &key,
                       const QVariant &defaultValue) override;
    void commit(const QString &app, const std::function<void(SettingsEdit &)> &edit) override;

    bool hasFailedToWrite() const { return m_failed; }

private:
    // Replaced: another version was put in place while QSettings read one.
    enum class FileState { Missing, Readable, Unusable, Replaced };
    FileState refresh(const QString &path, bool locked);
    FileState readVersion(const QString &path, bool locked);
    bool write(const QString &app, const std::function<void(SettingsEdit &)> &edit);

    QString m_folder;
    std::function<void()> m_onWriteFailure;
    bool m_failed = false;
    // QSettings' view of the file, the version it was taken from, and whether
    // it was checked against that version's bytes.
    std::unique_ptr<QSettings> m_settings;
    FileStamp m_parsed;
    bool m_checked = false;
    // The file could not be read whole, or QSettings misread it: what the
    // windows show may not be what is stored, and QSettings keeps a misread
    // view while the size and time stay, so nothing is written in this run.
    bool m_unusable = false;
};
