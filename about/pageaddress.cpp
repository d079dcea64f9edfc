// SPDX-License-Identifier: GPL-3.0-or-later
#include "about/pageaddress.h"

#include <filesystem>

namespace velumbra {

std::string installedHelpPageRelative()
{
    return VELUMBRA_HELP_INSTALLED_RELATIVE;
}

std::string configuredHelpAddress()
{
    return VELUMBRA_HELP_URL;
}

std::string configuredAuthorAddress()
{
    return VELUMBRA_AUTHOR_URL;
}

std::string helpPageAddress(const std::string &configured, const std::string &programFolder,
                            const std::string &installedRelative)
{
    if (!configured.empty())
        return configured;
    namespace fs = std::filesystem;
    return (fs::path(programFolder) / fs::path(installedRelative)).lexically_normal().string();
}

std::string authorSiteAddress(const std::string &configured, const std::string &helpAddress)
{
    return configured.empty() ? helpAddress : configured;
}

} // namespace velumbra
