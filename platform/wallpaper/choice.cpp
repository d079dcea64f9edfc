// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wallpaper/nosetter.h"
#include "platform/wallpaper/wallpaper.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>

namespace velumbra {
namespace {

std::string lowered(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    return out;
}

// Desktops name themselves in XDG_CURRENT_DESKTOP; derivatives list their
// parent after their own name ("ubuntu:GNOME", "Budgie:GNOME").
WallpaperBackend backendOfToken(std::string_view token)
{
    static constexpr std::array<std::pair<std::string_view, WallpaperBackend>, 15> kTokens{{
        {"gnome", WallpaperBackend::Gnome},
        {"pantheon", WallpaperBackend::Gnome},
        {"gnome-classic", WallpaperBackend::Gnome},
        {"gnome-flashback", WallpaperBackend::Gnome},
        {"ubuntu", WallpaperBackend::Gnome},
        {"budgie", WallpaperBackend::Gnome},
        {"unity", WallpaperBackend::Gnome},
        {"x-cinnamon", WallpaperBackend::Cinnamon},
        {"cinnamon", WallpaperBackend::Cinnamon},
        {"mate", WallpaperBackend::Mate},
        {"xfce", WallpaperBackend::Xfce},
        {"kde", WallpaperBackend::Kde},
        {"sway", WallpaperBackend::Sway},
        {"lxqt", WallpaperBackend::Lxqt},
        {"lxde", WallpaperBackend::Lxde},
    }};
    const std::string key = lowered(token);
    for (const auto &[name, backend] : kTokens) {
        if (key == name)
            return backend;
    }
    return WallpaperBackend::None;
}

std::string firstToken(std::string_view desktops)
{
    const auto end = desktops.find(':');
    return std::string(desktops.substr(0, end));
}

std::string envOrEmpty(const char *name)
{
    const char *v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

} // namespace

DesktopEnvironment DesktopEnvironment::fromProcess()
{
    return {envOrEmpty("XDG_CURRENT_DESKTOP"),
            envOrEmpty("SWAYSOCK"),
            envOrEmpty("DISPLAY"),
            envOrEmpty("WAYLAND_DISPLAY"),
            false,
            DesktopWindowOwner::None};
}

WallpaperBackend chooseWallpaperBackend(const DesktopEnvironment &env)
{
    std::string_view rest = env.currentDesktop;
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        const std::string_view token = rest.substr(0, colon);
        if (const auto backend = backendOfToken(token); backend != WallpaperBackend::None)
            return backend;
        if (colon == std::string_view::npos)
            break;
        rest.remove_prefix(colon + 1);
    }
    if (!env.swaySocket.empty())
        return WallpaperBackend::Sway;
    // X under Wayland (Xwayland) has a root window nobody sees.
    if (!env.waylandDisplay.empty())
        return env.layerShell ? WallpaperBackend::Swaybg : WallpaperBackend::None;
    if (env.display.empty())
        return WallpaperBackend::None;
    switch (env.desktopWindow) {
    case DesktopWindowOwner::Xfdesktop:
        return WallpaperBackend::Xfce;
    case DesktopWindowOwner::PcmanfmQt:
        return WallpaperBackend::Lxqt;
    case DesktopWindowOwner::Pcmanfm:
        return WallpaperBackend::Lxde;
    case DesktopWindowOwner::None:
    case DesktopWindowOwner::Unknown: // the root backend says why it cannot help
        break;
    }
    return WallpaperBackend::X11Root;
}

std::string noWallpaperBackendReason(const DesktopEnvironment &env)
{
    const std::string desktop = firstToken(env.currentDesktop);
    if (!env.waylandDisplay.empty()) {
        if (!desktop.empty())
            return "Le bureau « " + desktop +
                   " » n'est pas pris en charge : Velumbra ne sait pas y changer le papier peint.";
        return "Ce compositeur Wayland n'offre aucun moyen connu de changer le papier peint "
               "(ni bureau reconnu, ni protocole wlr-layer-shell pour swaybg) : le papier peint "
               "reste inchangé.";
    }
    if (env.display.empty())
        return "Aucune session graphique n'est accessible (ni DISPLAY ni WAYLAND_DISPLAY) : "
               "le papier peint ne peut pas être changé.";
    return "Aucun moyen de changer le papier peint n'a été trouvé pour ce bureau.";
}

std::unique_ptr<WallpaperSetter> createNoWallpaperSetter(std::string reason)
{
    return std::make_unique<NoWallpaperSetter>(std::move(reason));
}

} // namespace velumbra
