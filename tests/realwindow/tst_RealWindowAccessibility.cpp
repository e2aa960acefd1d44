// libatspi's GLib headers come first: Qt's keyword macros would change them.
#include <atspi/atspi.h>

#include "tests/realwindow/KorvuScreen.h"
#include "tests/realwindow/XSession.h"

#include <QSettings>
#include <QTest>

#include <chrono>
#include <memory>
#include <vector>

using namespace std::chrono_literals;

using namespace KorvuScreen;

namespace {

// How far a run goes; each window is reached through the ones before it.
enum class Window { Start, ScoreTable, Game, GameOver, NameDialog };

// A top-level window as a screen reader reads it: its role, name and
// description, and the names of its children in the reader's order.
struct Reading {
    QString role;
    QString name;
    QString description;
    QStringList children;
    bool operator==(const Reading &) const = default;
};

struct Unref {
    void operator()(AtspiAccessible *object) const { g_object_unref(object); }
};
using Accessible = std::unique_ptr<AtspiAccessible, Unref>;

// A string libatspi hands over; a failed call gives none.
QString taken(gchar *text)
{
    const QString result = QString::fromUtf8(text);
    g_free(text);
    return result;
}

std::vector<Accessible> childrenOf(AtspiAccessible *parent)
{
    std::vector<Accessible> children;
    const int count = atspi_accessible_get_child_count(parent, nullptr);
    for (int i = 0; i < count; ++i) {
        if (AtspiAccessible *child = atspi_accessible_get_child_at_index(parent, i, nullptr))
            children.emplace_back(child);
    }
    return children;
}

Reading read(AtspiAccessible *window)
{
    Reading reading{taken(atspi_accessible_get_role_name(window, nullptr)),
                    taken(atspi_accessible_get_name(window, nullptr)),
                    taken(atspi_accessible_get_description(window, nullptr)),
                    {}};
    for (const Accessible &child : childrenOf(window)) {
        const QString name = taken(atspi_accessible_get_name(child.get(), nullptr));
        if (!name.isEmpty())
            reading.children.append(name);
    }
    return reading;
}

// Every window of the program with this process id, as the registry lists it now.
QList<Reading> windowsOf(AtspiAccessible *desktop, qint64 processId)
{
    QList<Reading> windows;
    for (const Accessible &application : childrenOf(desktop)) {
        if (atspi_accessible_get_process_id(application.get(), nullptr) != processId)
            continue;
        for (const Accessible &window : childrenOf(application.get()))
            windows.append(read(window.get()));
    }
    return windows;
}

// Rows 1 and 2 seeded, 3 and 4 blank as a first start leaves them. Food is
// worth nothing, so wherever it lands a game ends with 0, which beats only row
// 2: the name dialog is for row 2.
void seedTable(const QString &settingsFile)
{
    QSettings table(settingsFile, QSettings::IniFormat);
    table.setValue(QStringLiteral("Options/PPFood"), QStringLiteral("0"));
    const QStringList names{"Ayse", "Mehmet", "", ""};
    const QStringList scores{"120", "-1", "0", "0"};
    for (int row = 1; row <= 4; ++row) {
        table.setValue(QStringLiteral("Highscore/Name%1").arg(row), names[row - 1]);
        table.setValue(QStringLiteral("Highscore/Score%1").arg(row), scores[row - 1]);
    }
}

bool reach(XRun &run, Window window)
{
    const XSession &x = run.session;
    const qint64 korvu = run.korvu.processId();
    switch (window) {
    case Window::Start: return true;
    case Window::ScoreTable:
        return x.click(*run.start, SkorTablo.center())
                && x.waitForWindow(korvu, ScoreTableTitle, within(10s));
    case Window::Game: return run.startGame();
    case Window::GameOver:
    case Window::NameDialog:
        if (!run.startGame())
            return false;
        const auto box = x.waitForWindow(korvu, MessageTitle, within(10s));
        return box && (window == Window::GameOver || x.pressKeysIn(*box, {"Return"}));
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Window)

// What a screen reader gets from each window, read through libatspi, the
// client library screen readers use, from the program started after the
// reader on a session bus and an accessibility bus of the test's own.
class tst_RealWindowAccessibility : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void aReaderGetsEveryWindowButTheBoard_data();
    void aReaderGetsEveryWindowButTheBoard();

private:
    Accessible m_desktop;
};

void tst_RealWindowAccessibility::initTestCase()
{
    QVERIFY2(qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"),
             "no session bus: ctest runs this test under dbus-run-session");
    // What a screen reader says as it starts; a program started later sees it.
    QString error;
    QVERIFY2(runTool(QStringLiteral(KORVU_DBUS_SEND),
                     {"--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                      "org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status",
                      "string:ScreenReaderEnabled", "variant:boolean:true"},
                     QProcessEnvironment::systemEnvironment(), error)
                     .ok,
             qPrintable(error));
    atspi_init();
    QVERIFY2(atspi_get_a11y_bus(), "libatspi reached no accessibility bus");
    m_desktop.reset(atspi_get_desktop(0));
    // Every read asks the program itself, not a cache kept by events.
    atspi_accessible_set_cache_mask(m_desktop.get(), ATSPI_CACHE_NONE);
}

void tst_RealWindowAccessibility::cleanupTestCase()
{
    m_desktop.reset();
    atspi_exit();
}

void tst_RealWindowAccessibility::aReaderGetsEveryWindowButTheBoard_data()
{
    QTest::addColumn<Window>("window");
    QTest::addColumn<QString>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QStringList>("children");
    QTest::newRow("start window")
            << Window::Start << "dialog" << StartTitle << ""
            << QStringList{"Yakinlik: (Normali=7)", "Hizi:", "Yemek:", "Skor", "Yakinlik",
                           "Yemek", "Skor", "Speed 9", "Baslat", "Skor Tablo", "Bilgi"};
    // Top row first; a blank name says it is empty.
    QTest::newRow("score table") << Window::ScoreTable << "dialog" << ScoreTableTitle << ""
                                 << QStringList{"Isim",        "Skor",        "Isim 1: Ayse",
                                                "Skor 1: 120", "Isim 2: Mehmet", "Skor 2: -1",
                                                "Isim 3: bos", "Skor 3: 0",   "Isim 4: bos",
                                                "Skor 4: 0",   "Sil",         "Kapat"};
    // The stored limit is one blocked move.
    QTest::newRow("game window")
            << Window::Game << "filler" << GameTitle
            << "Ok tuslari solucani yonlendirir. Duvara ya da solucanin kendisine ust uste 1 kez "
               "carpmak oyunu bitirir. Oyunda duraklatma yoktur."
            << QStringList{"Skor: 0"};
    QTest::newRow("game over") << Window::GameOver << "alert" << MessageTitle << "Skor: 0"
                               << QStringList{"Oyun Bitti!"};
    QTest::newRow("name dialog") << Window::NameDialog << "dialog" << "Isim"
                                 << "Skor: 0, Skor Tablosunda 2. sira"
                                 << QStringList{"Skor Tablosunda Yer Alacak Isminizi Giriniz...",
                                                "Skor Tablosunda Yer Alacak Isminizi Giriniz...",
                                                "Kaydet"};
}

void tst_RealWindowAccessibility::aReaderGetsEveryWindowButTheBoard()
{
    QFETCH(Window, window);
    QFETCH(QString, role);
    QFETCH(QString, name);
    QFETCH(QString, description);
    QFETCH(QStringList, children);

    XRun run;
    // Speed 9, and the first wall ends the game.
    QVERIFY2(run.korvu.prepareQuickGameOver(8, false), qPrintable(run.korvu.errorString()));
    seedTable(run.korvu.settingsFile());
    run.korvu.setEnvironment(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                             qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"));
    QVERIFY2(run.openStartWindow(), qPrintable(run.errorString()));
    QVERIFY2(reach(run, window), qPrintable(run.errorString() + run.session.errorString()));

    const Reading expected{role, name, description, children};
    QList<Reading> windows;
    waitFor(within(10s), [&] {
        windows = windowsOf(m_desktop.get(), run.korvu.processId());
        return windows.contains(expected);
    });
    QStringList listed;
    for (const Reading &seen : windows) {
        if (seen.role == role && seen.name == name) {
            QCOMPARE(seen.description, description);
            QCOMPARE(seen.children, children);
            return;
        }
        listed.append(QStringLiteral("%1 \"%2\"").arg(seen.role, seen.name));
    }
    QFAIL(qPrintable(QStringLiteral("no %1 \"%2\" among: %3").arg(role, name, listed.join(", "))));
}

QTEST_MAIN(tst_RealWindowAccessibility)
#include "tst_RealWindowAccessibility.moc"
