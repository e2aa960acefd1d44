#include "about/frmAbout.h"
#include "game/frmPlayfield.h"
#include "highscores/frmHighscore.h"
#include "highscores/frmInput.h"
#include "settings/frmStart.h"

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

} // namespace

class tst_Accessibility : public QObject {
    Q_OBJECT
private slots:
    void everyControlOfEveryWindowHasAName();
};

void tst_Accessibility::everyControlOfEveryWindowHasAName()
{
    MemoryStore store;
    ScriptedMessageBoxes messages;
    ScriptedNamePrompt names;
    ScriptedRandom random;
    FixedClock clock;

    frmStart start(store, messages, StartActions{});
    start.setAttribute(Qt::WA_DeleteOnClose, false);
    QCOMPARE(unnamedControls(start), QStringList());

    random.queueCell(10, 8);
    frmPlayfield game(PlayfieldServices{store, messages, names, random, clock,
                                        [] { return StartSettings{1, "5", 400, "1"}; }, [] {}});
    game.setAttribute(Qt::WA_DeleteOnClose, false);
    QCOMPARE(unnamedControls(game), QStringList());

    frmInput input;
    QCOMPARE(unnamedControls(input), QStringList());

    // A cleared table has blank scores; they still say which row they are.
    store.set(QStringLiteral("Highscore"), QStringLiteral("Score1"), QString());
    frmHighscore table(store, messages, nullptr);
    table.setAttribute(Qt::WA_DeleteOnClose, false);
    QCOMPARE(unnamedControls(table), QStringList());

    frmAbout about;
    about.setAttribute(Qt::WA_DeleteOnClose, false);
    QCOMPARE(unnamedControls(about), QStringList());
}

QTEST_MAIN(tst_Accessibility)
#include "tst_Accessibility.moc"
