#include "game/Canvas.h"

#include <QTest>

namespace {
constexpr quint32 Grey = 0x00F0F0F0;

int countPixels(const Canvas &canvas, quint32 colour)
{
    int count = 0;
    for (int y = 0; y < Canvas::DesignHeight; ++y)
        for (int x = 0; x < Canvas::DesignWidth; ++x)
            count += canvas.PixelColour(x, y) == colour;
    return count;
}
} // namespace

class tst_Canvas : public QObject {
    Q_OBJECT
private slots:
    void boxFillCoversBothCornersAndNothingElse();
    void aSinglePixelBox();
    void coloursReadBackExactly_data();
    void coloursReadBackExactly();
    void clearingReadsBackgroundEverywhere();
    void readsOffTheSurfaceAreFree();
    void backgroundIsNeverBlackOrGreen_data();
    void backgroundIsNeverBlackOrGreen();
    void everyFillReportsOnlyItsOwnRectangle();
};

void tst_Canvas::boxFillCoversBothCornersAndNothingElse()
{
    Canvas canvas(Grey);
    canvas.BoxFill(7, 7, 13, 13);
    QCOMPARE(countPixels(canvas, 0), 49);
    QCOMPARE(canvas.PixelColour(7, 7), 0u);
    QCOMPARE(canvas.PixelColour(8, 8), 0u);
    QCOMPARE(canvas.PixelColour(13, 13), 0u);
    QCOMPARE(canvas.PixelColour(14, 7), Grey);
    QCOMPARE(canvas.PixelColour(7, 14), Grey);
    QCOMPARE(canvas.PixelColour(6, 6), Grey);
}

void tst_Canvas::aSinglePixelBox()
{
    Canvas canvas(Grey);
    canvas.BoxFill(20, 30, 20, 30, Canvas::Green);
    QCOMPARE(countPixels(canvas, Canvas::Green), 1);
    QCOMPARE(canvas.PixelColour(20, 30), Canvas::Green);
}

void tst_Canvas::coloursReadBackExactly_data()
{
    QTest::addColumn<quint32>("colour");
    QTest::newRow("black") << quint32(0);
    QTest::newRow("green") << quint32(65280);
    QTest::newRow("red in the low byte") << quint32(0x000000FF);
    QTest::newRow("blue in the third byte") << quint32(0x00FF0000);
    QTest::newRow("light grey") << quint32(0x00E0E0E0);
    QTest::newRow("odd mix") << quint32(0x00123456);
}

void tst_Canvas::coloursReadBackExactly()
{
    QFETCH(quint32, colour);
    Canvas canvas(Grey);
    canvas.BoxFill(100, 100, 106, 106, colour);
    for (int y = 100; y <= 106; ++y)
        for (int x = 100; x <= 106; ++x)
            QCOMPARE(canvas.PixelColour(x, y), colour);
    // The picture a screen shows holds the same colour: 0x00BBGGRR is not RGB order.
    QCOMPARE(QColor(canvas.image().pixel(103, 103)),
             QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)));
}

void tst_Canvas::clearingReadsBackgroundEverywhere()
{
    Canvas canvas(Grey);
    QCOMPARE(countPixels(canvas, Grey), Canvas::DesignWidth * Canvas::DesignHeight);
    canvas.BoxFill(0, 0, 667, 448);
    canvas.BoxFill(5, 5, 9, 9, Canvas::Green);
    canvas.ClearCanvas();
    QCOMPARE(countPixels(canvas, Grey), Canvas::DesignWidth * Canvas::DesignHeight);
}

void tst_Canvas::readsOffTheSurfaceAreFree()
{
    Canvas canvas(Grey);
    canvas.BoxFill(-10, -10, 2000, 2000);
    QCOMPARE(canvas.PixelColour(-1, 0), Grey);
    QCOMPARE(canvas.PixelColour(0, -1), Grey);
    QCOMPARE(canvas.PixelColour(Canvas::DesignWidth, 5), Grey);
    QCOMPARE(canvas.PixelColour(5, Canvas::DesignHeight), Grey);
    QCOMPARE(canvas.PixelColour(Canvas::DesignWidth - 1, Canvas::DesignHeight - 1), 0u);
}

void tst_Canvas::backgroundIsNeverBlackOrGreen_data()
{
    QTest::addColumn<quint32>("face");
    QTest::newRow("black face") << quint32(0);
    QTest::newRow("green face") << quint32(65280);
}

void tst_Canvas::backgroundIsNeverBlackOrGreen()
{
    QFETCH(quint32, face);
    Canvas canvas(face);
    QVERIFY(canvas.BackgroundColour() != 0);
    QVERIFY(canvas.BackgroundColour() != 65280);
    QCOMPARE(canvas.PixelColour(3, 3), canvas.BackgroundColour());
}

void tst_Canvas::everyFillReportsOnlyItsOwnRectangle()
{
    Canvas canvas(Grey);
    canvas.takeDamage();
    canvas.BoxFill(15, 10, 19, 14);
    canvas.BoxFill(660, 440, 700, 500, Canvas::Green);
    QCOMPARE(canvas.takeDamage(), Canvas::Damage({QRect(15, 10, 5, 5), QRect(660, 440, 8, 9)}));
    QVERIFY(canvas.takeDamage().isEmpty());
    canvas.BoxFill(1, 1, 1, 1);
    canvas.ClearCanvas();
    QCOMPARE(canvas.takeDamage(),
             Canvas::Damage{QRect(0, 0, Canvas::DesignWidth, Canvas::DesignHeight)});
    // Many fills merge into the rectangle that holds them all.
    for (int i = 0; i < 20; ++i)
        canvas.BoxFill(10 * i, 5, 10 * i + 3, 8);
    const Canvas::Damage merged = canvas.takeDamage();
    QRect covered;
    for (const QRect &rect : merged)
        covered |= rect;
    QVERIFY(merged.size() <= 8);
    QCOMPARE(covered, QRect(0, 5, 194, 4));
}

QTEST_GUILESS_MAIN(tst_Canvas)
#include "tst_Canvas.moc"
