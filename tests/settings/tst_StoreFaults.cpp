#include "highscores/NamePrompt.h"
#include "highscores/ScoreCheck.h"
#include "settings/IniStore.h"
#include "settings/StoreLayout.h"
#include "settings/WriteFailureNotice.h"
#include "settings/frmStart.h"

#include "tests/support/ScriptedMessageBoxes.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMap>
#include <QLockFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <cstdio>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// Every fault here runs against real files, and where it needs them real
// processes: a child is this same program started with one of the modes below.
namespace {

const QStringList OptionKeys{"Speed", "PPFood", "Size", "HardCore", "Played"};

QString confPath(const QString &folder)
{
    return folder + QStringLiteral("/Korvu/Korvu.conf");
}

void say(const QString &line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

// --writer: saves all option keys as "<writer>-<round>" in one commit a round,
// counting the commits in "Commits" as it goes, and says so once it has begun.
int runWriter(const QString &folder, const QString &writer, int rounds, bool announce = false)
{
    IniStore store(folder);
    for (int round = 0; round < rounds; ++round) {
        store.commit(StoreKeys::App, [&](SettingsEdit &edit) {
            for (const QString &key : OptionKeys)
                edit.setValue(StoreKeys::Options, key, writer + u'-' + QString::number(round));
            // Counted from what the commit sees: a stale view loses a count.
            const int commits = edit.value(StoreKeys::Options, QStringLiteral("Commits"), 0).toInt();
            edit.setValue(StoreKeys::Options, QStringLiteral("Commits"), QString::number(commits + 1));
        });
        if (round == 0 && announce)
            say(QStringLiteral("saving"));
        // A game saves at its events, never back to back: between two saves
        // another copy gets its turn at the lock, and this one reads, as a
        // blocked move does, while the other may be putting a new file in place.
        QThread::msleep(1);
        store.GetSetting(StoreKeys::App, StoreKeys::Options, StoreKeys::HardCore, 0);
    }
    return store.hasFailedToWrite() ? 1 : 0;
}

// --start: opens and closes the start window; prints the size and speed it
// showed and how often it said it could not save. "-" is the user's own folder.
// With `wait`, it says "started" once loaded and closes at a line on its input.
int runStart(const QString &folder, bool wait)
{
    IniStore store = folder == QLatin1String("-") ? IniStore() : IniStore(folder);
    ScriptedMessageBoxes messages;
    reportWriteFailures(store, messages);
    messages.answers = {MessageAnswer::Ok};
    frmStart window(store, messages, StartActions{});
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    const QString shown = window.TSize->text() + u' ' + QString::number(window.CSpeed->currentIndex());
    if (wait) {
        say(QStringLiteral("started"));
        std::string line;
        std::getline(std::cin, line);
    }
    window.show();
    window.close();
    say(shown + u' ' + QString::number(messages.asked.size()));
    return 0;
}

// --score: a game over with this score whose player types the name the parent
// sends once every copy has reached its dialog.
class WaitingNamePrompt final : public NamePrompt {
public:
    QString askName(QWidget *, qint16, int) override
    {
        say(QStringLiteral("asking"));
        std::string name;
        std::getline(std::cin, name);
        return QString::fromStdString(name);
    }
};

int runScore(const QString &folder, qint16 score)
{
    IniStore store(folder);
    WaitingNamePrompt names;
    CheckScore(score, store, names, nullptr);
    return store.hasFailedToWrite() ? 1 : 0;
}

// A child, under strace when `fault` names one for the syscalls on `file`
// ("read:error=EIO:when=1"), which it logs to `trace`.
std::unique_ptr<QProcess> startChild(const QStringList &arguments,
                                     const QProcessEnvironment &environment =
                                             QProcessEnvironment::systemEnvironment(),
                                     const QString &fault = QString(),
                                     const QString &file = QString(),
                                     const QString &trace = QStringLiteral("/dev/null"))
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->setProgram(QCoreApplication::applicationFilePath());
    process->setArguments(arguments);
    if (!fault.isEmpty()) {
        // The leak checker cannot run under a tracer.
        QProcessEnvironment traced = environment;
        traced.insert(QStringLiteral("ASAN_OPTIONS"),
                      traced.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":detect_leaks=0"));
        process->setProcessEnvironment(traced);
        process->setArguments(QStringList{"-o", trace, "-P", file,
                                          QStringLiteral("--inject=") + fault,
                                          process->program()}
                              + arguments);
        process->setProgram(QStringLiteral("strace"));
    }
    process->start();
    return process;
}

// Faults are injected with strace, where it is installed and may trace.
bool canInjectFaults()
{
    return QProcess::execute(QStringLiteral("strace"),
                             {QStringLiteral("-o"), QStringLiteral("/dev/null"),
                              QStringLiteral("true")})
            == 0;
}

bool isLockHeld(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    const bool held = fd >= 0 && ::flock(fd, LOCK_SH | LOCK_NB) != 0;
    if (fd >= 0)
        ::close(fd);
    return held;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Every key of the file, as QSettings reads it.
QMap<QString, QString> storedValues(const QString &path)
{
    QSettings file(path, QSettings::IniFormat);
    QMap<QString, QString> values;
    for (const QString &key : file.allKeys())
        values.insert(key, file.value(key).toString());
    return values;
}

QByteArray randomBytes(qint64 size)
{
    QRandomGenerator random(7);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

QString fileType(const QString &path)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("none");
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("link");
    if (S_ISFIFO(info.st_mode))
        return QStringLiteral("fifo");
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("folder");
    if (S_ISCHR(info.st_mode))
        return QStringLiteral("device");
    return QStringLiteral("file");
}

} // namespace

class tst_StoreFaults : public QObject {
    Q_OBJECT
private slots:
    void twoProgramsWritingAtOnceLoseNothing();
    void aWriterKilledMidSaveLeavesAWholeCommit();
    void twoCopiesAtTheirNameDialogsEndAsGamesPlayedOneAfterTheOther_data();
    void twoCopiesAtTheirNameDialogsEndAsGamesPlayedOneAfterTheOther();
    void aStartOnAnUnusableStoreNeverHangsAndSaysSoOnce_data();
    void aStartOnAnUnusableStoreNeverHangsAndSaysSoOnce();
    void aStartKeepsEveryScoreRowItCanRead_data();
    void aStartKeepsEveryScoreRowItCanRead();
    void aLinkToDevNullIsNeverReplaced();
    void aFailedReadAnywhereCostsNoKeyAndNoRow_data();
    void aFailedReadAnywhereCostsNoKeyAndNoRow();
};

void tst_StoreFaults::twoProgramsWritingAtOnceLoseNothing()
{
    QTemporaryDir dir;
    const int rounds = 200;
    auto a = startChild({QStringLiteral("--writer"), dir.path(), QStringLiteral("a"),
                         QString::number(rounds)});
    auto b = startChild({QStringLiteral("--writer"), dir.path(), QStringLiteral("b"),
                         QString::number(rounds)});
    QVERIFY(a->waitForFinished(120000));
    QVERIFY(b->waitForFinished(120000));
    QCOMPARE(a->exitCode(), 0);
    QCOMPARE(b->exitCode(), 0);

    QSettings file(confPath(dir.path()), QSettings::IniFormat);
    QCOMPARE(file.status(), QSettings::NoError);
    file.beginGroup(QStringLiteral("Options"));
    const QString last = file.value(OptionKeys.first()).toString();
    // The last commit of either program, whole: nothing lost, nothing mixed.
    QVERIFY2(last == QStringLiteral("a-199") || last == QStringLiteral("b-199"), qPrintable(last));
    for (const QString &key : OptionKeys)
        QCOMPARE(file.value(key).toString(), last);
    QCOMPARE(file.value(QStringLiteral("Commits")).toInt(), 2 * rounds);
}

void tst_StoreFaults::aWriterKilledMidSaveLeavesAWholeCommit()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Korvu")));
    // A large file makes every save slow, so kills land inside them.
    writeFile(confPath(dir.path()),
              "[Notes]\nText=" + QByteArray(IniStore::MaxFileSize * 9 / 10, 'n') + '\n');
    QCOMPARE(runWriter(dir.path(), QStringLiteral("seed"), 1), 0);
    QRandomGenerator random(20261208);
    QString previous;
    int interrupted = 0;
    for (int attempt = 0; attempt < 60; ++attempt) {
        // A name of its own per writer, so a completed commit shows as a new value.
        const QString name = QStringLiteral("w%1").arg(attempt);
        auto writer = startChild({QStringLiteral("--writer"), dir.path(), name,
                                  QStringLiteral("100000")});
        QVERIFY(writer->waitForReadyRead(60000));
        QTest::qWait(int(random.bounded(0, 60)));
        ::kill(pid_t(writer->processId()), SIGKILL);
        QVERIFY(writer->waitForFinished());

        // The locks the killed writer held are its own and QSettings'; neither
        // is removed by hand.
        QSettings file(confPath(dir.path()), QSettings::IniFormat);
        QCOMPARE(file.status(), QSettings::NoError);
        file.beginGroup(QStringLiteral("Options"));
        const QString size = file.value(QStringLiteral("Size")).toString();
        static const QRegularExpression written(QStringLiteral("^(seed|w\\d+)-\\d+$"));
        QVERIFY2(written.match(size).hasMatch(), qPrintable(size));
        for (const QString &key : OptionKeys)
            QVERIFY2(file.value(key).toString() == size,
                     qPrintable(QStringLiteral("attempt %1: %2=%3 beside Size=%4")
                                        .arg(attempt).arg(key, file.value(key).toString(), size)));
        interrupted += size != previous;
        previous = size;
    }
    // Most kills must have landed while the writer was saving, or this proves nothing.
    QVERIFY2(interrupted > 30, qPrintable(QString::number(interrupted)));
    // A save removes no file beside its own, whatever the name.
    const QStringList others{"Korvu.conf.save-x1Y2z3", "Korvu.conf.save-backup", "Korvu.conf.bak",
                             "korvu.conf.save-abcdef", "KORVU.CONF.SAVE-2024ab"};
    for (const QString &name : others)
        writeFile(dir.filePath(QStringLiteral("Korvu/")) + name, "?");
    QCOMPARE(runWriter(dir.path(), QStringLiteral("last"), 1), 0);
    for (const QString &name : others)
        QVERIFY2(QFileInfo::exists(dir.filePath(QStringLiteral("Korvu/")) + name), qPrintable(name));
}

void tst_StoreFaults::twoCopiesAtTheirNameDialogsEndAsGamesPlayedOneAfterTheOther_data()
{
    QTest::addColumn<bool>("stall");
    QTest::newRow("one after the other") << false;
    // The first copy stalls a second with its lock taken (paging, a stopped
    // process): the second must wait for it, not break in.
    QTest::newRow("the first stalls holding its lock") << true;
}

void tst_StoreFaults::twoCopiesAtTheirNameDialogsEndAsGamesPlayedOneAfterTheOther()
{
    QFETCH(bool, stall);
    if (stall && !canInjectFaults())
        QSKIP("strace is not installed or may not trace here");
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Korvu")));
    writeFile(confPath(dir.path()), "[Highscore]\nScore1=0\nScore2=0\nScore3=0\nScore4=0\n");
    const QString lock = confPath(dir.path()) + QStringLiteral(".commit-lock");
    writeFile(lock, QByteArray());
    // Both games end while the table is empty, so both dialogs open for row 1.
    auto first = startChild({QStringLiteral("--score"), dir.path(), QStringLiteral("9")},
                            QProcessEnvironment::systemEnvironment(),
                            stall ? QStringLiteral("flock:delay_exit=1000000:when=1") : QString(),
                            lock);
    auto second = startChild({QStringLiteral("--score"), dir.path(), QStringLiteral("5")});
    for (QProcess *copy : {first.get(), second.get()}) {
        QVERIFY(copy->waitForReadyRead(30000));
        QCOMPARE(copy->readLine().trimmed(), QByteArray("asking"));
    }
    first->write("Ada\n");
    if (stall)
        QTRY_VERIFY_WITH_TIMEOUT(isLockHeld(lock), 30000);
    else
        QVERIFY(first->waitForFinished(30000));
    second->write("Bora\n");
    for (QProcess *copy : {first.get(), second.get()})
        QVERIFY(copy->state() == QProcess::NotRunning || copy->waitForFinished(30000));
    QCOMPARE(first->exitCode() + second->exitCode(), 0);

    QSettings file(confPath(dir.path()), QSettings::IniFormat);
    file.beginGroup(QStringLiteral("Highscore"));
    QCOMPARE(QStringList({file.value("Score1").toString(), file.value("Name1").toString(),
                          file.value("Score2").toString(), file.value("Name2").toString()}),
             QStringList({"9", "Ada", "5", "Bora"}));
}

void tst_StoreFaults::aStartOnAnUnusableStoreNeverHangsAndSaysSoOnce_data()
{
    // Unreadable text is no reason to speak; a store that cannot be written
    // is, once. "stays" is what the settings path still is afterwards.
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("notices");
    QTest::addColumn<QString>("stays");
    const bool root = ::geteuid() == 0;
    QTest::newRow("random bytes") << "random" << 0 << "file";
    // Neither parsed nor written: QSettings needs some twenty times a file's size.
    QTest::newRow("a file larger than the store takes") << "huge" << 1 << "file";
    // What a crash leaves: QSettings no longer sees the section header.
    QTest::newRow("NUL bytes before the table's header") << "nul" << 1 << "file";
    // Made read-only to keep a table: not replaced, even by root.
    QTest::newRow("a read-only file") << "read-only" << 1 << "file";
    // A disk that fails every read: nothing read is taken for nothing stored.
    QTest::newRow("every read fails") << "read error" << 1 << "file";
    QTest::newRow("a folder in its place") << "folder" << 1 << "folder";
    // Root reads and writes it anyway; anyone else may not read what a save would replace.
    QTest::newRow("no permission to read") << "unreadable" << (root ? 0 : 1) << "file";
    QTest::newRow("a FIFO in its place") << "fifo" << 1 << "fifo";
    QTest::newRow("a link to a FIFO") << "link to fifo" << 1 << "link";
    QTest::newRow("a link to a regular file") << "link to file" << 0 << "link";
    QTest::newRow("a folder where the lock goes") << "lock folder" << 1 << "none";
    // A save killed after creating its lock, before writing its process into it.
    QTest::newRow("an empty lock from a save killed as it took it") << "empty lock" << 0 << "none";
    // QSettings would wait until these are 30 s old; no process holds them.
    QTest::newRow("a lock of one byte") << "junk lock" << 0 << "none";
    QTest::newRow("a link where the lock goes") << "lock link" << 0 << "none";
    // Another program's QSettings holding its lock past the 2 s a save waits.
    QTest::newRow("a lock held by a live process") << "live lock" << 1 << "none";
    QTest::newRow("a link where Korvu's own lock goes") << "commit lock link" << 1 << "none";
    // Made immutable where root is testing, since root writes any folder.
    QTest::newRow("a stale lock in a read-only folder") << "stale lock" << 1 << "none";
    QTest::newRow("no home") << "no home" << 1 << "none";
}

void tst_StoreFaults::aStartOnAnUnusableStoreNeverHangsAndSaysSoOnce()
{
    QFETCH(QString, damage);
    QFETCH(int, notices);
    QFETCH(QString, stays);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Korvu"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = confPath(dir.path());
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere"));
    QStringList arguments{QStringLiteral("--start"), dir.path()};
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const bool rootHadNoConfig = !QFileInfo::exists(QStringLiteral("/.config/Korvu"));
    std::unique_ptr<QProcess> holder;

    if (damage == QLatin1String("random")) {
        writeFile(path, randomBytes(4096));
    } else if (damage == QLatin1String("huge")) {
        writeFile(path, "[Options]\nPlayed=True\nSize=8\n[Notes]\nText="
                                + QByteArray(IniStore::MaxFileSize, 'n') + '\n');
    } else if (damage == QLatin1String("nul")) {
        writeFile(path, QByteArray(64, '\0') + "[Highscore]\nScore1=40\nName1=Ada\n");
    } else if (damage == QLatin1String("read-only") || damage == QLatin1String("read error")) {
        writeFile(path, "[Highscore]\nScore1=40\n");
        if (damage == QLatin1String("read-only"))
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        else if (!canInjectFaults())
            QSKIP("strace is not installed or may not trace here");
    } else if (damage == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(path));
    } else if (damage == QLatin1String("unreadable")) {
        writeFile(path, "[Highscore]\nScore1=40\n");
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    } else if (damage == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (damage == QLatin1String("link to fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(elsewhere).constData(), 0600), 0);
        QVERIFY(QFile::link(elsewhere, path));
    } else if (damage == QLatin1String("link to file")) {
        writeFile(elsewhere, "[Options]\nPlayed=True\n");
        QVERIFY(QFile::link(elsewhere, path));
    } else if (damage == QLatin1String("lock folder")) {
        QVERIFY(QDir().mkpath(path + QStringLiteral(".lock")));
    } else if (damage == QLatin1String("empty lock")) {
        writeFile(path + QStringLiteral(".lock"), QByteArray());
    } else if (damage == QLatin1String("junk lock")) {
        writeFile(path + QStringLiteral(".lock"), "x");
    } else if (damage == QLatin1String("lock link") || damage == QLatin1String("commit lock link")) {
        writeFile(elsewhere, "kept");
        QVERIFY(QFile::link(elsewhere, path + (damage == QLatin1String("lock link")
                                                       ? QStringLiteral(".lock")
                                                       : QStringLiteral(".commit-lock"))));
        if (damage == QLatin1String("commit lock link"))
            QVERIFY(QFile::remove(elsewhere));
    } else if (damage == QLatin1String("live lock")) {
        holder = startChild({QStringLiteral("--lock"), path + QStringLiteral(".lock")});
        QVERIFY(holder->waitForReadyRead(30000));
    } else if (damage == QLatin1String("stale lock")) {
        // What a save killed while it held the lock leaves behind.
        holder = startChild({QStringLiteral("--lock"), path + QStringLiteral(".lock")});
        QVERIFY(holder->waitForReadyRead(30000));
        ::kill(pid_t(holder->processId()), SIGKILL);
        QVERIFY(holder->waitForFinished());
        QVERIFY(QFileInfo::exists(path + QStringLiteral(".lock")));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        if (::geteuid() == 0 && QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder}) != 0)
            QSKIP("root writes any folder, and chattr cannot make this one immutable");
    } else if (damage == QLatin1String("no home")) {
        environment.remove(QStringLiteral("HOME"));
        environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
        arguments.last() = QStringLiteral("-");
    }

    const QByteArray before = fileType(path) == QLatin1String("file") ? fileBytes(path) : QByteArray();
    auto start = startChild(arguments, environment,
                            damage == QLatin1String("read error") ? QStringLiteral("read:error=EIO")
                                                                  : QString(),
                            path);
    // A hang is a failure here, not a stuck test run: QSettings alone waits
    // 30 s for a lock it takes for stale, each save at most 2 s.
    const bool finished = start->waitForFinished(15000);
    if (!finished)
        start->kill();
    if (holder)
        holder->kill();
    QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder});
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                  | QFileDevice::ExeOwner);
    QVERIFY2(finished, "the start window never came up");
    QCOMPARE(start->readAllStandardOutput().trimmed(),
             QStringLiteral("5 0 %1").arg(notices).toLatin1());
    if (stays != QLatin1String("none"))
        QCOMPARE(fileType(path), stays);
    // A start that says it could not save leaves the file as it found it.
    if (notices > 0 && !before.isEmpty())
        QCOMPARE(fileBytes(path), before);
    // What a link points at is the settings' own file, or nobody's business.
    if (damage == QLatin1String("link to file"))
        QCOMPARE(QSettings(elsewhere, QSettings::IniFormat).value("Options/Size").toString(),
                 QStringLiteral("5"));
    if (damage == QLatin1String("lock link"))
        QCOMPARE(fileBytes(elsewhere), QByteArray("kept"));
    if (damage == QLatin1String("commit lock link"))
        QCOMPARE(fileType(elsewhere), QStringLiteral("none"));
    if (rootHadNoConfig)
        QVERIFY(!QFileInfo::exists(QStringLiteral("/.config/Korvu")));
}

void tst_StoreFaults::aStartKeepsEveryScoreRowItCanRead_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("row1"); // after the start: "<score> <name>"
    const QByteArray table = "[Highscore]\nScore1=9\nName1=Ada\n";
    QTest::newRow("junk around readable lines")
            << QByteArray("\x01\x02 junk line\n[Options]\nPlayed=True\nSize=9\n\xff\xfe=\n"
                          "Speed=3\n[Highscore\nScore1=40\n[Highscore]\nName1=Ada\n")
            << "9" << "40 Ada";
    // What a score saved into a fresh file leaves, when the file went while a game ran.
    QTest::newRow("no options") << table << "5" << "9 Ada";
    QTest::newRow("options in another case")
            << "[options]\nplayed=True\nsize=8\n" + table << "5" << "9 Ada";
    QTest::newRow("Played unreadable")
            << "[Options]\nPlayed=@Invalid()\nSize=8\n" + table << "8" << "9 Ada";
    QTest::newRow("Played says no")
            << "[Options]\nPlayed=False\nSize=8\n" + table << "5" << "0 ";
}

void tst_StoreFaults::aStartKeepsEveryScoreRowItCanRead()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, size);
    QFETCH(QString, row1);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Korvu")));
    writeFile(confPath(dir.path()), file);
    auto start = startChild({QStringLiteral("--start"), dir.path()});
    QVERIFY(start->waitForFinished(30000));
    QCOMPARE(start->readAllStandardOutput().split(' ').first(), size.toLatin1());

    QSettings saved(confPath(dir.path()), QSettings::IniFormat);
    QCOMPARE(saved.value(QStringLiteral("Highscore/Score1")).toString() + u' '
                     + saved.value(QStringLiteral("Highscore/Name1")).toString(),
             row1);
    QCOMPARE(saved.value(QStringLiteral("Options/Played")).toString(), QStringLiteral("True"));
    QCOMPARE(saved.value(QStringLiteral("Options/Size")).toString(), size);
}

void tst_StoreFaults::aLinkToDevNullIsNeverReplaced()
{
    // Run as root, a save must not put a regular file where /dev/null was. The
    // /dev here is a private one, in a mount namespace of the test's own.
    if (::geteuid() != 0)
        QSKIP("only root can replace /dev/null, and only root can make a private /dev");
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Korvu")));
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), confPath(dir.path())));
    QProcess shell;
    shell.start(QStringLiteral("unshare"),
                {QStringLiteral("--mount"), QStringLiteral("--propagation"), QStringLiteral("private"),
                 QStringLiteral("sh"), QStringLiteral("-c"),
                 QStringLiteral("mount -t tmpfs tmpfs /dev && mknod -m 666 /dev/null c 1 3 || exit 77\n"
                                "\"$0\" --start \"$1\" && test -c /dev/null && echo device"),
                 QCoreApplication::applicationFilePath(), dir.path()});
    QVERIFY(shell.waitForFinished(30000));
    if (shell.exitCode() == 77)
        QSKIP("this machine allows no private mount namespace with its own /dev");
    QCOMPARE(shell.readAllStandardOutput().trimmed(), QByteArray("5 0 1\ndevice"));
    QCOMPARE(fileType(confPath(dir.path())), QStringLiteral("link"));
}

void tst_StoreFaults::aFailedReadAnywhereCostsNoKeyAndNoRow_data()
{
    QTest::addColumn<QString>("run");
    QTest::addColumn<QString>("fault"); // what the call on the file numbered %1 returns
    const std::pair<const char *, const char *> runs[] = {
            {"start", "a start over a full table"},
            {"score", "a score saved after another copy's save"},
            {"exit", "the exit save after another copy's save"}};
    // Two in a row fail Korvu's read at the start and again at the save; a
    // failed stat() falls on a read that would show a default.
    const std::pair<const char *, const char *> faults[] = {
            {"read:error=EIO:when=%1", "a read error"},
            {"read:retval=0:when=%1", "an early end of file"},
            {"read:retval=0:when=%1..%2", "two early ends in a row"},
            {"newfstatat:error=EIO:when=%1", "a failed stat"}};
    for (const auto &[run, what] : runs) {
        for (const auto &[fault, how] : faults)
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(what, how))) << run << fault;
    }
}

void tst_StoreFaults::aFailedReadAnywhereCostsNoKeyAndNoRow()
{
    // QSettings takes a read that fails for a file that ends there. Each call
    // of the run fails in turn, from the first to the last one it makes: the
    // run either saves everything it should or says so and leaves the file be.
    QFETCH(QString, run);
    QFETCH(QString, fault);
    if (!canInjectFaults())
        QSKIP("strace is not installed or may not trace here");
    const QByteArray table = "[Highscore]\nName1=Ada\nName2=Bora\nName3=Cem\nName4=Deniz\n"
                             "Score1=90\nScore2=70\nScore3=40\nScore4=10\n[Options]\nHardCore=2\n"
                             "PPFood=4\nPlayed=True\nSize=8\nSpeed=3\n";
    int when = 1;
    for (bool injected = true; injected; ++when) {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Korvu")));
        const QString path = confPath(dir.path());
        writeFile(path, table);
        QStringList arguments{QStringLiteral("--start"), dir.path()};
        if (run == QLatin1String("score"))
            arguments = QStringList{QStringLiteral("--score"), dir.path(), QStringLiteral("50")};
        else if (run == QLatin1String("exit"))
            arguments.append(QStringLiteral("wait"));
        const QString trace = dir.filePath(QStringLiteral("trace"));
        const QString calls = QString(fault)
                                      .replace(QStringLiteral("%1"), QString::number(when))
                                      .replace(QStringLiteral("%2"), QString::number(when + 1));
        auto child = startChild(arguments, QProcessEnvironment::systemEnvironment(), calls, path,
                                trace);
        QMap<QString, QString> expected = storedValues(path);
        if (run != QLatin1String("start")) {
            QVERIFY(child->waitForReadyRead(30000));
            child->readLine();
            IniStore other(dir.path());
            other.commit(StoreKeys::App, [](SettingsEdit &edit) {
                edit.setValue(StoreKeys::Highscore, StoreKeys::Name(4), QStringLiteral("Outside"));
            });
            QVERIFY(!other.hasFailedToWrite());
            expected = storedValues(path);
            if (run == QLatin1String("score")) {
                expected[QStringLiteral("Highscore/Score3")] = QStringLiteral("50");
                expected[QStringLiteral("Highscore/Name3")] = QStringLiteral("Eda");
            }
        }
        const QByteArray before = fileBytes(path);
        child->write("Eda\n");
        QVERIFY(child->waitForFinished(30000));
        const bool refused = run == QLatin1String("score")
                ? child->exitCode() == 1
                : child->readAllStandardOutput().trimmed().endsWith(" 1");
        const QString at = QStringLiteral("call %1").arg(when);
        if (refused)
            QVERIFY2(fileBytes(path) == before, qPrintable(at));
        else
            QVERIFY2(storedValues(path) == expected, qPrintable(at + u'\n' + fileBytes(path)));
        injected = fileBytes(trace).contains("INJECTED");
    }
    // A start reads the file at least twice: Korvu once, QSettings once.
    QVERIFY2(when > 4, qPrintable(QString::number(when)));
    qInfo("calls 1 to %d failed in turn, one run each", when - 2);
}

int main(int argc, char *argv[])
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "--writer" && argc == 5) {
        QCoreApplication app(argc, argv);
        return runWriter(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                         QByteArray(argv[4]).toInt(), true);
    }
    if (mode == "--score" && argc == 4) {
        QCoreApplication app(argc, argv);
        return runScore(QString::fromLocal8Bit(argv[2]), qint16(QByteArray(argv[3]).toInt()));
    }
    if (mode == "--lock" && argc == 3) {
        QCoreApplication app(argc, argv);
        QLockFile lock(QString::fromLocal8Bit(argv[2]));
        if (!lock.lock())
            return 1;
        say(QStringLiteral("locked"));
        ::pause();
        return 0;
    }
    QApplication app(argc, argv);
    if (mode == "--start" && (argc == 3 || argc == 4))
        return runStart(QString::fromLocal8Bit(argv[2]), argc == 4);
    tst_StoreFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_StoreFaults.moc"
