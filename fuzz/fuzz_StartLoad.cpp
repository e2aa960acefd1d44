// A whole start-window load from whatever the settings file holds.
#include "fuzz/FuzzText.h"
#include "settings/IniStore.h"
#include "settings/StoreLayout.h"
#include "settings/StoredText.h"
#include "settings/frmStart.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

class SilentMessages final : public MessageBoxes {
public:
    MessageAnswer ask(const MessageRequest &) override { return MessageAnswer::Ok; }
};

struct Harness {
    std::unique_ptr<QApplication> app;
    // Memory-backed, so the store's flush to disk costs nothing per input.
    QTemporaryDir dir{QStringLiteral("/dev/shm/korvu-fuzz-XXXXXX")};
    QDateTime epoch = QDateTime::currentDateTime();
    qint64 inputs = 0;
};

Harness *harness = nullptr;

QStringList highscores(IniStore &store)
{
    QStringList values;
    for (int row = 1; row <= StoreKeys::HighscoreRows; ++row) {
        values.append(store.GetSetting(StoreKeys::App, StoreKeys::Highscore, StoreKeys::Name(row),
                                       QString()));
        values.append(store.GetSetting(StoreKeys::App, StoreKeys::Highscore, StoreKeys::Score(row),
                                       StoreDefaults::Score));
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    harness = new Harness;
    harness->app = std::make_unique<QApplication>(*argc, *argv);
    QDir(harness->dir.path()).mkpath(QStringLiteral("Korvu"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QFile file(harness->dir.filePath(QStringLiteral("Korvu/Korvu.conf")));
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    require(file.flush());
    // QSettings tells files apart by size and time to the millisecond; inputs
    // come faster than that, so each one is dated a millisecond later.
    ++harness->inputs;
    require(file.setFileTime(harness->epoch.addMSecs(harness->inputs),
                             QFileDevice::FileModificationTime));
    file.close();

    IniStore store(harness->dir.path());
    SilentMessages messages;
    const bool played = ReadPlayed(store.GetSetting(StoreKeys::App, StoreKeys::Options,
                                                    StoreKeys::Played, StoreDefaults::Played));
    const QStringList before = highscores(store);
    {
        frmStart window(store, messages, StartActions{});
        require(window.CSpeed->currentIndex() >= 0 && window.CSpeed->currentIndex() <= 8);
        const int speed = window.startSettings().tickInterval;
        require(speed >= 50 && speed <= 400);
    }
    // Only a real first start may touch the score table.
    if (played && !store.hasFailedToWrite())
        require(highscores(store) == before);
    return 0;
}
