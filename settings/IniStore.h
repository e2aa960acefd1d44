#pragma once

#include "settings/Store.h"

#include <functional>

// The store as an INI file per user (on Linux ~/.config/Korvu/Korvu.conf), one
// group per section. Every call opens the file afresh, so a value changed from
// outside the program is seen at the next read.
class IniStore final : public Store {
public:
    // An empty folder means the user's own configuration folder; tests name a
    // temporary one.
    explicit IniStore(QString folder = {});

    // Called once, at the first write that could not be saved.
    void setWriteFailureHandler(std::function<void()> handler);

    QString GetSetting(const QString &app, const QString &section, const QString &key,
                       const QVariant &defaultValue) override;
    void SaveSetting(const QString &app, const QString &section, const QString &key,
                     const QString &value) override;

    QString fileName(const QString &app) const;
    bool hasFailedToWrite() const { return m_failed; }

private:
    QString m_folder;
    std::function<void()> m_onWriteFailure;
    bool m_failed = false;
};
