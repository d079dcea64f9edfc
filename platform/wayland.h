// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <string>
#include <vector>

namespace velumbra {

/// One monitor as a Wayland compositor announces it.
struct WaylandOutput
{
    std::string name; ///< "HDMI-A-1", "HEADLESS-1"; empty before wl_output version 4
    int width = 0;    ///< current mode in physical pixels, turned as the monitor is turned
    int height = 0;
};

/// What the Wayland compositor at @p display (a WAYLAND_DISPLAY value; empty
/// for the process's own) offers: the interface names of its globals
/// ("wl_compositor", "zwlr_layer_shell_v1", ...) and its monitors. Asks the
/// compositor on a connection of its own, which gives up after a few seconds
/// when the compositor does not answer.
struct WaylandCompositor
{
    std::vector<std::string> globals;
    std::vector<WaylandOutput> outputs;

    [[nodiscard]] bool offers(const std::string &interfaceName) const;
};

[[nodiscard]] Result<WaylandCompositor> askWaylandCompositor(const std::string &display);

} // namespace velumbra
