#include "bench/StoreBenchmark.h"

#include "settings/IniStore.h"
#include "settings/StoreLayout.h"
#include "settings/frmStart.h"
#include "tests/support/ScriptedMessageBoxes.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

constexpr qint64 LargeFileBytes = 10 * 1024 * 1024;
constexpr int FirstStartKeys = 13;

// 10 MB of other sections, as a file that other tools or years of hand edits
// filled, with the game's keys at the end.
QByteArray largeFile(bool played)
{
    QByteArray bytes;
    bytes.reserve(LargeFileBytes + 1024);
    for (int section = 0; bytes.size() < LargeFileBytes; ++section) {
        bytes += "[Notes" + QByteArray::number(section) + "]\n";
        for (int key = 0; key < 20; ++key)
            bytes += "Note" + QByteArray::number(key) + "=" + QByteArray(40, 'n') + '\n';
    }
    if (played)
        bytes += "[Options]\nPlayed=True\nHardCore=2\n";
    return bytes;
}

bool writeSettings(const QString &folder, const QByteArray &bytes)
{
    QDir().mkpath(folder + QStringLiteral("/Korvu"));
    QFile file(folder + QStringLiteral("/Korvu/Korvu.conf"));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

double nanoseconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed());
}

} // namespace

StoreFigures runStoreBenchmark(bool &ok)
{
    StoreFigures figures;
    QTemporaryDir large;
    QTemporaryDir small;
    if (!writeSettings(large.path(), largeFile(true))
        || !writeSettings(small.path(), "[Options]\nPlayed=True\nHardCore=2\n")) {
        std::fprintf(stderr, "bench: cannot write the settings files\n");
        ok = false;
        return figures;
    }

    IniStore largeStore(large.path());
    IniStore smallStore(small.path());
    const auto hardCore = [](IniStore &store) {
        return store.GetSetting(StoreKeys::App, StoreKeys::Options, StoreKeys::HardCore,
                                StoreDefaults::HardCore);
    };
    if (hardCore(largeStore) != QLatin1String("2") || hardCore(smallStore) != QLatin1String("2")) {
        std::fprintf(stderr, "bench: the stores do not read HardCore = 2\n");
        ok = false;
        return figures;
    }
    constexpr int Reads = 1000;
    const auto reads = [&hardCore](IniStore &store) {
        return [&hardCore, &store] {
            QElapsedTimer clock;
            clock.start();
            for (int read = 0; read < Reads; ++read)
                keep(hardCore(store));
            return nanoseconds(clock) / Reads;
        };
    };
    figures.blockedMoveRead = measurePaired(3, 21, reads(largeStore), reads(smallStore));

    // A first start over a file that has no "Played": read, decide, write;
    // against QSettings alone making a save of the same size on the same file.
    ScriptedMessageBoxes messages;
    const auto freshFolder = [&ok] {
        auto folder = std::make_unique<QTemporaryDir>();
        if (!writeSettings(folder->path(), largeFile(false)))
            ok = false;
        return folder;
    };
    const auto firstStart = [&] {
        const auto folder = freshFolder();
        QElapsedTimer clock;
        clock.start();
        // Timed to the end of the load, when the window can show; what is
        // freed at the end of the run is not part of the start.
        IniStore store(folder->path());
        frmStart window(store, messages, StartActions{});
        keep(window.CSpeed->currentIndex());
        const double elapsed = nanoseconds(clock);
        IniStore check(folder->path());
        if (store.hasFailedToWrite()
            || check.GetSetting(StoreKeys::App, StoreKeys::Options, StoreKeys::Played, false)
                    != QLatin1String("True")) {
            std::fprintf(stderr, "bench: the first start over the large file was not saved\n");
            ok = false;
        }
        return elapsed;
    };
    const auto plainSave = [&] {
        const auto folder = freshFolder();
        QElapsedTimer clock;
        clock.start();
        QSettings settings(folder->path() + QStringLiteral("/Korvu/Korvu.conf"),
                           QSettings::IniFormat);
        keep(settings.value(QStringLiteral("Options/Played")).toString());
        for (int key = 0; key < FirstStartKeys; ++key)
            settings.setValue(QStringLiteral("Options/Key%1").arg(key), key);
        settings.sync();
        return nanoseconds(clock);
    };
    figures.firstStart = measurePaired(0, 3, firstStart, plainSave);
    return figures;
}
