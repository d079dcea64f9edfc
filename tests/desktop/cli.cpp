// SPDX-License-Identifier: GPL-3.0-or-later
// The program's setter, with its record and autostart entry, as OK and the
// command line use it, in a process of its own: a test can end the session
// in between and look at what is left. The backend is the one the program
// would choose in the environment it is given.
//   velumbra_cli set FILE [for-good] | screensaver
// Exit code 0 on success, 1 with the reason on standard error.

#include "lasting/lastingservices.h"
#include "platform/wallpaper/wallpaper.h"

#include <QCoreApplication>

#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const auto desktop = velumbra::createWallpaperSetter();
    velumbra::LastingServices lasting(*desktop, RESTORE_PROGRAM);
    const std::string command = argc > 1 ? argv[1] : "";
    velumbra::Result<> result =
        velumbra::Failure{"usage: velumbra_cli set FILE [for-good] | screensaver"};
    if (command == "set" && argc > 2)
        result = lasting.setter().setWallpaper(argv[2],
                                               argc > 3 ? velumbra::WallpaperLifetime::ForGood
                                                        : velumbra::WallpaperLifetime::UntilLogoff);
    else if (command == "screensaver")
        result = lasting.setter().disableScreenSaver();
    if (!result.ok())
        std::fprintf(stderr, "%s\n", result.reason().c_str());
    return result.ok() ? 0 : 1;
}
