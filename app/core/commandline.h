// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/wallpaper.h"

#include <QString>
#include <QStringList>

namespace velumbra {

/// What one start of the program is asked to do.
struct StartRequest
{
    enum class Action {
        OpenWindow,   ///< the window (or the running one), on path when it is set
        SetWallpaper, ///< path as the wallpaper for lifetime, without a window
        Print,        ///< text on standard output, then exit code 0
        Refuse,       ///< text on standard error, then exitCode
    };
    Action action = Action::OpenWindow;
    QString path; ///< absolute
    WallpaperLifetime lifetime = WallpaperLifetime::UntilLogoff;
    QString text;
    int exitCode = 0;
};

/// What @p arguments (the program's own name first) ask for, with relative
/// paths taken from @p currentFolder. Help and errors are in French once
/// Qt's French translation is installed.
[[nodiscard]] StartRequest parseCommandLine(const QStringList &arguments,
                                            const QString &currentFolder);

} // namespace velumbra
