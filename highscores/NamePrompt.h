#pragma once

#include <QString>

class QWidget;

// Asks the player for the name of a new score-table row and returns it once the
// dialog is gone. Tests answer it without a modal loop.
class NamePrompt {
public:
    virtual ~NamePrompt() = default;
    virtual QString askName(QWidget *owner) = 0;
};
