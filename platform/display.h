#pragma once

#include <optional>
#include <string>

namespace velumbra {

/// Why no graphical session can be reached, in one French sentence, or
/// nothing when a window can be shown. Call it before creating the
/// application object, whose own failure would be an abort.
[[nodiscard]] std::optional<std::string> displayUnavailableReason();

} // namespace velumbra
