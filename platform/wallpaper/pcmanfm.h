// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/wallpaper/inhibitor.h"
#include "platform/wallpaper/wallpaper.h"

#include <optional>

namespace velumbra {

// What pcmanfm and pcmanfm-qt keep for good: the picture and its display
// mode, in the file of a configuration profile. As text, it is what
// readLasting() gives.
struct StoredPicture
{
    std::string profile;
    std::string path;
    std::string mode;
};
[[nodiscard]] std::string toText(const StoredPicture &picture);
[[nodiscard]] std::optional<StoredPicture> storedPictureFromText(const std::string &text);

// Whether @p mode of pcmanfm or pcmanfm-qt shows a picture at all.
[[nodiscard]] bool showsPicture(const std::string &mode);

// What the desktops of pcmanfm-qt (LXQt) and pcmanfm (LXDE) share: each runs
// with a configuration profile, keeps its picture and mode for good in that
// profile's file, which it writes itself, shows a change while it runs and
// reads the file when it starts.
class PcmanfmDesktopSetter : public WallpaperSetter
{
public:
    explicit PcmanfmDesktopSetter(std::string display) : m_display(std::move(display)) {}

    [[nodiscard]] Result<> setWallpaper(const std::string &path, WallpaperLifetime lifetime) final;
    [[nodiscard]] Result<> disableScreenSaver() final;
    [[nodiscard]] LifetimeSupport lifetimeSupport(LastingSetting what) const final
    {
        return what == LastingSetting::Wallpaper ? LifetimeSupport::StoredOnly
                                                 : LifetimeSupport::Native;
    }
    [[nodiscard]] Result<std::string> readLasting(LastingSetting what) final;
    [[nodiscard]] Result<> restoreLasting(LastingSetting what, const std::string &state) final;

protected:
    // The profile of the running desktop, or why none runs.
    [[nodiscard]] virtual Result<std::string> runningProfile() const = 0;
    // What the profile's file holds, read as the desktop reads it.
    [[nodiscard]] virtual StoredPicture stored(const std::string &profile) const = 0;
    // Shows @p path in @p mode on the running desktop, and checks that its
    // file holds them: the desktop ignores a file it cannot use.
    [[nodiscard]] virtual Result<> show(const std::string &profile, const std::string &path,
                                        const std::string &mode) = 0;
    // Writes @p picture into the file of a desktop that has not started
    // (yet): at login, velumbra-restore may run before it.
    [[nodiscard]] virtual Result<> writeStopped(const StoredPicture &picture) = 0;
    // The name under which the desktop can keep @p path.
    [[nodiscard]] virtual Result<std::string> keptName(const std::string &path) { return path; }
    // Why a picture just set for good will not come back; empty when it will.
    [[nodiscard]] virtual std::string forGoodProblem(const std::string &) const { return {}; }

    std::string m_display;

private:
    ScreenSaverInhibitor m_inhibitor;
};

} // namespace velumbra
