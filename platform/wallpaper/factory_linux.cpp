#include "wallpaper.h"
#include "wallpaper/nosetter.h"

namespace velumbra {

std::unique_ptr<WallpaperSetter> createWallpaperSetter(WallpaperBackend backend,
                                                       const DesktopEnvironment &env)
{
    switch (backend) {
    case WallpaperBackend::None:
    case WallpaperBackend::Windows:
    default:
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
