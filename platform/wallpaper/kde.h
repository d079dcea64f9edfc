// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/wallpaper/inhibitor.h"
#include "platform/wallpaper/wallpaper.h"

namespace velumbra {

// KDE Plasma's desktops, through plasmashell's scripting call on the session
// bus; Plasma keeps the picture for good in its own configuration.
class KdeSetter final : public WallpaperSetter
{
public:
    explicit KdeSetter(std::string display);

    [[nodiscard]] std::string name() const override { return "kde"; }
    [[nodiscard]] Result<> setWallpaper(const std::string &path,
                                        WallpaperLifetime lifetime) override;
    [[nodiscard]] Result<> disableScreenSaver() override;
    [[nodiscard]] LifetimeSupport lifetimeSupport(LastingSetting what) const override;
    [[nodiscard]] Result<std::string> readLasting(LastingSetting what) override;
    [[nodiscard]] Result<> restoreLasting(LastingSetting what, const std::string &state) override;

private:
    std::string m_display;
    ScreenSaverInhibitor m_inhibitor;
};

// The Plasma script that shows the file URL @p url on every desktop and
// prints what each desktop then holds, one line per desktop. The URL enters
// the script as a JSON string, so no file name can break out of it.
[[nodiscard]] std::string plasmaWallpaperScript(const std::string &url);

// The Plasma script that prints, as one JSON object, each desktop's
// wallpaper plugin and picture, by desktop id.
[[nodiscard]] std::string plasmaReadWallpapersScript();

// The Plasma script that gives each desktop named in @p savedJson (as the
// read script printed it) its plugin and picture back, and prints "ok" or
// the ids it could not put back.
[[nodiscard]] std::string plasmaRestoreWallpapersScript(const std::string &savedJson);

} // namespace velumbra
