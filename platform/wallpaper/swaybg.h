// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/wallpaper/inhibitor.h"
#include "platform/wallpaper/wallpaper.h"

namespace velumbra {

// Wayland compositors with the layer-shell protocol and no wallpaper of
// their own: a swaybg started here shows the picture. It is started apart
// from the program (a session of its own), so that it outlives it and ends
// with the compositor, which is until logoff; the one running is noted in
// the user's runtime folder, so that the next change ends it.
class SwaybgSetter final : public WallpaperSetter
{
public:
    SwaybgSetter(std::string waylandDisplay, std::string runtimeDir, std::string display);

    [[nodiscard]] std::string name() const override { return "swaybg"; }
    [[nodiscard]] Result<> setWallpaper(const std::string &path,
                                        WallpaperLifetime lifetime) override;
    [[nodiscard]] Result<> disableScreenSaver() override;
    [[nodiscard]] LifetimeSupport lifetimeSupport(LastingSetting what) const override
    {
        return what == LastingSetting::Wallpaper ? LifetimeSupport::SessionOnly
                                                 : LifetimeSupport::Native;
    }

private:
    std::string m_wayland;
    std::string m_runtimeDir;
    std::string m_display;
    ScreenSaverInhibitor m_inhibitor;
};

} // namespace velumbra
