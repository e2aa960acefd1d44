#include "highscores/ScoreCheck.h"

#include "tests/support/MemoryStore.h"
#include "tests/support/ScriptedNamePrompt.h"

#include <QTest>

namespace {

const QString Highscore = QStringLiteral("Highscore");

void setTable(MemoryStore &store, const QStringList &scores)
{
    for (int row = 1; row <= 4; ++row) {
        store.set(Highscore, QStringLiteral("Name%1").arg(row), QStringLiteral("P%1").arg(row));
        store.set(Highscore, QStringLiteral("Score%1").arg(row), scores[row - 1]);
    }
}

QStringList scores(const MemoryStore &store)
{
    QStringList result;
    for (int row = 1; row <= 4; ++row)
        result.append(store.value(Highscore, QStringLiteral("Score%1").arg(row)));
    return result;
}

} // namespace

class tst_ScoreCheck : public QObject {
    Q_OBJECT
private slots:
    void theFirstLowerRowIsOverwrittenInPlace_data();
    void theFirstLowerRowIsOverwrittenInPlace();
    void theScoreAndTheNameLandTogetherOnlyInTheChosenRow();
    void anEmptyNameIsRecorded();
    void eachQualifyingGameAsksAgain();
    void missingKeysReadAsAnEmptyTable();
};

void tst_ScoreCheck::theFirstLowerRowIsOverwrittenInPlace_data()
{
    QTest::addColumn<QStringList>("table");
    QTest::addColumn<int>("score");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("row"); // the row given the name; 0 for none
    const QStringList ladder{"50", "40", "30", "20"};
    const QStringList zeros{"0", "0", "0", "0"};
    QTest::newRow("zero on an empty table") << zeros << 0 << zeros << 0;
    QTest::newRow("one on an empty table") << zeros << 1 << QStringList{"1", "0", "0", "0"} << 1;
    QTest::newRow("45 replaces 40") << ladder << 45 << QStringList{"50", "45", "30", "20"} << 2;
    QTest::newRow("an equal score passes over")
            << ladder << 40 << QStringList{"50", "40", "40", "20"} << 3;
    QTest::newRow("equal to the last") << ladder << 20 << ladder << 0;
    QTest::newRow("below all") << ladder << 10 << ladder << 0;
    QTest::newRow("100 replaces the top") << ladder << 100 << QStringList{"100", "40", "30", "20"}
                                          << 1;
    QTest::newRow("numbers, not text") << QStringList{"7", "0", "0", "0"} << 10
                                       << QStringList{"10", "0", "0", "0"} << 1;
    QTest::newRow("a damaged score counts as 0")
            << QStringList{"lots", "5", "0", "0"} << 3 << QStringList{"3", "5", "0", "0"} << 1;
    QTest::newRow("fractions compare as numbers")
            << QStringList{"9.5", "0", "0", "0"} << 9 << QStringList{"9.5", "9", "0", "0"} << 2;
}

void tst_ScoreCheck::theFirstLowerRowIsOverwrittenInPlace()
{
    QFETCH(QStringList, table);
    QFETCH(int, score);
    QFETCH(QStringList, expected);
    QFETCH(int, row);
    MemoryStore store;
    setTable(store, table);
    ScriptedNamePrompt names;
    names.names = {QStringLiteral("Yeni")};
    CheckScore(qint16(score), store, names, nullptr);
    QCOMPARE(scores(store), expected);
    const bool chosen = row != 0;
    QCOMPARE(names.asked, chosen ? 1 : 0);
    // The dialog is told the row it is for.
    QCOMPARE(names.lastRow, row);
    QCOMPARE(names.lastScore, chosen ? score : 0);
    QCOMPARE(store.writes.size(), chosen ? 2 : 0);
    if (chosen)
        QCOMPARE(store.value(Highscore, QStringLiteral("Name%1").arg(row)),
                 QStringLiteral("Yeni"));
}

void tst_ScoreCheck::theScoreAndTheNameLandTogetherOnlyInTheChosenRow()
{
    MemoryStore store;
    setTable(store, {"50", "40", "30", "20"});
    ScriptedNamePrompt names;
    names.names = {QStringLiteral("  Ada Nur  ")};
    CheckScore(qint16(35), store, names, nullptr);
    QCOMPARE(store.writes, QStringList({"Highscore/Name3=  Ada Nur  ", "Highscore/Score3=35"}));
    QCOMPARE(store.commits, 1);
    QCOMPARE(store.value(Highscore, QStringLiteral("Name4")), QStringLiteral("P4"));
}

void tst_ScoreCheck::anEmptyNameIsRecorded()
{
    MemoryStore store;
    setTable(store, {"0", "0", "0", "0"});
    ScriptedNamePrompt names;
    names.names = {QString()};
    CheckScore(qint16(3), store, names, nullptr);
    QCOMPARE(store.value(Highscore, QStringLiteral("Name1")), QString());
    QCOMPARE(store.value(Highscore, QStringLiteral("Score1")), QStringLiteral("3"));
}

void tst_ScoreCheck::eachQualifyingGameAsksAgain()
{
    MemoryStore store;
    setTable(store, {"0", "0", "0", "0"});
    ScriptedNamePrompt names;
    names.names = {QStringLiteral("A"), QStringLiteral("B")};
    CheckScore(qint16(5), store, names, nullptr);
    CheckScore(qint16(9), store, names, nullptr);
    QCOMPARE(names.asked, 2);
    QCOMPARE(scores(store), QStringList({"9", "0", "0", "0"}));
    QCOMPARE(store.value(Highscore, QStringLiteral("Name1")), QStringLiteral("B"));
}

void tst_ScoreCheck::missingKeysReadAsAnEmptyTable()
{
    MemoryStore store;
    ScriptedNamePrompt names;
    CheckScore(qint16(0), store, names, nullptr);
    QCOMPARE(names.asked, 0);
    CheckScore(qint16(2), store, names, nullptr);
    QCOMPARE(store.writes, QStringList({"Highscore/Name1=Oyuncu 1", "Highscore/Score1=2"}));
}

QTEST_GUILESS_MAIN(tst_ScoreCheck)
#include "tst_ScoreCheck.moc"
