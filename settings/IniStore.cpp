#include "settings/IniStore.h"

#include "settings/IniDocument.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How long a save waits for another copy's save to finish, or for a lock it
// can never take, before it gives up and says so.
constexpr int LockWaitMs = 2000;
constexpr int LockPollMs = 5;
constexpr int EmptyLockAgeMs = 1000;

// A save writes <file>.save-XXXXXX beside the file and renames it over it.
constexpr char SaveSuffix[] = ".save-";
constexpr int SaveRandomLength = 6;

QString settingsPath(const QString &folder, const QString &app)
{
    return folder + u'/' + app + u'/' + app + QStringLiteral(".conf");
}

// The settings file as it stands. Only a regular file, or a link to one, is
// read or replaced; a FIFO, a device, a folder or a link to nothing is not.
struct StoredFile {
    enum class Kind { Missing, Regular, Unusable };
    Kind kind = Kind::Missing;
    QByteArray bytes;
    mode_t mode = 0644;
};

StoredFile readStoredFile(const QString &path)
{
    StoredFile file;
    const QByteArray native = QFile::encodeName(path);
    // Non-blocking, so a FIFO in the file's place cannot hold the game up.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        struct stat link;
        const bool missing = errno == ENOENT && ::lstat(native.constData(), &link) != 0;
        file.kind = missing ? StoredFile::Kind::Missing : StoredFile::Kind::Unusable;
        return file;
    }
    QFile reader;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)
        || !reader.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        file.kind = StoredFile::Kind::Unusable;
        return file;
    }
    file.bytes = reader.readAll();
    file.kind = reader.error() == QFileDevice::NoError ? StoredFile::Kind::Regular
                                                        : StoredFile::Kind::Unusable;
    file.mode = info.st_mode & 07777;
    return file;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t step = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (step < 0 && errno == EINTR)
            continue;
        if (step <= 0)
            return false;
        written += step;
    }
    return true;
}

// A locker writes its process into the lock file the moment it creates it;
// one killed in between leaves an empty lock that QLockFile would take 30 s to
// call stale. Removed under the guard QLockFile itself takes to remove one.
void removeEmptyLock(const QString &lockPath)
{
    const auto isLeftOver = [&lockPath] {
        const QFileInfo info(lockPath);
        return info.isFile() && info.size() == 0
                && info.lastModified().msecsTo(QDateTime::currentDateTime()) > EmptyLockAgeMs;
    };
    if (!isLeftOver())
        return;
    QLockFile guard(lockPath + QStringLiteral(".rmlock"));
    if (guard.tryLock(0) && isLeftOver())
        QFile::remove(lockPath);
}

// QLockFile's own wait backs off to ever longer sleeps, a few tries in two
// seconds; polling often gives a save its turn between another copy's saves.
bool takeLock(QLockFile &lock, const QString &lockPath)
{
    const QDeadlineTimer deadline(LockWaitMs);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            return false;
        removeEmptyLock(lockPath);
        QThread::msleep(LockPollMs);
    }
    return true;
}

// Only names a save makes: <file>.save- and six letters or digits.
void removeLeftoverSaves(const QString &target)
{
    const QFileInfo info(target);
    const QString prefix = info.fileName() + QLatin1String(SaveSuffix);
    QDir folder = info.dir();
    const QStringList names = folder.entryList({prefix + QString(SaveRandomLength, u'?')},
                                               QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        const QStringView random = QStringView(name).sliced(prefix.size());
        const bool ours = std::all_of(random.begin(), random.end(), [](QChar c) {
            return c.isDigit() || (c.unicode() < 0x80 && c.isLetter());
        });
        if (ours)
            folder.remove(name);
    }
}

// Writes the new file beside the old one, makes sure it is on the disk, and
// renames it over the old one: a reader sees the old file or the new one.
bool replaceFile(const QString &target, const QByteArray &bytes, mode_t mode)
{
    QByteArray temporary = QFile::encodeName(target) + SaveSuffix
            + QByteArray(SaveRandomLength, 'X');
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.constData(), QFile::encodeName(target).constData()) == 0;
    if (!ok) {
        ::unlink(temporary.constData());
        return false;
    }
    removeLeftoverSaves(target);
    return true;
}

} // namespace

std::optional<QString> userConfigFolder(const QProcessEnvironment &environment)
{
    const auto usable = [](const QString &folder) {
        return QDir::isAbsolutePath(folder) && QDir::cleanPath(folder) != QLatin1String("/");
    };
    const QString configHome = environment.value(QStringLiteral("XDG_CONFIG_HOME"));
    if (usable(configHome))
        return configHome;
    const QString home = environment.value(QStringLiteral("HOME"));
    if (usable(home))
        return home + QStringLiteral("/.config");
    return std::nullopt;
}

IniStore::IniStore()
    : IniStore(userConfigFolder(QProcessEnvironment::systemEnvironment()).value_or(QString()))
{
}

IniStore::IniStore(QString folder) : m_folder(std::move(folder)) { }

void IniStore::setWriteFailureHandler(std::function<void()> handler)
{
    m_onWriteFailure = std::move(handler);
}

QString IniStore::GetSetting(const QString &app, const QString &section, const QString &key,
                             const QVariant &defaultValue)
{
    if (!m_folder.isEmpty()) {
        const StoredFile file = readStoredFile(settingsPath(m_folder, app));
        if (file.kind == StoredFile::Kind::Regular) {
            if (std::optional<QString> stored = IniDocument(file.bytes).value(section, key))
                return *stored;
        }
    }
    return defaultText(defaultValue);
}

void IniStore::commit(const QString &app, const std::function<void(SettingsEdit &)> &edit)
{
    if (write(app, edit) || m_failed)
        return;
    // A lost setting must not pass silently, but one notice is enough.
    m_failed = true;
    if (m_onWriteFailure)
        m_onWriteFailure();
}

bool IniStore::write(const QString &app, const std::function<void(SettingsEdit &)> &edit)
{
    if (m_folder.isEmpty())
        return false;
    const QString path = settingsPath(m_folder, app);
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    // The same lock QSettings takes, so every writer of the file waits its turn.
    const QString lockPath = path + QStringLiteral(".lock");
    QLockFile lock(lockPath);
    if (!takeLock(lock, lockPath))
        return false;

    const StoredFile file = readStoredFile(path);
    if (file.kind == StoredFile::Kind::Unusable)
        return false;
    const IniDocument document(file.bytes);
    SettingsEdit changes([&document](const QString &section, const QString &key) {
        return document.value(section, key);
    });
    edit(changes);
    if (changes.changes().isEmpty())
        return true;
    const std::optional<QByteArray> bytes = document.withChanges(changes.changes());
    if (!bytes)
        return false;
    // A link to a regular file saves that file, where dotfile managers keep it.
    const QString target = QFileInfo(path).isSymLink() ? QFileInfo(path).canonicalFilePath() : path;
    return !target.isEmpty() && replaceFile(target, *bytes, file.mode);
}
