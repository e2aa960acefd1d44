#pragma once

#include <QString>
#include <QtGlobal>

class QWidget;

// Asks the player for the name of a new score-table row and returns it once the
// dialog is gone. Tests answer it without a modal loop.
class NamePrompt {
public:
    virtual ~NamePrompt() = default;
    virtual QString askName(QWidget *owner) = 0;
    // The same for a final `score` that takes `row` of the table, which the
    // dialog tells a screen reader; a prompt that shows nothing just asks.
    virtual QString askNameFor(QWidget *owner, qint16 score, int row)
    {
        Q_UNUSED(score);
        Q_UNUSED(row);
        return askName(owner);
    }
};
