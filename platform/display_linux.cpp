// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/display.h"
#include "platform/wayland.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <sys/stat.h>

#include <xcb/xcb.h>

namespace velumbra {
namespace {

bool envSet(const char *name)
{
    const char *v = std::getenv(name);
    return v && *v;
}

bool xServerReachable()
{
    if (!envSet("DISPLAY"))
        return false;
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    const bool ok = c && xcb_connection_has_error(c) == 0;
    if (c)
        xcb_disconnect(c);
    return ok;
}

bool waylandReachable()
{
    const char *name = std::getenv("WAYLAND_DISPLAY");
    if (!name || !*name)
        return false;
    std::string path = name;
    if (path.front() != '/') {
        const char *runtime = std::getenv("XDG_RUNTIME_DIR");
        if (!runtime || !*runtime)
            return false;
        path = std::string(runtime) + "/" + path;
    }
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

} // namespace

Result<> displayReachable()
{
    const char *qpaEnv = std::getenv("QT_QPA_PLATFORM");
    const std::string_view qpa = qpaEnv ? qpaEnv : "";
    // Platforms that draw without a window system (tests, remote viewers).
    for (std::string_view own : {"offscreen", "minimal", "vnc", "eglfs", "linuxfb"}) {
        if (qpa.substr(0, own.size()) == own)
            return Result<>::success();
    }
    const bool wantX = qpa.empty() || qpa.substr(0, 3) == "xcb";
    const bool wantWayland = qpa.empty() || qpa.find("wayland") != std::string_view::npos;
    if ((wantWayland && waylandReachable()) || (wantX && xServerReachable()))
        return Result<>::success();
    return Failure{"Velumbra : aucun affichage graphique n'est disponible "
                   "(ni serveur X ni Wayland), la fenêtre ne peut pas s'ouvrir."};
}

void preferNativeWindowSystem()
{
    const char *chosen = std::getenv("QT_QPA_PLATFORM");
    if ((chosen && *chosen) || !waylandReachable())
        return;
    // X stays the second choice for a compositor Qt cannot talk to.
    ::setenv("QT_QPA_PLATFORM", "wayland;xcb", 1);
}

std::optional<ScreenSize> waylandMonitorSize(const std::string &name)
{
    const auto compositor = askWaylandCompositor({});
    if (!compositor)
        return std::nullopt;
    const auto &outputs = compositor->outputs;
    for (const WaylandOutput &output : outputs) {
        if (!name.empty() && output.name == name)
            return ScreenSize{output.width, output.height};
    }
    if (outputs.size() == 1)
        return ScreenSize{outputs.front().width, outputs.front().height};
    return std::nullopt;
}

} // namespace velumbra
