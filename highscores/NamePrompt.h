#pragma once

#include <QString>
#include <QtGlobal>

class QWidget;

// Asks the player for the name of the new score-table row `row` that a final
// `score` takes (the dialog tells a screen reader both), and returns it once
// the dialog is gone. Tests answer it without a modal loop.
class NamePrompt {
public:
    virtual ~NamePrompt() = default;
    virtual QString askName(QWidget *owner, qint16 score, int row) = 0;
};
