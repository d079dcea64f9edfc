// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <QString>

namespace velumbra {

class FileList;
class FolderList;

/// Opens @p path in both lists from one reading of the folder, the file list
/// under @p pattern. On failure both lists stay where they were and the
/// failure names the folder and the reason.
Result<> openFolder(FolderList &folders, FileList &files, const QString &path,
                    const QString &pattern);

} // namespace velumbra
