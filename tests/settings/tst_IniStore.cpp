#include "settings/IniStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <ctime>

namespace {

// Saves each "Section/Key=value" in one commit.
void save(IniStore &store, const QStringList &changes)
{
    store.commit(QStringLiteral("Korvu"), [&](SettingsEdit &edit) {
        for (const QString &change : changes) {
            const qsizetype slash = change.indexOf(u'/');
            const qsizetype equals = change.indexOf(u'=');
            edit.setValue(change.left(slash), change.mid(slash + 1, equals - slash - 1),
                          change.mid(equals + 1));
        }
    });
}

QString read(IniStore &store, const QString &sectionAndKey)
{
    const qsizetype slash = sectionAndKey.indexOf(u'/');
    return store.GetSetting(QStringLiteral("Korvu"), sectionAndKey.left(slash),
                            sectionAndKey.mid(slash + 1), QStringLiteral("<missing>"));
}

} // namespace

class tst_IniStore : public QObject {
    Q_OBJECT
private slots:
    void everyTextComesBackExactly_data();
    void everyTextComesBackExactly();
    void missingKeysReadAsTheDefaultText_data();
    void missingKeysReadAsTheDefaultText();
    void anOutsideEditIsSeenAndKept_data();
    void anOutsideEditIsSeenAndKept();
    void aSaveKeepsEveryKeyAndDropsTheRest_data();
    void aSaveKeepsEveryKeyAndDropsTheRest();
    void whatASaveLeavesOnTheFile_data();
    void whatASaveLeavesOnTheFile();
    void theConfigFolderFollowsTheXdgRules_data();
    void theConfigFolderFollowsTheXdgRules();
};

void tst_IniStore::everyTextComesBackExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("blanks around") << QStringLiteral("  Oyuncu 1  ");
    QTest::newRow("only blanks") << QStringLiteral("   ");
    QTest::newRow("comma") << QStringLiteral("a,b, c");
    QTest::newRow("quotes") << QStringLiteral("say \"hi\" 'there'");
    QTest::newRow("semicolon") << QStringLiteral("a;b ; c");
    QTest::newRow("equals") << QStringLiteral("x=1==2");
    QTest::newRow("hash") << QStringLiteral("#1 # not a comment");
    QTest::newRow("backslashes") << QStringLiteral("C:\\dir\\\\file\\");
    QTest::newRow("turkish") << QStringLiteral("şık ışık üzüm ĞİÖÇ");
    QTest::newRow("at sign first") << QStringLiteral("@Variant(junk)");
    QTest::newRow("brackets") << QStringLiteral("[Options]");
    QTest::newRow("newline and tab") << QStringLiteral("a\nb\tc");
    QTest::newRow("looks like a list") << QStringLiteral("1, 2, 3");
    QTest::newRow("10000 characters") << QString(10000, QLatin1Char('k'));
    // The fullest file the game writes: every box at its limit, each character
    // one QSettings writes as four bytes ("\x1f").
    QTest::newRow("32767 characters of four bytes") << QString(32767, QChar(0x1f));
}

void tst_IniStore::everyTextComesBackExactly()
{
    // Through the store, in every name and the cell size at once, and to and
    // from QSettings, which wrote every existing file.
    QFETCH(QString, text);
    QTemporaryDir dir;
    QStringList boxes{QStringLiteral("Options/Size")};
    for (int row = 1; row <= 4; ++row)
        boxes.append(QStringLiteral("Highscore/Name%1").arg(row));
    {
        IniStore store(dir.path());
        QStringList changes;
        for (const QString &box : boxes)
            changes.append(box + u'=' + text);
        save(store, changes);
        QVERIFY(!store.hasFailedToWrite());
    }
    IniStore store(dir.path());
    for (const QString &box : boxes)
        QCOMPARE(read(store, box), text);
    {
        QSettings settings(dir.filePath(QStringLiteral("Korvu/Korvu.conf")), QSettings::IniFormat);
        QCOMPARE(settings.value(QStringLiteral("Highscore/Name1")).toString(), text);
        settings.setValue(QStringLiteral("Highscore/Name2"), text);
    }
    QCOMPARE(read(store, QStringLiteral("Highscore/Name2")), text);
}

void tst_IniStore::missingKeysReadAsTheDefaultText_data()
{
    QTest::addColumn<QVariant>("fallback");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole number") << QVariant(5) << QStringLiteral("5");
    QTest::newRow("zero") << QVariant(0) << QStringLiteral("0");
    QTest::newRow("false") << QVariant(false) << QStringLiteral("False");
    QTest::newRow("true") << QVariant(true) << QStringLiteral("True");
    QTest::newRow("empty text") << QVariant(QString()) << QString();
}

void tst_IniStore::missingKeysReadAsTheDefaultText()
{
    QFETCH(QVariant, fallback);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    IniStore store(dir.path());
    // Missing key in a missing file, then missing key beside an existing one.
    QCOMPARE(store.GetSetting(QStringLiteral("Korvu"), QStringLiteral("Options"),
                              QStringLiteral("Size"), fallback),
             expected);
    save(store, {QStringLiteral("Options/Speed=3")});
    QCOMPARE(store.GetSetting(QStringLiteral("Korvu"), QStringLiteral("Options"),
                              QStringLiteral("Size"), fallback),
             expected);
}

void tst_IniStore::anOutsideEditIsSeenAndKept_data()
{
    QTest::addColumn<QByteArray>("edit"); // the file after the edit; before it, Size=7
    QTest::addColumn<int>("later"); // ms: the time it is dated after the store's save
    QTest::newRow("another size") << QByteArray("[Options]\nSize=written outside\n") << 2000;
    QTest::newRow("the same size") << QByteArray("[Options]\nSize=9\n") << 2000;
    // Where QSettings, which compares size and time, sees no change at all.
    QTest::newRow("the same size and time") << QByteArray("[Options]\nSize=9\n") << 0;
}

void tst_IniStore::anOutsideEditIsSeenAndKept()
{
    QFETCH(QByteArray, edit);
    QFETCH(int, later);
    QTemporaryDir dir;
    IniStore store(dir.path());
    save(store, {QStringLiteral("Options/Size=7")});
    QCOMPARE(read(store, QStringLiteral("Options/Size")), QStringLiteral("7"));
    const QString path = dir.filePath(QStringLiteral("Korvu/Korvu.conf"));
    const QDateTime saved = QFileInfo(path).lastModified();
    QFile file(path); // written in place
    QVERIFY(file.open(QIODevice::ReadWrite));
    QCOMPARE(file.write(edit), edit.size());
    QVERIFY(file.resize(edit.size()));
    QVERIFY(file.setFileTime(saved.addMSecs(later), QFileDevice::FileModificationTime));
    file.close();
    const QString outside = QString::fromLatin1(edit.mid(edit.indexOf('=') + 1).trimmed());
    QCOMPARE(read(store, QStringLiteral("Options/Size")), outside);
    // A save over it starts from the edit, not from what the store saw before.
    save(store, {QStringLiteral("Options/Speed=4")});
    QCOMPARE(QSettings(path, QSettings::IniFormat).value(QStringLiteral("Options/Size")).toString(),
             outside);
    QCOMPARE(read(store, QStringLiteral("Options/Speed")), QStringLiteral("4"));
}

void tst_IniStore::aSaveKeepsEveryKeyAndDropsTheRest_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("values"); // "Section/Key=value", read before and after a save
    QTest::addColumn<QByteArrayList>("dropped");
    QTest::newRow("comments, blank lines and junk go; every key stays")
            << QByteArray("; mine\n\x01junk\n[Options]\nSize=5 ; usual\n\nOther=1\n"
                          "[options]\nplayed=yes\n")
            << QStringList{"Options/Size=5", "Options/Other=1", "options/played=yes"}
            << QByteArrayList{"mine", "junk", "usual"};
    // What earlier versions of the game and QSettings itself have written.
    QTest::newRow("escaped keys, lists, quotes and typed values read as text")
            << QByteArray("[General]\nTop=1\n[Options]\n%53ize=7\n%U0053peed=4\nList=1, 2, 3\n"
                          "[Highscore]\nName1=@ByteArray(Ada)\n"
                          "Name2=@String(Bo\\0ra)\nName3=\"a, b\"\nName4=\\x15f\\x131k\n"
                          "Score1=@Invalid()\nScore2=a\xff\xfe\n")
            << QStringList{"General/Top=<missing>", "Options/Size=7", "Options/Speed=4",
                           "Options/List=1, 2, 3", "Highscore/Name1=Ada",
                           QStringLiteral("Highscore/Name2=Bo%1ra").arg(QChar(0)),
                           "Highscore/Name3=a, b", QStringLiteral("Highscore/Name4=\u015f\u0131k"),
                           "Highscore/Score1=<missing>",
                           QStringLiteral("Highscore/Score2=a\ufffd\ufffd")}
            << QByteArrayList{};
}

void tst_IniStore::aSaveKeepsEveryKeyAndDropsTheRest()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, values);
    QFETCH(QByteArrayList, dropped);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Korvu")));
    QFile file(dir.filePath(QStringLiteral("Korvu/Korvu.conf")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(before);
    file.close();
    for (bool saved : {false, true}) {
        IniStore store(dir.path());
        if (saved)
            save(store, {QStringLiteral("Highscore/Score4=9")});
        for (const QString &value : values) {
            const qsizetype equals = value.indexOf(u'=');
            QCOMPARE(read(store, value.left(equals)), value.mid(equals + 1));
        }
    }
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    QVERIFY(after.contains("Score4=9"));
    for (const QByteArray &gone : dropped)
        QVERIFY2(!after.contains(gone), after.constData());
}

void tst_IniStore::whatASaveLeavesOnTheFile_data()
{
    QTest::addColumn<int>("umask");
    QTest::addColumn<int>("mode"); // of the file before the save; 0: none
    QTest::addColumn<int>("saved");
    QTest::newRow("umask 077") << 077 << 0 << 0600;
    QTest::newRow("umask 022") << 022 << 0 << 0644;
    QTest::newRow("an existing file keeps its mode") << 077 << 0640 << 0640;
}

void tst_IniStore::whatASaveLeavesOnTheFile()
{
    QFETCH(int, umask);
    QFETCH(int, mode);
    QFETCH(int, saved);
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("Korvu/Korvu.conf")));
    const auto milliseconds = [](const timespec &time) {
        return qint64(time.tv_sec) * 1000 + time.tv_nsec / 1000000;
    };
    struct stat info;
    if (mode != 0) {
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Korvu")));
        QFile file(QString::fromLocal8Bit(path));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write("[Highscore]\nName1=Bob\n"), 22);
        QVERIFY(file.flush());
        // Dated far ahead by a clock gone wrong.
        QVERIFY(file.setFileTime(QDateTime(QDate(2100, 1, 1), QTime(0, 0)),
                                 QFileDevice::FileModificationTime));
        QCOMPARE(::chmod(path.constData(), mode_t(mode)), 0);
    }
    const mode_t previous = ::umask(mode_t(umask));
    IniStore store(dir.path());
    QCOMPARE(read(store, QStringLiteral("Highscore/Name1")), mode != 0 ? "Bob" : "<missing>");
    QCOMPARE(::stat(path.constData(), &info) == 0, mode != 0);
    const qint64 before = mode != 0 ? milliseconds(info.st_mtim) : 0;
    save(store, {QStringLiteral("Highscore/Name1=Ada")});
    ::umask(previous);
    timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    QCOMPARE(::stat(path.constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 0777), saved);
    // Another copy's QSettings sees a new version only by its size and time:
    // a save of the same size is dated apart from the file it replaced, and
    // never further ahead than a millisecond past the save's own clock.
    QVERIFY(milliseconds(info.st_mtim) != before);
    QVERIFY(milliseconds(info.st_mtim) <= milliseconds(now) + 1);
}

void tst_IniStore::theConfigFolderFollowsTheXdgRules_data()
{
    QTest::addColumn<QString>("configHome");
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("folder"); // empty: none, nothing is saved
    QTest::newRow("XDG_CONFIG_HOME") << "/x/conf" << "/home/ada" << "/x/conf";
    QTest::newRow("HOME") << "" << "/home/ada" << "/home/ada/.config";
    QTest::newRow("relative XDG_CONFIG_HOME") << "conf" << "/home/ada" << "/home/ada/.config";
    QTest::newRow("no HOME") << QString() << QString() << "";
    QTest::newRow("relative HOME") << QString() << "ada" << "";
    QTest::newRow("HOME is the root") << QString() << "/" << "";
    QTest::newRow("HOME is the root's parent") << QString() << "/.." << "";
    QTest::newRow("XDG_CONFIG_HOME is the root's parent") << "/../" << "/home/ada" << "/home/ada/.config";
    QTest::newRow("a cleaned XDG_CONFIG_HOME") << "/x/../conf/" << "/home/ada" << "/conf";
}

void tst_IniStore::theConfigFolderFollowsTheXdgRules()
{
    QFETCH(QString, configHome);
    QFETCH(QString, home);
    QFETCH(QString, folder);
    QProcessEnvironment environment;
    if (!configHome.isNull())
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    if (!home.isNull())
        environment.insert(QStringLiteral("HOME"), home);
    QCOMPARE(userConfigFolder(environment).value_or(QString()), folder);
}

QTEST_GUILESS_MAIN(tst_IniStore)
#include "tst_IniStore.moc"
