#include "ui/MessageBoxes.h"

#include "tests/support/WhenModalOpens.h"

#include <QMessageBox>
#include <QTest>
#include <QWindow>

namespace {

// How the player ends a box: Enter, Esc, or the window's close button.
enum Ending { Enter, Escape, Close };

} // namespace

class tst_MessageBoxes : public QObject {
    Q_OBJECT
private slots:
    void theRealBoxAnswersAsThePlayerEndsIt_data();
    void theRealBoxAnswersAsThePlayerEndsIt();
};

void tst_MessageBoxes::theRealBoxAnswersAsThePlayerEndsIt_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("ending");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("answer");
    const int yesNo = QMessageBox::Yes | QMessageBox::No;
    const auto row = [](const char *name, MessageButtons buttons, Ending ending, int shown,
                        MessageAnswer answer) {
        QTest::newRow(name) << int(buttons) << int(ending) << shown << int(answer);
    };
    row("Yes/No: Enter takes Yes", MessageButtons::YesNo, Enter, yesNo, MessageAnswer::Yes);
    row("Yes/No: Esc is No", MessageButtons::YesNo, Escape, yesNo, MessageAnswer::No);
    row("Yes/No: closing is No", MessageButtons::YesNo, Close, yesNo, MessageAnswer::No);
    row("OK alone: Enter", MessageButtons::Ok, Enter, QMessageBox::Ok, MessageAnswer::Ok);
    row("OK alone: closing", MessageButtons::Ok, Close, QMessageBox::Ok, MessageAnswer::Ok);
}

void tst_MessageBoxes::theRealBoxAnswersAsThePlayerEndsIt()
{
    QFETCH(int, buttons);
    QFETCH(int, ending);
    QFETCH(int, shown);
    QFETCH(int, answer);
    whenModalOpens<QMessageBox>([&](QMessageBox *box) {
        QCOMPARE(box->windowTitle(), QStringLiteral("Korvu"));
        QCOMPARE(box->text(), QStringLiteral("Emin Misiniz?"));
        QCOMPARE(box->icon(), QMessageBox::NoIcon);
        QCOMPARE(int(box->standardButtons()), shown);
        // Keys go where the player's would: to the button that has the focus.
        QWidget *focus = box->focusWidget() ? box->focusWidget() : box;
        if (ending == Enter)
            QTest::keyClick(focus, Qt::Key_Return);
        else if (ending == Escape)
            QTest::keyClick(focus, Qt::Key_Escape);
        else
            box->windowHandle()->close();
    });
    QtMessageBoxes boxes;
    const MessageAnswer given =
            boxes.ask({QStringLiteral("Emin Misiniz?"), QStringLiteral("Korvu"),
                       MessageButtons(buttons), MessageAnswer::Yes, nullptr});
    QCOMPARE(int(given), answer);
}

QTEST_MAIN(tst_MessageBoxes)
#include "tst_MessageBoxes.moc"
