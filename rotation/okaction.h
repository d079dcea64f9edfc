// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/wallpaper/wallpaper.h"

#include <optional>

namespace velumbra {

/// What the OK button does, by the index of its option button; the settings
/// store keeps that index ("0", "1", "2"), so the values must not change.
enum class Mode {
    UntilLogoff = 0, ///< set the current file until the user logs off, then quit
    ForGood = 1,     ///< set the current file for good, then quit
    Rotation = 2,    ///< start the timed random rotation through the folder
};

/// The mode of the option button at @p index; nothing for any other index.
[[nodiscard]] std::optional<Mode> modeAt(int index);

/// Whether the interval controls can be used in @p mode: only the rotation has an interval.
[[nodiscard]] bool hasInterval(Mode mode);

/// What OK does in one mode.
struct OkDecision
{
    bool startsRotation = false;
    /// How long the current file is set for; nothing leaves the wallpaper alone.
    std::optional<WallpaperLifetime> setFor;
    bool quits = false; ///< closes the window, which saves the state, and ends
};

/// OK in @p mode. The first two modes set the current file for their lifetime
/// and quit; with no current file they set nothing, since an empty path would
/// take the user's wallpaper away (for good, in the second mode), and still quit.
[[nodiscard]] OkDecision decideOk(Mode mode, bool hasCurrentFile);

/// Where the main window is while a rotation runs.
enum class WindowPlace {
    OnScreen,  ///< as the user left it
    Minimised, ///< on the task bar
    InTray,    ///< minimised and invisible, reached through the tray icon only
};

/// Where a window that would hide into the tray goes: there while a
/// notification area exists; without one an invisible window could never be
/// reached again, so it only minimises (and comes back to the task bar when
/// the area goes away while it hides).
[[nodiscard]] WindowPlace hidingPlace(bool trayAvailable);

struct AfterRotationStart
{
    WindowPlace window = WindowPlace::OnScreen;
    bool trayIcon = true; ///< whether the tray icon shows
};

/// Where the window and the tray icon go once a rotation has started: after
/// a right-button release over OK the window stays on the screen and the icon
/// goes; otherwise the icon shows and the window hides.
[[nodiscard]] AfterRotationStart afterRotationStart(bool rightButton, bool trayAvailable);

} // namespace velumbra
