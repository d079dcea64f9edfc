// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/process.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace velumbra {

bool SystemProcessStarter::startDetached(const std::string &path)
{
    if (path.empty())
        return false;
    // The command line is writable for CreateProcess and carries the quoted
    // program name as its first argument.
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

std::vector<std::string> SystemProcessStarter::searchFolders() const
{
    // Windows finds its system-information program through the registry only.
    return {};
}

std::vector<std::string> standardProgramFolders()
{
    return {};
}

} // namespace velumbra
