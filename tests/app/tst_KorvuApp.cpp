#include "app/KorvuApp.h"

#include "tests/support/FixedClock.h"
#include "tests/support/MemoryStore.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/ScriptedNamePrompt.h"
#include "tests/support/ScriptedRandom.h"
#include "tests/support/WhenModalOpens.h"
#include "ui/TickTimer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QWindow>

namespace {

template <class Window>
Window *shownWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<Window *>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

void setControls(frmStart &start, const QString &size, int speed, const QString &points,
                 bool showPoints)
{
    start.TSize->setText(size);
    start.CSpeed->setCurrentIndex(speed);
    start.TPPFood->setText(points);
    start.ShowPoints->setChecked(showPoints);
}

} // namespace

class tst_KorvuApp : public QObject {
    Q_OBJECT
private slots:
    void everyGameStartReadsTheStartWindowsFourControls();
};

void tst_KorvuApp::everyGameStartReadsTheStartWindowsFourControls()
{
    MemoryStore store;
    ScriptedMessageBoxes messages;
    ScriptedNamePrompt names;
    ScriptedRandom random;
    FixedClock clock;
    KorvuApp app(AppServices{store, messages, names, random, clock});
    app.start();
    // Over the first start's value: the game below ends at its second blocked tick.
    store.set(QStringLiteral("Options"), QStringLiteral("HardCore"), QStringLiteral("2"));
    frmStart *start = shownWindow<frmStart>();
    QVERIFY(start);
    // The score table and the about box, for real: the start window under them
    // refuses a close as Qt's Wayland plugin hands on a compositor's, through
    // the same QWindow::close() as a call in the program. They, and a menu they
    // open as a text box does, close as ever.
    for (QPushButton *button : {start->Command2, start->Command3}) {
        whenModalOpens<QDialog>([&](QDialog *dialog) {
            start->windowHandle()->close();
            QVERIFY(start->isVisible());
            QMenu menu(dialog);
            menu.popup(dialog->mapToGlobal(QPoint()));
            QTest::keyClick(&menu, Qt::Key_Escape);
            QVERIFY(!menu.isVisible());
            dialog->windowHandle()->close();
        });
        QTest::mouseClick(button, Qt::LeftButton);
    }
    setControls(*start, QStringLiteral("7"), 4, QStringLiteral("3"), false);
    random.queueCell(4, 2); // two cells ahead of the head
    QTest::mouseClick(start->Command1, Qt::LeftButton);
    frmPlayfield *game = shownWindow<frmPlayfield>();
    QVERIFY(game);
    QVERIFY(start->isHidden());
    // Each control shows in the game: the board's size, the tick, whether the
    // score is shown, and the score once the food is eaten.
    const auto eatTheFood = [&] {
        random.queueCell(10, 10);
        game->Timer1_Timer();
        game->Timer1_Timer();
    };
    eatTheFood();
    QCOMPARE(game->size(), QSize(154, 98));
    QCOMPARE(game->Timer1->interval(), 150);
    QVERIFY(game->Label1->isHidden());
    QCOMPARE(game->Label1->text(), QStringLiteral("3"));

    // The next game, after the second blocked tick, reads the controls again.
    // The game window's close button does nothing while "Oyun Bitti!" or the
    // name dialog is open: the tick that opened them goes on with the window.
    setControls(*start, QStringLiteral("5"), 8, QStringLiteral("2"), true);
    messages.answers = {MessageAnswer::Ok};
    const QPointer<frmPlayfield> alive = game;
    const auto closeGame = [&] {
        game->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(alive && game->isVisible());
    };
    messages.onAsk = [&](const MessageRequest &) { closeGame(); };
    names.onAsk = closeGame;
    random.queueCell(4, 2);
    for (int tick = 3; tick <= 20; ++tick)
        game->Timer1_Timer();
    QCOMPARE(messages.texts(), QStringList{"Oyun Bitti!"});
    QCOMPARE(names.asked, 1);
    eatTheFood();
    QCOMPARE(game->size(), QSize(110, 70));
    QCOMPARE(game->Timer1->interval(), 50);
    QVERIFY(!game->Label1->isHidden());
    QCOMPARE(game->Label1->text(), QStringLiteral("2"));

    // Closing the game stops its tick and closes the start window; both go.
    game->close();
    QVERIFY(!game->Timer1->isActive());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

QTEST_MAIN(tst_KorvuApp)
#include "tst_KorvuApp.moc"
