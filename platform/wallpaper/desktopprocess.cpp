// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wallpaper/desktopprocess.h"
#include "platform/wallpaper/filecheck.h"

#include <QFileInfo>
#include <QImageReader>

#include <fstream>
#include <iterator>
#include <sstream>

namespace velumbra {

Result<std::string> checkedPicture(const std::string &path)
{
    if (Result<> usable = checkWallpaperFile(path); !usable)
        return Failure{usable.reason()};
    const QString file = QString::fromStdString(path);
    QImageReader reader(file);
    if (!reader.canRead())
        return Failure{"L'image « " + path + " » ne peut pas être lue (" +
                       reader.errorString().toStdString() + ") : le papier peint reste inchangé."};
    return QFileInfo(file).absoluteFilePath().toStdString();
}

std::optional<ProcessState> processState(long pid)
{
    if (pid <= 0)
        return std::nullopt;
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string line((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The name sits between parentheses and may hold anything, ')' included.
    const auto open = line.find('(');
    const auto close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open)
        return std::nullopt;
    ProcessState state;
    state.name = line.substr(open + 1, close - open - 1);
    std::istringstream fields(line.substr(close + 1));
    fields >> state.state >> state.parent;
    // Fields 5 to 21 come before the start time (field 22).
    std::string skipped;
    for (int i = 5; i <= 21; ++i)
        fields >> skipped;
    fields >> state.startTime;
    if (!fields)
        return std::nullopt;
    return state;
}

std::vector<std::string> processArguments(long pid)
{
    std::vector<std::string> arguments;
    if (pid <= 0)
        return arguments;
    std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    std::string argument;
    while (std::getline(in, argument, '\0'))
        arguments.push_back(argument);
    return arguments;
}

std::string profileOption(const std::vector<std::string> &arguments)
{
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string &a = arguments[i];
        const bool separate = a == "--profile" || a == "-p";
        if (separate && i + 1 < arguments.size())
            return arguments[i + 1];
        if (a.rfind("--profile=", 0) == 0)
            return a.substr(10);
        if (a.size() > 2 && a.rfind("-p", 0) == 0 && a[2] != '-')
            return a.substr(a[2] == '=' ? 3 : 2);
    }
    return "default";
}

} // namespace velumbra
