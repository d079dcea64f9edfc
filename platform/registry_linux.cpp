// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/registry.h"

namespace velumbra {

// Linux has no registry: every key is missing, so the look-up moves on to the
// well-known programs.
long SystemRegistry::openKey(RegistryRoot, const std::string &, RegistryHandle &key)
{
    key = 0;
    return RegistryStatus::FileNotFound;
}

long SystemRegistry::queryValue(RegistryHandle, const std::string &, std::uint32_t &type,
                                unsigned char *, std::uint32_t &size)
{
    type = 0;
    size = 0;
    return RegistryStatus::InvalidHandle;
}

void SystemRegistry::closeKey(RegistryHandle) {}

} // namespace velumbra
