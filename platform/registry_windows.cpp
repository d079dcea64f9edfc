// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/registry.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace velumbra {
namespace {

HKEY rootKey(RegistryRoot root)
{
    // The predefined keys are sign-extended pointers on 64-bit Windows, so the
    // documented 32-bit numbers cannot simply be cast.
    switch (root) {
    case RegistryRoot::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser:
        return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    }
    return nullptr;
}

} // namespace

long SystemRegistry::openKey(RegistryRoot root, const std::string &subKey, RegistryHandle &key)
{
    HKEY opened = nullptr;
    // Read access only: asking for write access to HKEY_LOCAL_MACHINE is
    // refused to every ordinary account and would hide an installed program.
    const LONG status = RegOpenKeyExA(rootKey(root), subKey.c_str(), 0, KEY_READ, &opened);
    key = status == ERROR_SUCCESS ? reinterpret_cast<RegistryHandle>(opened) : 0;
    return status;
}

long SystemRegistry::queryValue(RegistryHandle key, const std::string &name, std::uint32_t &type,
                                unsigned char *data, std::uint32_t &size)
{
    DWORD valueType = 0;
    DWORD valueSize = size;
    const LONG status = RegQueryValueExA(reinterpret_cast<HKEY>(key), name.c_str(), nullptr,
                                         &valueType, data, &valueSize);
    type = valueType;
    size = valueSize;
    return status;
}

void SystemRegistry::closeKey(RegistryHandle key)
{
    if (key != 0)
        RegCloseKey(reinterpret_cast<HKEY>(key));
}

} // namespace velumbra
