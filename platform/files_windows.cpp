// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace velumbra {

bool SystemFileProbe::fileExists(const std::string &path) const
{
    if (path.empty())
        return false;
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    const DWORD hidden = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (found.dwFileAttributes & hidden) == 0;
}

} // namespace velumbra
