#pragma once

#include "browser/core/folderproblem.h"
#include "browser/core/pattern.h"

#include <QStringList>

#include <optional>

namespace velumbra {

/// Why @p folder cannot be listed, or nothing when it can.
[[nodiscard]] std::optional<FolderProblem> folderProblem(const QString &folder);

/// The names of @p folder's files that @p pattern matches, alphabetical
/// ignoring case; never folders, never hidden files.
[[nodiscard]] QStringList listFiles(const QString &folder, const NamePattern &pattern);

/// The names of @p folder's subfolders, alphabetical ignoring case; hidden
/// folders left out.
[[nodiscard]] QStringList listSubfolders(const QString &folder);

/// A folder path the way the lists show it: absolute, clean, native
/// separators, a trailing separator on a root only.
[[nodiscard]] QString normalizedFolder(const QString &folder);

} // namespace velumbra
