#include "platform/wallpaper/gsettings.h"
#include "platform/wallpaper/kde.h"
#include "platform/wallpaper/nosetter.h"
#include "platform/wallpaper/sway.h"
#include "platform/wallpaper/wallpaper.h"
#include "platform/wallpaper/x11root.h"
#include "platform/wallpaper/xfconf.h"

#include <cstdlib>

namespace velumbra {

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
    case WallpaperBackend::Sway: {
        const char *runtime = std::getenv("XDG_RUNTIME_DIR");
        return std::make_unique<SwaySetter>(env.swaySocket, runtime ? runtime : "", env.display);
    }
    case WallpaperBackend::Kde:
        return std::make_unique<KdeSetter>(env.display);
    case WallpaperBackend::None:
    case WallpaperBackend::Windows:
        break;
    }
    return createNoWallpaperSetter(noWallpaperBackendReason(env));
}

std::unique_ptr<WallpaperSetter> createWallpaperSetter()
{
    const auto env = DesktopEnvironment::fromProcess();
    return createWallpaperSetter(chooseWallpaperBackend(env), env);
}

} // namespace velumbra
