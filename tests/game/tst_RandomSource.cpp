#include "game/Clock.h"
#include "game/RandomSource.h"

#include <QDeadlineTimer>
#include <QTest>

#include <array>

class tst_RandomSource : public QObject {
    Q_OBJECT
private slots:
    void drawsStayOnTheHalfOpenUnitInterval();
    void drawsAreSpreadEvenly();
    void twoReseedsInTheSameSecondDoNotReplay();
    void theClockReadsFractionsOfASecond();
};

void tst_RandomSource::drawsStayOnTheHalfOpenUnitInterval()
{
    MixingRandom random(1);
    for (int i = 0; i < 100000; ++i) {
        const double r = random.next();
        QVERIFY2(r >= 0.0 && r < 1.0, qPrintable(QString::number(r, 'g', 17)));
    }
}

void tst_RandomSource::drawsAreSpreadEvenly()
{
    // The food search maps a draw to one of 20 columns; each must come up about
    // equally often (a chi-square far below the 0.1% point for 19 degrees).
    MixingRandom random(2);
    std::array<int, 20> counts{};
    const int draws = 200000;
    for (int i = 0; i < draws; ++i)
        ++counts[size_t(random.next() * 20)];
    const double expected = draws / 20.0;
    double chiSquare = 0;
    for (int count : counts)
        chiSquare += (count - expected) * (count - expected) / expected;
    QVERIFY2(chiSquare < 43.8, qPrintable(QString::number(chiSquare)));
}

void tst_RandomSource::twoReseedsInTheSameSecondDoNotReplay()
{
    MixingRandom random(3);
    random.reseed(43200.0);
    const double first[2] = {random.next(), random.next()};
    random.reseed(43200.0);
    const double second[2] = {random.next(), random.next()};
    QVERIFY(first[0] != second[0] || first[1] != second[1]);
}

void tst_RandomSource::theClockReadsFractionsOfASecond()
{
    SystemClock clock;
    const double first = clock.secondsSinceMidnight();
    QVERIFY(first >= 0.0 && first < 86400.0);
    // Milliseconds show up as a fraction within a few readings.
    bool fraction = false;
    QDeadlineTimer deadline(1500);
    while (!fraction && !deadline.hasExpired()) {
        const double t = clock.secondsSinceMidnight();
        fraction = t != double(qint64(t));
    }
    QVERIFY(fraction);
}

QTEST_GUILESS_MAIN(tst_RandomSource)
#include "tst_RandomSource.moc"
