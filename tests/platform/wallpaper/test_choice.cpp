// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fakes/fakewallpaper.h" // compiled here for the callers that will use it
#include "platform/wallpaper/wallpaper.h"

#include <gtest/gtest.h>

namespace {

using velumbra::DesktopEnvironment;
using velumbra::DesktopWindowOwner;
using velumbra::WallpaperBackend;

TEST(Choice, PicksTheBackendFromTheEnvironment)
{
    const struct
    {
        const char *desktop, *swaySocket, *display, *wayland;
        WallpaperBackend expected;
        bool layerShell = false;
        DesktopWindowOwner desktopWindow = DesktopWindowOwner::None;
    } cases[] = {
        // Derivatives name themselves first and their parent after.
        {"ubuntu:GNOME", "", ":0", "wayland-0", WallpaperBackend::Gnome},
        {"X-Cinnamon", "", ":0", "", WallpaperBackend::Cinnamon},
        {"MATE", "", ":0", "", WallpaperBackend::Mate},
        {"XFCE", "", ":0", "", WallpaperBackend::Xfce},
        {"KDE", "", ":0", "wayland-0", WallpaperBackend::Kde},
        {"sway", "", "", "wayland-1", WallpaperBackend::Sway},
        {"LXQt", "", ":0", "", WallpaperBackend::Lxqt},
        {"LXDE", "", ":0", "", WallpaperBackend::Lxde},
        // A token without a backend gives way to the next one, then to the fallbacks.
        {"Openbox", "", ":0", "", WallpaperBackend::X11Root},
        {"Hyprland", "", "", "wayland-1", WallpaperBackend::None},
        // Any compositor that offers layer-shell, asked, not guessed from its name.
        {"Hyprland", "", "", "wayland-1", WallpaperBackend::Swaybg, true},
        {"", "/run/user/1000/sway-ipc.sock", "", "wayland-1", WallpaperBackend::Sway, true},
        // A desktop program's window over the root: its own backend, or the root
        // backend, which then says why it cannot help; a named desktop comes first.
        {"Openbox", "", ":0", "", WallpaperBackend::Lxqt, false, DesktopWindowOwner::PcmanfmQt},
        {"", "", ":0", "", WallpaperBackend::X11Root, false, DesktopWindowOwner::Unknown},
        {"MATE", "", ":0", "", WallpaperBackend::Mate, false, DesktopWindowOwner::Pcmanfm},
        // X under Wayland (Xwayland) cannot show a root window background.
        {"", "", ":0", "wayland-0", WallpaperBackend::None},
        // Empty tokens and stray colons must not end the scan early; a token only matches whole.
        {"::XFCE", "", "", "", WallpaperBackend::Xfce},
        {"GNOMEish", "", "", "", WallpaperBackend::None},
    };
    for (const auto &c : cases) {
        const DesktopEnvironment env{c.desktop, c.swaySocket, c.display,
                                     c.wayland, c.layerShell, c.desktopWindow};
        EXPECT_EQ(velumbra::chooseWallpaperBackend(env), c.expected)
            << "XDG_CURRENT_DESKTOP=" << c.desktop << " display " << c.display << " wayland "
            << c.wayland << " sway " << c.swaySocket;
    }
}

TEST(NoBackend, EveryCallFailsWithTheReason)
{
    const auto setter =
        velumbra::createWallpaperSetter(WallpaperBackend::None, {"Hyprland", "", "", "wayland-1"});
    const auto set = setter->setWallpaper("/tmp/a.jpg", velumbra::WallpaperLifetime::ForGood);
    EXPECT_FALSE(set.ok());
    EXPECT_FALSE(setter->disableScreenSaver().ok());
    EXPECT_NE(set.reason().find("Hyprland"), std::string::npos) << set.reason();
    const auto noSession = velumbra::noWallpaperBackendReason({"", "", "", ""});
    EXPECT_NE(noSession.find("Aucune session graphique"), std::string::npos) << noSession;
    const auto unknownWayland = velumbra::noWallpaperBackendReason({"", "", ":0", "wayland-0"});
    EXPECT_NE(unknownWayland.find("wlr-layer-shell"), std::string::npos) << unknownWayland;
}

} // namespace
