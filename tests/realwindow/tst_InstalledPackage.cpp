#include "tests/realwindow/KorvuProcess.h"
#include "tests/realwindow/KorvuScreen.h"
#include "tests/realwindow/XSession.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <optional>

using namespace std::chrono_literals;

using namespace KorvuScreen;

namespace {

// Runs a packaging tool to its end; its output, or why it failed, in `output`.
bool runTool(const QString &program, const QStringList &arguments, QString &output)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, arguments);
    const bool finished = tool.waitForFinished(120000);
    output = QStringLiteral("%1 %2\n").arg(program, arguments.join(QLatin1Char(' ')))
            + QString::fromLocal8Bit(tool.readAll());
    if (!finished) {
        tool.kill();
        tool.waitForFinished();
        output += QStringLiteral("\ndid not finish: ") + tool.errorString();
        return false;
    }
    return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

} // namespace

// The program as a player gets it: the Debian package the build makes, unpacked
// as dpkg installs it, runs from where it landed and ends cleanly. Stripping and
// the install-time run path only touch the packaged copy, never the one built.
class tst_InstalledPackage : public QObject {
    Q_OBJECT

private slots:
    void unpackedPackageOpensTheStartWindowAndEndsCleanly();
};

void tst_InstalledPackage::unpackedPackageOpensTheStartWindowAndEndsCleanly()
{
    QTemporaryDir scratch;
    QVERIFY2(scratch.isValid(), qPrintable(scratch.errorString()));
    const QString packages = scratch.filePath(QStringLiteral("deb"));
    const QString root = scratch.filePath(QStringLiteral("root"));

    QString output;
    QVERIFY2(runTool(QStringLiteral(KORVU_CPACK),
                     {QStringLiteral("--config"), QStringLiteral(KORVU_CPACK_CONFIG),
                      QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), packages},
                     output),
             qPrintable(output));
    const QStringList debs = QDir(packages).entryList({QStringLiteral("*.deb")}, QDir::Files);
    QVERIFY2(debs.size() == 1, qPrintable(debs.join(QLatin1Char(' ')) + output));
    QVERIFY2(runTool(QStringLiteral(KORVU_DPKG),
                     {QStringLiteral("-x"), QDir(packages).filePath(debs.first()), root}, output),
             qPrintable(output));

    const QFileInfo program(root + QStringLiteral("/usr/games/korvu"));
    QVERIFY2(program.isFile() && program.isExecutable(), qPrintable(program.filePath()));

    XRun run;
    run.korvu.setProgram(program.filePath());
    QVERIFY2(run.openStartWindow(), qPrintable(run.errorString()));
    QCOMPARE(run.session.clientSize(*run.start), std::optional<QSize>(StartClientSize));

    // Closing the start window ends the program, which saves the first start's settings.
    QVERIFY2(run.closeAndEndCleanly(*run.start), qPrintable(run.errorString()));
    QSettings stored(run.korvu.settingsFile(), QSettings::IniFormat);
    QCOMPARE(stored.value(QStringLiteral("Options/Played")).toString(), QStringLiteral("True"));
    QCOMPARE(stored.value(QStringLiteral("Options/Size")).toString(), QStringLiteral("5"));
}

QTEST_MAIN(tst_InstalledPackage)
#include "tst_InstalledPackage.moc"
