#include "highscores/ScoreCheck.h"

#include "highscores/NamePrompt.h"
#include "settings/Store.h"
#include "settings/StoreLayout.h"
#include "settings/StoredText.h"

namespace {

// The first row whose stored score is strictly below the final score, or the
// one past the last.
template<typename ReadScoreText>
int firstLowerRow(double finalScore, ReadScoreText storedScore)
{
    int row = 1;
    // Scores compare as numbers: "7" is below 10.
    while (row <= StoreKeys::HighscoreRows
           && ReadScore(storedScore(StoreKeys::Score(row))) >= finalScore)
        ++row;
    return row;
}

} // namespace

void CheckScore(qint16 score, Store &store, NamePrompt &names, QWidget *owner)
{
    const double finalScore = double(score);
    const auto storedScore = [&store](const QString &key) {
        return store.GetSetting(StoreKeys::App, StoreKeys::Highscore, key, StoreDefaults::Score);
    };
    const int chosen = firstLowerRow(finalScore, storedScore);
    if (chosen > StoreKeys::HighscoreRows)
        return;

    const QString name = names.askName(owner, score, chosen);
    // Another copy of the game may have saved a score while the dialog was
    // open: the row is chosen again against the table as it is now, so two
    // games end as if played one after the other. Score and name land together.
    store.commit(StoreKeys::App, [&](SettingsEdit &table) {
        const int row = firstLowerRow(finalScore, [&table](const QString &key) {
            return table.value(StoreKeys::Highscore, key, StoreDefaults::Score);
        });
        if (row > StoreKeys::HighscoreRows)
            return;
        table.setValue(StoreKeys::Highscore, StoreKeys::Score(row), QString::number(score));
        table.setValue(StoreKeys::Highscore, StoreKeys::Name(row), name);
    });
}
