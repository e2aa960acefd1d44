#include "ui/WindowManager.h"

#include <QTest>

// Where a box goes so that its owner stays in sight, on a screen of 1024 x 768.
class tst_WindowManager : public QObject {
    Q_OBJECT
private slots:
    void boxLeavesTheOwnerInSight_data();
    void boxLeavesTheOwnerInSight();
};

void tst_WindowManager::boxLeavesTheOwnerInSight_data()
{
    QTest::addColumn<QRect>("owner");
    QTest::addColumn<QRect>("expected");
    // Boxes are 120 x 100; the game window at cells of 30 is 662 x 445 framed.
    QTest::newRow("right, tops in line") << QRect(0, 0, 122, 95) << QRect(122, 0, 120, 100);
    QTest::newRow("right, moved up to stay on the screen")
            << QRect(300, 700, 122, 68) << QRect(422, 668, 120, 100);
    QTest::newRow("left, when the right has no room")
            << QRect(362, 0, 662, 445) << QRect(242, 0, 120, 100);
    QTest::newRow("below, when neither side has room")
            << QRect(100, 10, 850, 445) << QRect(100, 455, 120, 100);
    QTest::newRow("below, moved left to stay on the screen")
            << QRect(-20, 0, 1064, 445) << QRect(0, 445, 120, 100);
    QTest::newRow("centred, when nothing has room")
            << QRect(10, 10, 1004, 700) << QRect(452, 310, 120, 100);
    QTest::newRow("centred, moved the least onto the screen")
            << QRect(-950, -600, 2000, 1400) << QRect(0, 50, 120, 100);
}

void tst_WindowManager::boxLeavesTheOwnerInSight()
{
    QFETCH(QRect, owner);
    QFETCH(QRect, expected);
    QCOMPARE(besideOwner(owner, QSize(120, 100), QRect(0, 0, 1024, 768)), expected);
}

QTEST_APPLESS_MAIN(tst_WindowManager)
#include "tst_WindowManager.moc"
