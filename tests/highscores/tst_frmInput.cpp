#include "highscores/frmInput.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class tst_frmInput : public QObject {
    Q_OBJECT
private slots:
    void layoutMatchesTheDesign();
    void opensWithTheInitialNameEveryTime();
    void enterInTheTextBoxPressesKaydet();
    void kaydetKeepsBlanksAndEmptyText_data();
    void kaydetKeepsBlanksAndEmptyText();
    void closedByTheWindowSystemGivesTheInitialName();
    void escapeDoesNotDismissIt();
};

void tst_frmInput::layoutMatchesTheDesign()
{
    frmInput dialog;
    QCOMPARE(dialog.size(), QSize(242, 55));
    QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowTitleHint));
    QVERIFY(dialog.minimumSize() != dialog.maximumSize()); // the frame stays resizable
    QCOMPARE(dialog.Label1->accessibleName(),
             QStringLiteral("Skor Tablosunda Yer Alacak Isminizi Giriniz..."));
    QVERIFY(dialog.Label1->text().contains(dialog.Label1->accessibleName()));
    // Both wrapped lines fit the label's 22 pixels.
    QVERIFY2(dialog.Label1->heightForWidth(240) <= 22,
             qPrintable(QString::number(dialog.Label1->heightForWidth(240))));
    QCOMPARE(dialog.Label1->geometry(), QRect(0, 0, 240, 22));
    QVERIFY(dialog.Label1->wordWrap());
    QCOMPARE(dialog.Text1->geometry(), QRect(8, 32, 129, 17));
    QCOMPARE(dialog.Text1->palette().color(QPalette::Base), QColor(224, 224, 224));
    QCOMPARE(dialog.Command1->geometry(), QRect(152, 32, 81, 17));
    QCOMPARE(dialog.Command1->text(), QStringLiteral("Kaydet"));
    QVERIFY(dialog.Command1->isDefault());
    QCOMPARE(dialog.font().pointSizeF(), 8.25);
}

void tst_frmInput::opensWithTheInitialNameEveryTime()
{
    for (int round = 0; round < 2; ++round) {
        frmInput dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.Text1->text(), QStringLiteral("Oyuncu 1"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(dialog.Text1));
        dialog.Text1->setText(QStringLiteral("Baska"));
        dialog.Command1->click();
    }
}

void tst_frmInput::enterInTheTextBoxPressesKaydet()
{
    frmInput dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.Text1->selectAll();
    QTest::keyClicks(dialog.Text1, QStringLiteral("Deniz"));
    QTest::keyClick(dialog.Text1, Qt::Key_Return);
    QVERIFY(dialog.isHidden());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.chosenName(), QStringLiteral("Deniz"));
}

void tst_frmInput::kaydetKeepsBlanksAndEmptyText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("blanks around") << QStringLiteral("  Ece  ");
    QTest::newRow("empty") << QString();
    QTest::newRow("long") << QString(300, QLatin1Char('x'));
}

void tst_frmInput::kaydetKeepsBlanksAndEmptyText()
{
    QFETCH(QString, typed);
    frmInput dialog;
    dialog.show();
    dialog.Text1->setText(typed);
    QTest::mouseClick(dialog.Command1, Qt::LeftButton);
    QVERIFY(dialog.isHidden());
    QCOMPARE(dialog.chosenName(), typed);
}

void tst_frmInput::closedByTheWindowSystemGivesTheInitialName()
{
    frmInput dialog;
    dialog.show();
    dialog.Text1->setText(QStringLiteral("Typed but not saved"));
    dialog.close();
    QVERIFY(dialog.isHidden());
    QCOMPARE(dialog.chosenName(), QStringLiteral("Oyuncu 1"));
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
