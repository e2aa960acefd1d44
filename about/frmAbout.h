#pragma once

#include "about/SysInfoLauncher.h"
#include "ui/DesignDialog.h"

#include <array>

class QLabel;
class QPushButton;

// The about box: the program's name, version, icon and contact lines, fixed at
// one place on the screen. It also carries the system-information launcher,
// which none of its controls starts.
class frmAbout final : public DesignDialog {
    Q_OBJECT
public:
    explicit frmAbout(SysInfoServices services, QWidget *owner = nullptr);

    QPushButton *cmdOK;
    QLabel *picIcon;
    QLabel *lblDescription;
    QLabel *lblDisclaimer;
    QLabel *lblTitle;
    QLabel *lblVersion;

    // The two members of the etched rule, 0 the white one and 1 the grey one.
    QWidget *Line1(int index) const { return m_lines.at(index); }

    void StartSysInfo() { m_sysInfo.StartSysInfo(); }
    bool GetKeyValue(RegistryKey KeyRoot, const QString &KeyName, const QString &SubKeyRef,
                     QString &KeyVal)
    {
        return m_sysInfo.GetKeyValue(KeyRoot, KeyName, SubKeyRef, KeyVal);
    }

private:
    SysInfoLauncher m_sysInfo;
    std::array<QWidget *, 2> m_lines{};
};
