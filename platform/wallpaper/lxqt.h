#pragma once

#include "platform/wallpaper.h"
#include "platform/wallpaper/inhibitor.h"

namespace velumbra {

// LXQt's desktop, drawn by pcmanfm-qt --desktop, over the session bus. It
// shows a change at once and keeps it for good in its settings file
// (pcmanfm-qt/PROFILE/settings.conf), which it writes itself.
class LxqtSetter final : public WallpaperSetter
{
public:
    explicit LxqtSetter(std::string display);

    [[nodiscard]] std::string name() const override { return "lxqt"; }
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

// @p value as pcmanfm-qt's settings file holds it: pcmanfm-qt is built with
// Qt 5, whose INI reader takes the file as Latin-1, so everything outside
// ASCII is escaped the way Qt 5 writes it ("\xe9"), and a value with ';',
// ',' or '=' is quoted.
[[nodiscard]] std::string qt5IniValue(const std::string &value);

} // namespace velumbra
