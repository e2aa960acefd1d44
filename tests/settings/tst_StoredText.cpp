#include "settings/StoredText.h"

#include <QTest>

#include <cfenv>

class tst_StoredText : public QObject {
    Q_OBJECT
private slots:
    void readInt16_data();
    void readInt16();
    void readPlayed_data();
    void readPlayed();
    void readScore_data();
    void readScore();
};

void tst_StoredText::readInt16_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "7" << true << 7;
    QTest::newRow("blanks and sign") << "  +12 " << true << 12;
    QTest::newRow("negative") << "-5" << true << -5;
    QTest::newRow("rounds up") << "4.6" << true << 5;
    QTest::newRow("half to even up") << "7.5" << true << 8;
    QTest::newRow("half to even down") << "6.5" << true << 6;
    QTest::newRow("negative half") << "-2.5" << true << -2;
    QTest::newRow("exponent") << "1e2" << true << 100;
    QTest::newRow("lowest") << "-32768" << true << -32768;
    QTest::newRow("highest") << "32767" << true << 32767;
    QTest::newRow("rounds past highest") << "32767.5" << false << 0;
    QTest::newRow("too large") << "1e9" << false << 0;
    QTest::newRow("too small") << "-32769" << false << 0;
    QTest::newRow("letters") << "abc" << false << 0;
    QTest::newRow("number then letters") << "5px" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("blanks") << "   " << false << 0;
    QTest::newRow("group separator") << "1,000" << false << 0;
    QTest::newRow("infinity") << "inf" << false << 0;
    QTest::newRow("not a number") << "nan" << false << 0;
}

void tst_StoredText::readInt16()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    // The same reading whatever rounding mode the process has set.
    for (const int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        std::fesetround(mode);
        const std::optional<qint16> result = ReadInt16(text);
        const int modeAfter = std::fegetround();
        std::fesetround(FE_TONEAREST);
        QCOMPARE(modeAfter, mode);
        QCOMPARE(result.has_value(), valid);
        if (valid)
            QCOMPARE(int(*result), value);
    }
}

void tst_StoredText::readPlayed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("played");
    QTest::newRow("True") << "True" << true;
    QTest::newRow("false default") << "False" << false;
    QTest::newRow("any case false") << "fALSE" << false;
    QTest::newRow("any case true") << "TRUE" << true;
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("non-zero number") << "-1" << true;
    // Damage must not count as a first start, which would wipe the score table.
    QTest::newRow("garbage") << "yes please" << true;
    QTest::newRow("empty") << "" << true;
}

void tst_StoredText::readPlayed()
{
    QFETCH(QString, text);
    QFETCH(bool, played);
    QCOMPARE(ReadPlayed(text), played);
}

void tst_StoredText::readScore_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("score");
    QTest::newRow("whole") << "40" << 40.0;
    QTest::newRow("fraction") << " 7.25 " << 7.25;
    QTest::newRow("negative") << "-3" << -3.0;
    QTest::newRow("letters count as zero") << "abc" << 0.0;
    QTest::newRow("empty counts as zero") << "" << 0.0;
}

void tst_StoredText::readScore()
{
    QFETCH(QString, text);
    QFETCH(double, score);
    QCOMPARE(ReadScore(text), score);
}

QTEST_GUILESS_MAIN(tst_StoredText)
#include "tst_StoredText.moc"
