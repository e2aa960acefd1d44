// The store's reading and writing of the settings file against QSettings,
// which wrote every existing file: any bytes must read the same, and every
// save must read back through QSettings as saved.
#include "fuzz/FuzzText.h"
#include "settings/IniDocument.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

namespace {

struct Harness {
    std::unique_ptr<QCoreApplication> app;
    QTemporaryDir dir{QStringLiteral("/dev/shm/korvu-fuzz-XXXXXX")};
    quint64 files = 0;
};

Harness *harness = nullptr;

const QStringList Keys{"Options/Played", "Options/Size", "Highscore/Name1", "Highscore/Score1"};

// QSettings keeps files it has read by name: a new name each time.
std::unique_ptr<QSettings> settingsFor(const QByteArray &bytes)
{
    const QString path = harness->dir.filePath(QString::number(++harness->files));
    QFile::remove(harness->dir.filePath(QString::number(harness->files - 1)));
    QFile file(path);
    require(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

QString settingsText(const QSettings &settings, const QString &key)
{
    const QVariant value = settings.value(key);
    return value.typeId() == QMetaType::QStringList ? value.toStringList().join(QStringLiteral(", "))
                                                     : value.toString();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    harness = new Harness;
    harness->app = std::make_unique<QCoreApplication>(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // QSettings looks a key up only in the nearest section by name, so a
    // section whose name holds a '/' (written '/', '\\' or '%..') hides the
    // sections after it from QSettings, though not from the store.
    const QByteArray lines = bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
    for (const QByteArray &line : lines.split('\n')) {
        for (const QByteArray &part : line.split('\r')) {
            const QByteArray header = part.trimmed().split(']').first();
            if (header.startsWith('[') && (header.contains('/') || header.contains('\\')
                                           || header.contains('%')))
                return 0;
        }
    }
    const IniDocument document(bytes);
    {
        const auto settings = settingsFor(bytes);
        for (const QString &key : Keys) {
            const std::optional<QString> ours = document.value(key.section(u'/', 0, 0),
                                                                key.section(u'/', 1));
            require(ours.has_value() == settings->value(key).isValid());
            require(!ours || *ours == settingsText(*settings, key));
        }
    }
    // The value written is the input itself, as text: any characters at all.
    const QString text = fuzzText(data, qMin(size, size_t(64)));
    const std::optional<QByteArray> saved =
            document.withChanges({{QStringLiteral("Options"), QStringLiteral("Size"), text},
                                  {QStringLiteral("Highscore"), QStringLiteral("Name9"), text}});
    require(saved.has_value());
    const auto settings = settingsFor(*saved);
    require(settings->value(QStringLiteral("Options/Size")).toString() == text);
    require(settings->value(QStringLiteral("Highscore/Name9")).toString() == text);
    return 0;
}
