#pragma once

#include "browser/core/pattern.h"
#include "platform/result.h"

#include <QStringList>

namespace velumbra {

/// Whether @p folder can be listed; the failure names the folder and the reason.
[[nodiscard]] Result<> checkFolder(const QString &folder);

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
