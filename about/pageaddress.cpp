#include "about/pageaddress.h"

#include <filesystem>

namespace velumbra {

HelpPageCopies builtHelpPageCopies()
{
    return {VELUMBRA_HELP_INSTALLED_RELATIVE, VELUMBRA_HELP_SOURCE_COPY};
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
                            const HelpPageCopies &copies, const FileProbe &files)
{
    if (!configured.empty())
        return configured;
    namespace fs = std::filesystem;
    const std::string installed =
        (fs::path(programFolder) / fs::path(copies.installedRelative)).lexically_normal().string();
    if (files.fileExists(installed) || !files.fileExists(copies.sourceCopy))
        return installed;
    return copies.sourceCopy;
}

std::string authorSiteAddress(const std::string &configured, const std::string &helpAddress)
{
    return configured.empty() ? helpAddress : configured;
}

} // namespace velumbra
