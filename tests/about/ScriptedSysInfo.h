#pragma once

#include "about/FileProbe.h"
#include "about/ProgramLauncher.h"
#include "about/Registry.h"

#include <QMap>
#include <QSet>
#include <QStringList>

#include <cstring>

// One scripted registry value below HKEY_LOCAL_MACHINE.
struct ScriptedValue {
    QByteArray key;
    QByteArray name;
    quint32 type = RegistryType::Text;
    QByteArray data;
    // The size reported back; negative reports the data's own size.
    qint64 reportedSize = -1;
};

// A registry holding only the scripted values. It answers like the system's:
// 2 for a missing key or value, 234 with the needed size when the buffer is too
// small. It records every call and counts the keys still open.
class ScriptedRegistry final : public Registry {
public:
    static constexpr long NotFound = 2;
    static constexpr long MoreData = 234;

    void add(const ScriptedValue &value) { m_values[value.key][value.name] = value; }
    void addKey(const QByteArray &key) { m_values[key]; }

    long RegOpenKeyExA(RegistryKey root, const QByteArray &subKey, quint32 options,
                       quint32 access, RegistryKey &opened) override
    {
        calls.append(QStringLiteral("open %1 %2 %3 0x%4")
                             .arg(QLatin1String(root == RegistryRoot::LocalMachine ? "HKLM" : "other"),
                                  QString::fromLatin1(subKey))
                             .arg(options)
                             .arg(access, 0, 16));
        if (root != RegistryRoot::LocalMachine || !m_values.contains(subKey))
            return NotFound;
        opened = m_nextHandle++;
        m_open.insert(opened, subKey);
        return 0;
    }

    long RegQueryValueExA(RegistryKey key, const QByteArray &valueName, quint32 &type,
                          char *data, quint32 &size) override
    {
        calls.append(QStringLiteral("query %1").arg(QString::fromLatin1(valueName)));
        if (!m_open.contains(key))
            return 6; // an invalid handle
        const auto values = m_values.value(m_open.value(key));
        if (!values.contains(valueName))
            return NotFound;
        const ScriptedValue &value = values[valueName];
        type = value.type;
        const auto needed = quint32(value.data.size());
        if (needed > size) {
            size = needed;
            return MoreData;
        }
        std::memcpy(data, value.data.constData(), needed);
        size = value.reportedSize < 0 ? needed : quint32(value.reportedSize);
        return 0;
    }

    long RegCloseKey(RegistryKey key) override
    {
        calls.append(QStringLiteral("close"));
        return m_open.remove(key) == 1 ? 0 : 6;
    }

    qsizetype openKeys() const { return m_open.size(); }

    QStringList calls;

private:
    QMap<QByteArray, QMap<QByteArray, ScriptedValue>> m_values;
    QMap<RegistryKey, QByteArray> m_open;
    RegistryKey m_nextHandle = 0x100;
};

// Files that exist, and the paths asked about.
class ScriptedFiles final : public FileProbe {
public:
    bool exists(const QString &path) override
    {
        asked.append(path);
        return files.contains(path);
    }

    QSet<QString> files;
    QStringList asked;
};

// Programs that start; every attempt is recorded, failed ones too.
class ScriptedLauncher final : public ProgramLauncher {
public:
    bool start(const QString &program) override
    {
        started.append(program);
        return programs.contains(program);
    }

    QSet<QString> programs;
    QStringList started;
};
