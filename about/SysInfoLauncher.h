#pragma once

#include "about/Registry.h"

#include <QString>

class FileProbe;
class MessageBoxes;
class ProgramLauncher;
class QWidget;

// What the launcher reaches: the registry, the file test, the program start and
// the message box.
struct SysInfoServices {
    Registry &registry;
    FileProbe &files;
    ProgramLauncher &launcher;
    MessageBoxes &messages;
};

// Raised inside GetKeyValue for a value whose reported size the buffer cannot
// hold (none at all, or more than it has); StartSysInfo turns it into its message.
struct RegistryValueError {
    quint32 size;
};

// Starts the system-information tool from where the registry says it lives, or
// tells the user it is not available. Any failure on the way ends in that one
// message.
class SysInfoLauncher {
public:
    static inline const QString UnavailableText =
            QStringLiteral("Systeminformationen sind momentan nicht verfügbar");

    SysInfoLauncher(SysInfoServices services, QWidget *owner);

    void StartSysInfo();

    // Reads the value SubKeyRef of the key KeyName below KeyRoot into KeyVal.
    // False, with KeyVal empty, when the key or the value cannot be read; a text
    // or number value replaces KeyVal, another type leaves it as it was.
    // Throws RegistryValueError for a size the buffer cannot hold.
    bool GetKeyValue(RegistryKey KeyRoot, const QString &KeyName, const QString &SubKeyRef,
                     QString &KeyVal);

private:
    void showUnavailable();

    SysInfoServices m_services;
    QWidget *m_owner;
};
