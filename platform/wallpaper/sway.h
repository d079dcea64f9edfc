// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/wallpaper/inhibitor.h"
#include "platform/wallpaper/wallpaper.h"

namespace velumbra {

// sway's outputs, through its IPC socket. sway hands the file name to a shell
// word expansion and splits commands at ';' and ',': the picture is passed
// through a link of a plain name in the user's runtime folder, which also
// lasts exactly until logoff, like the setting itself.
class SwaySetter final : public WallpaperSetter
{
public:
    SwaySetter(std::string socketPath, std::string runtimeDir, std::string display);

    [[nodiscard]] std::string name() const override { return "sway"; }
    [[nodiscard]] Result<> setWallpaper(const std::string &path,
                                        WallpaperLifetime lifetime) override;
    [[nodiscard]] Result<> disableScreenSaver() override;
    [[nodiscard]] LifetimeSupport lifetimeSupport(LastingSetting what) const override
    {
        return what == LastingSetting::Wallpaper ? LifetimeSupport::SessionOnly
                                                 : LifetimeSupport::Native;
    }

private:
    std::string m_socket;
    std::string m_runtimeDir;
    std::string m_display;
    int m_nextLink = 0;
    ScreenSaverInhibitor m_inhibitor;
};

// Whether sway's command parser and word expansion leave @p path as it is.
[[nodiscard]] bool isPlainSwayPath(const std::string &path);

// The outcome of one sway IPC command: nothing on success, else the French reason.
[[nodiscard]] std::string runSwayCommand(const std::string &socketPath, const std::string &command);

} // namespace velumbra
