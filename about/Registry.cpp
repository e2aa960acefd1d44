#include "about/Registry.h"

#ifdef Q_OS_WIN
#include <qt_windows.h>

namespace {

// The system's predefined roots are the 32-bit values sign-extended into a
// handle, so the root is mapped rather than cast.
HKEY handle(RegistryKey key)
{
    if (key == RegistryRoot::LocalMachine)
        return HKEY_LOCAL_MACHINE;
    return reinterpret_cast<HKEY>(key);
}

} // namespace

long SystemRegistry::RegOpenKeyExA(RegistryKey root, const QByteArray &subKey, quint32 options,
                                   quint32 access, RegistryKey &opened)
{
    HKEY key = nullptr;
    const LSTATUS result =
            ::RegOpenKeyExA(handle(root), subKey.constData(), options, access, &key);
    opened = reinterpret_cast<RegistryKey>(key);
    return result;
}

long SystemRegistry::RegQueryValueExA(RegistryKey key, const QByteArray &valueName,
                                      quint32 &type, char *data, quint32 &size)
{
    DWORD valueType = 0;
    DWORD valueSize = size;
    const LSTATUS result = ::RegQueryValueExA(handle(key), valueName.constData(), nullptr,
                                              &valueType, reinterpret_cast<LPBYTE>(data),
                                              &valueSize);
    type = valueType;
    size = valueSize;
    return result;
}

long SystemRegistry::RegCloseKey(RegistryKey key)
{
    return ::RegCloseKey(handle(key));
}

#else

namespace {
constexpr long FileNotFound = 2;
}

long SystemRegistry::RegOpenKeyExA(RegistryKey, const QByteArray &, quint32, quint32,
                                   RegistryKey &opened)
{
    opened = 0;
    return FileNotFound;
}

long SystemRegistry::RegQueryValueExA(RegistryKey, const QByteArray &, quint32 &type, char *,
                                      quint32 &size)
{
    type = 0;
    size = 0;
    return FileNotFound;
}

long SystemRegistry::RegCloseKey(RegistryKey)
{
    return 0;
}

#endif
