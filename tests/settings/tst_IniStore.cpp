#include "settings/IniStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class tst_IniStore : public QObject {
    Q_OBJECT
private slots:
    void everyTextComesBackExactly_data();
    void everyTextComesBackExactly();
    void missingKeysReadAsTheDefaultText_data();
    void missingKeysReadAsTheDefaultText();
    void aSaveChangesOnlyTheLinesOfItsKeys_data();
    void aSaveChangesOnlyTheLinesOfItsKeys();
    void theConfigFolderFollowsTheXdgRules_data();
    void theConfigFolderFollowsTheXdgRules();
    void aFailedWriteIsReportedOnceAndTheProgramGoesOn();
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
}

void tst_IniStore::everyTextComesBackExactly()
{
    // Through the store, and to and from QSettings, which wrote every existing file.
    QFETCH(QString, text);
    QTemporaryDir dir;
    IniStore store(dir.path());
    store.SaveSetting(QStringLiteral("Korvu"), QStringLiteral("Highscore"), QStringLiteral("Name1"),
                      text);
    QCOMPARE(store.GetSetting(QStringLiteral("Korvu"), QStringLiteral("Highscore"),
                              QStringLiteral("Name1"), QStringLiteral("default")),
             text);
    QVERIFY(!store.hasFailedToWrite());
    {
        QSettings settings(dir.filePath(QStringLiteral("Korvu/Korvu.conf")), QSettings::IniFormat);
        QCOMPARE(settings.value(QStringLiteral("Highscore/Name1")).toString(), text);
        settings.setValue(QStringLiteral("Highscore/Name2"), text);
    }
    QCOMPARE(store.GetSetting(QStringLiteral("Korvu"), QStringLiteral("Highscore"),
                              QStringLiteral("Name2"), QStringLiteral("default")),
             text);
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
    store.SaveSetting(QStringLiteral("Korvu"), QStringLiteral("Options"), QStringLiteral("Speed"),
                      QStringLiteral("3"));
    QCOMPARE(store.GetSetting(QStringLiteral("Korvu"), QStringLiteral("Options"),
                              QStringLiteral("Size"), fallback),
             expected);
}

void tst_IniStore::aSaveChangesOnlyTheLinesOfItsKeys_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("changes"); // "Section/Key=value"
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("no file") << QByteArray() << QStringList{"Options/Size=7", "Highscore/Score1=12"}
                             << QByteArray("[Options]\nSize=7\n\n[Highscore]\nScore1=12\n");
    QTest::newRow("in place, comments kept")
            << QByteArray("; mine\n[Options]\nSize=5 ; usual\nSpeed=3\n")
            << QStringList{"Options/Size=9"}
            << QByteArray("; mine\n[Options]\nSize=9; usual\nSpeed=3\n");
    QTest::newRow("a new key ends its section")
            << QByteArray("[Options]\nSpeed=3 ; x\n\n[Highscore]\nScore1=4\n")
            << QStringList{"Options/Size=9"}
            << QByteArray("[Options]\nSpeed=3 ; x\nSize=9\n\n[Highscore]\nScore1=4\n");
    QTest::newRow("no line break at the end")
            << QByteArray("[Options]\nSize=5") << QStringList{"Highscore/Score1=3"}
            << QByteArray("[Options]\nSize=5\n\n[Highscore]\nScore1=3\n");
    QTest::newRow("an unclosed quote at the end")
            << QByteArray("[Highscore]\nName1=\"Ada") << QStringList{"Highscore/Score1=3"}
            << QByteArray("[Highscore]\nName1=\"Ada\"\nScore1=3\n");
    QTest::newRow("a backslash at the end")
            << QByteArray("[Options]\nSize=5\\") << QStringList{"Options/Speed=2"}
            << QByteArray("[Options]\nSize=5\\ \nSpeed=2\n");
    QTest::newRow("an escaped line break at the end")
            << QByteArray("[Options]\nSize=5\\\r") << QStringList{"Options/Speed=2"}
            << QByteArray("[Options]\nSize=5\\\r\rSpeed=2\n");
    QTest::newRow("a byte-order mark before a key")
            << QByteArray("[Options]\n\xEF\xBB\xBFSize=5\n") << QStringList{"Options/Size=6"}
            << QByteArray("[Options]\n\xEF\xBB\xBFSize=6\n");
    // Read back as raw UTF-8, a mark that starts the text would be dropped.
    QTest::newRow("a text that starts with a byte-order mark")
            << QByteArray() << QStringList{QStringLiteral("Highscore/Name1=\uFEFFAda!")}
            << QByteArray("[Highscore]\nName1=\\xfeff\\x41\\x64\\x61!\n");
    QTest::newRow("junk, other keys and another case stay")
            << QByteArray("\x01junk\n[Options]\nOther=1\n[options]\nplayed=True\n")
            << QStringList{"Options/Played=True"}
            << QByteArray("\x01junk\n[Options]\nOther=1\nPlayed=True\n[options]\nplayed=True\n");
    QTest::newRow("the last of two lines counts")
            << QByteArray("[Options]\nSize=1\n[Options]\nSize=2\n") << QStringList{"Options/Size=3"}
            << QByteArray("[Options]\nSize=1\n[Options]\nSize=3\n");
    QTest::newRow("an escaped key") << QByteArray("[Options]\n%53ize=5\n")
                                    << QStringList{"Options/Size=6"}
                                    << QByteArray("[Options]\n%53ize=6\n");
}

void tst_IniStore::aSaveChangesOnlyTheLinesOfItsKeys()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, changes);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Korvu")));
    const QString path = dir.filePath(QStringLiteral("Korvu/Korvu.conf"));
    if (!before.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
    }
    IniStore store(dir.path());
    store.commit(QStringLiteral("Korvu"), [&](SettingsEdit &edit) {
        for (const QString &change : changes) {
            const qsizetype slash = change.indexOf(u'/');
            const qsizetype equals = change.indexOf(u'=');
            edit.setValue(change.left(slash), change.mid(slash + 1, equals - slash - 1),
                          change.mid(equals + 1));
        }
    });
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), after);
    QSettings settings(path, QSettings::IniFormat);
    for (const QString &change : changes) {
        const qsizetype equals = change.indexOf(u'=');
        QCOMPARE(settings.value(change.left(equals)).toString(), change.mid(equals + 1));
    }
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

void tst_IniStore::aFailedWriteIsReportedOnceAndTheProgramGoesOn()
{
    QTemporaryDir dir;
    // A folder where the file should be: no write can succeed, not even as root.
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Korvu/Korvu.conf")));
    IniStore store(dir.path());
    int reported = 0;
    store.setWriteFailureHandler([&reported] { ++reported; });
    store.SaveSetting(QStringLiteral("Korvu"), QStringLiteral("Options"), QStringLiteral("Size"),
                      QStringLiteral("7"));
    store.SaveSetting(QStringLiteral("Korvu"), QStringLiteral("Options"), QStringLiteral("PPFood"),
                      QStringLiteral("1"));
    QCOMPARE(reported, 1);
    QVERIFY(store.hasFailedToWrite());
    QCOMPARE(store.GetSetting(QStringLiteral("Korvu"), QStringLiteral("Options"),
                              QStringLiteral("Size"), 5),
             QStringLiteral("5"));
}

QTEST_GUILESS_MAIN(tst_IniStore)
#include "tst_IniStore.moc"
