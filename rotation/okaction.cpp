// SPDX-License-Identifier: GPL-3.0-or-later
#include "rotation/okaction.h"

namespace velumbra {

std::optional<Mode> modeAt(int index)
{
    switch (index) {
    case int(Mode::UntilLogoff):
        return Mode::UntilLogoff;
    case int(Mode::ForGood):
        return Mode::ForGood;
    case int(Mode::Rotation):
        return Mode::Rotation;
    default:
        return std::nullopt;
    }
}

bool hasInterval(Mode mode)
{
    return mode == Mode::Rotation;
}

OkDecision decideOk(Mode mode, bool hasCurrentFile)
{
    OkDecision decision;
    if (mode == Mode::Rotation) {
        decision.startsRotation = true;
        return decision;
    }
    if (hasCurrentFile)
        decision.setFor =
            mode == Mode::UntilLogoff ? WallpaperLifetime::UntilLogoff : WallpaperLifetime::ForGood;
    decision.quits = true;
    return decision;
}

WindowPlace hidingPlace(bool trayAvailable)
{
    return trayAvailable ? WindowPlace::InTray : WindowPlace::Minimised;
}

AfterRotationStart afterRotationStart(bool rightButton, bool trayAvailable)
{
    if (rightButton)
        return AfterRotationStart{.window = WindowPlace::OnScreen, .trayIcon = false};
    return AfterRotationStart{.window = hidingPlace(trayAvailable), .trayIcon = true};
}

} // namespace velumbra
