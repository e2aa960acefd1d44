#pragma once

#include "ui/DesignDialog.h"

#include <array>

class QLabel;
class QPushButton;

// The about box: the program's name, version, icon and contact lines, fixed at
// one place on the screen.
class frmAbout final : public DesignDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget *owner = nullptr);

    QPushButton *cmdOK;
    QLabel *picIcon;
    QLabel *lblDescription;
    QLabel *lblDisclaimer;
    QLabel *lblTitle;
    QLabel *lblVersion;

    // The two members of the etched rule, 0 the white one and 1 the grey one.
    QWidget *Line1(int index) const { return m_lines.at(index); }

private:
    std::array<QWidget *, 2> m_lines{};
};
