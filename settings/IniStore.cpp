#include "settings/IniStore.h"

#include "settings/StoreLayout.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <ctime>
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

qint64 milliseconds(qint64 ns)
{
    return ns / 1000000;
}

// Opened without waiting, so a FIFO in a file's place cannot hold the game up,
// and kept only if it is a regular file.
int openRegular(const QByteArray &path, int flags, struct stat &info)
{
    const int fd = ::open(path.constData(), flags | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// One version of the file as it was read, byte for byte.
struct FileText {
    QByteArray bytes;
    FileStamp stamp;
};

// Reads the file (a link to one counts) through to its end. QSettings takes a
// read that fails for an empty file and keeps no count of what it read, so
// Korvu keeps the bytes to check its view against: a file that does not read
// whole, or is larger than the store takes, is not used at all.
std::optional<FileText> readThrough(const QByteArray &path, qint64 limit)
{
    struct stat info;
    const int fd = openRegular(path, O_RDONLY, info);
    if (fd < 0)
        return std::nullopt;
    FileText text{QByteArray(), stampOf(info)};
    if (info.st_size <= limit)
        text.bytes.resize(qsizetype(info.st_size) + 1);
    qsizetype total = 0;
    ssize_t step = 1;
    while (total < text.bytes.size() && step != 0) {
        step = ::read(fd, text.bytes.data() + total, size_t(text.bytes.size() - total));
        if (step < 0 && errno != EINTR)
            break;
        total += std::max<ssize_t>(step, 0);
    }
    ::close(fd);
    // One byte more than the file had, or a read that stopped short, is a
    // file that changed or failed on the way.
    if (step < 0 || total != info.st_size)
        return std::nullopt;
    text.bytes.truncate(total);
    return text;
}

// Whether QSettings read `bytes` as they stand. It gives no error for a read
// that failed or stopped early, and a NUL byte hides a section header from it,
// so its view must hold each of Korvu's keys that starts a line of the file,
// under the section Korvu keeps it in, and some key where a line could set one.
bool viewMatches(const QByteArray &bytes, const QSettings &view)
{
    for (const auto &[section, key] : StoreKeys::all()) {
        const QByteArray line = key.toLatin1() + '=';
        if ((bytes.startsWith(line) || bytes.contains('\n' + line))
            && !view.contains(section + u'/' + key))
            return false;
    }
    return !bytes.contains('=') || !view.allKeys().isEmpty();
}

bool exists(const QByteArray &path)
{
    struct stat info;
    return ::lstat(path.constData(), &info) == 0;
}

// Korvu's own lock around each save: a kernel lock on a file of its own, so
// it is never left behind by a killed copy and never taken from a live one.
// A link planted there is not followed. Held until `lock` is closed.
bool takeCommitLock(QFile &lock, const QByteArray &path, const QDeadlineTimer &deadline)
{
    struct stat info;
    const int fd = openRegular(path, O_RDONLY | O_CREAT | O_NOFOLLOW, info);
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

// QSettings takes <file>.lock inside sync() and waits for it: for ever on a
// folder or FIFO, and on a file it does not take for a live lock until the
// file is 30 s old. Under the commit lock no copy of Korvu is saving, so a
// file or a link there that no process holds is left over: it is removed (a
// link as a link). Anything else, or a lock held past the deadline, refuses
// the save.
bool clearSettingsLock(const QByteArray &path, const QDeadlineTimer &deadline)
{
    for (;;) {
        struct stat info;
        if (::lstat(path.constData(), &info) != 0)
            return errno == ENOENT;
        if (deadline.hasExpired() || (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)))
            return false;
        bool held = false;
        if (S_ISREG(info.st_mode)) {
            const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            // Gone or replaced by a link between the two looks: look again.
            if (fd < 0 && errno != ENOENT && errno != ELOOP)
                return false;
            held = fd >= 0 && ::flock(fd, LOCK_SH | LOCK_NB) != 0;
            if (fd >= 0)
                ::close(fd);
        }
        if (held)
            QThread::msleep(LockPollMs);
        else if (::unlink(path.constData()) != 0 && errno != ENOENT)
            return false;
    }
}

// Dates the file now, so that QSettings, which tells versions apart by size
// and time to the millisecond, sees a version it has not parsed.
bool redate(const QByteArray &path, const FileStamp &parsed)
{
    timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    while (milliseconds(nanoseconds(now)) == milliseconds(parsed.modifiedNs)) {
        QThread::msleep(1);
        ::clock_gettime(CLOCK_REALTIME, &now);
    }
    const timespec times[2] = {{0, UTIME_OMIT}, now};
    return ::utimensat(AT_FDCWD, path.constData(), times, 0) == 0;
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

IniStore::FileState IniStore::refresh(const QString &path, bool locked)
{
    // Another copy may put a new version in place while QSettings reads the
    // old one: that is read again. A read that fails otherwise leaves the file
    // alone for the rest of the run: the windows may show defaults for what
    // it holds, and a save would write them.
    FileState state = FileState::Replaced;
    for (int attempt = 0; attempt < 3 && state == FileState::Replaced; ++attempt)
        state = readVersion(path, locked);
    if (state == FileState::Missing || state == FileState::Readable)
        return state;
    m_unusable = true;
    return FileState::Unusable;
}

IniStore::FileState IniStore::readVersion(const QString &path, bool locked)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info;
    if (::stat(native.constData(), &info) != 0) {
        m_checked = false;
        return errno == ENOENT && !exists(native) ? FileState::Missing : FileState::Unusable;
    }
    if (!S_ISREG(info.st_mode) || info.st_size > MaxFileSize)
        return FileState::Unusable;
    if (m_settings && m_checked && stampOf(info) == m_parsed)
        return FileState::Readable;
    m_checked = false;
    std::optional<FileText> text = readThrough(native, MaxFileSize);
    if (!text)
        return FileState::Unusable;
    if (m_settings) {
        // Changed where QSettings does not look (the same size, the time put
        // back): dated now, under the lock, so that it parses the new text.
        if (text->stamp != m_parsed && text->stamp.size == m_parsed.size
            && milliseconds(text->stamp.modifiedNs) == milliseconds(m_parsed.modifiedNs)) {
            QFile lock;
            if ((!locked && !takeCommitLock(lock, native + ".commit-lock", QDeadlineTimer(LockWaitMs)))
                || !redate(native, m_parsed) || ::stat(native.constData(), &info) != 0)
                return FileState::Unusable;
            text->stamp = stampOf(info);
        }
        m_settings->sync();
    } else {
        m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    }
    m_parsed = text->stamp;
    if (::stat(native.constData(), &info) != 0)
        return FileState::Unusable;
    if (stampOf(info) != text->stamp)
        return FileState::Replaced;
    m_checked = true;
    m_unusable = m_unusable || !viewMatches(text->bytes, *m_settings);
    return FileState::Readable;
}

QString IniStore::GetSetting(const QString &app, const QString &section, const QString &key,
                             const QVariant &defaultValue)
{
    if (!m_folder.isEmpty() && refresh(settingsPath(m_folder, app), false) == FileState::Readable) {
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
    if (m_folder.isEmpty() || m_unusable)
        return false;
    const QString path = settingsPath(m_folder, app);
    const QByteArray native = QFile::encodeName(path);
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    const QDeadlineTimer deadline(LockWaitMs);
    QFile lock;
    if (!takeCommitLock(lock, native + ".commit-lock", deadline)
        || !clearSettingsLock(native + ".lock", deadline))
        return false;
    const FileState state = refresh(path, true);
    if (m_unusable)
        return false;

    // Its own object for each save, gone before the lock is released: a save
    // that failed is never retried later, outside the lock. It shares the
    // view just checked.
    QSettings settings(path, QSettings::IniFormat);
    SettingsEdit changes([&settings](const QString &section, const QString &key) {
        return storedText(settings, section, key);
    });
    edit(changes);
    if (changes.changes().isEmpty())
        return true;
    if (!mayReplace(native))
        return false;
    for (const SettingsChange &change : changes.changes())
        settings.setValue(change.section + u'/' + change.key, change.value);
    settings.sync();
    if (settings.status() == QSettings::AccessError)
        return false;

    // Saved. Another copy's QSettings sees a new version by its size and time
    // to the millisecond: a save of the same size in the same millisecond as
    // the file it replaces is dated a millisecond later, and no more.
    struct stat info;
    const qint64 before = milliseconds(m_parsed.modifiedNs);
    const bool seen = ::stat(native.constData(), &info) == 0;
    if (seen && state == FileState::Readable && info.st_size == m_parsed.size
        && milliseconds(nanoseconds(info.st_mtim)) == before) {
        const timespec times[2] = {{0, UTIME_OMIT}, {(before + 1) / 1000, (before + 1) % 1000 * 1000000}};
        if (::utimensat(AT_FDCWD, native.constData(), times, 0) == 0)
            ::stat(native.constData(), &info);
    }
    // The next read checks what was written, as it checks any new version.
    m_parsed = seen ? stampOf(info) : FileStamp{};
    m_checked = false;
    return true;
}
