// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/sysinfo.h"

#include <algorithm>
#include <array>

namespace velumbra {
namespace {

constexpr std::uint32_t kBufferSize = 1024;

const char *const kUnavailable = "Les informations système ne sont pas disponibles actuellement";

std::string joinPath(const std::string &folder, const std::string &name, char separator)
{
    if (!folder.empty() && folder.back() == separator)
        return folder + name;
    return folder + separator + name;
}

} // namespace

WellKnownPrograms systemInformationPrograms(const std::vector<std::string> &standardFolders)
{
    if (standardFolders.empty())
        return {};
    // Programs that describe the machine come before the process monitors,
    // which show less of it.
    static const char *const names[] = {
        "hardinfo",
        "kinfocenter",
        "gnome-system-monitor",
        "mate-system-monitor",
        "plasma-systemmonitor",
        "xfce4-taskmanager",
        "lxtask",
    };
    WellKnownPrograms programs;
    for (const char *name : names) {
        for (const std::string &folder : standardFolders)
            programs.fullPaths.push_back(joinPath(folder, name, '/'));
        programs.names.emplace_back(name);
    }
    return programs;
}

bool GetKeyValue(Registry &registry, RegistryRoot KeyRoot, const std::string &KeyName,
                 const std::string &SubKeyRef, std::string &KeyVal)
{
    RegistryHandle key = 0;
    bool found = false;
    if (registry.openKey(KeyRoot, KeyName, key) == RegistryStatus::Success) {
        std::array<unsigned char, kBufferSize> buffer{};
        std::uint32_t size = kBufferSize;
        std::uint32_t type = 0;
        if (registry.queryValue(key, SubKeyRef, type, buffer.data(), size) ==
                RegistryStatus::Success &&
            size <= kBufferSize) {
            found = true;
            if (type == RegistryType::String) {
                // Stored with or without its final NUL, and possibly with a
                // second string behind it: the text ends at the first NUL.
                const auto end = std::find(buffer.begin(), buffer.begin() + size, 0);
                KeyVal.assign(buffer.begin(), end);
            } else if (type == RegistryType::Dword) {
                std::uint32_t number = 0;
                for (std::uint32_t i = 0; i < 4 && i < size; ++i)
                    number |= std::uint32_t(buffer[i]) << (8 * i);
                KeyVal = std::to_string(number);
            }
        }
    }
    if (!found)
        KeyVal.clear();
    // Closed on every road, the failed open included, as the callers expect.
    registry.closeKey(key);
    return found;
}

Result<std::string> findSysInfo(const SysInfoSources &sources)
{
    constexpr RegistryRoot machine = RegistryRoot::LocalMachine;
    std::string text;
    // The registry's full path is taken as it is: a missing file shows up when
    // it fails to start.
    if (GetKeyValue(sources.registry, machine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                    text))
        return text;
    for (const std::string &path : sources.programs.fullPaths)
        if (sources.files.fileExists(path))
            return path;

    if (GetKeyValue(sources.registry, machine, "SOFTWARE\\Microsoft\\Shared Tools Location",
                    "MSINFO", text)) {
        // An empty folder would point at the root of the current drive.
        if (text.empty())
            return Failure{kUnavailable};
        const std::string path = joinPath(text, "MSINFO32.EXE", '\\');
        if (sources.files.fileExists(path))
            return path;
        return Failure{kUnavailable};
    }
    for (const std::string &folder : sources.processes.searchFolders())
        for (const std::string &name : sources.programs.names) {
            const std::string path = joinPath(folder, name, '/');
            if (sources.files.fileExists(path))
                return path;
        }
    return Failure{kUnavailable};
}

Result<> startSysInfo(const SysInfoSources &sources)
{
    const Result<std::string> path = findSysInfo(sources);
    if (!path)
        return Failure{path.reason()};
    if (!sources.processes.startDetached(*path))
        return Failure{kUnavailable};
    return Result<>::success();
}

} // namespace velumbra
