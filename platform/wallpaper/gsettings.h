// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/wallpaper/wallpaper.h"

namespace velumbra {

// The GNOME family's wallpaper in GSettings, through GIO, so that GIO's own
// environment (GSETTINGS_BACKEND, XDG_CONFIG_HOME, GSETTINGS_SCHEMA_DIR)
// applies. The desktop keeps the value for good whatever the lifetime asked.
class GSettingsSetter final : public WallpaperSetter
{
public:
    enum class Flavour { Gnome, Cinnamon, Mate };

    GSettingsSetter(Flavour flavour, std::string display);

    [[nodiscard]] std::string name() const override;
    [[nodiscard]] Result<> setWallpaper(const std::string &path,
                                        WallpaperLifetime lifetime) override;
    [[nodiscard]] Result<> disableScreenSaver() override;
    [[nodiscard]] LifetimeSupport lifetimeSupport(LastingSetting what) const override;
    [[nodiscard]] Result<std::string> readLasting(LastingSetting what) override;
    [[nodiscard]] Result<> restoreLasting(LastingSetting what, const std::string &state) override;

private:
    Flavour m_flavour;
    std::string m_display;
};

} // namespace velumbra
