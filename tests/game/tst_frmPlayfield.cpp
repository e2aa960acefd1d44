#include "game/frmPlayfield.h"

#include "tests/support/FixedClock.h"
#include "tests/support/MemoryStore.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/ScriptedNamePrompt.h"
#include "tests/support/ScriptedRandom.h"
#include "ui/TickTimer.h"

#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <memory>

namespace {

struct Fixture {
    MemoryStore store;
    ScriptedMessageBoxes messages;
    ScriptedNamePrompt names;
    ScriptedRandom random;
    FixedClock clock;
    StartSettings settings{1, QStringLiteral("5"), 50, QStringLiteral("1")};
    std::unique_ptr<frmPlayfield> window;

    Fixture()
    {
        for (int row = 1; row <= 4; ++row)
            store.set(QStringLiteral("Highscore"), QStringLiteral("Score%1").arg(row),
                      QStringLiteral("0"));
    }

    frmPlayfield &open(int foodColumn = 10, int foodRow = 8)
    {
        random.queueCell(foodColumn, foodRow);
        window = std::make_unique<frmPlayfield>(PlayfieldServices{
                store, messages, names, random, clock, [this] { return settings; },
                [] {}});
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        return *window;
    }
};

} // namespace

class tst_frmPlayfield : public QObject {
    Q_OBJECT
private slots:
    void scoreLabelSitsAboveTheBoard_data();
    void scoreLabelSitsAboveTheBoard();
    void arrowKeysSteerWhateverModifiersAreHeld_data();
    void arrowKeysSteerWhateverModifiersAreHeld();
    void timerFiresTheTickAtTheChosenInterval();
    void gameOverAsksOverTheWindowAndRecordsTheScore();
    void theWindowTellsAReaderHowToPlayToTheStoredLimit();
    void noTickRunsWhileTheEndOfGameWindowsAreOpen();
    void everyTickIsRepaintedOnScreen();
};

// The label was placed for Times New Roman: at 96 dpi the face's ascent (1825 of
// 2048 units) and figure height (1384) put a digit's rows where shown and cut
// say, counted from the top of row 0 (shown) and above the window (cut).
void tst_frmPlayfield::scoreLabelSitsAboveTheBoard_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("cut");
    QTest::newRow("5") << 5 << -5 << 5 << 2;
    QTest::newRow("7") << 7 << -5 << 7 << 2;
    QTest::newRow("8") << 8 << -8 << 5 << 5;
    QTest::newRow("10") << 10 << -8 << 7 << 4;
}

void tst_frmPlayfield::scoreLabelSitsAboveTheBoard()
{
    QFETCH(int, size);
    QFETCH(int, top);
    Fixture f;
    f.settings.sizeText = QString::number(size);
    frmPlayfield &w = f.open();
    QCOMPARE(w.Label1->text(), QStringLiteral("0"));
    QCOMPARE(w.Label1->pos(), QPoint(19 * size, top));
    QCOMPARE(w.Label1->font().pointSizeF(), qreal(size + 3));
    QVERIFY(w.Label1->alignment().testFlag(Qt::AlignRight));
    QVERIFY(!w.Label1->autoFillBackground());
    QVERIFY(!w.Label1->isHidden());
    QCOMPARE(w.Label1->accessibleName(), QStringLiteral("Skor: 0"));

    // The digit's ink rows, drawn on the board's grey with room above the window.
    QFETCH(int, shown);
    QFETCH(int, cut);
    constexpr int Margin = 20;
    const QRgb background = Canvas::toRgb(w.canvas().BackgroundColour());
    QImage picture(w.Label1->width(), w.Label1->height() + Margin, QImage::Format_RGB32);
    picture.fill(background);
    QPainter painter(&picture);
    w.Label1->render(&painter, QPoint(0, Margin), QRegion(), QWidget::DrawChildren);
    painter.end();
    QList<int> inkRows;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qGray(picture.pixel(x, y)) < qGray(background) / 2) {
                inkRows << top + y - Margin;
                break;
            }
        }
    }
    QVERIFY(!inkRows.isEmpty());
    const auto inRowZero = [size](int row) { return row >= 0 && row < size; };
    QCOMPARE(std::count_if(inkRows.cbegin(), inkRows.cend(), inRowZero), qsizetype(shown));
    QVERIFY2(-inkRows.first() <= cut,
             qPrintable(QStringLiteral("%1 rows cut off above the window").arg(-inkRows.first())));
}

void tst_frmPlayfield::arrowKeysSteerWhateverModifiersAreHeld_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("direction");
    QTest::newRow("up") << int(Qt::Key_Up) << int(Qt::NoModifier) << 0;
    QTest::newRow("down") << int(Qt::Key_Down) << int(Qt::NoModifier) << 2;
    QTest::newRow("keypad up") << int(Qt::Key_Up) << int(Qt::KeypadModifier) << 0;
    QTest::newRow("shift down") << int(Qt::Key_Down) << int(Qt::ShiftModifier) << 2;
    QTest::newRow("control up") << int(Qt::Key_Up) << int(Qt::ControlModifier) << 0;
    QTest::newRow("alt down") << int(Qt::Key_Down) << int(Qt::AltModifier) << 2;
    QTest::newRow("left reverses: refused") << int(Qt::Key_Left) << int(Qt::NoModifier) << 3;
    for (Qt::Key other : {Qt::Key_Space, Qt::Key_P, Qt::Key_Escape, Qt::Key_Return, Qt::Key_W})
        QTest::addRow("%s", qPrintable(QKeySequence(other).toString()))
                << int(other) << int(Qt::NoModifier) << 3;
}

void tst_frmPlayfield::arrowKeysSteerWhateverModifiersAreHeld()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, direction);
    Fixture f;
    frmPlayfield &w = f.open();
    QTest::keyClick(&w, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(int(w.playfield().state().Direction), direction);
}

void tst_frmPlayfield::timerFiresTheTickAtTheChosenInterval()
{
    Fixture f;
    f.settings.tickInterval = 125;
    frmPlayfield &w = f.open();
    QCOMPARE(w.Timer1->interval(), 125);
    QSignalSpy expiries(w.Timer1, &QTimer::timeout);
    QVERIFY(expiries.wait(2000));
    QCOMPARE(int(w.playfield().state().HeadX), 15);
    QCOMPARE(w.canvas().PixelColour(16, 11), 0u);
}

void tst_frmPlayfield::gameOverAsksOverTheWindowAndRecordsTheScore()
{
    // The second blocked tick ends the game; the score is not shown during play.
    Fixture f;
    f.settings.showPoints = 0;
    f.store.set(QStringLiteral("Options"), QStringLiteral("HardCore"), QStringLiteral("2"));
    frmPlayfield &w = f.open(4, 2);
    f.random.queueCell(12, 12);
    for (int i = 0; i < 3; ++i)
        w.Timer1_Timer(); // the second eats
    QCOMPARE(w.Label1->text(), QStringLiteral("1"));
    f.messages.answers = {MessageAnswer::Ok};
    f.names.names = {QStringLiteral("  Ada  ")};
    // "Oyun Bitti!" comes first, the name dialog after it.
    int namesAskedBeforeTheBox = -1;
    f.messages.onAsk = [&](const MessageRequest &) { namesAskedBeforeTheBox = f.names.asked; };
    f.random.queueCell(15, 9);
    for (int i = 0; i < 16; ++i)
        w.Timer1_Timer(); // the last one is the first blocked
    QVERIFY(f.messages.asked.isEmpty());
    w.Timer1_Timer();
    QCOMPARE(namesAskedBeforeTheBox, 0);
    QCOMPARE(f.messages.texts(), QStringList{"Oyun Bitti!"});
    QCOMPARE(f.messages.asked.first().title, QStringLiteral("Korvu"));
    QCOMPARE(f.messages.asked.first().owner, static_cast<QWidget *>(&w));
    // A screen reader announces the final score with the box.
    QCOMPARE(f.messages.asked.first().description, QStringLiteral("Skor: 1"));
    QCOMPARE(f.names.asked, 1);
    QCOMPARE(f.names.lastOwner, static_cast<QWidget *>(&w));
    QCOMPARE(f.store.value(QStringLiteral("Highscore"), QStringLiteral("Score1")),
             QStringLiteral("1"));
    QCOMPARE(f.store.value(QStringLiteral("Highscore"), QStringLiteral("Name1")),
             QStringLiteral("  Ada  "));
    QCOMPARE(w.Label1->text(), QStringLiteral("0"));
}

// Each game is described with the limit stored as it starts; a limit that no
// count of blocked moves reaches ends no game, and the description says so.
void tst_frmPlayfield::theWindowTellsAReaderHowToPlayToTheStoredLimit()
{
    Fixture f;
    f.store.set(QStringLiteral("Options"), QStringLiteral("HardCore"), QStringLiteral("1"));
    frmPlayfield &w = f.open(4, 2);
    QCOMPARE(w.accessibleDescription(),
             QStringLiteral("Ok tuslari solucani yonlendirir. Duvara ya da solucanin kendisine "
                            "ust uste 1 kez carpmak oyunu bitirir. Oyunda duraklatma yoktur."));
    f.random.queueCell(12, 12);
    f.random.queueCell(15, 9);
    f.messages.answers = {MessageAnswer::Ok};
    f.messages.onAsk = [&](const MessageRequest &) {
        f.store.set(QStringLiteral("Options"), QStringLiteral("HardCore"), QStringLiteral("0"));
    };
    for (int i = 0; i < 19; ++i)
        w.Timer1_Timer();
    QCOMPARE(f.messages.asked.size(), 1);
    QCOMPARE(w.accessibleDescription(),
             QStringLiteral("Ok tuslari solucani yonlendirir. Duvara ya da solucanin kendisine "
                            "carpmak oyunu bitirmez. Oyunda duraklatma yoktur."));
}

void tst_frmPlayfield::noTickRunsWhileTheEndOfGameWindowsAreOpen()
{
    Fixture f;
    f.store.set(QStringLiteral("Options"), QStringLiteral("HardCore"), QStringLiteral("1"));
    frmPlayfield &w = f.open(4, 2);
    f.random.queueCell(12, 12);
    // A stopped timer fires no tick, however long the player keeps a window open.
    QStringList openWhileTheTimerRuns;
    f.messages.onAsk = [&](const MessageRequest &request) {
        if (w.Timer1->isActive())
            openWhileTheTimerRuns << request.text;
    };
    f.names.onAsk = [&] {
        if (w.Timer1->isActive())
            openWhileTheTimerRuns << QStringLiteral("name dialog");
    };
    f.messages.answers = {MessageAnswer::Ok};
    f.random.queueCell(15, 9);
    for (int i = 0; i < 19; ++i)
        w.Timer1_Timer();
    QCOMPARE(f.messages.asked.size(), 1);
    QCOMPARE(f.names.asked, 1);
    QCOMPARE(openWhileTheTimerRuns, QStringList());
    QVERIFY(w.Timer1->isActive());
}

void tst_frmPlayfield::everyTickIsRepaintedOnScreen()
{
    Fixture f;
    f.settings.showPoints = 0;
    frmPlayfield &w = f.open(6, 5);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.Timer1->stop(); // the ticks come from the test alone
    // What the window system holds for the window, not a fresh rendering of it.
    const auto onScreen = [&w] {
        return w.screen()->grabWindow(w.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    };
    const auto board = [&w] { return w.canvas().image().copy(0, 0, 110, 70); };
    QTRY_COMPARE(onScreen(), board());
    w.Timer1_Timer();
    QTRY_COMPARE(onScreen(), board());
}

QTEST_MAIN(tst_frmPlayfield)
#include "tst_frmPlayfield.moc"
