#include "highscores/frmHighscore.h"
#include "settings/frmStart.h"

#include "tests/support/MemoryStore.h"
#include "tests/support/ScriptedMessageBoxes.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

const QString Highscore = QStringLiteral("Highscore");

struct Fixture {
    MemoryStore store;
    ScriptedMessageBoxes messages;

    // Opened the way the start window opens it: a new window that deletes itself
    // when it is closed.
    QPointer<frmHighscore> open(QWidget *owner = nullptr)
    {
        return new frmHighscore(store, messages, owner);
    }

    void setRow(int row, const QString &name, const QString &score)
    {
        store.set(Highscore, QStringLiteral("Name%1").arg(row), name);
        store.set(Highscore, QStringLiteral("Score%1").arg(row), score);
    }
};

QStringList names(const frmHighscore &w)
{
    QStringList result;
    for (int row = 1; row <= 4; ++row)
        result.append(w.HName(row)->text());
    return result;
}

QStringList scores(const frmHighscore &w)
{
    QStringList result;
    for (int row = 1; row <= 4; ++row)
        result.append(w.Score(row)->text());
    return result;
}

// Shows the window and makes it the active one, so that keys reach its focus.
bool showActive(QWidget *w)
{
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

// Runs the deferred deletion that closing the window asked for.
void processDeletions()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class tst_frmHighscore : public QObject {
    Q_OBJECT
private slots:
    void firstOpeningAfterAFirstStartShowsAnEmptyTable();
    void missingKeysShowAnEmptyTable();
    void loadShowsStoredTextsUnchanged_data();
    void loadShowsStoredTextsUnchanged();
    void longNameRunsAcrossTheScoreColumnUncut_data();
    void longNameRunsAcrossTheScoreColumnUncut();
    void silAnsweredNoChangesNothing();
    void silAnsweredYesClearsTheStoreThenTheLabels();
    void reopeningAfterAClearShowsZeroScores();
    void closingWritesNothingAndDestroysTheWindow_data();
    void closingWritesNothingAndDestroysTheWindow();
    void enterRightAfterOpeningAsksFirst();
    void etchedRuleUnderTheHeadings();
    void tabbingMovesBetweenTheTwoButtons();
    void opensCentredOnItsOwner();
};

void tst_frmHighscore::firstOpeningAfterAFirstStartShowsAnEmptyTable()
{
    Fixture f;
    // The start window's first start writes the empty table.
    frmStart start(f.store, f.messages, StartActions{});
    start.setAttribute(Qt::WA_DeleteOnClose, false);
    f.store.writes.clear();

    QPointer<frmHighscore> w = f.open(&start);
    QCOMPARE(names(*w), QStringList({"", "", "", ""}));
    QCOMPARE(scores(*w), QStringList({"0", "0", "0", "0"}));
    QVERIFY(f.store.writes.isEmpty());
    QVERIFY(f.messages.asked.isEmpty());
    delete w;
}

void tst_frmHighscore::missingKeysShowAnEmptyTable()
{
    Fixture f;
    QPointer<frmHighscore> w = f.open();
    // Missing keys read as the first-start table.
    QCOMPARE(names(*w), QStringList({"", "", "", ""}));
    QCOMPARE(scores(*w), QStringList({"0", "0", "0", "0"}));
    delete w;
}

void tst_frmHighscore::loadShowsStoredTextsUnchanged_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("score");
    QTest::newRow("plain") << "Oyuncu 1" << "120";
    QTest::newRow("blanks kept") << "  Ali  " << " 7 ";
    QTest::newRow("leading zeros kept") << "Ayse" << "007";
    QTest::newRow("negative") << "Can" << "-3";
    QTest::newRow("not a number") << "Deniz" << "cok";
    QTest::newRow("markup is text") << "<b>Ece</b>" << "<i>5</i>";
    QTest::newRow("ampersand") << "Fatma & Ali" << "9";
    QTest::newRow("cleared table") << "-" << "0";
}

void tst_frmHighscore::loadShowsStoredTextsUnchanged()
{
    QFETCH(QString, name);
    QFETCH(QString, score);
    Fixture f;
    // The same texts in every row except row 3, which keeps its defaults.
    for (int row : {1, 2, 4})
        f.setRow(row, name, score);
    QPointer<frmHighscore> w = f.open();
    QCOMPARE(names(*w), QStringList({name, name, "", name}));
    QCOMPARE(scores(*w), QStringList({score, score, "0", score}));
    // Shown as written, not as rich text.
    for (int row : {1, 2, 4}) {
        QLabel *label = w->HName(row);
        QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(name));
    }
    delete w;
}

void tst_frmHighscore::longNameRunsAcrossTheScoreColumnUncut_data()
{
    QTest::addColumn<int>("row");
    QTest::newRow("top row") << 1;
    QTest::newRow("bottom row") << 4;
}

void tst_frmHighscore::longNameRunsAcrossTheScoreColumnUncut()
{
    QFETCH(int, row);
    Fixture f;
    const QString longName = QStringLiteral("Oyuncu Adi Cok Uzun Olan Birisi");
    f.setRow(row, longName, QStringLiteral("250"));
    QPointer<frmHighscore> w = f.open();
    QLabel *name = w->HName(row);
    QCOMPARE(name->x(), 8);
    QCOMPARE(name->y(), 32 + (row - 1) * 16);
    QVERIFY2(name->width() >= name->fontMetrics().horizontalAdvance(longName),
             "the name label cuts its text short");
    // It reaches past the start of the score column, and the score stays in place.
    QVERIFY(name->geometry().right() > w->Score(row)->x());
    QCOMPARE(w->Score(row)->text(), QStringLiteral("250"));
    QCOMPARE(w->Score(row)->x(), 171);
    // The score is drawn above the name it overlaps.
    QVERIFY(w->childAt(w->Score(row)->geometry().center()) == w->Score(row));
    delete w;
}

void tst_frmHighscore::silAnsweredNoChangesNothing()
{
    Fixture f;
    f.setRow(1, QStringLiteral("Ali"), QStringLiteral("50"));
    QPointer<frmHighscore> w = f.open();
    w->show();
    f.messages.answers = {MessageAnswer::No};
    QTest::mouseClick(w->Command1, Qt::LeftButton);

    QCOMPARE(f.messages.asked.size(), 1);
    const MessageRequest &request = f.messages.asked.first();
    QCOMPARE(request.text, QStringLiteral("Emin Misiniz?"));
    QCOMPARE(request.title, QStringLiteral("Skor Tablosu Sil"));
    QCOMPARE(request.buttons, MessageButtons::YesNo);
    QCOMPARE(request.defaultButton, MessageAnswer::Yes);
    QCOMPARE(request.owner, static_cast<QWidget *>(w.data()));

    QVERIFY(f.store.writes.isEmpty());
    QCOMPARE(names(*w), QStringList({"Ali", "", "", ""}));
    QCOMPARE(scores(*w), QStringList({"50", "0", "0", "0"}));
    QVERIFY(w->isVisible());
    delete w;
}

void tst_frmHighscore::silAnsweredYesClearsTheStoreThenTheLabels()
{
    Fixture f;
    f.setRow(1, QStringLiteral("Oyuncu Adi Cok Uzun Olan Birisi"), QStringLiteral("50"));
    f.setRow(2, QStringLiteral("Veli"), QStringLiteral("40"));
    QPointer<frmHighscore> w = f.open();
    w->show();
    f.messages.answers = {MessageAnswer::Yes};
    QTest::mouseClick(w->Command1, Qt::LeftButton);

    QCOMPARE(f.messages.texts(), QStringList{"Emin Misiniz?"});
    QCOMPARE(f.store.writes,
             QStringList({"Highscore/Name1=-", "Highscore/Name2=-", "Highscore/Name3=-",
                          "Highscore/Name4=-", "Highscore/Score1=0", "Highscore/Score2=0",
                          "Highscore/Score3=0", "Highscore/Score4=0"}));
    QCOMPARE(names(*w), QStringList({"-", "-", "-", "-"}));
    QCOMPARE(scores(*w), QStringList({"", "", "", ""}));
    // A reader is told the cleared row, and that its score is blank.
    QCOMPARE(w->HName(1)->accessibleName(), QStringLiteral("Isim 1: -"));
    QCOMPARE(w->Score(1)->accessibleName(), QStringLiteral("Skor 1: bos"));
    // A name that was long before the clear no longer reaches into the score column.
    QVERIFY(w->HName(1)->geometry().right() < 171);
    QVERIFY(w->isVisible());
    delete w;
}

void tst_frmHighscore::reopeningAfterAClearShowsZeroScores()
{
    Fixture f;
    f.setRow(3, QStringLiteral("Ali"), QStringLiteral("30"));
    QPointer<frmHighscore> first = f.open();
    first->show();
    f.messages.answers = {MessageAnswer::Yes};
    QTest::mouseClick(first->Command1, Qt::LeftButton);
    QTest::mouseClick(first->Command2, Qt::LeftButton);
    processDeletions();
    QVERIFY(first.isNull());

    QPointer<frmHighscore> second = f.open();
    QCOMPARE(names(*second), QStringList({"-", "-", "-", "-"}));
    QCOMPARE(scores(*second), QStringList({"0", "0", "0", "0"}));
    delete second;
}

void tst_frmHighscore::enterRightAfterOpeningAsksFirst()
{
    Fixture f;
    f.setRow(1, QStringLiteral("Ali"), QStringLiteral("50"));
    QPointer<frmHighscore> w = f.open();
    QVERIFY(showActive(w));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w->Command1));

    f.messages.answers = {MessageAnswer::No};
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(f.messages.texts(), QStringList{"Emin Misiniz?"});
    QVERIFY(f.store.writes.isEmpty());
    QCOMPARE(w->HName(1)->text(), QStringLiteral("Ali"));
    QVERIFY(w->isVisible());

    f.messages.answers = {MessageAnswer::Yes};
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(f.messages.asked.size(), 2);
    QCOMPARE(f.store.writes.size(), 8);
    delete w;
}

void tst_frmHighscore::closingWritesNothingAndDestroysTheWindow_data()
{
    QTest::addColumn<bool>("fromKapat");
    QTest::addColumn<int>("key");
    QTest::newRow("Kapat clicked") << true << 0;
    QTest::newRow("Enter on Kapat") << true << int(Qt::Key_Return);
    QTest::newRow("Esc on Kapat") << true << int(Qt::Key_Escape);
    QTest::newRow("Esc on Sil") << false << int(Qt::Key_Escape);
}

void tst_frmHighscore::closingWritesNothingAndDestroysTheWindow()
{
    QFETCH(bool, fromKapat);
    QFETCH(int, key);
    Fixture f;
    QPointer<frmHighscore> w = f.open();
    QVERIFY(showActive(w));
    if (fromKapat) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w->Command2));
    }
    if (key == 0)
        QTest::mouseClick(w->Command2, Qt::LeftButton);
    else
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QVERIFY(!w.isNull() && !w->isVisible());
    processDeletions();
    QVERIFY2(w.isNull(), "a closed score table must be destroyed");
    QVERIFY(f.store.writes.isEmpty());
    QVERIFY(f.messages.asked.isEmpty());
}

void tst_frmHighscore::etchedRuleUnderTheHeadings()
{
    Fixture f;
    QPointer<frmHighscore> w = f.open();
    w->show();
    const QImage image = w->grab().toImage();
    const QColor windowText = w->palette().color(QPalette::WindowText);
    for (int x : {0, 115, 230}) {
        QCOMPARE(image.pixelColor(x, 24), windowText);
        QCOMPARE(image.pixelColor(x, 25), QColor(224, 224, 224));
        QCOMPARE(image.pixelColor(x, 23), w->palette().color(QPalette::Window));
        QCOMPARE(image.pixelColor(x, 26), w->palette().color(QPalette::Window));
    }
    QCOMPARE(w->Line1->objectName(), QStringLiteral("Line1"));
    QCOMPARE(w->Line2->objectName(), QStringLiteral("Line2"));
    delete w;
}

void tst_frmHighscore::tabbingMovesBetweenTheTwoButtons()
{
    Fixture f;
    QPointer<frmHighscore> w = f.open();
    QVERIFY(showActive(w));
    // The labels are skipped: only the buttons take the focus.
    const QList<QWidget *> expected{w->Command2, w->Command1, w->Command2};
    for (QWidget *next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    // The focus chain follows the designed tab order, headings first, bottom row
    // next and the buttons last.
    QStringList chain;
    for (QWidget *widget = w->nextInFocusChain(); widget != w; widget = widget->nextInFocusChain()) {
        if (!widget->objectName().startsWith(QLatin1String("Line")))
            chain.append(widget->objectName());
    }
    QCOMPARE(chain, QStringList({"Label1", "Label2", "HName(4)", "Score(4)", "HName(3)",
                                 "Score(3)", "HName(2)", "Score(2)", "HName(1)", "Score(1)",
                                 "Command1", "Command2"}));
    delete w;
}

void tst_frmHighscore::opensCentredOnItsOwner()
{
    Fixture f;
    QWidget owner;
    owner.setGeometry(300, 200, 400, 300);
    owner.show();
    QPointer<frmHighscore> w = f.open(&owner);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(w->parentWidget(), &owner);
    const QPoint offset = w->frameGeometry().center() - owner.frameGeometry().center();
    QVERIFY2(offset.manhattanLength() <= 2,
             qPrintable(QStringLiteral("off centre by (%1, %2)").arg(offset.x()).arg(offset.y())));
    delete w;
}

QTEST_MAIN(tst_frmHighscore)
#include "tst_frmHighscore.moc"
