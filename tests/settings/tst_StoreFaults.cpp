#include "settings/IniStore.h"
#include "settings/WriteFailureNotice.h"
#include "settings/frmStart.h"

#include "tests/support/ScriptedMessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

const QStringList OptionKeys{"Speed", "PPFood", "Size", "HardCore", "Played"};

QString confPath(const QString &folder)
{
    return folder + QStringLiteral("/Korvu/Korvu.conf");
}

// The child side: writes every option key `rounds` times, each write a value
// "<writer>-<round>", through the same store the program uses.
int runWriter(const QString &folder, const QString &writer, int rounds)
{
    IniStore store(folder);
    for (int round = 0; round < rounds; ++round) {
        for (const QString &key : OptionKeys)
            store.SaveSetting(StoreKeys::App, StoreKeys::Options, key,
                              writer + QLatin1Char('-') + QString::number(round));
        // Tells a waiting parent that saving is under way.
        if (round == 0) {
            std::fputs("saving\n", stdout);
            std::fflush(stdout);
        }
    }
    return store.hasFailedToWrite() ? 1 : 0;
}

QProcess *startWriter(const QString &folder, const QString &writer, int rounds)
{
    auto *process = new QProcess;
    process->setProgram(QCoreApplication::applicationFilePath());
    process->setArguments({QStringLiteral("--writer"), folder, writer, QString::number(rounds)});
    process->start();
    return process;
}

struct StartResult {
    QString size;
    int speed = -1;
    int notices = 0;
};

StartResult startAndClose(const QString &folder)
{
    IniStore store(folder);
    ScriptedMessageBoxes messages;
    reportWriteFailures(store, messages);
    messages.answers = {MessageAnswer::Ok};
    StartResult result;
    {
        frmStart window(store, messages, StartActions{});
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        result.size = window.TSize->text();
        result.speed = window.CSpeed->currentIndex();
        window.show();
        window.close();
    }
    for (const MessageRequest &request : messages.asked)
        result.notices += request.text == QStringLiteral("Ayarlar kaydedilemedi!");
    return result;
}

} // namespace

class tst_StoreFaults : public QObject {
    Q_OBJECT
private slots:
    void twoProgramsWritingAtOnceLoseNothing();
    void aWriterKilledMidSaveLeavesAWholeFile();
    void aStartOnAnUnusableFileShowsDefaultsAndSaysSoOnce_data();
    void aStartOnAnUnusableFileShowsDefaultsAndSaysSoOnce();
    void aStartOnAReadableButDamagedFileKeepsWhatItCanRead();
};

void tst_StoreFaults::twoProgramsWritingAtOnceLoseNothing()
{
    QTemporaryDir dir;
    const int rounds = 200; // 5 keys each: 1,000 writes per program
    std::unique_ptr<QProcess> a(startWriter(dir.path(), QStringLiteral("a"), rounds));
    std::unique_ptr<QProcess> b(startWriter(dir.path(), QStringLiteral("b"), rounds));
    QVERIFY(a->waitForFinished(120000));
    QVERIFY(b->waitForFinished(120000));
    QCOMPARE(a->exitCode(), 0);
    QCOMPARE(b->exitCode(), 0);

    QSettings file(confPath(dir.path()), QSettings::IniFormat);
    QCOMPARE(file.status(), QSettings::NoError);
    file.beginGroup(QStringLiteral("Options"));
    for (const QString &key : OptionKeys) {
        const QString value = file.value(key).toString();
        // The last write of either program: nothing lost, nothing mixed.
        QVERIFY2(value == QStringLiteral("a-199") || value == QStringLiteral("b-199"),
                 qPrintable(key + QLatin1Char('=') + value));
    }
}

void tst_StoreFaults::aWriterKilledMidSaveLeavesAWholeFile()
{
    QTemporaryDir dir;
    QVERIFY(runWriter(dir.path(), QStringLiteral("seed"), 1) == 0);
    QRandomGenerator random(20261208);
    QString previous;
    int interrupted = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        // A name of its own per writer, so a completed write shows as a new value.
        const QString name = QStringLiteral("w%1").arg(attempt);
        std::unique_ptr<QProcess> writer(startWriter(dir.path(), name, 100000));
        QVERIFY(writer->waitForStarted());
        // Kill at a random moment while it saves, however long it took to start.
        QVERIFY(writer->waitForReadyRead(60000));
        QTest::qWait(int(random.bounded(0, 120)));
        ::kill(pid_t(writer->processId()), SIGKILL);
        QVERIFY(writer->waitForFinished());
        QFile::remove(confPath(dir.path()) + QStringLiteral(".lock"));

        QSettings file(confPath(dir.path()), QSettings::IniFormat);
        QCOMPARE(file.status(), QSettings::NoError);
        file.beginGroup(QStringLiteral("Options"));
        for (const QString &key : OptionKeys) {
            const QString value = file.value(key).toString();
            static const QRegularExpression written(QStringLiteral("^(seed|w\\d+)-\\d+$"));
            const bool whole = written.match(value).hasMatch();
            QVERIFY2(whole, qPrintable(QStringLiteral("attempt %1: %2=%3")
                                               .arg(attempt).arg(key, value)));
        }
        const QString size = file.value(QStringLiteral("Size")).toString();
        interrupted += size != previous;
        previous = size;
    }
    // Most kills must have landed while the writer was saving, or this proves nothing.
    QVERIFY2(interrupted > 50, qPrintable(QString::number(interrupted)));
}

void tst_StoreFaults::aStartOnAnUnusableFileShowsDefaultsAndSaysSoOnce_data()
{
    // Junk is dropped at the next save; only a file that cannot be written at
    // all makes the game say so, once.
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("notices");
    QTest::newRow("random bytes") << "random" << 0;
    QTest::newRow("10 MB of junk") << "huge" << 0;
    QTest::newRow("a folder in its place") << "folder" << 1;
    // Root reads and writes it anyway; anyone else may be refused both.
    QTest::newRow("no permission to read") << "unreadable" << (::geteuid() == 0 ? 0 : -1);
}

void tst_StoreFaults::aStartOnAnUnusableFileShowsDefaultsAndSaysSoOnce()
{
    QFETCH(QString, damage);
    QFETCH(int, notices);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Korvu")));
    const QString path = confPath(dir.path());
    if (damage == QStringLiteral("folder")) {
        QVERIFY(QDir().mkpath(path));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QRandomGenerator random(7);
        const qint64 size = damage == QStringLiteral("huge") ? 10 * 1024 * 1024 : 4096;
        QByteArray bytes(size, Qt::Uninitialized);
        for (char &c : bytes)
            c = char(random.bounded(256));
        file.write(bytes);
        file.close();
        if (damage == QStringLiteral("unreadable"))
            QVERIFY(file.setPermissions(QFileDevice::WriteOwner));
    }
    const StartResult result = startAndClose(dir.path());
    QCOMPARE(result.size, QStringLiteral("5"));
    QCOMPARE(result.speed, 0);
    if (notices >= 0)
        QCOMPARE(result.notices, notices);
    else
        QVERIFY(result.notices <= 1);
}

void tst_StoreFaults::aStartOnAReadableButDamagedFileKeepsWhatItCanRead()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Korvu")));
    QFile file(confPath(dir.path()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\x01\x02 junk line\n[Options]\nPlayed=True\nSize=9\n\xff\xfe=\n"
               "Speed=3\n[Highscore\nScore1=40\n");
    file.close();
    const StartResult result = startAndClose(dir.path());
    QCOMPARE(result.size, QStringLiteral("9"));
    QCOMPARE(result.speed, 3);
    QCOMPARE(result.notices, 0);
    // What could be read survives the save that drops the junk.
    QSettings saved(confPath(dir.path()), QSettings::IniFormat);
    QCOMPARE(saved.value(QStringLiteral("Highscore/Score1")).toString(), QStringLiteral("40"));
    QCOMPARE(saved.value(QStringLiteral("Options/Size")).toString(), QStringLiteral("9"));
    QCOMPARE(saved.value(QStringLiteral("Options/Played")).toString(), QStringLiteral("True"));
}

int main(int argc, char *argv[])
{
    if (argc == 5 && qstrcmp(argv[1], "--writer") == 0) {
        QCoreApplication app(argc, argv);
        return runWriter(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                         QByteArray(argv[4]).toInt());
    }
    QApplication app(argc, argv);
    tst_StoreFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_StoreFaults.moc"
