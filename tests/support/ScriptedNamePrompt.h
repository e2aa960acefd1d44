#pragma once

#include "highscores/NamePrompt.h"

#include <QStringList>

#include <functional>

// Answers the name dialog with queued names and counts how often it was asked.
class ScriptedNamePrompt final : public NamePrompt {
public:
    QString askName(QWidget *owner) override
    {
        ++asked;
        lastOwner = owner;
        if (onAsk)
            onAsk();
        return names.isEmpty() ? QStringLiteral("Oyuncu 1") : names.takeFirst();
    }

    QStringList names;
    int asked = 0;
    QWidget *lastOwner = nullptr;
    std::function<void()> onAsk;
};
