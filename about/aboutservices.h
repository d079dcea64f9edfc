// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "about/sysinfo.h"
#include "platform/webpage.h"

#include <string>

namespace velumbra {

/// The system services the About dialog and the help command work with.
struct AboutServices
{
    Registry &registry;
    FileProbe &files;
    ProcessStarter &processes;
    WebPageOpener &web;
    WellKnownPrograms programs;
    std::string helpAddress;   ///< the help page, resolved once at start
    std::string authorAddress; ///< what urlhttp shows and opens
};

} // namespace velumbra
