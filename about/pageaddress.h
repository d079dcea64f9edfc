#pragma once

#include "platform/files.h"

#include <string>

namespace velumbra {

/// Where the help page may be found when no address is configured.
struct HelpPageCopies
{
    std::string installedRelative; ///< from the program's folder to the installed page
    std::string sourceCopy;        ///< full path of the page in the source tree
};

/// The page copies this build knows of.
[[nodiscard]] HelpPageCopies builtHelpPageCopies();

/// The help address configured at build time (empty when none was).
[[nodiscard]] std::string configuredHelpAddress();

/// The author's site configured at build time (empty when none was).
[[nodiscard]] std::string configuredAuthorAddress();

/// The address to open for help: @p configured when it is set, else the
/// installed page beside the program in @p programFolder, else the source
/// tree's copy (a build that was never installed), else the installed path
/// all the same so that the failure is the browser's to show.
[[nodiscard]] std::string helpPageAddress(const std::string &configured,
                                          const std::string &programFolder,
                                          const HelpPageCopies &copies, const FileProbe &files);

/// The author's site: @p configured when it is set, else the help page.
[[nodiscard]] std::string authorSiteAddress(const std::string &configured,
                                            const std::string &helpAddress);

} // namespace velumbra
