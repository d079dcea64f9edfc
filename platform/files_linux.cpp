// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files.h"

#include <sys/stat.h>

namespace velumbra {

bool SystemFileProbe::fileExists(const std::string &path) const
{
    struct stat info
    {
    };
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace velumbra
