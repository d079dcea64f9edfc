// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/display.h"

namespace velumbra {

Result<> displayReachable()
{
    return Result<>::success(); // Windows and macOS always have their own desktop.
}

void preferNativeWindowSystem() {}

std::optional<ScreenSize> waylandMonitorSize(const std::string &)
{
    return std::nullopt;
}

} // namespace velumbra
