// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fakes/fakewallpaper.h" // compiled here for the callers that will use it
#include "platform/wallpaper/wallpaper.h"

#include <gtest/gtest.h>

namespace {

using velumbra::DesktopEnvironment;
using velumbra::DesktopWindowOwner;
using velumbra::WallpaperBackend;

struct Case
{
    const char *desktop;
    const char *swaySocket;
    const char *display;
    const char *wayland;
    WallpaperBackend expected;
    bool layerShell = false;
    DesktopWindowOwner desktopWindow = DesktopWindowOwner::None;
};

const Case kCases[] = {
    // Derivatives name themselves first and their parent after.
    {"ubuntu:GNOME", "", ":0", "wayland-0", WallpaperBackend::Gnome},
    {"Budgie:GNOME", "", ":0", "", WallpaperBackend::Gnome},
    {"Unity", "", ":0", "", WallpaperBackend::Gnome},
    {"gnome", "", "", "wayland-0", WallpaperBackend::Gnome},
    {"X-Cinnamon", "", ":0", "", WallpaperBackend::Cinnamon},
    {"MATE", "", ":0", "", WallpaperBackend::Mate},
    {"XFCE", "", ":0", "", WallpaperBackend::Xfce},
    {"KDE", "", ":0", "wayland-0", WallpaperBackend::Kde},
    {"sway", "", "", "wayland-1", WallpaperBackend::Sway},
    {"Pantheon", "", ":0", "", WallpaperBackend::Gnome},
    {"LXQt", "", ":0", "", WallpaperBackend::Lxqt},
    {"LXDE", "", ":0", "", WallpaperBackend::Lxde},
    // A token without a backend gives way to the next one, then to the fallbacks.
    {"Openbox", "", ":0", "", WallpaperBackend::X11Root},
    {"Hyprland", "", "", "wayland-1", WallpaperBackend::None},
    {"Hyprland", "/run/user/1000/sway-ipc.sock", "", "wayland-1", WallpaperBackend::Sway},
    // Any compositor that offers layer-shell, asked, not guessed from its name.
    {"Hyprland", "", "", "wayland-1", WallpaperBackend::Swaybg, true},
    {"", "", ":0", "wayland-0", WallpaperBackend::Swaybg, true},
    {"", "/run/user/1000/sway-ipc.sock", "", "wayland-1", WallpaperBackend::Sway, true},
    // A desktop program's window over the root: its own backend, or the root
    // backend, which then says why it cannot help; a named desktop comes first.
    {"", "", ":0", "", WallpaperBackend::Xfce, false, DesktopWindowOwner::Xfdesktop},
    {"Openbox", "", ":0", "", WallpaperBackend::Lxqt, false, DesktopWindowOwner::PcmanfmQt},
    {"", "", ":0", "", WallpaperBackend::Lxde, false, DesktopWindowOwner::Pcmanfm},
    {"", "", ":0", "", WallpaperBackend::X11Root, false, DesktopWindowOwner::Unknown},
    {"MATE", "", ":0", "", WallpaperBackend::Mate, false, DesktopWindowOwner::Pcmanfm},
    {"", "", ":0", "", WallpaperBackend::X11Root},
    // X under Wayland (Xwayland) cannot show a root window background.
    {"", "", ":0", "wayland-0", WallpaperBackend::None},
    {"", "", "", "", WallpaperBackend::None},
    // Empty tokens and stray colons must not end the scan early.
    {"::XFCE", "", "", "", WallpaperBackend::Xfce},
    // A token only matches whole: "GNOMEish" is not GNOME.
    {"GNOMEish", "", "", "", WallpaperBackend::None},
};

class Choice : public testing::TestWithParam<Case>
{
};

TEST_P(Choice, PicksTheBackendFromTheEnvironment)
{
    const Case &c = GetParam();
    const DesktopEnvironment env{c.desktop, c.swaySocket, c.display,
                                 c.wayland, c.layerShell, c.desktopWindow};
    EXPECT_EQ(velumbra::chooseWallpaperBackend(env), c.expected)
        << "XDG_CURRENT_DESKTOP=" << c.desktop;
}

INSTANTIATE_TEST_SUITE_P(Table, Choice, testing::ValuesIn(kCases));

TEST(NoBackend, EveryCallFailsWithTheReason)
{
    const DesktopEnvironment env{"Hyprland", "", "", "wayland-1"};
    const auto setter = velumbra::createWallpaperSetter(WallpaperBackend::None, env);
    ASSERT_NE(setter, nullptr);
    const auto set = setter->setWallpaper("/tmp/a.jpg", velumbra::WallpaperLifetime::ForGood);
    EXPECT_FALSE(set.ok());
    EXPECT_FALSE(setter->disableScreenSaver().ok());
    EXPECT_EQ(set.reason(), velumbra::noWallpaperBackendReason(env));
    EXPECT_NE(set.reason().find("Hyprland"), std::string::npos) << set.reason();

    const auto noSession = velumbra::noWallpaperBackendReason({"", "", "", ""});
    EXPECT_NE(noSession.find("Aucune session graphique"), std::string::npos) << noSession;
    const auto unknownWayland = velumbra::noWallpaperBackendReason({"", "", ":0", "wayland-0"});
    EXPECT_NE(unknownWayland.find("wlr-layer-shell"), std::string::npos) << unknownWayland;
}

} // namespace
