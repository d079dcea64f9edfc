// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "browser/core/pattern.h"
#include "platform/result.h"

#include <QStringList>

namespace velumbra {

/// Whether @p folder can be listed; the failure names the folder and the reason.
[[nodiscard]] Result<> checkFolder(const QString &folder);

/// What one reading of a folder gives both lists, each alphabetical ignoring case.
struct FolderContents
{
    QStringList files;      ///< the files the pattern matches; never hidden ones
    QStringList subfolders; ///< hidden folders left out
};

/// Reads @p folder once for both lists, @p pattern applied while reading.
/// A name that is not valid UTF-8 keeps its bytes (see platform/folders.h).
[[nodiscard]] Result<FolderContents> readFolderContents(const QString &folder,
                                                        const NamePattern &pattern);

/// The names of @p folder's files that @p pattern matches, alphabetical
/// ignoring case; never folders, never hidden files.
[[nodiscard]] QStringList listFiles(const QString &folder, const NamePattern &pattern);

/// The names of @p folder's subfolders, alphabetical ignoring case; hidden
/// folders left out.
[[nodiscard]] QStringList listSubfolders(const QString &folder);

/// A folder path the way the lists show it: absolute, clean, native
/// separators, a trailing separator on a root only.
[[nodiscard]] QString normalizedFolder(const QString &folder);

/// The name or path as the file system holds it, for opening the file.
[[nodiscard]] std::string fileSystemPath(const QString &path);

/// A name or path from the file system as the text the lists hold.
[[nodiscard]] QString fromFileSystem(std::string_view bytes);

/// @p name as a list or a message shows it: a byte that is not UTF-8 as U+FFFD.
[[nodiscard]] QString shownText(const QString &name);

} // namespace velumbra
