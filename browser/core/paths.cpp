// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/core/paths.h"

namespace velumbra {

std::string joinPath(std::string_view folder, std::string_view name, char separator)
{
    std::string out(folder);
    if (out.empty() || out.back() != separator)
        out += separator;
    out += name;
    return out;
}

std::string rootOf(std::string_view path, char separator)
{
    if (path.size() >= 2 && path[1] == ':') {
        std::string root(path.substr(0, 2));
        return root + separator;
    }
    if (path.size() >= 2 && path[0] == separator && path[1] == separator) {
        // A network share: the server and the share name make up the root.
        const std::size_t server = path.find(separator, 2);
        if (server == std::string_view::npos)
            return {};
        const std::size_t share = path.find(separator, server + 1);
        return std::string(path.substr(0, share)) + separator;
    }
    if (!path.empty() && path[0] == separator)
        return std::string(1, separator);
    return {};
}

std::vector<FolderRow> folderRows(std::string_view path, const std::vector<std::string> &subfolders,
                                  char separator)
{
    std::vector<FolderRow> rows;
    const std::string root = rootOf(path, separator);
    if (root.empty())
        return rows;
    rows.push_back({root, root, 0, false});
    std::string current = root;
    std::size_t pos = root.size();
    while (pos < path.size()) {
        std::size_t end = path.find(separator, pos);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > pos) {
            const std::string_view part = path.substr(pos, end - pos);
            current = joinPath(current, part, separator);
            rows.push_back({std::string(part), current, int(rows.size()), false});
        }
        pos = end + 1;
    }
    rows.back().current = true;
    const int depth = int(rows.size());
    for (const std::string &sub : subfolders)
        rows.push_back({sub, joinPath(current, sub, separator), depth, false});
    return rows;
}

} // namespace velumbra
