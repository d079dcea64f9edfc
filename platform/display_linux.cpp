#include "platform/display.h"

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

} // namespace velumbra
