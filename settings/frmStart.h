#pragma once

#include "settings/StartSettings.h"
#include "ui/DesignDialog.h"

#include <functional>

class MessageBoxes;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Store;

// What the start window's three buttons lead to; the program's entry wires them
// to the other windows. A button whose action is not wired may not be pressed.
struct StartActions {
    std::function<void()> launchGame;
    std::function<void()> showHighscores;
    std::function<void()> showAbout;
};

// The start window: the game settings, restored from the store when it loads and
// saved when it is unloaded. It stays loaded, hidden, while a game runs, because
// every game start reads its controls.
class frmStart final : public DesignDialog {
    Q_OBJECT
public:
    frmStart(Store &store, MessageBoxes &messages, StartActions actions,
             QWidget *parent = nullptr);

    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QLineEdit *TSize;
    QLineEdit *TPPFood;
    QCheckBox *ShowPoints;
    QComboBox *CSpeed;
    QPushButton *Command1;
    QPushButton *Command2;
    QPushButton *Command3;

    // The four controls as a game start reads them.
    StartSettings startSettings() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void Form_Unload();
    // Writes the first start's settings and shows them; false when the store,
    // as the save found it, holds a player's settings to show instead: a later
    // start after all, or table rows, which are kept with only the missing
    // options written.
    bool writeFirstStart();
    void restoreSettings();
    void CSpeed_Click();
    void Command1_Click();
    bool checkGameSettings();

    Store &m_store;
    MessageBoxes &m_messages;
    StartActions m_actions;
    bool m_unloaded = false;
};
