// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/wallpaper/inhibitor.h"
#include "platform/wallpaper/wallpaper.h"

#include <functional>
#include <vector>

namespace velumbra {

// XFCE's wallpaper in xfconf (channel xfce4-desktop) over the session bus;
// xfdesktop shows a change at once and xfconf keeps it for good.
class XfconfSetter final : public WallpaperSetter
{
public:
    explicit XfconfSetter(std::string display);

    [[nodiscard]] std::string name() const override { return "xfce"; }
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

// The keys of xfce4-desktop that name a picture, among @p keys: one per
// screen, monitor and workspace.
[[nodiscard]] std::vector<std::string> xfceImageKeys(const std::vector<std::string> &keys);

// The keys to create when xfdesktop never ran: workspace 0 of each monitor.
[[nodiscard]] std::vector<std::string>
xfceNewImageKeys(const std::vector<std::string> &monitorNames);

} // namespace velumbra
