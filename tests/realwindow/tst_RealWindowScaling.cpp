#include "tests/realwindow/KorvuScreen.h"
#include "tests/realwindow/XSession.h"

#include <QColor>
#include <QList>
#include <QTest>

#include <chrono>
#include <optional>

using namespace std::chrono_literals;

using namespace KorvuScreen;

namespace {

// A scale factor as a fraction, so that cell edges are found without rounding.
struct Scale {
    int numerator;
    int denominator;

    // Device pixels for `logical` pixels, rounded as Qt sizes a window.
    int device(int logical) const
    {
        return (2 * logical * numerator + denominator) / (2 * denominator);
    }
    QSize device(QSize logical) const
    {
        return {device(logical.width()), device(logical.height())};
    }
};

QString colourName(QRgb colour)
{
    return QColor(colour).name();
}

bool isWallCell(int column, int row)
{
    return row == 1 || row == Rows - 1 || (row > 1 && (column == 0 || column == Columns - 1));
}

// The cells a run of device pixels touches along one axis: the first and the
// last, equal when the pixel lies inside one cell.
struct CellSpan {
    int first;
    int last;
};

CellSpan cellsOfPixel(int pixel, int cellSize, Scale scale)
{
    // Device pixel p covers logical [p * d / n, (p + 1) * d / n).
    const int cellDevice = cellSize * scale.numerator;
    const int first = pixel * scale.denominator / cellDevice;
    const int last = ((pixel + 1) * scale.denominator + cellDevice - 1) / cellDevice - 1;
    return {first, last};
}

// One colour per cell of the board, read from a picture of the game window.
class CellColours {
public:
    QRgb at(int column, int row) const { return m_colours[row * Columns + column]; }
    void set(int column, int row, QRgb colour) { m_colours[row * Columns + column] = colour; }
    bool isKnown(int column, int row) const { return m_known[row * Columns + column]; }
    void markKnown(int column, int row) { m_known[row * Columns + column] = true; }

private:
    QList<QRgb> m_colours = QList<QRgb>(Columns * Rows, 0);
    QList<bool> m_known = QList<bool>(Columns * Rows, false);
};

// What is wrong with a picture of the board drawn with cells of `cellSize`
// logical pixels at `scale`; empty when every cell is one solid block of wall
// black, food green or the background, every pixel on a cell edge has the
// colour of a cell it touches, the ring of walls is whole, exactly one food
// lies inside it, and the worm has turned down out of row 2.
QString boardProblem(const QImage &shot, int cellSize, Scale scale)
{
    const QSize expected = scale.device(QSize(Columns * cellSize, Rows * cellSize));
    if (shot.size() != expected)
        return QStringLiteral("a picture of %1 x %2, not %3 x %4")
                .arg(shot.width())
                .arg(shot.height())
                .arg(expected.width())
                .arg(expected.height());

    // Row 0 holds nothing but the background once the score is hidden.
    const QRgb background = shot.pixel(0, 0) | 0xFF000000u;
    if (background == Black || background == Green)
        return QStringLiteral("the background reads %1").arg(colourName(background));
    const auto isBoardColour = [background](QRgb colour) {
        return colour == Black || colour == Green || colour == background;
    };

    // Pixels wholly inside one cell give the cell its colour, and must all agree.
    CellColours cells;
    for (int y = 0; y < shot.height(); ++y) {
        const CellSpan rows = cellsOfPixel(y, cellSize, scale);
        for (int x = 0; x < shot.width(); ++x) {
            const CellSpan columns = cellsOfPixel(x, cellSize, scale);
            const QRgb colour = shot.pixel(x, y) | 0xFF000000u;
            if (!isBoardColour(colour))
                return QStringLiteral("device pixel %1,%2 is %3: neither wall, food nor "
                                      "background")
                        .arg(x)
                        .arg(y)
                        .arg(colourName(colour));
            if (rows.first != rows.last || columns.first != columns.last)
                continue;
            if (!cells.isKnown(columns.first, rows.first)) {
                cells.set(columns.first, rows.first, colour);
                cells.markKnown(columns.first, rows.first);
            } else if (cells.at(columns.first, rows.first) != colour) {
                return QStringLiteral("cell %1,%2 is not one block: %3 and %4 at device pixel "
                                      "%5,%6")
                        .arg(columns.first)
                        .arg(rows.first)
                        .arg(colourName(cells.at(columns.first, rows.first)),
                             colourName(colour))
                        .arg(x)
                        .arg(y);
            }
        }
    }

    // A pixel across a cell edge takes the colour of one of its cells, never a mix.
    for (int y = 0; y < shot.height(); ++y) {
        const CellSpan rows = cellsOfPixel(y, cellSize, scale);
        for (int x = 0; x < shot.width(); ++x) {
            const CellSpan columns = cellsOfPixel(x, cellSize, scale);
            if (rows.first == rows.last && columns.first == columns.last)
                continue;
            const QRgb colour = shot.pixel(x, y) | 0xFF000000u;
            bool ofATouchedCell = false;
            for (int row = rows.first; row <= rows.last; ++row) {
                for (int column = columns.first; column <= columns.last; ++column) {
                    if (!cells.isKnown(column, row))
                        return QStringLiteral("cell %1,%2 has no pixel of its own")
                                .arg(column)
                                .arg(row);
                    ofATouchedCell = ofATouchedCell || cells.at(column, row) == colour;
                }
            }
            if (!ofATouchedCell)
                return QStringLiteral("device pixel %1,%2 on a cell edge is %3, the colour of "
                                      "none of its cells")
                        .arg(x)
                        .arg(y)
                        .arg(colourName(colour));
        }
    }

    int foods = 0;
    bool turned = false;
    for (int row = 0; row < Rows; ++row) {
        for (int column = 0; column < Columns; ++column) {
            const QRgb colour = cells.at(column, row);
            const QString cell = QStringLiteral("%1,%2").arg(column).arg(row);
            if (isWallCell(column, row) && colour != Black)
                return QStringLiteral("wall cell %1 is %2").arg(cell, colourName(colour));
            if (row == 0 && colour != background)
                return QStringLiteral("cell %1 above the walls is %2")
                        .arg(cell, colourName(colour));
            if (colour == Green)
                ++foods;
            if (row > 2 && !isWallCell(column, row) && colour == Black)
                turned = true;
        }
    }
    if (foods != 1)
        return QStringLiteral("%1 food cells").arg(foods);
    if (!turned)
        return QStringLiteral("no worm below row 2 yet");
    return {};
}

} // namespace

Q_DECLARE_METATYPE(Scale)

// The program on a screen that Qt scales by a fraction: windows grow as a whole,
// and the board is copied to the screen without smoothing, so every cell stays a
// block of one colour however many device pixels it covers. A scale factor that
// is no positive number is ignored, with one line that says so.
class tst_RealWindowScaling : public QObject {
    Q_OBJECT

private slots:
    void boardCellsStaySolid_data();
    void boardCellsStaySolid();
};

void tst_RealWindowScaling::boardCellsStaySolid_data()
{
    // Variables set for the program, the scale it plays at, and the variable it
    // says it ignored; the text's dots per inch are held to the same range.
    QTest::addColumn<QString>("environment");
    QTest::addColumn<Scale>("scale");
    QTest::addColumn<int>("cellSize");
    QTest::addColumn<bool>("managed");
    QTest::addColumn<QString>("ignored");
    const QString global = QStringLiteral("QT_SCALE_FACTOR");
    const QString screens = QStringLiteral("QT_SCREEN_SCALE_FACTORS");
    QTest::newRow("2") << "QT_SCALE_FACTOR=2" << Scale{2, 1} << 10 << false << QString();
    // A cell of 7 covers 10 or 11 device pixels, and every other cell edge runs
    // through the middle of a device pixel.
    QTest::newRow("1.5") << "QT_SCALE_FACTOR=1.5" << Scale{3, 2} << 7 << false << QString();
    QTest::newRow("screens 2") << "QT_SCREEN_SCALE_FACTORS=2" << Scale{2, 1} << 10 << false
                               << QString();
    // Taken as they stand, -1 crashed the first paint under a window manager,
    // 0 and 1e-300 never showed a window, and 1000, inf, or 8 times 8 made
    // windows of 32767 pixels a side that never closed.
    QTest::newRow("-1, under Openbox") << "QT_SCALE_FACTOR=-1" << Scale{1, 1} << 5 << true << global;
    QTest::newRow("0") << "QT_SCALE_FACTOR=0" << Scale{1, 1} << 5 << false << global;
    QTest::newRow("1e-300") << "QT_SCALE_FACTOR=1e-300" << Scale{1, 1} << 5 << false << global;
    QTest::newRow("1000") << "QT_SCALE_FACTOR=1000" << Scale{1, 1} << 5 << false << global;
    QTest::newRow("screens inf") << "QT_SCREEN_SCALE_FACTORS=inf" << Scale{1, 1} << 5 << false
                                 << screens;
    QTest::newRow("2, screens 8") << "QT_SCALE_FACTOR=2 QT_SCREEN_SCALE_FACTORS=8" << Scale{2, 1}
                                  << 10 << false << screens;
    // Text at 100,000 dots per inch crashed the first paint of the start window.
    QTest::newRow("font dpi 100000") << "QT_FONT_DPI=100000" << Scale{1, 1} << 5 << false
                                     << "QT_FONT_DPI";
}

void tst_RealWindowScaling::boardCellsStaySolid()
{
    QFETCH(QString, environment);
    QFETCH(Scale, scale);
    QFETCH(int, cellSize);
    QFETCH(bool, managed);
    QFETCH(QString, ignored);
    XRun run(managed ? XSession::Desktop::Openbox : XSession::Desktop::Bare);
    const XSession &x = run.session;
    for (const QString &variable : environment.split(u' '))
        run.korvu.setEnvironment(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    QVERIFY2(run.openStartWindow(), qPrintable(run.errorString()));
    QCOMPARE(x.clientSize(*run.start), std::optional<QSize>(scale.device(StartClientSize)));

    // The size typed over the first start's 5; Tab passes the disabled points
    // box to "Evt", whose space hides the score, so row 0 stays background.
    QStringList keys{QStringLiteral("ctrl+a")};
    for (const QChar digit : QString::number(cellSize))
        keys << QString(digit);
    keys << QStringLiteral("Tab") << QStringLiteral("space");
    QVERIFY2(run.startGame(keys), qPrintable(run.errorString()));
    const XSession::WindowId game = *run.game;
    QCOMPARE(x.clientSize(game),
             std::optional<QSize>(scale.device(QSize(Columns * cellSize, Rows * cellSize))));

    // Turned down, the worm redraws cells one by one, each a small repaint of
    // its own; the picture is read once the turn shows.
    QVERIFY2(x.pressKeysIn(game, {QStringLiteral("Down")}), qPrintable(x.errorString()));
    QString problem;
    const auto solidBoard = [&problem, cellSize, scale](const QImage &shot) {
        problem = boardProblem(shot, cellSize, scale);
        return problem.isEmpty();
    };
    const QImage board = x.waitForScreenshot(game, QDeadlineTimer(10s), solidBoard);
    QVERIFY2(!board.isNull(), qPrintable(x.errorString()));
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    QVERIFY2(run.closeAndEndCleanly(game), qPrintable(run.errorString()));
    // An ignored variable is named once on standard error, a sound one never.
    const QString output = run.korvu.output();
    QCOMPARE(output.count(QStringLiteral(" is ignored")), ignored.isEmpty() ? 0 : 1);
    QVERIFY2(ignored.isEmpty() || output.startsWith(QStringLiteral("korvu: %1=").arg(ignored)),
             qPrintable(output));
}

QTEST_MAIN(tst_RealWindowScaling)
#include "tst_RealWindowScaling.moc"
