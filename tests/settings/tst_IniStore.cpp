#include "settings/IniStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_IniStore : public QObject {
    Q_OBJECT
private slots:
    void everyTextComesBackExactly_data();
    void everyTextComesBackExactly();
    void everyTextSurvivesAFreshStore();
    void missingKeysReadAsTheDefaultText_data();
    void missingKeysReadAsTheDefaultText();
    void sectionsAreIniGroupsOfTheKorvuFile();
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
    QFETCH(QString, text);
    QTemporaryDir dir;
    IniStore store(dir.path());
    store.SaveSetting(QStringLiteral("Korvu"), QStringLiteral("Highscore"), QStringLiteral("Name1"),
                      text);
    QCOMPARE(store.GetSetting(QStringLiteral("Korvu"), QStringLiteral("Highscore"),
                              QStringLiteral("Name1"), QStringLiteral("default")),
             text);
    QVERIFY(!store.hasFailedToWrite());
}

void tst_IniStore::everyTextSurvivesAFreshStore()
{
    // A later run reads what an earlier one wrote, from the file alone.
    QTemporaryDir dir;
    const QStringList texts{QStringLiteral(" a,b;c=d#e\\f \"g\" ş "), QString(), QStringLiteral("0")};
    {
        IniStore writer(dir.path());
        for (int i = 0; i < texts.size(); ++i)
            writer.SaveSetting(QStringLiteral("Korvu"), QStringLiteral("Options"),
                               QStringLiteral("K%1").arg(i), texts[i]);
    }
    IniStore reader(dir.path());
    for (int i = 0; i < texts.size(); ++i)
        QCOMPARE(reader.GetSetting(QStringLiteral("Korvu"), QStringLiteral("Options"),
                                   QStringLiteral("K%1").arg(i), QStringLiteral("missing")),
                 texts[i]);
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

void tst_IniStore::sectionsAreIniGroupsOfTheKorvuFile()
{
    QTemporaryDir dir;
    IniStore store(dir.path());
    store.SaveSetting(QStringLiteral("Korvu"), QStringLiteral("Options"), QStringLiteral("Size"),
                      QStringLiteral("7"));
    store.SaveSetting(QStringLiteral("Korvu"), QStringLiteral("Highscore"),
                      QStringLiteral("Score1"), QStringLiteral("12"));
    QFile file(dir.filePath(QStringLiteral("Korvu/Korvu.conf")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(file.readAll());
    QVERIFY2(content.contains(QStringLiteral("[Options]\nSize=7")), qPrintable(content));
    QVERIFY2(content.contains(QStringLiteral("[Highscore]\nScore1=12")), qPrintable(content));
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
