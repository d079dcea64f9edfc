// SPDX-License-Identifier: GPL-3.0-or-later
// Prints the screen size the program's screen service gives, in the
// window system the environment names: "WIDTH HEIGHT".

#include "platform/qtscreen.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const auto size = velumbra::QtScreen().primarySize();
    if (!size)
        return 1;
    std::printf("%d %d\n", size->width, size->height);
    std::fflush(stdout);
    // Qt's Wayland plugin leaves its objects to the end of the process,
    // which the leak checker of the sanitizer build would count against us.
    std::_Exit(0);
}
