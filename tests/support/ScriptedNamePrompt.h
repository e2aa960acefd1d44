#pragma once

#include "highscores/NamePrompt.h"

#include <QStringList>

#include <functional>

// Answers the name dialog with queued names and counts how often it was asked,
// and for which score and row it was asked last.
class ScriptedNamePrompt final : public NamePrompt {
public:
    QString askName(QWidget *owner, qint16 score, int row) override
    {
        lastScore = score;
        lastRow = row;
        ++asked;
        lastOwner = owner;
        if (onAsk)
            onAsk();
        return names.isEmpty() ? QStringLiteral("Oyuncu 1") : names.takeFirst();
    }

    QStringList names;
    int asked = 0;
    QWidget *lastOwner = nullptr;
    int lastScore = 0;
    int lastRow = 0;
    std::function<void()> onAsk;
};
