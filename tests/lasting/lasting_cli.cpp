// The program's setter, with its record and autostart entry, run as a
// process of its own, so that a test can end the "session" in between.
//   lasting_cli set FILE [for-good] | screensaver | session-end
// Exit code 0 on success, 1 with the reason on stderr, 2 on bad usage.

#include "lasting/lastingservices.h"
#include "platform/wallpaper/wallpaper.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const auto desktop = velumbra::createWallpaperSetter();
    velumbra::LastingServices lasting(*desktop, RESTORE_PROGRAM);
    auto &setter = lasting.setter();
    velumbra::Result<> result;
    if (argc >= 3 && std::strcmp(argv[1], "set") == 0) {
        const bool forGood = argc >= 4 && std::strcmp(argv[3], "for-good") == 0;
        result = setter.setWallpaper(argv[2], forGood ? velumbra::WallpaperLifetime::ForGood
                                                      : velumbra::WallpaperLifetime::UntilLogoff);
    } else if (argc == 2 && std::strcmp(argv[1], "screensaver") == 0) {
        result = setter.disableScreenSaver();
    } else if (argc == 2 && std::strcmp(argv[1], "session-end") == 0) {
        result = setter.restoreAtSessionEnd();
    } else {
        std::fprintf(stderr,
                     "usage: lasting_cli set FILE [for-good] | screensaver | session-end\n");
        return 2;
    }
    if (!result.ok()) {
        std::fprintf(stderr, "%s\n", result.reason().c_str());
        return 1;
    }
    return 0;
}
