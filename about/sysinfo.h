#pragma once

#include "platform/registry.h"

#include <optional>
#include <string>

namespace velumbra {

/// Reads the value @p SubKeyRef of the key @p KeyName under @p KeyRoot. True
/// once the value could be read, whatever its type: a string value (without
/// its final NUL) or a DWORD (in decimal) is then written to @p KeyVal, any
/// other type leaves @p KeyVal as it was. False, with @p KeyVal emptied, for a
/// key or value that is missing, refused, or longer than 1024 bytes. The key
/// is always closed again.
bool GetKeyValue(Registry &registry, RegistryRoot KeyRoot, const std::string &KeyName,
                 const std::string &SubKeyRef, std::string &KeyVal);

/// Where the system-information program is looked for.
struct SysInfoSources
{
    Registry &registry;
    const FileProbe &files;
    ProcessStarter &processes;
    const WellKnownPrograms &programs;
};

/// The system-information program to start, or nothing when none is found:
/// first a full path (the registry's, then the first well-known one that
/// exists), then a folder and a program name (the registry's folder with
/// MSINFO32.EXE, then each search folder with each well-known name).
[[nodiscard]] std::optional<std::string> findSysInfo(const SysInfoSources &sources);

/// Starts the program findSysInfo finds; false when there is none or it would
/// not start, which the caller reports.
[[nodiscard]] bool startSysInfo(const SysInfoSources &sources);

} // namespace velumbra
