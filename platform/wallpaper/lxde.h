#pragma once

#include "platform/wallpaper.h"
#include "platform/wallpaper/inhibitor.h"

namespace velumbra {

// LXDE's desktop, drawn by pcmanfm --desktop, through pcmanfm's own command. It
// shows a change at once and keeps it for good in its settings file
// (pcmanfm/PROFILE/desktop-items-0.conf), which it writes itself.
class LxdeSetter final : public WallpaperSetter
{
public:
    explicit LxdeSetter(std::string display);

    [[nodiscard]] std::string name() const override { return "lxde"; }
    [[nodiscard]] Result<> setWallpaper(const std::string &path,
                                        WallpaperLifetime lifetime) override;
    [[nodiscard]] Result<> disableScreenSaver() override;
    [[nodiscard]] LifetimeSupport lifetimeSupport(LastingSetting what) const override
    {
        return what == LastingSetting::Wallpaper ? LifetimeSupport::StoredOnly
                                                 : LifetimeSupport::Native;
    }
    [[nodiscard]] Result<std::string> readLasting(LastingSetting what) override;
    [[nodiscard]] Result<> restoreLasting(LastingSetting what, const std::string &state) override;

private:
    std::string m_display;
    ScreenSaverInhibitor m_inhibitor;
};

} // namespace velumbra
