#pragma once

#include <QByteArray>
#include <QtGlobal>

// A registry key handle: a predefined root or a key opened below one.
using RegistryKey = quintptr;

namespace RegistryRoot {
constexpr RegistryKey LocalMachine = 0x80000002;
} // namespace RegistryRoot

namespace RegistryType {
constexpr quint32 Text = 1;   // a zero-terminated single-byte text
constexpr quint32 Number = 4; // a 32-bit little-endian number
} // namespace RegistryType

// The three registry calls the system-information launcher makes, with the
// single-byte texts and result codes of the system's own functions (0 is
// success). Tests script it; off Windows it holds no keys.
class Registry {
public:
    virtual ~Registry() = default;

    virtual long RegOpenKeyExA(RegistryKey root, const QByteArray &subKey, quint32 options,
                               quint32 access, RegistryKey &opened) = 0;
    // size holds the buffer's capacity on the way in and the value's size on the
    // way out.
    virtual long RegQueryValueExA(RegistryKey key, const QByteArray &valueName, quint32 &type,
                                  char *data, quint32 &size) = 0;
    virtual long RegCloseKey(RegistryKey key) = 0;
};

// The machine's registry on Windows; elsewhere every key is missing.
class SystemRegistry final : public Registry {
public:
    long RegOpenKeyExA(RegistryKey root, const QByteArray &subKey, quint32 options,
                       quint32 access, RegistryKey &opened) override;
    long RegQueryValueExA(RegistryKey key, const QByteArray &valueName, quint32 &type,
                          char *data, quint32 &size) override;
    long RegCloseKey(RegistryKey key) override;
};
