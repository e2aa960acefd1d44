#include "tests/realwindow/KorvuScreen.h"
#include "tests/realwindow/XSession.h"

#include <QSettings>
#include <QTest>

#include <chrono>
#include <optional>

using namespace std::chrono_literals;

using namespace KorvuScreen;

namespace {

// What a first start puts into TSize.
constexpr int FirstStartSize = 5;
// What the test types into TSize while a dialog is open; a game of this size
// would show that the keys got through.
constexpr int TypedSize = 9;

QString rectText(const QRect &rect)
{
    return QStringLiteral("(%1, %2) %3 x %4")
            .arg(rect.x())
            .arg(rect.y())
            .arg(rect.width())
            .arg(rect.height());
}

} // namespace

// The score table and the about box, opened from the start window by mouse: each
// has its caption, size and place, closes with its key, and holds the start
// window still while it is open.
class tst_RealWindowDialogs : public QObject {
    Q_OBJECT

private slots:
    void skorTabloShowsTheScoreTableThatEscCloses();
    void bilgiShowsTheAboutBoxAtItsPlaceThatEnterCloses();

private:
    void startWindowTakesNoInputWhileOpen(XRun &run, XSession::WindowId dialog,
                                          const QString &closeKey);
};

void tst_RealWindowDialogs::skorTabloShowsTheScoreTableThatEscCloses()
{
    XRun run;
    const XSession &x = run.session;
    QVERIFY2(run.openStartWindow(), qPrintable(run.errorString()));

    QVERIFY2(x.click(*run.start, SkorTablo.center()), qPrintable(x.errorString()));
    const auto table = x.waitForMappedWindow(ScoreTableTitle, QDeadlineTimer(10s));
    QVERIFY2(table, qPrintable(x.errorString() + run.korvu.output()));
    QCOMPARE(x.clientSize(*table), std::optional<QSize>(QSize(231, 123)));

    startWindowTakesNoInputWhileOpen(run, *table, QStringLiteral("Escape"));
}

void tst_RealWindowDialogs::bilgiShowsTheAboutBoxAtItsPlaceThatEnterCloses()
{
    XRun run;
    const XSession &x = run.session;
    QVERIFY2(run.openStartWindow(), qPrintable(run.errorString()));

    QVERIFY2(x.click(*run.start, Bilgi.center()), qPrintable(x.errorString()));
    const auto about = x.waitForMappedWindow(AboutTitle, QDeadlineTimer(10s));
    QVERIFY2(about, qPrintable(x.errorString() + run.korvu.output()));
    // Wherever the start window is, the about box opens at the same place.
    QCOMPARE(x.geometry(*about), std::optional<QRect>(QRect(156, 129, 382, 237)));

    startWindowTakesNoInputWhileOpen(run, *about, QStringLiteral("Return"));
}

// With the dialog open, a click on "Baslat" and a new size typed into TSize are
// lost; the dialog's key closes it, and only then does the same click start a
// game, of the size TSize held before.
void tst_RealWindowDialogs::startWindowTakesNoInputWhileOpen(XRun &run,
                                                             XSession::WindowId dialog,
                                                             const QString &closeKey)
{
    const XSession &x = run.session;
    const XSession::WindowId start = *run.start;
    // The score table opens centred on the start window and covers most of
    // "Baslat"; the start window is moved clear of the dialog, so that the
    // click lands on the button itself.
    const std::optional<QRect> dialogRect = x.geometry(dialog);
    QVERIFY2(dialogRect, qPrintable(x.errorString()));
    const QPoint clear(dialogRect->left(), dialogRect->bottom() + 1 + 8);
    QVERIFY2(x.move(start, clear), qPrintable(x.errorString()));
    const std::optional<QRect> startRect = x.geometry(start);
    QVERIFY2(startRect, qPrintable(x.errorString()));
    QCOMPARE(startRect->topLeft(), clear);
    const QRect button = Baslat.translated(startRect->topLeft());
    QVERIFY2(!button.intersects(*dialogRect),
             qPrintable(QStringLiteral("Baslat at %1 lies under the dialog at %2")
                                .arg(rectText(button), rectText(*dialogRect))));

    // Keys first: a click that got through would hide the start window.
    QVERIFY2(x.pressKeysIn(start, {QStringLiteral("ctrl+a"), QString::number(TypedSize)}),
             qPrintable(x.errorString()));
    QVERIFY2(x.click(start, Baslat.center()), qPrintable(x.errorString()));

    // The program handles X events in order: once the dialog is gone, the click
    // and the keys before its key have been dealt with, and a game they started
    // would have its window already.
    QVERIFY2(x.pressKeysIn(dialog, {closeKey}), qPrintable(x.errorString()));
    QVERIFY2(x.waitUntilUnmapped(dialog, QDeadlineTimer(5s)), qPrintable(x.errorString()));
    QVERIFY2(x.windowsTitled(GameTitle, XSession::Mapping::Any).isEmpty(),
             "a click on Baslat started a game while the dialog was open");
    QVERIFY(x.isMapped(start));

    QVERIFY2(x.click(start, Baslat.center()), qPrintable(x.errorString()));
    QVERIFY2(run.waitForGameWindow(), qPrintable(run.errorString()));
    QCOMPARE(x.clientSize(*run.game),
             std::optional<QSize>(QSize(Columns * FirstStartSize, Rows * FirstStartSize)));

    QVERIFY2(run.closeAndEndCleanly(*run.game), qPrintable(run.errorString()));
    QSettings stored(run.korvu.settingsFile(), QSettings::IniFormat);
    QCOMPARE(stored.value(QStringLiteral("Options/Size")).toString(),
             QString::number(FirstStartSize));
}

QTEST_MAIN(tst_RealWindowDialogs)
#include "tst_RealWindowDialogs.moc"
