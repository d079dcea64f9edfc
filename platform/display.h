// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"
#include "platform/screen.h"

#include <optional>
#include <string>

namespace velumbra {

/// Whether a window can be shown; the failure says in one French sentence
/// why no graphical session can be reached. Call it before creating the
/// application object, whose own failure would be an abort.
[[nodiscard]] Result<> displayReachable();

/// Asks Qt for a native Wayland window where a Wayland compositor is
/// reachable and the user has not chosen a platform (QT_QPA_PLATFORM): Qt
/// would otherwise go through Xwayland, or fail where there is none. Call it
/// before creating the application object.
void preferNativeWindowSystem();

/// The current mode of the Wayland monitor named @p name (the only one when
/// no name matches and there is just one), in physical pixels; nothing
/// outside Wayland. Qt's own figures multiply a logical size by a whole
/// scale factor, which is wrong under fractional scaling.
[[nodiscard]] std::optional<ScreenSize> waylandMonitorSize(const std::string &name);

} // namespace velumbra
