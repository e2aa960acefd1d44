#pragma once

#include "highscores/NamePrompt.h"
#include "ui/DesignDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The name dialog of a new score-table row: a resizable border without a title
// bar, centred on the game window, "Oyuncu 1" every time it opens, Enter
// presses "Kaydet".
class frmInput final : public DesignDialog {
    Q_OBJECT
public:
    static inline const QString InitialName = QStringLiteral("Oyuncu 1");

    explicit frmInput(QWidget *owner = nullptr);

    QLabel *Label1;
    QLineEdit *Text1;
    QPushButton *Command1;

    // The name to record once the dialog is gone: what was typed if "Kaydet"
    // ended it, the initial name if the window system closed it.
    QString chosenName() const;
    // Tells a screen reader which final score and which row of the table the
    // name is for; nothing on the screen changes.
    void describeEntry(qint16 score, int row);

protected:
    void showEvent(QShowEvent *event) override;
};

// Shows frmInput modally over the game window. "Kaydet" gives the typed text;
// a dialog closed by the window system gives the initial name.
class DialogNamePrompt final : public NamePrompt {
public:
    QString askName(QWidget *owner, qint16 score, int row) override;
};
