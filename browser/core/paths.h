// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velumbra {

/// A file's full path: the folder, the separator unless the folder already
/// ends with it (a drive root such as "/" or "C:\"), then the bare name.
[[nodiscard]] std::string joinPath(std::string_view folder, std::string_view name, char separator);

/// The root a folder path starts from: "/" for "/home/x", "C:\" for
/// "C:\Images", "\\server\share\" for a network share; empty when the path
/// is not absolute.
[[nodiscard]] std::string rootOf(std::string_view path, char separator);

/// One row of the folder list.
struct FolderRow
{
    std::string label; ///< what the row shows: the root in full, else the folder's name
    std::string path;  ///< the folder the row opens
    int depth = 0;     ///< 0 for the root; subfolders are one deeper than the current folder
    bool current = false;
};

/// The folder list's rows: the root, each folder down to @p path (marked
/// current), then @p subfolders (bare names, in the order given).
[[nodiscard]] std::vector<FolderRow>
folderRows(std::string_view path, const std::vector<std::string> &subfolders, char separator);

} // namespace velumbra
