// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace velumbra {

/// Why a folder cannot be opened.
enum class FolderProblem { Missing, NotAFolder, NoPermission, DriveNotReady, NameNotText };

/// The French message naming the folder and the reason.
[[nodiscard]] std::string folderProblemMessage(std::string_view folder, FolderProblem problem);

} // namespace velumbra
