#pragma once

#include "settings/StoreLayout.h"
#include "ui/DesignDialog.h"

#include <array>

class MessageBoxes;
class QLabel;
class QPushButton;
class Store;

// The score table window: the four stored rows, shown as stored, and "Sil" to
// clear them after a confirmation. Every opening reads the store afresh.
class frmHighscore final : public DesignDialog {
    Q_OBJECT
public:
    frmHighscore(Store &store, MessageBoxes &messages, QWidget *owner = nullptr);

    QLabel *Label1;
    QLabel *Label2;
    QWidget *Line1;
    QWidget *Line2;
    QPushButton *Command1;
    QPushButton *Command2;

    // The row labels, numbered 1 to 4 from the top.
    QLabel *HName(int row) const { return m_names.at(row - 1); }
    QLabel *Score(int row) const { return m_scores.at(row - 1); }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();
    void Command1_Click();
    // One row's name and score, as shown and as a reader is told them.
    void showRow(int row, const QString &name, const QString &score);

    Store &m_store;
    MessageBoxes &m_messages;
    std::array<QLabel *, StoreKeys::HighscoreRows> m_names{};
    std::array<QLabel *, StoreKeys::HighscoreRows> m_scores{};
};
