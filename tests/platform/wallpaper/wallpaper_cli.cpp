// Sets the wallpaper or switches the screen saver off from a process of its
// own, so that tests can check what is left once the setter has gone.
//   wallpaper_cli [--backend NAME] set FILE [for-good]
//   wallpaper_cli [--backend NAME] screensaver
// Prints the backend's name first. Exit code 0 on success, 1 with the
// reason on stderr, 2 on bad usage.

#include "platform/wallpaper.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const std::map<std::string, velumbra::WallpaperBackend> backends{
        {"x11", velumbra::WallpaperBackend::X11Root},
        {"gnome", velumbra::WallpaperBackend::Gnome},
        {"cinnamon", velumbra::WallpaperBackend::Cinnamon},
        {"mate", velumbra::WallpaperBackend::Mate},
        {"xfce", velumbra::WallpaperBackend::Xfce},
        {"kde", velumbra::WallpaperBackend::Kde},
        {"sway", velumbra::WallpaperBackend::Sway},
        {"swaybg", velumbra::WallpaperBackend::Swaybg},
        {"lxqt", velumbra::WallpaperBackend::Lxqt},
        {"lxde", velumbra::WallpaperBackend::Lxde},
        {"none", velumbra::WallpaperBackend::None}};

    int i = 1;
    const auto env = velumbra::currentDesktopEnvironment();
    auto backend = velumbra::chooseWallpaperBackend(env);
    if (i + 1 < argc && std::strcmp(argv[i], "--backend") == 0) {
        const auto it = backends.find(argv[i + 1]);
        if (it == backends.end())
            return 2;
        backend = it->second;
        i += 2;
    }
    auto setter = velumbra::createWallpaperSetter(backend, env);
    std::printf("%s\n", setter->name().c_str());
    std::fflush(stdout);
    velumbra::Result<> result;
    if (i + 1 < argc && std::strcmp(argv[i], "set") == 0) {
        const bool forGood = i + 2 < argc && std::strcmp(argv[i + 2], "for-good") == 0;
        result =
            setter->setWallpaper(argv[i + 1], forGood ? velumbra::WallpaperLifetime::ForGood
                                                      : velumbra::WallpaperLifetime::UntilLogoff);
    } else if (i < argc && std::strcmp(argv[i], "screensaver") == 0) {
        result = setter->disableScreenSaver();
    } else {
        std::fprintf(stderr,
                     "usage: wallpaper_cli [--backend NAME] set FILE [for-good] | screensaver\n");
        return 2;
    }
    if (!result.ok()) {
        std::fprintf(stderr, "%s\n", result.reason().c_str());
        return 1;
    }
    return 0;
}
