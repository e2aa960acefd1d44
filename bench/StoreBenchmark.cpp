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
#include <malloc.h>
#include <memory>

namespace {

constexpr int FirstStartKeys = 13;
// The largest file the store takes, less room for what the saves add.
constexpr qint64 FileSize = IniStore::MaxFileSize - 1024;

// A file at the store's size bound: other sections, as other tools or years
// of hand edits could leave, then the game's own keys; in the form QSettings
// writes, so that a save does not make it larger.
QByteArray fileAtTheBound(bool played)
{
    QByteArray game = "\n[Highscore]\nName1=Ada\nScore1=9\n";
    if (played)
        game += "\n[Options]\nHardCore=2\nPPFood=9\nPlayed=True\nSize=7\nSpeed=8\n";
    QByteArray bytes;
    bytes.reserve(FileSize);
    for (int section = 0; bytes.size() + 2048 < FileSize - game.size(); ++section) {
        bytes += QByteArray(section > 0 ? "\n" : "") + "[Notes" + QByteArray::number(section) + "]\n";
        for (int key = 0; key < 20; ++key)
            bytes += "Note" + QByteArray::number(key) + "=" + QByteArray(40, 'n') + '\n';
    }
    const QByteArray pad = "\n[Pad]\nText=";
    bytes += pad + QByteArray(FileSize - bytes.size() - pad.size() - 1 - game.size(), 'p') + '\n'
            + game;
    return bytes;
}

QString writeSettings(const QString &folder, const QByteArray &bytes)
{
    QDir().mkpath(folder + QStringLiteral("/Korvu"));
    const QString path = folder + QStringLiteral("/Korvu/Korvu.conf");
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

double nanoseconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed());
}

// The peak resident memory since the last reset (Linux keeps it per process;
// writing 5 to clear_refs sets it back to what is resident now). What earlier
// runs freed goes back to the system first, or a run would reuse it unseen.
void resetPeakMemory()
{
    ::malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').first().toDouble();
    }
    return 0;
}

// Runs `work` once and returns how far it raised the peak above what was
// resident when it began.
template <class Work>
double peakGrowthKiB(Work work)
{
    resetPeakMemory();
    const double before = statusKiB("VmRSS:");
    work();
    return statusKiB("VmHWM:") - before;
}

QString hardCore(IniStore &store)
{
    return store.GetSetting(StoreKeys::App, StoreKeys::Options, StoreKeys::HardCore,
                            StoreDefaults::HardCore);
}

} // namespace

StoreFigures runStoreBenchmark(bool &ok)
{
    StoreFigures figures;
    const auto fail = [&ok](const char *what) {
        std::fprintf(stderr, "bench: %s\n", what);
        ok = false;
    };
    QTemporaryDir large;
    QTemporaryDir small;
    const QByteArray atTheBound = fileAtTheBound(true);
    if (atTheBound.size() != FileSize || writeSettings(large.path(), atTheBound).isEmpty()
        || writeSettings(small.path(), "[Options]\nPlayed=True\nHardCore=2\n").isEmpty()) {
        fail("cannot write the settings files");
        return figures;
    }
    // No box may open: one would fail the run.
    ScriptedMessageBoxes messages;

    // A later start: the start window's load reads the file and writes nothing.
    const auto laterStart = [&messages](const QString &folder, int speed) {
        return [&messages, folder, speed] {
            QElapsedTimer clock;
            clock.start();
            IniStore store(folder);
            frmStart window(store, messages, StartActions{});
            const double elapsed = nanoseconds(clock);
            if (window.CSpeed->currentIndex() != speed)
                std::fprintf(stderr, "bench: the later start did not read its file\n");
            return elapsed;
        };
    };
    figures.laterStart = measurePaired(1, 5, laterStart(large.path(), 8), laterStart(small.path(), 0));
    figures.laterStartPeakKiB = peakGrowthKiB(laterStart(large.path(), 8));

    IniStore largeStore(large.path());
    IniStore smallStore(small.path());
    if (hardCore(largeStore) != QLatin1String("2") || hardCore(smallStore) != QLatin1String("2")) {
        fail("the stores do not read HardCore = 2");
        return figures;
    }
    constexpr int Reads = 1000;
    const auto reads = [](IniStore &store) {
        return [&store] {
            QElapsedTimer clock;
            clock.start();
            for (int read = 0; read < Reads; ++read)
                keep(hardCore(store));
            return nanoseconds(clock) / Reads;
        };
    };
    figures.blockedMoveRead = measurePaired(3, 21, reads(largeStore), reads(smallStore));

    // A score saved from the name dialog, each time into a fresh copy of the
    // file, against QSettings alone making the same save on the same file.
    const auto freshCopy = [&fail](bool played) {
        auto folder = std::make_unique<QTemporaryDir>();
        if (writeSettings(folder->path(), fileAtTheBound(played)).isEmpty())
            fail("cannot copy the settings file");
        return folder;
    };
    const auto save = [&] {
        const auto folder = freshCopy(true);
        IniStore store(folder->path());
        keep(hardCore(store));
        QElapsedTimer clock;
        clock.start();
        store.commit(StoreKeys::App, [](SettingsEdit &table) {
            table.setValue(StoreKeys::Highscore, StoreKeys::Score(1), QStringLiteral("90"));
            table.setValue(StoreKeys::Highscore, StoreKeys::Name(1), QStringLiteral("Eda"));
        });
        const double elapsed = nanoseconds(clock);
        if (store.hasFailedToWrite())
            fail("the score was not saved into the file at the bound");
        return elapsed;
    };
    const auto plainSave = [&] {
        const auto folder = freshCopy(true);
        QSettings settings(folder->path() + QStringLiteral("/Korvu/Korvu.conf"), QSettings::IniFormat);
        keep(settings.value(QStringLiteral("Options/HardCore")).toString());
        QElapsedTimer clock;
        clock.start();
        settings.setValue(QStringLiteral("Highscore/Score1"), QStringLiteral("90"));
        settings.setValue(QStringLiteral("Highscore/Name1"), QStringLiteral("Eda"));
        settings.sync();
        return nanoseconds(clock);
    };
    figures.save = measurePaired(1, 5, save, plainSave);
    figures.savePeakKiB = peakGrowthKiB(save);

    // A first start over a file that has no "Played": read, decide, write.
    const auto firstStart = [&] {
        const auto folder = freshCopy(false);
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
                    != QLatin1String("True"))
            fail("the first start over the file at the bound was not saved");
        return elapsed;
    };
    const auto plainFirstStart = [&] {
        const auto folder = freshCopy(false);
        QElapsedTimer clock;
        clock.start();
        QSettings settings(folder->path() + QStringLiteral("/Korvu/Korvu.conf"), QSettings::IniFormat);
        keep(settings.value(QStringLiteral("Options/Played")).toString());
        for (int key = 0; key < FirstStartKeys; ++key)
            settings.setValue(QStringLiteral("Options/Key%1").arg(key), key);
        settings.sync();
        return nanoseconds(clock);
    };
    figures.firstStart = measurePaired(1, 5, firstStart, plainFirstStart);
    figures.firstStartPeakKiB = peakGrowthKiB(firstStart);
    return figures;
}
