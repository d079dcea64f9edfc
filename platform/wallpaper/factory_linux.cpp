// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wallpaper/gsettings.h"
#include "platform/wallpaper/kde.h"
#include "platform/wallpaper/lxde.h"
#include "platform/wallpaper/lxqt.h"
#include "platform/wallpaper/nosetter.h"
#include "platform/wallpaper/sway.h"
#include "platform/wallpaper/swaybg.h"
#include "platform/wallpaper/wallpaper.h"
#include "platform/wallpaper/x11root.h"
#include "platform/wallpaper/xfconf.h"
#include "platform/wayland.h"

#include <cstdlib>

namespace velumbra {
namespace {

std::string runtimeDir()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime ? runtime : "";
}

} // namespace

DesktopEnvironment currentDesktopEnvironment()
{
    DesktopEnvironment env = DesktopEnvironment::fromProcess();
    // Only what the variables leave open is asked, each server once.
    const WallpaperBackend byVariables = chooseWallpaperBackend(env);
    if (byVariables == WallpaperBackend::X11Root) {
        if (const auto window = x11TopDesktopWindow(env.display))
            env.desktopWindow = ownerOf(*window);
    } else if (byVariables == WallpaperBackend::None && !env.waylandDisplay.empty()) {
        const auto compositor = askWaylandCompositor(env.waylandDisplay);
        env.layerShell = compositor && compositor->offers("zwlr_layer_shell_v1");
    }
    return env;
}

std::unique_ptr<WallpaperSetter> createWallpaperSetter(WallpaperBackend backend,
                                                       const DesktopEnvironment &env)
{
    switch (backend) {
    case WallpaperBackend::X11Root:
        return std::make_unique<X11RootSetter>(env.display);
    case WallpaperBackend::Gnome:
        return std::make_unique<GSettingsSetter>(GSettingsSetter::Flavour::Gnome, env.display);
    case WallpaperBackend::Cinnamon:
        return std::make_unique<GSettingsSetter>(GSettingsSetter::Flavour::Cinnamon, env.display);
    case WallpaperBackend::Mate:
        return std::make_unique<GSettingsSetter>(GSettingsSetter::Flavour::Mate, env.display);
    case WallpaperBackend::Xfce:
        return std::make_unique<XfconfSetter>(env.display);
    case WallpaperBackend::Sway:
        return std::make_unique<SwaySetter>(env.swaySocket, runtimeDir(), env.display);
    case WallpaperBackend::Swaybg:
        return std::make_unique<SwaybgSetter>(env.waylandDisplay, runtimeDir(), env.display);
    case WallpaperBackend::Kde:
        return std::make_unique<KdeSetter>(env.display);
    case WallpaperBackend::Lxqt:
        return std::make_unique<LxqtSetter>(env.display);
    case WallpaperBackend::Lxde:
        return std::make_unique<LxdeSetter>(env.display);
    case WallpaperBackend::None:
    case WallpaperBackend::Windows:
        break;
    }
    return createNoWallpaperSetter(noWallpaperBackendReason(env));
}

std::unique_ptr<WallpaperSetter> createWallpaperSetter()
{
    const auto env = currentDesktopEnvironment();
    return createWallpaperSetter(chooseWallpaperBackend(env), env);
}

} // namespace velumbra
