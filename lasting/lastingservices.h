// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "lasting/filestore.h"
#include "lasting/lastingsetter.h"

namespace velumbra {

// The record, the autostart entry and the setter around @p desktop, where
// the process's XDG variables put them; @p restoreProgram is what the
// autostart entry runs.
class LastingServices
{
public:
    LastingServices(WallpaperSetter &desktop, const std::string &restoreProgram);

    [[nodiscard]] LastingWallpaperSetter &setter() { return m_setter; }

private:
    LastingPaths m_paths;
    FileLastingStore m_store;
    XdgAutostartEntry m_autostart;
    LastingWallpaperSetter m_setter;
};

// velumbra-restore beside the running program.
[[nodiscard]] std::string restoreProgramBesideThisOne();

} // namespace velumbra
