#include "about/SysInfoLauncher.h"

#include "tests/about/ScriptedSysInfo.h"
#include "tests/support/ScriptedMessageBoxes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

Q_DECLARE_METATYPE(ScriptedValue)

namespace {

const QByteArray FirstKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QByteArray SecondKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString ToolPath = QStringLiteral("C:\\Program Files\\Common Files\\MSInfo\\msinfo32.exe");
const QString ToolFolder = QStringLiteral("D:\\Shared\\MSInfo");
const QString ToolInFolder = QStringLiteral("D:\\Shared\\MSInfo\\MSINFO32.EXE");

QByteArray zeroTerminated(const QString &text)
{
    return text.toLatin1() + '\0';
}

ScriptedValue firstLocation(const QByteArray &data, quint32 type = RegistryType::Text)
{
    return ScriptedValue{FirstKey, "PATH", type, data, -1};
}

ScriptedValue secondLocation(const QByteArray &data)
{
    return ScriptedValue{SecondKey, "MSINFO", RegistryType::Text, data, -1};
}

struct Fixture {
    ScriptedRegistry registry;
    ScriptedFiles files;
    ScriptedLauncher launcher;
    ScriptedMessageBoxes messages;
    QWidget owner;
    SysInfoLauncher sysInfo{SysInfoServices{registry, files, launcher, messages}, &owner};
};

} // namespace

class tst_SysInfoLauncher : public QObject {
    Q_OBJECT
private slots:
    void startSysInfo_data();
    void startSysInfo();
    void firstLocationIsReadWithItsOwnKeyAndValueName();
    void getKeyValue_data();
    void getKeyValue();
    void sizesOutsideTheBufferRaiseAndCloseTheKey_data();
    void sizesOutsideTheBufferRaiseAndCloseTheKey();
    void aValueFillingTheWholeBufferIsRead();
    void systemSeamsWithoutTheToolShowTheMessage();
    void systemFileProbeFindsOnlyNormalFiles();
};

void tst_SysInfoLauncher::startSysInfo_data()
{
    QTest::addColumn<QList<ScriptedValue>>("values");
    QTest::addColumn<QStringList>("existingFiles");
    QTest::addColumn<QStringList>("startablePrograms");
    QTest::addColumn<QStringList>("fileTests");
    QTest::addColumn<QStringList>("launches");
    QTest::addColumn<bool>("message");

    const QStringList tools{ToolPath, ToolInFolder};
    ScriptedValue emptySize = firstLocation(zeroTerminated(ToolPath));
    emptySize.reportedSize = 0;
    ScriptedValue oversized = firstLocation(zeroTerminated(ToolPath));
    oversized.reportedSize = 4096;

    QTest::newRow("first location: its path exactly, nothing appended")
            << QList{firstLocation(zeroTerminated(ToolPath))} << QStringList() << tools
            << QStringList() << QStringList{ToolPath} << false;
    QTest::newRow("first location wins over the second")
            << QList{firstLocation(zeroTerminated(ToolPath)),
                     secondLocation(zeroTerminated(ToolFolder))}
            << QStringList{ToolInFolder} << tools << QStringList() << QStringList{ToolPath}
            << false;
    QTest::newRow("second location with the tool in its folder")
            << QList{secondLocation(zeroTerminated(ToolFolder))} << QStringList{ToolInFolder}
            << tools << QStringList{ToolInFolder} << QStringList{ToolInFolder} << false;
    QTest::newRow("neither location") << QList<ScriptedValue>() << QStringList() << tools
                                      << QStringList() << QStringList() << true;
    QTest::newRow("second location, the tool missing")
            << QList{secondLocation(zeroTerminated(ToolFolder))} << QStringList() << tools
            << QStringList{ToolInFolder} << QStringList() << true;
    QTest::newRow("the launch fails")
            << QList{firstLocation(zeroTerminated(ToolPath))} << QStringList() << QStringList()
            << QStringList() << QStringList{ToolPath} << true;
    // A raised error goes straight to the message: the second location is not tried.
    QTest::newRow("first location of size 0")
            << QList{emptySize, secondLocation(zeroTerminated(ToolFolder))}
            << QStringList{ToolInFolder} << tools << QStringList() << QStringList() << true;
    QTest::newRow("first location reporting more than the buffer")
            << QList{oversized, secondLocation(zeroTerminated(ToolFolder))}
            << QStringList{ToolInFolder} << tools << QStringList() << QStringList() << true;
    // Too long to read is a failed read, so the second location is asked.
    QTest::newRow("first location too long for the buffer")
            << QList{firstLocation(QByteArray(1500, 'x')),
                     secondLocation(zeroTerminated(ToolFolder))}
            << QStringList{ToolInFolder} << tools << QStringList{ToolInFolder}
            << QStringList{ToolInFolder} << false;
    // Another type reads as success with an empty path, which cannot start.
    QTest::newRow("first location of another type")
            << QList{firstLocation(QByteArray("\x01\x02\x03", 3), 3)} << QStringList() << tools
            << QStringList() << QStringList{QString()} << true;
    QTest::newRow("second location of another type")
            << QList{ScriptedValue{SecondKey, "MSINFO", 7, QByteArray("D:\0\0", 4), -1}}
            << QStringList() << tools << QStringList{QStringLiteral("\\MSINFO32.EXE")}
            << QStringList() << true;
}

void tst_SysInfoLauncher::startSysInfo()
{
    QFETCH(QList<ScriptedValue>, values);
    QFETCH(QStringList, existingFiles);
    QFETCH(QStringList, startablePrograms);
    QFETCH(QStringList, fileTests);
    QFETCH(QStringList, launches);
    QFETCH(bool, message);

    Fixture f;
    for (const ScriptedValue &value : values)
        f.registry.add(value);
    f.files.files = QSet<QString>(existingFiles.begin(), existingFiles.end());
    f.launcher.programs = QSet<QString>(startablePrograms.begin(), startablePrograms.end());
    if (message)
        f.messages.answers = {MessageAnswer::Ok};

    f.sysInfo.StartSysInfo();

    QCOMPARE(f.files.asked, fileTests);
    QCOMPARE(f.launcher.started, launches);
    if (message) {
        QCOMPARE(f.messages.asked.size(), 1);
        const MessageRequest &request = f.messages.asked.first();
        QCOMPARE(request.text, QStringLiteral("Systeminformationen sind momentan nicht verfügbar"));
        QCOMPARE(request.title, QStringLiteral("Korvu"));
        QCOMPARE(request.buttons, MessageButtons::Ok);
        QCOMPARE(request.owner, &f.owner);
    } else {
        QVERIFY(f.messages.asked.isEmpty());
    }
    QCOMPARE(f.registry.openKeys(), 0);
}

void tst_SysInfoLauncher::firstLocationIsReadWithItsOwnKeyAndValueName()
{
    Fixture f;
    f.registry.add(firstLocation(zeroTerminated(ToolPath)));
    f.launcher.programs = {ToolPath};
    f.sysInfo.StartSysInfo();
    QCOMPARE(f.registry.calls,
             QStringList({"open HKLM SOFTWARE\\Microsoft\\Shared Tools\\MSINFO 0 0x2003f",
                          "query PATH", "close"}));

    Fixture second;
    second.registry.add(secondLocation(zeroTerminated(ToolFolder)));
    second.files.files = {ToolInFolder};
    second.launcher.programs = {ToolInFolder};
    second.sysInfo.StartSysInfo();
    QCOMPARE(second.registry.calls,
             QStringList({"open HKLM SOFTWARE\\Microsoft\\Shared Tools\\MSINFO 0 0x2003f",
                          "open HKLM SOFTWARE\\Microsoft\\Shared Tools Location 0 0x2003f",
                          "query MSINFO", "close"}));
}

void tst_SysInfoLauncher::getKeyValue_data()
{
    QTest::addColumn<bool>("keyExists");
    QTest::addColumn<QList<ScriptedValue>>("values");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("keyVal");

    const QByteArray key = "SOFTWARE\\Korvu";
    auto value = [&key](quint32 type, const QByteArray &data) {
        return QList{ScriptedValue{key, "Value", type, data, -1}};
    };
    QTest::newRow("text with its terminating zero")
            << true << value(RegistryType::Text, QByteArray("abc\0", 4)) << true << "abc";
    QTest::newRow("text without a terminating zero")
            << true << value(RegistryType::Text, "abc") << true << "abc";
    QTest::newRow("empty text") << true << value(RegistryType::Text, QByteArray("\0", 1)) << true
                                << "";
    QTest::newRow("only the last zero is dropped")
            << true << value(RegistryType::Text, QByteArray("ab\0\0", 4)) << true
            << QStringLiteral("ab") + QChar(0);
    QTest::newRow("32-bit number") << true << value(RegistryType::Number, QByteArray("\x2b\x1a\0\0", 4))
                                   << true << "&h1A2B";
    QTest::newRow("32-bit number, all bytes")
            << true << value(RegistryType::Number, QByteArray("\xef\xbe\xad\xde", 4)) << true
            << "&hDEADBEEF";
    QTest::newRow("another type keeps the caller's text")
            << true << value(3, QByteArray("\x01\x02", 2)) << true << "before";
    QTest::newRow("missing value") << true << QList<ScriptedValue>() << false << "";
    QTest::newRow("missing key") << false << QList<ScriptedValue>() << false << "";
}

void tst_SysInfoLauncher::getKeyValue()
{
    QFETCH(bool, keyExists);
    QFETCH(QList<ScriptedValue>, values);
    QFETCH(bool, read);
    QFETCH(QString, keyVal);

    Fixture f;
    if (keyExists)
        f.registry.addKey("SOFTWARE\\Korvu");
    for (const ScriptedValue &value : values)
        f.registry.add(value);
    QString text = QStringLiteral("before");
    QCOMPARE(f.sysInfo.GetKeyValue(RegistryRoot::LocalMachine, QStringLiteral("SOFTWARE\\Korvu"),
                                   QStringLiteral("Value"), text),
             read);
    QCOMPARE(text, keyVal);
    // Whatever was opened is closed again, and only then.
    QCOMPARE(f.registry.openKeys(), 0);
    QCOMPARE(f.registry.calls.count(QStringLiteral("close")), keyExists ? 1 : 0);
    QVERIFY(f.messages.asked.isEmpty());
}

void tst_SysInfoLauncher::sizesOutsideTheBufferRaiseAndCloseTheKey_data()
{
    QTest::addColumn<qint64>("reportedSize");
    QTest::newRow("size 0") << qint64(0);
    QTest::newRow("one past the buffer") << qint64(1025);
    QTest::newRow("far past the buffer") << qint64(0xFFFFFFFF);
}

void tst_SysInfoLauncher::sizesOutsideTheBufferRaiseAndCloseTheKey()
{
    QFETCH(qint64, reportedSize);
    Fixture f;
    f.registry.add(ScriptedValue{"SOFTWARE\\Korvu", "Value", RegistryType::Text,
                                 QByteArray("abc\0", 4), reportedSize});
    QString text = QStringLiteral("before");
    QVERIFY_THROWS_EXCEPTION(RegistryValueError,
                             f.sysInfo.GetKeyValue(RegistryRoot::LocalMachine,
                                                   QStringLiteral("SOFTWARE\\Korvu"),
                                                   QStringLiteral("Value"), text));
    QCOMPARE(f.registry.openKeys(), 0);
    QVERIFY(f.messages.asked.isEmpty());
}

void tst_SysInfoLauncher::aValueFillingTheWholeBufferIsRead()
{
    Fixture f;
    const QString path(1023, QLatin1Char('p'));
    f.registry.add(firstLocation(zeroTerminated(path)));
    f.launcher.programs = {path};
    f.sysInfo.StartSysInfo();
    QCOMPARE(f.launcher.started, QStringList{path});
    QVERIFY(f.messages.asked.isEmpty());
}

void tst_SysInfoLauncher::systemSeamsWithoutTheToolShowTheMessage()
{
#ifdef Q_OS_WIN
    QSKIP("The machine's registry may hold the tool's location.");
#else
    SystemRegistry registry;
    SystemFileProbe files;
    SystemLauncher launcher;
    ScriptedMessageBoxes messages;
    messages.answers = {MessageAnswer::Ok};
    SysInfoLauncher sysInfo(SysInfoServices{registry, files, launcher, messages}, nullptr);
    sysInfo.StartSysInfo();
    QCOMPARE(messages.texts(),
             QStringList{QStringLiteral("Systeminformationen sind momentan nicht verfügbar")});
#endif
}

void tst_SysInfoLauncher::systemFileProbeFindsOnlyNormalFiles()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString file = folder.filePath(QStringLiteral("MSINFO32.EXE"));
    QFile created(file);
    QVERIFY(created.open(QIODevice::WriteOnly));
    created.close();
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("Folder.EXE")));

    SystemFileProbe files;
    QVERIFY(files.exists(file));
    QVERIFY(!files.exists(folder.filePath(QStringLiteral("Folder.EXE"))));
    QVERIFY(!files.exists(folder.filePath(QStringLiteral("MISSING.EXE"))));
    QVERIFY(!files.exists(QString()));
#ifndef Q_OS_WIN
    const QString hidden = folder.filePath(QStringLiteral(".MSINFO32.EXE"));
    QFile hiddenFile(hidden);
    QVERIFY(hiddenFile.open(QIODevice::WriteOnly));
    hiddenFile.close();
    QVERIFY(!files.exists(hidden));
#endif
}

QTEST_MAIN(tst_SysInfoLauncher)
#include "tst_SysInfoLauncher.moc"
