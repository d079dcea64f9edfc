// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/process.h"

#include <QProcess>
#include <QString>

#include <cstdlib>

namespace velumbra {

bool SystemProcessStarter::startDetached(const std::string &path)
{
    if (path.empty())
        return false;
    // An argument list and no shell: the path is never interpreted.
    return QProcess::startDetached(QString::fromStdString(path), QStringList());
}

std::vector<std::string> SystemProcessStarter::searchFolders() const
{
    std::vector<std::string> folders;
    const char *path = std::getenv("PATH");
    if (path == nullptr)
        return folders;
    std::string rest(path);
    std::size_t start = 0;
    while (start <= rest.size()) {
        const std::size_t colon = rest.find(':', start);
        const std::size_t end = colon == std::string::npos ? rest.size() : colon;
        if (end > start)
            folders.push_back(rest.substr(start, end - start));
        start = end + 1;
    }
    return folders;
}

std::vector<std::string> standardProgramFolders()
{
    return {"/usr/bin"};
}

} // namespace velumbra
