#include "about/frmAbout.h"
#include "game/frmPlayfield.h"
#include "highscores/frmHighscore.h"
#include "highscores/frmInput.h"
#include "settings/frmStart.h"
#include "ui/Look.h"

#include "tests/support/FixedClock.h"
#include "tests/support/MemoryStore.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/ScriptedNamePrompt.h"
#include "tests/support/ScriptedRandom.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTextDocumentFragment>

#include <memory>

namespace {

enum class Window { Start, Game, NameDialog, ScoreTable, About };

// Every window built as the program builds it, over scripted services.
struct Windows {
    MemoryStore store;
    ScriptedMessageBoxes messages;
    ScriptedNamePrompt names;
    ScriptedRandom random;
    FixedClock clock;
    QWidget owner;

    std::unique_ptr<QWidget> open(Window window)
    {
        std::unique_ptr<QWidget> opened;
        switch (window) {
        case Window::Start:
            opened = std::make_unique<frmStart>(store, messages, StartActions{});
            break;
        case Window::Game:
            random.queueCell(10, 8);
            opened = std::make_unique<frmPlayfield>(PlayfieldServices{
                    store, messages, names, random, clock,
                    [] { return StartSettings{1, QStringLiteral("7"), 400, QStringLiteral("1")}; },
                    [] {}});
            break;
        case Window::NameDialog: opened = std::make_unique<frmInput>(); break;
        case Window::ScoreTable:
            // A cleared table has blank scores; they still say which row they are.
            store.set(StoreKeys::Highscore, StoreKeys::Score(1), QString());
            opened = std::make_unique<frmHighscore>(store, messages, &owner);
            break;
        case Window::About:
            // The owner's place does not matter: the box opens at a fixed spot.
            owner.setGeometry(500, 400, 200, 100);
            owner.show();
            opened = std::make_unique<frmAbout>(&owner);
            break;
        }
        opened->setAttribute(Qt::WA_DeleteOnClose, false);
        return opened;
    }
};

// The controls a screen reader must be able to name: everything but the
// drawing surface and the rule lines.
QStringList unnamedControls(QWidget &window)
{
    QStringList unnamed;
    const QList<QWidget *> children = window.findChildren<QWidget *>();
    for (QWidget *child : children) {
        const bool control = qobject_cast<QAbstractButton *>(child)
                || qobject_cast<QLineEdit *>(child) || qobject_cast<QComboBox *>(child)
                || qobject_cast<QLabel *>(child);
        if (!control || child->parentWidget() != &window)
            continue;
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(child);
        if (!face || face->text(QAccessible::Name).trimmed().isEmpty())
            unnamed.append(child->objectName());
    }
    return unnamed;
}

// The labels whose text runs past their box: wrapped ones into a third line,
// the others past their right edge.
QStringList cutLabels(QWidget &window)
{
    QStringList cut;
    const QList<QLabel *> labels = window.findChildren<QLabel *>();
    for (QLabel *label : labels) {
        if (label->text().isEmpty())
            continue;
        const bool fits = label->wordWrap()
                ? label->heightForWidth(label->width()) <= label->height()
                : label->sizeHint().width() <= label->width();
        if (!fits)
            cut.append(label->objectName());
    }
    return cut;
}

// What a control shows: a label's text as read on screen, a list's chosen entry.
QString shownText(QWidget *control)
{
    if (auto *label = qobject_cast<QLabel *>(control); label && label->textFormat() == Qt::RichText)
        return QTextDocumentFragment::fromHtml(label->text()).toPlainText();
    if (auto *list = qobject_cast<QComboBox *>(control))
        return list->currentText();
    return control->property("text").toString();
}

QString fontName(const QFont &font)
{
    return QStringLiteral("%1 %2").arg(font.families().value(0)).arg(font.pointSizeF());
}

// A width or height that follows the control's text, not a fixed number.
constexpr int FitsText = -1;

} // namespace

Q_DECLARE_METATYPE(Window)

class tst_Windows : public QObject {
    Q_OBJECT
private slots:
    void everyWindowAsThePlayerSeesIt_data();
    void everyWindowAsThePlayerSeesIt();
    void everyControlAtItsPlace_data();
    void everyControlAtItsPlace();
    void everySpeedTicksAtItsInterval_data();
    void everySpeedTicksAtItsInterval();
};

// What would show if it went wrong: the title and size of each window (the game
// window's at cell size 7), the about box's fixed place, the face every control
// inherits, labels cut short, controls a screen reader cannot name, and the grey
// of the input boxes.
void tst_Windows::everyWindowAsThePlayerSeesIt_data()
{
    QTest::addColumn<Window>("window");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("fixedSize");
    QTest::addColumn<QPoint>("place"); // (-1, -1): wherever it opens
    QTest::addColumn<QString>("family");
    QTest::addColumn<QStringList>("greyBoxes");
    const QPoint anywhere(-1, -1);
    QTest::newRow("start") << Window::Start << "Korvu Ayarlar - www.korvu.example"
                           << QSize(269, 96) << true << anywhere << "Lucida Console"
                           << QStringList{"TSize", "TPPFood"};
    QTest::newRow("game") << Window::Game << "Korvu 1.0 - www.korvu.example" << QSize(154, 98)
                          << true << anywhere << "" << QStringList();
    QTest::newRow("name dialog") << Window::NameDialog << "" << QSize(242, 55) << false
                                 << anywhere << "Lucida Console" << QStringList{"Text1"};
    QTest::newRow("score table") << Window::ScoreTable << "Skor Tablosu" << QSize(231, 123)
                                 << true << anywhere << "Lucida Console" << QStringList();
    QTest::newRow("about") << Window::About << "Korvu Bilgi" << QSize(382, 237) << true
                           << QPoint(156, 129) << "Lucida Console" << QStringList();
}

void tst_Windows::everyWindowAsThePlayerSeesIt()
{
    QFETCH(Window, window);
    QFETCH(QString, title);
    QFETCH(QSize, size);
    QFETCH(bool, fixedSize);
    QFETCH(QPoint, place);
    QFETCH(QString, family);
    QFETCH(QStringList, greyBoxes);
    Windows windows;
    std::unique_ptr<QWidget> w = windows.open(window);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QCOMPARE(w->windowTitle(), title);
    QCOMPARE(w->size(), size);
    QCOMPARE(w->minimumSize() == w->maximumSize(), fixedSize);
    if (place != QPoint(-1, -1))
        QCOMPARE(w->geometry().topLeft(), place);
    if (!family.isEmpty()) {
        QCOMPARE(w->font().families().first(), family);
        QCOMPARE(w->font().pointSizeF(), 8.25);
    }
    QCOMPARE(cutLabels(*w), QStringList());
    QCOMPARE(unnamedControls(*w), QStringList());
    const QImage picture = w->grab().toImage();
    for (const QString &name : greyBoxes) {
        auto *box = w->findChild<QWidget *>(name);
        QVERIFY2(box, qPrintable(name));
        // Right of any text, inside the frame.
        const QPoint inside = box->mapTo(w.get(), QPoint(box->width() - 4, box->height() / 2));
        QCOMPARE(picture.pixelColor(inside), Look::BoxGrey);
    }
}

// Each control's text, place and size in pixels, and face, as drawn. Labels of
// the score table size themselves to what they show.
void tst_Windows::everyControlAtItsPlace_data()
{
    QTest::addColumn<Window>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QString>("font");
    const auto row = [](Window window, const char *control, const QString &text, QRect place,
                        const char *font = "Lucida Console 8.25") {
        const char *names[] = {"start", "game", "name dialog", "score table", "about"};
        QTest::addRow("%s %s", names[int(window)], control)
                << window << QString::fromLatin1(control) << text << place
                << QString::fromLatin1(font);
    };
    // The start window after a first start.
    row(Window::Start, "Label1", "Yakinlik: (Normali=7)", {8, 8, 77, 22});
    row(Window::Start, "Label2", "Hizi:", {8, 32, 35, 11});
    row(Window::Start, "Label3", "Yemek:", {8, 56, 42, 11});
    row(Window::Start, "Label4", "Skor", {8, 80, 28, 11});
    row(Window::Start, "TSize", "5", {104, 8, 73, 15});
    row(Window::Start, "TPPFood", "1", {104, 56, 73, 15});
    row(Window::Start, "ShowPoints", "Evt", {104, 77, 41, 17});
    row(Window::Start, "CSpeed", "Speed 1", {104, 32, 73, 19});
    row(Window::Start, "Command1", "Baslat", {184, 8, 81, 17});
    row(Window::Start, "Command2", "Skor Tablo", {184, 32, 81, 17});
    row(Window::Start, "Command3", "Bilgi", {184, 56, 81, 17});
    // The score label as a game of cell size 7 starts: at column 19 of the top row.
    row(Window::Game, "Label1", "0", {133, -5, FitsText, FitsText}, "Times New Roman 10");
    row(Window::NameDialog, "Label1", "Skor Tablosunda Yer Alacak Isminizi Giriniz...",
        {0, 0, 240, 22});
    row(Window::NameDialog, "Text1", "Oyuncu 1", {8, 32, 129, 17});
    row(Window::NameDialog, "Command1", "Kaydet", {152, 32, 81, 17});
    // The score table of a fresh store, its first score cleared.
    row(Window::ScoreTable, "Label1", "Isim", {8, 8, FitsText, 11});
    row(Window::ScoreTable, "Label2", "Skor", {176, 8, FitsText, 11});
    row(Window::ScoreTable, "Line1", "", {0, 24, 232, 1});
    row(Window::ScoreTable, "Line2", "", {0, 25, 232, 1});
    for (int r = 1; r <= 4; ++r) {
        const int top = 32 + (r - 1) * 16;
        row(Window::ScoreTable, qPrintable(QStringLiteral("HName(%1)").arg(r)), "",
            {8, top, FitsText, 11});
        row(Window::ScoreTable, qPrintable(QStringLiteral("Score(%1)").arg(r)), r == 1 ? "" : "0",
            {171, top, FitsText, 11});
    }
    row(Window::ScoreTable, "Command1", "Sil", {96, 104, 57, 17});
    row(Window::ScoreTable, "Command2", "Kapat", {160, 104, 65, 17});
    row(Window::About, "cmdOK", "&Tamam", {288, 192, 84, 23}, "MS Sans Serif 8.25");
    row(Window::About, "picIcon", "", {16, 16, 36, 36});
    row(Window::About, "lblDescription", "mailto:iletisim@korvu.example", {70, 75, 261, 78},
        "Tahoma 6.75");
    row(Window::About, "lblDisclaimer",
        QStringLiteral("Program") + QChar(0x0131) + QStringLiteral("n Adresi : www.korvu.example"),
        {17, 175, 258, 55}, "MS Sans Serif 8.25");
    row(Window::About, "lblTitle", "Tum haklari saklidir.", {70, 16, 259, 32}, "Tahoma 6.75");
    row(Window::About, "lblVersion", "Version 1.0", {70, 52, 259, 15}, "Tahoma 6.75");
    row(Window::About, "Line1(1)", "", {6, 163, 371, 1});
    row(Window::About, "Line1(0)", "", {7, 164, 370, 2});
}

void tst_Windows::everyControlAtItsPlace()
{
    QFETCH(Window, window);
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(QRect, place);
    QFETCH(QString, font);
    Windows windows;
    std::unique_ptr<QWidget> w = windows.open(window);
    auto *c = w->findChild<QWidget *>(control);
    QVERIFY2(c, qPrintable(control));
    QCOMPARE(shownText(c), text);
    QCOMPARE(c->pos(), place.topLeft());
    QCOMPARE(c->width(), place.width() == FitsText ? c->sizeHint().width() : place.width());
    QCOMPARE(c->height(), place.height() == FitsText ? c->sizeHint().height() : place.height());
    QCOMPARE(fontName(c->font()), font);
}

// The speed list, slowest first: what a game started at each entry ticks at,
// and the points per food picking it sets.
void tst_Windows::everySpeedTicksAtItsInterval_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("interval");
    const int intervals[] = {400, 300, 250, 200, 150, 125, 100, 75, 50};
    for (int position = 0; position < 9; ++position)
        QTest::addRow("Speed %d", position + 1) << position << intervals[position];
}

void tst_Windows::everySpeedTicksAtItsInterval()
{
    QFETCH(int, position);
    QFETCH(int, interval);
    Windows windows;
    std::unique_ptr<QWidget> w = windows.open(Window::Start);
    auto &start = static_cast<frmStart &>(*w);
    QCOMPARE(start.CSpeed->count(), 9);
    QCOMPARE(start.CSpeed->itemText(position), QStringLiteral("Speed %1").arg(position + 1));
    start.CSpeed->setCurrentIndex(position);
    emit start.CSpeed->activated(position);
    QCOMPARE(start.startSettings().tickInterval, interval);
    QCOMPARE(start.TPPFood->text(), QString::number(position + 1));
}

QTEST_MAIN(tst_Windows)
#include "tst_Windows.moc"
