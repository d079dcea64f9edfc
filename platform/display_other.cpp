#include "platform/display.h"

namespace velumbra {

std::optional<std::string> displayUnavailableReason()
{
    return std::nullopt; // Windows and macOS always have their own desktop.
}

void preferNativeWindowSystem() {}

std::optional<ScreenSize> waylandMonitorSize(const std::string &)
{
    return std::nullopt;
}

} // namespace velumbra
