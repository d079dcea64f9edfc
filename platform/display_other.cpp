#include "platform/display.h"

namespace velumbra {

Result<> displayReachable()
{
    return Result<>::success(); // Windows and macOS always have their own desktop.
}

} // namespace velumbra
