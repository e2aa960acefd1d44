#include "tests/realwindow/KorvuProcess.h"
#include "tests/realwindow/KorvuScreen.h"
#include "tests/realwindow/XSession.h"

#include <QSettings>
#include <QTest>

#include <chrono>
#include <optional>

using namespace std::chrono_literals;

using namespace KorvuScreen;

namespace {

const QString ScoreTableTitle = QStringLiteral("Skor Tablosu");
const QString AboutTitle = QStringLiteral("Korvu Bilgi");

// The start window's buttons, in its client area.
const QRect Baslat(184, 8, 81, 17);
const QRect SkorTablo(184, 32, 81, 17);
const QRect Bilgi(184, 56, 81, 17);

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
    void startWindowTakesNoInputWhileOpen(const XSession &x, KorvuProcess &korvu,
                                          XSession::WindowId start, XSession::WindowId dialog,
                                          const QString &closeKey);
};

void tst_RealWindowDialogs::skorTabloShowsTheScoreTableThatEscCloses()
{
    XSession x(XTools::fromBuild());
    QVERIFY2(x.start(QDeadlineTimer(15s)), qPrintable(x.errorString()));
    KorvuProcess korvu(x.environment(), QStringLiteral(KORVU_BINARY));
    QVERIFY2(korvu.start(), qPrintable(korvu.errorString()));
    const auto start = x.waitForMappedWindow(StartTitle, QDeadlineTimer(15s));
    QVERIFY2(start, qPrintable(x.errorString() + korvu.output()));

    QVERIFY2(x.click(*start, SkorTablo.center()), qPrintable(x.errorString()));
    const auto table = x.waitForMappedWindow(ScoreTableTitle, QDeadlineTimer(10s));
    QVERIFY2(table, qPrintable(x.errorString() + korvu.output()));
    QCOMPARE(x.clientSize(*table), std::optional<QSize>(QSize(231, 123)));

    startWindowTakesNoInputWhileOpen(x, korvu, *start, *table, QStringLiteral("Escape"));
}

void tst_RealWindowDialogs::bilgiShowsTheAboutBoxAtItsPlaceThatEnterCloses()
{
    XSession x(XTools::fromBuild());
    QVERIFY2(x.start(QDeadlineTimer(15s)), qPrintable(x.errorString()));
    KorvuProcess korvu(x.environment(), QStringLiteral(KORVU_BINARY));
    QVERIFY2(korvu.start(), qPrintable(korvu.errorString()));
    const auto start = x.waitForMappedWindow(StartTitle, QDeadlineTimer(15s));
    QVERIFY2(start, qPrintable(x.errorString() + korvu.output()));

    QVERIFY2(x.click(*start, Bilgi.center()), qPrintable(x.errorString()));
    const auto about = x.waitForMappedWindow(AboutTitle, QDeadlineTimer(10s));
    QVERIFY2(about, qPrintable(x.errorString() + korvu.output()));
    // Wherever the start window is, the about box opens at the same place.
    QCOMPARE(x.geometry(*about), std::optional<QRect>(QRect(156, 129, 382, 237)));

    startWindowTakesNoInputWhileOpen(x, korvu, *start, *about, QStringLiteral("Return"));
}

// With the dialog open, a click on "Baslat" and a new size typed into TSize are
// lost; the dialog's key closes it, and only then does the same click start a
// game, of the size TSize held before.
void tst_RealWindowDialogs::startWindowTakesNoInputWhileOpen(const XSession &x,
                                                             KorvuProcess &korvu,
                                                             XSession::WindowId start,
                                                             XSession::WindowId dialog,
                                                             const QString &closeKey)
{
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
    QVERIFY2(x.focus(start), qPrintable(x.errorString()));
    QVERIFY2(x.pressKeys({QStringLiteral("ctrl+a"), QString::number(TypedSize)}),
             qPrintable(x.errorString()));
    QVERIFY2(x.click(start, Baslat.center()), qPrintable(x.errorString()));

    // The program handles X events in order: once the dialog is gone, the click
    // and the keys before its key have been dealt with, and a game they started
    // would have its window already.
    QVERIFY2(x.focus(dialog), qPrintable(x.errorString()));
    QVERIFY2(x.pressKeys({closeKey}), qPrintable(x.errorString()));
    QVERIFY2(x.waitUntilUnmapped(dialog, QDeadlineTimer(5s)), qPrintable(x.errorString()));
    QVERIFY2(x.windowsTitled(GameTitle, XSession::Mapping::Any).isEmpty(),
             "a click on Baslat started a game while the dialog was open");
    QVERIFY(x.isMapped(start));

    QVERIFY2(x.click(start, Baslat.center()), qPrintable(x.errorString()));
    const auto game = x.waitForMappedWindow(GameTitle, QDeadlineTimer(10s));
    QVERIFY2(game, qPrintable(x.errorString() + korvu.output()));
    QCOMPARE(x.clientSize(*game),
             std::optional<QSize>(QSize(Columns * FirstStartSize, Rows * FirstStartSize)));

    QVERIFY2(x.requestClose(*game), qPrintable(x.errorString()));
    QVERIFY2(korvu.waitForExit(QDeadlineTimer(10s)),
             qPrintable(korvu.errorString() + korvu.output()));
    QCOMPARE(korvu.exitStatus(), QProcess::NormalExit);
    QCOMPARE(korvu.exitCode(), 0);
    QSettings stored(korvu.settingsFile(), QSettings::IniFormat);
    QCOMPARE(stored.value(QStringLiteral("Options/Size")).toString(),
             QString::number(FirstStartSize));
}

QTEST_MAIN(tst_RealWindowDialogs)
#include "tst_RealWindowDialogs.moc"
