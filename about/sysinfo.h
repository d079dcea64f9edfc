// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/files.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/result.h"

#include <string>
#include <vector>

namespace velumbra {

/// Reads the value @p SubKeyRef of the key @p KeyName under @p KeyRoot. True
/// once the value could be read, whatever its type: a string value (without
/// its final NUL) or a DWORD (in decimal) is then written to @p KeyVal, any
/// other type leaves @p KeyVal as it was. False, with @p KeyVal emptied, for a
/// key or value that is missing, refused, or longer than 1024 bytes. The key
/// is always closed again.
bool GetKeyValue(Registry &registry, RegistryRoot KeyRoot, const std::string &KeyName,
                 const std::string &SubKeyRef, std::string &KeyVal);

/// Where a system keeps its system-information programs when the registry does
/// not name one.
struct WellKnownPrograms
{
    std::vector<std::string> fullPaths; ///< looked at first, in this order
    std::vector<std::string> names;     ///< then looked up in each search folder
};

/// The programs that describe the machine, each looked for in
/// @p standardFolders (the system's own program folders) and by name in the
/// search folders; none where the system has no standard folder (Windows,
/// whose registry names the program).
[[nodiscard]] WellKnownPrograms
systemInformationPrograms(const std::vector<std::string> &standardFolders);

/// Where the system-information program is looked for.
struct SysInfoSources
{
    Registry &registry;
    const FileProbe &files;
    ProcessStarter &processes;
    const WellKnownPrograms &programs;
};

/// The system-information program to start: first a full path (the
/// registry's, then the first well-known one that exists), then a folder and a
/// program name (the registry's folder with MSINFO32.EXE, then each search
/// folder with each well-known name). Fails when none is found.
[[nodiscard]] Result<std::string> findSysInfo(const SysInfoSources &sources);

/// Starts the program findSysInfo finds; fails, with the notice the user is
/// shown, when there is none or it would not start.
[[nodiscard]] Result<> startSysInfo(const SysInfoSources &sources);

} // namespace velumbra
