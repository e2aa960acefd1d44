#include "highscores/ScoreCheck.h"

#include "highscores/NamePrompt.h"
#include "settings/Store.h"
#include "settings/StoredText.h"

void CheckScore(const qint16 &score, qint16 &LoopIndex, Store &store, NamePrompt &names,
                QWidget *owner)
{
    const double finalScore = double(score);
    for (LoopIndex = 1; LoopIndex <= 4; ++LoopIndex) {
        const QString stored = store.GetSetting(StoreKeys::App, StoreKeys::Highscore,
                                                QStringLiteral("Score%1").arg(LoopIndex), 0);
        // Scores compare as numbers: "7" is below 10.
        if (ReadScore(stored) < finalScore)
            break;
    }
    if (LoopIndex > 4)
        return;

    const QString name = names.askName(owner);
    store.SaveSetting(StoreKeys::App, StoreKeys::Highscore,
                      QStringLiteral("Score%1").arg(LoopIndex), QString::number(score));
    store.SaveSetting(StoreKeys::App, StoreKeys::Highscore, QStringLiteral("Name%1").arg(LoopIndex),
                      name);
}
