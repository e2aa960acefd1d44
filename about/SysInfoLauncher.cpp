#include "about/SysInfoLauncher.h"

#include "about/FileProbe.h"
#include "about/ProgramLauncher.h"
#include "ui/Look.h"
#include "ui/MessageBoxes.h"

namespace {

constexpr quint32 BufferSize = 1024;
// Read and write access to the key and its values.
constexpr quint32 KeyAccess = 0x2003F;
constexpr long Success = 0;
constexpr QLatin1String ToolFile("\\MSINFO32.EXE");

} // namespace

SysInfoLauncher::SysInfoLauncher(SysInfoServices services, QWidget *owner)
    : m_services(services), m_owner(owner)
{
}

void SysInfoLauncher::StartSysInfo()
{
    try {
        QString path;
        if (!GetKeyValue(RegistryRoot::LocalMachine,
                         QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                         QStringLiteral("PATH"), path)) {
            if (!GetKeyValue(RegistryRoot::LocalMachine,
                             QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                             QStringLiteral("MSINFO"), path)
                || !m_services.files.exists(path + ToolFile)) {
                showUnavailable();
                return;
            }
            path += ToolFile;
        }
        if (!m_services.launcher.start(path))
            showUnavailable();
    } catch (const RegistryValueError &) {
        showUnavailable();
    }
}

bool SysInfoLauncher::GetKeyValue(RegistryKey KeyRoot, const QString &KeyName,
                                  const QString &SubKeyRef, QString &KeyVal)
{
    Registry &registry = m_services.registry;
    RegistryKey key = 0;
    if (registry.RegOpenKeyExA(KeyRoot, KeyName.toLocal8Bit(), 0, KeyAccess, key) != Success) {
        KeyVal.clear();
        return false;
    }

    QByteArray buffer(BufferSize, '\0');
    quint32 size = BufferSize;
    quint32 type = 0;
    if (registry.RegQueryValueExA(key, SubKeyRef.toLocal8Bit(), type, buffer.data(), size)
        != Success) {
        KeyVal.clear();
        registry.RegCloseKey(key);
        return false;
    }
    // Only sizes that point inside the buffer are read; the key is closed either way.
    if (size == 0 || size > BufferSize) {
        registry.RegCloseKey(key);
        throw RegistryValueError{size};
    }

    const QByteArray data = buffer.left(size);
    switch (type) {
    case RegistryType::Text:
        // The terminating zero, when there is one, is not part of the text.
        KeyVal = QString::fromLocal8Bit(data.endsWith('\0') ? data.chopped(1) : data);
        break;
    case RegistryType::Number: {
        quint32 number = 0;
        for (qsizetype i = qMin<qsizetype>(data.size(), 4) - 1; i >= 0; --i)
            number = (number << 8) | quint8(data.at(i));
        KeyVal = QStringLiteral("&h") + QString::number(number, 16).toUpper();
        break;
    }
    default:
        break;
    }
    registry.RegCloseKey(key);
    return true;
}

void SysInfoLauncher::showUnavailable()
{
    m_services.messages.ask({UnavailableText, Look::Title, MessageButtons::Ok, MessageAnswer::Ok,
                             m_owner});
}
