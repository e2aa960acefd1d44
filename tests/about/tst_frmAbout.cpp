#include "about/frmAbout.h"

#include "about/KorvuIcon.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTest>

namespace {

// A new box that deletes itself when closed, as the start window opens it.
QPointer<frmAbout> open(QWidget *owner = nullptr)
{
    return new frmAbout(owner);
}

bool showActive(QWidget *w)
{
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

void processDeletions()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QSet<QRgb> coloursOf(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y) | 0xFF000000u);
    return colours;
}

const QString Disclaimer = QStringLiteral("Program") + QChar(0x0131)
        + QStringLiteral("n Adresi : www.korvu.example");

} // namespace

class tst_frmAbout : public QObject {
    Q_OBJECT
private slots:
    void webAddressKeepsTheDotlessI();
    void theIconIsKorvusOwn_data();
    void theIconIsKorvusOwn();
    void picIconShowsTheLargeImage();
    void etchedRuleAboveTheWebAddress();
    void tamamClosesTheBox_data();
    void tamamClosesTheBox();
    void focusStartsOnTamamAndFollowsTheDesignedOrder();
    void openingTwiceShowsTheSame();
};

void tst_frmAbout::webAddressKeepsTheDotlessI()
{
    QPointer<frmAbout> w = open();
    // U+0131, not a plain "i" and not a mis-decoded pair of bytes.
    QCOMPARE(w->lblDisclaimer->text().at(7), QChar(0x0131));
    QCOMPARE(w->lblDisclaimer->text().size(), Disclaimer.size());
    QVERIFY(w->lblDisclaimer->fontMetrics().inFont(QChar(0x0131)));
    delete w;
}

void tst_frmAbout::theIconIsKorvusOwn_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("16") << 16;
    QTest::newRow("32") << 32;
}

void tst_frmAbout::theIconIsKorvusOwn()
{
    QFETCH(int, size);
    QPointer<frmAbout> w = open();
    const QIcon icon = w->windowIcon();
    QVERIFY(icon.availableSizes().contains(QSize(size, size)));
    const QImage image = icon.pixmap(QSize(size, size)).toImage();
    QCOMPARE(image.size(), QSize(size, size));
    const QSet<QRgb> colours = coloursOf(image);
    QVERIFY2(colours.size() <= 16, "more than 16 colours");
    // A green food cell and a black worm on the light-grey board inside a black wall.
    QVERIFY(colours.contains(qRgb(0, 255, 0)));
    QVERIFY(colours.contains(qRgb(0, 0, 0)));
    QVERIFY(colours.contains(qRgb(192, 192, 192)));
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::black));
    QCOMPARE(image.pixelColor(size / 8, size - 1 - size / 8), QColor(192, 192, 192));
    delete w;
}

void tst_frmAbout::picIconShowsTheLargeImage()
{
    QPointer<frmAbout> w = open();
    w->show();
    const QImage shown = w->grab(QRect(18, 18, 32, 32)).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage icon = korvuIcon().pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown, icon);
    delete w;
}

void tst_frmAbout::etchedRuleAboveTheWebAddress()
{
    QPointer<frmAbout> w = open();
    w->show();
    const QImage image = w->grab().toImage();
    const QColor grey(128, 128, 128);
    const QColor white(Qt::white);
    const QColor face = w->palette().color(QPalette::Window);
    for (int x : {7, 200, 376}) {
        QCOMPARE(image.pixelColor(x, 163), grey);
        QCOMPARE(image.pixelColor(x, 164), white);
        QCOMPARE(image.pixelColor(x, 165), white);
        QCOMPARE(image.pixelColor(x, 162), face);
        QCOMPARE(image.pixelColor(x, 166), face);
    }
    QCOMPARE(image.pixelColor(6, 163), grey);
    QCOMPARE(image.pixelColor(6, 164), face);
    QCOMPARE(image.pixelColor(5, 163), face);
    QCOMPARE(image.pixelColor(377, 163), face);
    QCOMPARE(w->Line1(0)->objectName(), QStringLiteral("Line1(0)"));
    QCOMPARE(w->Line1(1)->objectName(), QStringLiteral("Line1(1)"));
    delete w;
}

void tst_frmAbout::tamamClosesTheBox_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("click") << 0 << 0;
    QTest::newRow("Enter") << int(Qt::Key_Return) << 0;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    QTest::newRow("Esc") << int(Qt::Key_Escape) << 0;
    QTest::newRow("access key T") << int(Qt::Key_T) << int(Qt::AltModifier);
}

void tst_frmAbout::tamamClosesTheBox()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QPointer<frmAbout> w = open();
    QVERIFY(showActive(w));
    // Keys go in through the window, as the window system delivers them, so that
    // the access key is seen as a shortcut.
    if (key == 0)
        QTest::mouseClick(w->cmdOK, Qt::LeftButton);
    else
        QTest::keyClick(w->windowHandle(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    // An access key presses the button visibly, so the click follows a moment later.
    QTRY_VERIFY2(w.isNull(), "the about box is still there");
}

void tst_frmAbout::focusStartsOnTamamAndFollowsTheDesignedOrder()
{
    QPointer<frmAbout> w = open();
    QVERIFY(showActive(w));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w->cmdOK));
    // The only control that takes the focus keeps it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(w->cmdOK));
    QStringList chain;
    for (QWidget *widget = w->nextInFocusChain(); widget != w; widget = widget->nextInFocusChain()) {
        if (!widget->objectName().startsWith(QLatin1String("Line1")))
            chain.append(widget->objectName());
    }
    QCOMPARE(chain, QStringList({"cmdOK", "picIcon", "lblDescription", "lblDisclaimer",
                                 "lblTitle", "lblVersion"}));
    delete w;
}

void tst_frmAbout::openingTwiceShowsTheSame()
{
    QPointer<frmAbout> first = open();
    first->show();
    const QImage before = first->grab().toImage();
    const QRect placeBefore = first->geometry();
    QTest::mouseClick(first->cmdOK, Qt::LeftButton);
    processDeletions();
    QVERIFY(first.isNull());

    QPointer<frmAbout> second = open();
    second->show();
    QCOMPARE(second->geometry(), placeBefore);
    QCOMPARE(second->grab().toImage(), before);
    delete second;
}

QTEST_MAIN(tst_frmAbout)
#include "tst_frmAbout.moc"
