// SPDX-License-Identifier: GPL-3.0-or-later
// velumbra-restore: run at login (XDG autostart, or a window manager's
// start-up file), puts back what Velumbra owes the desktop and exits.

#include "lasting/lastingservices.h"
#include "platform/wallpaper/wallpaper.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 1) {
        std::fprintf(stderr, "velumbra-restore ne prend aucun argument.\n");
        return 2;
    }
    const auto desktop = velumbra::createWallpaperSetter();
    velumbra::LastingServices lasting(*desktop,
                                      QCoreApplication::applicationFilePath().toStdString());
    const velumbra::Result<> result = lasting.setter().restoreAtLogin();
    if (!result.ok()) {
        std::fprintf(stderr, "velumbra-restore : %s\n", result.reason().c_str());
        return 1;
    }
    return 0;
}
