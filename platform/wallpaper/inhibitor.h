// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/wallpaper/wallpaper.h"

#include <cstdint>
#include <optional>

class QDBusConnection;

namespace velumbra {

// Holds the freedesktop idle inhibition (org.freedesktop.ScreenSaver) for as
// long as the object lives, which desktops honour on X11 and Wayland alike;
// the desktop also drops it when the program leaves the bus.
class ScreenSaverInhibitor
{
public:
    ScreenSaverInhibitor() = default;
    ~ScreenSaverInhibitor();
    ScreenSaverInhibitor(const ScreenSaverInhibitor &) = delete;
    ScreenSaverInhibitor &operator=(const ScreenSaverInhibitor &) = delete;

    // Whether a screen saver service is on the session bus at all.
    [[nodiscard]] static bool serviceAvailable();

    // Asks for the inhibition (once; later calls keep the first).
    [[nodiscard]] Result<> inhibit();

    [[nodiscard]] bool held() const { return m_cookie.has_value(); }

private:
    std::optional<std::uint32_t> m_cookie;
};

// What XFCE, KDE and Wayland compositors get: the inhibition where a screen
// saver service runs, and the X server's own saver off where there is one.
[[nodiscard]] Result<> disableSessionScreenSaver(ScreenSaverInhibitor &inhibitor,
                                                 const std::string &display);

} // namespace velumbra
