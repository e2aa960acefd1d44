#include "settings/IniStore.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// How long a save waits for another copy's save to finish before it gives up
// and says so, and how often it looks.
constexpr int LockWaitMs = 2000;
constexpr int LockPollMs = 5;

QString settingsPath(const QString &folder, const QString &app)
{
    return folder + u'/' + app + u'/' + app + QStringLiteral(".conf");
}

qint64 nanoseconds(const timespec &time)
{
    return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
}

FileStamp stampOf(const struct stat &info)
{
    return FileStamp{info.st_dev, info.st_ino, info.st_size, nanoseconds(info.st_mtim),
                     nanoseconds(info.st_ctim)};
}

// Opened without waiting, so a FIFO in a file's place cannot hold the game up,
// and kept only if it is a regular file (a link to one counts).
int openRegular(const QByteArray &path, int flags, struct stat &info)
{
    const int fd = ::open(path.constData(), flags | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads the file through to its end. QSettings takes a read that fails for an
// empty file, and a save based on that would drop every key, so a file that
// does not read whole is not used at all.
std::optional<FileStamp> readThrough(const QByteArray &path)
{
    struct stat info;
    const int fd = openRegular(path, O_RDONLY, info);
    if (fd < 0)
        return std::nullopt;
    char buffer[64 * 1024];
    ssize_t step = 0;
    while ((step = ::read(fd, buffer, sizeof buffer)) != 0) {
        if (step < 0 && errno != EINTR)
            break;
    }
    ::close(fd);
    return step == 0 ? std::optional<FileStamp>(stampOf(info)) : std::nullopt;
}

bool exists(const QByteArray &path)
{
    struct stat info;
    return ::lstat(path.constData(), &info) == 0;
}

// Korvu's own lock around each save: a kernel lock on a file of its own, so
// it is never left behind by a killed copy and never taken from a live one.
// Held until `lock` is closed.
bool takeCommitLock(QFile &lock, const QByteArray &path, const QDeadlineTimer &deadline)
{
    struct stat info;
    const int fd = openRegular(path, O_RDONLY | O_CREAT, info);
    if (fd < 0 || !lock.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || deadline.hasExpired())
            return false;
        QThread::msleep(LockPollMs);
    }
    return true;
}

// QSettings takes <file>.lock inside sync() and waits for it without a bound:
// a folder or FIFO there hangs it, and an empty one (its taker killed before
// writing its process into it) holds it 30 s. Under the commit lock no copy
// of Korvu is saving, so an empty lock that no process holds is a leftover.
bool settingsLockIsFree(const QByteArray &path, const QDeadlineTimer &deadline)
{
    while (exists(path)) {
        struct stat info;
        const int fd = openRegular(path, O_RDONLY, info);
        if (fd < 0)
            return false;
        const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0;
        if (!held && info.st_size == 0)
            ::unlink(path.constData());
        ::close(fd);
        // One with a process in it and no holder, QSettings takes over itself.
        if (!held || deadline.hasExpired())
            return !held;
        QThread::msleep(LockPollMs);
    }
    return true;
}

// A file whose owner took away every write permission is kept as it is,
// even from root, which could replace it.
bool mayReplace(const QByteArray &path)
{
    struct stat info;
    if (::stat(path.constData(), &info) != 0)
        return errno == ENOENT;
    return (info.st_mode & 0222) != 0 && ::access(path.constData(), W_OK) == 0;
}

bool mayCreateIn(const QString &file)
{
    return ::access(QFile::encodeName(QFileInfo(file).absolutePath()).constData(), W_OK) == 0;
}

// What a read or an edit sees: a text, a list joined as it was written, or
// nothing for a missing key or a value QSettings cannot turn into text.
std::optional<QString> storedText(const QSettings &settings, const QString &section,
                                  const QString &key)
{
    const QVariant value = settings.value(section + u'/' + key);
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

} // namespace

std::optional<QString> userConfigFolder(const QProcessEnvironment &environment)
{
    // An absolute path, cleaned; the root's parent is the root itself.
    const auto usable = [](const QString &folder) -> std::optional<QString> {
        if (!QDir::isAbsolutePath(folder))
            return std::nullopt;
        QString clean = QDir::cleanPath(folder);
        while (clean == QLatin1String("/..") || clean.startsWith(QLatin1String("/../")))
            clean.remove(0, 3);
        if (clean.isEmpty() || clean == QLatin1String("/"))
            return std::nullopt;
        return clean;
    };
    if (std::optional<QString> configHome = usable(environment.value(QStringLiteral("XDG_CONFIG_HOME"))))
        return configHome;
    if (std::optional<QString> home = usable(environment.value(QStringLiteral("HOME"))))
        return *home + QStringLiteral("/.config");
    return std::nullopt;
}

IniStore::IniStore()
    : IniStore(userConfigFolder(QProcessEnvironment::systemEnvironment()).value_or(QString()))
{
}

IniStore::IniStore(QString folder) : m_folder(std::move(folder)) { }

IniStore::~IniStore() = default;

void IniStore::setWriteFailureHandler(std::function<void()> handler)
{
    m_onWriteFailure = std::move(handler);
}

IniStore::FileState IniStore::refresh(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info;
    if (::stat(native.constData(), &info) != 0) {
        m_seen = FileStamp{};
        return errno == ENOENT && !exists(native) ? FileState::Missing : FileState::Unusable;
    }
    if (!S_ISREG(info.st_mode))
        return FileState::Unusable;
    if (m_settings && stampOf(info) == m_seen)
        return FileState::Readable;
    const std::optional<FileStamp> stamp = readThrough(native);
    m_seen = stamp.value_or(FileStamp{});
    if (!stamp)
        return FileState::Unusable;
    if (m_settings)
        m_settings->sync();
    else
        m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    return FileState::Readable;
}

QString IniStore::GetSetting(const QString &app, const QString &section, const QString &key,
                             const QVariant &defaultValue)
{
    if (!m_folder.isEmpty() && refresh(settingsPath(m_folder, app)) == FileState::Readable) {
        if (std::optional<QString> stored = storedText(*m_settings, section, key))
            return *stored;
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
    const QByteArray native = QFile::encodeName(path);
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    const QDeadlineTimer deadline(LockWaitMs);
    QFile lock;
    if (!takeCommitLock(lock, native + ".commit-lock", deadline)
        || !settingsLockIsFree(native + ".lock", deadline))
        return false;
    if (refresh(path) == FileState::Unusable)
        return false;

    // Its own object for each save, gone before the lock is released: a save
    // that failed is never retried later, outside the lock.
    QSettings settings(path, QSettings::IniFormat);
    SettingsEdit changes([&settings](const QString &section, const QString &key) {
        return storedText(settings, section, key);
    });
    edit(changes);
    if (changes.changes().isEmpty())
        return true;
    const QString target = QFileInfo(path).canonicalFilePath();
    if (!mayReplace(native) || !mayCreateIn(path) || (!target.isEmpty() && !mayCreateIn(target)))
        return false;
    for (const SettingsChange &change : changes.changes())
        settings.setValue(change.section + u'/' + change.key, change.value);
    settings.sync();
    if (settings.status() == QSettings::AccessError)
        return false;

    // QSettings sees a new version by its size and time to the millisecond;
    // two saves of the same size within one millisecond must still differ.
    struct stat info;
    if (::stat(native.constData(), &info) != 0)
        return false;
    const qint64 before = m_seen.modifiedNs / 1000000;
    if (info.st_size == m_seen.size && nanoseconds(info.st_mtim) / 1000000 <= before) {
        const timespec times[2] = {{0, UTIME_OMIT}, {(before + 1) / 1000, (before + 1) % 1000 * 1000000}};
        if (::utimensat(AT_FDCWD, native.constData(), times, 0) != 0
            || ::stat(native.constData(), &info) != 0)
            return false;
    }
    m_seen = stampOf(info);
    return true;
}
