// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/files.h"

#include <string>

namespace velumbra {

/// The help page seen from the program's folder, as this build installs it
/// (the build tree keeps a copy at the same place beside the built program).
[[nodiscard]] std::string installedHelpPageRelative();

/// The help address configured at build time (empty when none was).
[[nodiscard]] std::string configuredHelpAddress();

/// The author's site configured at build time (empty when none was).
[[nodiscard]] std::string configuredAuthorAddress();

/// The address to open for help: @p configured when it is set, else the
/// page at @p installedRelative from the program's folder @p programFolder.
[[nodiscard]] std::string helpPageAddress(const std::string &configured,
                                          const std::string &programFolder,
                                          const std::string &installedRelative);

/// The author's site: @p configured when it is set, else the help page.
[[nodiscard]] std::string authorSiteAddress(const std::string &configured,
                                            const std::string &helpAddress);

} // namespace velumbra
