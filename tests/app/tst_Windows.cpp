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

} // namespace

Q_DECLARE_METATYPE(Window)

class tst_Windows : public QObject {
    Q_OBJECT
private slots:
    void everyWindowAsThePlayerSeesIt_data();
    void everyWindowAsThePlayerSeesIt();
};

// What would show if it went wrong: the size of each window (the game window's
// at cell size 7), the about box's fixed place, the face every control inherits,
// labels cut short, controls a screen reader cannot name, and the grey of the
// input boxes.
void tst_Windows::everyWindowAsThePlayerSeesIt_data()
{
    QTest::addColumn<Window>("window");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("fixedSize");
    QTest::addColumn<QPoint>("place"); // (-1, -1): wherever it opens
    QTest::addColumn<QString>("family");
    QTest::addColumn<QStringList>("greyBoxes");
    const QPoint anywhere(-1, -1);
    QTest::newRow("start") << Window::Start << QSize(269, 96) << true << anywhere
                           << "Lucida Console" << QStringList{"TSize", "TPPFood"};
    QTest::newRow("game") << Window::Game << QSize(154, 98) << true << anywhere << ""
                          << QStringList();
    QTest::newRow("name dialog") << Window::NameDialog << QSize(242, 55) << false << anywhere
                                 << "Lucida Console" << QStringList{"Text1"};
    QTest::newRow("score table") << Window::ScoreTable << QSize(231, 123) << true << anywhere
                                 << "Lucida Console" << QStringList();
    QTest::newRow("about") << Window::About << QSize(382, 237) << true << QPoint(156, 129)
                           << "Lucida Console" << QStringList();
}

void tst_Windows::everyWindowAsThePlayerSeesIt()
{
    QFETCH(Window, window);
    QFETCH(QSize, size);
    QFETCH(bool, fixedSize);
    QFETCH(QPoint, place);
    QFETCH(QString, family);
    QFETCH(QStringList, greyBoxes);
    Windows windows;
    std::unique_ptr<QWidget> w = windows.open(window);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
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

QTEST_MAIN(tst_Windows)
#include "tst_Windows.moc"
