#pragma once

#include "platform/result.h"

namespace velumbra {

/// Whether a window can be shown; the failure says in one French sentence
/// why no graphical session can be reached. Call it before creating the
/// application object, whose own failure would be an abort.
[[nodiscard]] Result<> displayReachable();

} // namespace velumbra
