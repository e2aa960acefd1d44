#include "settings/frmStart.h"

#include "tests/support/MemoryStore.h"
#include "tests/support/ScriptedMessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

const QString Options = QStringLiteral("Options");
const QString Highscore = QStringLiteral("Highscore");

struct Fixture {
    MemoryStore store;
    ScriptedMessageBoxes messages;
    int launches = 0;
    std::unique_ptr<frmStart> window;

    frmStart &open()
    {
        window = std::make_unique<frmStart>(store, messages,
                                            StartActions{[this] { ++launches; }, {}, {}});
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        return *window;
    }

    void laterStart(const QString &speed, const QString &ppFood, const QString &size)
    {
        store.set(Options, QStringLiteral("Played"), QStringLiteral("True"));
        store.set(Options, QStringLiteral("Speed"), speed);
        store.set(Options, QStringLiteral("PPFood"), ppFood);
        store.set(Options, QStringLiteral("Size"), size);
    }
};

} // namespace

class tst_frmStart : public QObject {
    Q_OBJECT
private slots:
    void firstStartWritesEveryDefaultInOneCommit();
    void laterStartRestoresWithoutWriting();
    void missingKeysRestoreTheirDefaults();
    void damagedStoreNeverWipesTheScoreTable_data();
    void damagedStoreNeverWipesTheScoreTable();
    void storedSpeedOutsideTheListSelectsTheFirst_data();
    void storedSpeedOutsideTheListSelectsTheFirst();
    void pickingASpeedSetsPointsPerFood();
    void tabOrderFollowsTheDesign();
    void closingSavesSizePointsAndSpeedInOneCommit();
    void enterPressesBaslat();
    void baslatRefusesAnUnusableSize_data();
    void baslatRefusesAnUnusableSize();
    void baslatRefusesPointsThatAreNoNumber();
};

void tst_frmStart::firstStartWritesEveryDefaultInOneCommit()
{
    Fixture f;
    frmStart &w = f.open();
    const QStringList expected{
        "Highscore/Name1=",   "Highscore/Name2=",   "Highscore/Name3=",   "Highscore/Name4=",
        "Highscore/Score1=0", "Highscore/Score2=0", "Highscore/Score3=0", "Highscore/Score4=0",
        "Options/HardCore=2", "Options/PPFood=1",   "Options/Played=True", "Options/Size=5",
        "Options/Speed=0",
    };
    QCOMPARE(f.store.writes, expected);
    QCOMPARE(f.store.commits, 1);
    QCOMPARE(w.CSpeed->currentText(), QStringLiteral("Speed 1"));
    QCOMPARE(w.TPPFood->text(), QStringLiteral("1"));
    QCOMPARE(w.TSize->text(), QStringLiteral("5"));
    QVERIFY(w.ShowPoints->isChecked());
}

void tst_frmStart::laterStartRestoresWithoutWriting()
{
    Fixture f;
    f.laterStart(QStringLiteral("4"), QStringLiteral("9"), QStringLiteral("abc"));
    frmStart &w = f.open();
    QVERIFY(f.store.writes.isEmpty());
    // The stored points win over the speed's own value.
    QCOMPARE(w.CSpeed->currentText(), QStringLiteral("Speed 5"));
    QCOMPARE(w.startSettings().tickInterval, 150);
    QCOMPARE(w.TPPFood->text(), QStringLiteral("9"));
    QCOMPARE(w.TSize->text(), QStringLiteral("abc"));
    QVERIFY(w.ShowPoints->isChecked());
}

void tst_frmStart::missingKeysRestoreTheirDefaults()
{
    Fixture f;
    f.store.set(Options, QStringLiteral("Played"), QStringLiteral("True"));
    frmStart &w = f.open();
    QVERIFY(f.store.writes.isEmpty());
    QCOMPARE(w.CSpeed->currentIndex(), 0);
    QCOMPARE(w.TPPFood->text(), QStringLiteral("1"));
    QCOMPARE(w.TSize->text(), QStringLiteral("5"));
}

void tst_frmStart::damagedStoreNeverWipesTheScoreTable_data()
{
    QTest::addColumn<QString>("played");
    QTest::addColumn<QString>("score1");
    QTest::addColumn<QString>("size");
    QTest::addColumn<int>("writes");
    QTest::newRow("garbage") << "Evet" << "40" << "7" << 0;
    QTest::newRow("number") << "1" << "40" << "7" << 0;
    QTest::newRow("lower-case true") << "true" << "40" << "7" << 0;
    QTest::newRow("False again") << "False" << "0" << "5" << 13;
    QTest::newRow("zero") << "0" << "0" << "5" << 13;
    // A table with rows outlives a lost marker; only the missing options are written.
    QTest::newRow("missing") << QString() << "40" << "7" << 2;
}

void tst_frmStart::damagedStoreNeverWipesTheScoreTable()
{
    QFETCH(QString, played);
    QFETCH(QString, score1);
    QFETCH(QString, size);
    QFETCH(int, writes);
    Fixture f;
    f.laterStart(QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("7"));
    f.store.values.remove(QStringLiteral("Korvu/Options/Played"));
    if (!played.isNull())
        f.store.set(Options, QStringLiteral("Played"), played);
    f.store.set(Highscore, QStringLiteral("Score1"), QStringLiteral("40"));
    frmStart &w = f.open();
    QCOMPARE(f.store.value(Highscore, QStringLiteral("Score1")), score1);
    QCOMPARE(w.TSize->text(), size);
    QCOMPARE(f.store.writes.size(), writes);
    if (writes > 0) {
        QVERIFY(f.store.writes.contains(QStringLiteral("Options/HardCore=2")));
        QVERIFY(f.store.writes.contains(QStringLiteral("Options/Played=True")));
    }
}

void tst_frmStart::storedSpeedOutsideTheListSelectsTheFirst_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<int>("position");
    QTest::newRow("last") << "8" << 8;
    QTest::newRow("rounds") << "4.6" << 5;
    QTest::newRow("half to even") << "2.5" << 2;
    QTest::newRow("past the end") << "9" << 0;
    QTest::newRow("negative") << "-1" << 0;
    QTest::newRow("letters") << "fast" << 0;
    QTest::newRow("beyond 16 bits") << "70000" << 0;
}

void tst_frmStart::storedSpeedOutsideTheListSelectsTheFirst()
{
    QFETCH(QString, speed);
    QFETCH(int, position);
    Fixture f;
    f.laterStart(speed, QStringLiteral("1"), QStringLiteral("5"));
    QCOMPARE(f.open().CSpeed->currentIndex(), position);
}

void tst_frmStart::pickingASpeedSetsPointsPerFood()
{
    Fixture f;
    frmStart &w = f.open();
    w.show();
    w.CSpeed->setFocus();
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(w.CSpeed, Qt::Key_Down);
    QCOMPARE(w.CSpeed->currentText(), QStringLiteral("Speed 7"));
    QCOMPARE(w.TPPFood->text(), QStringLiteral("7"));
    QTest::keyClick(w.CSpeed, Qt::Key_Home);
    QCOMPARE(w.TPPFood->text(), QStringLiteral("1"));
    QTest::keyClick(w.CSpeed, Qt::Key_End);
    QCOMPARE(w.TPPFood->text(), QStringLiteral("9"));
    QCOMPARE(w.startSettings().tickInterval, 50);
}

void tst_frmStart::tabOrderFollowsTheDesign()
{
    Fixture f;
    frmStart &w = f.open();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.TSize));
    // The disabled points box takes no focus.
    const QList<QWidget *> expected{w.ShowPoints, w.CSpeed, w.Command1, w.Command2, w.Command3,
                                    w.TSize};
    for (QWidget *next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void tst_frmStart::closingSavesSizePointsAndSpeedInOneCommit()
{
    Fixture f;
    f.laterStart(QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("7"));
    frmStart &w = f.open();
    w.show();
    w.TSize->setText(QStringLiteral(" 9 "));
    w.close();
    QCOMPARE(f.store.writes,
             QStringList({"Options/PPFood=4", "Options/Size= 9 ", "Options/Speed=3"}));
    QCOMPARE(f.store.commits, 1);
}

void tst_frmStart::enterPressesBaslat()
{
    Fixture f;
    frmStart &w = f.open();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(w.TSize, Qt::Key_Return);
    QCOMPARE(f.launches, 1);
}

void tst_frmStart::baslatRefusesAnUnusableSize_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("letters") << "abc" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("one") << "1" << false;
    QTest::newRow("negative") << "-5" << false;
    QTest::newRow("31") << "31" << false;
    QTest::newRow("1e9") << "1e9" << false;
    QTest::newRow("1.5 rounds half to even: 2") << "1.5" << true;
    QTest::newRow("two") << "2" << true;
    QTest::newRow("thirty") << " 30 " << true;
    QTest::newRow("30.5 rounds half to even: 30") << "30.5" << true;
    QTest::newRow("30.6 rounds to 31") << "30.6" << false;
}

void tst_frmStart::baslatRefusesAnUnusableSize()
{
    QFETCH(QString, size);
    QFETCH(bool, accepted);
    Fixture f;
    f.laterStart(QStringLiteral("0"), QStringLiteral("1"), size);
    frmStart &w = f.open();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.Command1->setFocus();
    f.messages.answers = {MessageAnswer::Ok};
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QCOMPARE(f.launches, accepted ? 1 : 0);
    QVERIFY(f.store.writes.isEmpty());
    if (accepted) {
        QVERIFY(f.messages.asked.isEmpty());
        QVERIFY(w.isHidden());
        return;
    }
    QCOMPARE(f.messages.texts(), QStringList{"Yakinlik 2 ile 30 arasinda bir sayi olmali!"});
    QCOMPARE(f.messages.asked.first().title, QStringLiteral("Korvu"));
    QCOMPARE(f.messages.asked.first().buttons, MessageButtons::Ok);
    QVERIFY(w.isVisible());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w.TSize));
}

void tst_frmStart::baslatRefusesPointsThatAreNoNumber()
{
    Fixture f;
    f.laterStart(QStringLiteral("0"), QStringLiteral("lots"), QStringLiteral("7"));
    frmStart &w = f.open();
    w.show();
    f.messages.answers = {MessageAnswer::Ok};
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QCOMPARE(f.launches, 0);
    QCOMPARE(f.messages.texts(), QStringList{"Yemek puani gecersiz, hizi yeniden seciniz!"});
    QVERIFY(w.isVisible());

    // Picking a speed rewrites the points, and the game can start.
    w.CSpeed->setFocus();
    QTest::keyClick(w.CSpeed, Qt::Key_Down);
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    QCOMPARE(f.launches, 1);
}

QTEST_MAIN(tst_frmStart)
#include "tst_frmStart.moc"
