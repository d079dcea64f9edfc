#include "platform/registry.h"

#include <QProcess>
#include <QString>

#include <cstdlib>
#include <sys/stat.h>

namespace velumbra {

WellKnownPrograms systemInformationPrograms()
{
    // Programs that describe the machine come before the process monitors,
    // which show less of it; the full paths are where distributions put them.
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
        programs.fullPaths.push_back(std::string("/usr/bin/") + name);
        programs.names.emplace_back(name);
    }
    return programs;
}

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

bool SystemFileProbe::fileExists(const std::string &path) const
{
    struct stat info
    {
    };
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace velumbra
