#include "highscores/frmInput.h"

#include "tests/support/WhenModalOpens.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>

namespace {

// How the player ends the dialog.
enum Ending { Kaydet, Enter, Close };

} // namespace

class tst_frmInput : public QObject {
    Q_OBJECT
private slots:
    void everyAskOpensANewDialogAndGivesItsName_data();
    void everyAskOpensANewDialogAndGivesItsName();
    void escapeDoesNotDismissIt();
};

void tst_frmInput::everyAskOpensANewDialogAndGivesItsName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("ending");
    QTest::addColumn<QString>("name");
    QTest::newRow("Kaydet keeps blanks") << "  Ece  " << int(Kaydet) << "  Ece  ";
    QTest::newRow("Kaydet keeps empty text") << "" << int(Kaydet) << "";
    QTest::newRow("Kaydet keeps a long name") << QString(300, u'x') << int(Kaydet)
                                              << QString(300, u'x');
    QTest::newRow("Enter presses Kaydet") << "Deniz" << int(Enter) << "Deniz";
    QTest::newRow("closed by the window system") << "Baska" << int(Close) << "Oyuncu 1";
}

void tst_frmInput::everyAskOpensANewDialogAndGivesItsName()
{
    QFETCH(QString, typed);
    QFETCH(int, ending);
    QFETCH(QString, name);
    DialogNamePrompt prompt;
    // The second dialog shows the initial name again, whatever the first was given.
    for (int round = 1; round <= 2; ++round) {
        QString shown;
        whenModalOpens<frmInput>([&](frmInput *dialog) {
            shown = dialog->Text1->text();
            QCOMPARE(dialog->focusWidget(), static_cast<QWidget *>(dialog->Text1));
            dialog->Text1->setText(typed);
            if (ending == Kaydet)
                QTest::mouseClick(dialog->Command1, Qt::LeftButton);
            else if (ending == Enter)
                QTest::keyClick(dialog->Text1, Qt::Key_Return);
            else
                dialog->windowHandle()->close();
        });
        QCOMPARE(prompt.askName(nullptr, 40, 1), name);
        QCOMPARE(shown, QStringLiteral("Oyuncu 1"));
    }
}

void tst_frmInput::escapeDoesNotDismissIt()
{
    frmInput dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(dialog.Text1, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
}

QTEST_MAIN(tst_frmInput)
#include "tst_frmInput.moc"
