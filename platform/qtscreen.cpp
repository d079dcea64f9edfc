// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qtscreen.h"
#include "platform/display.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace velumbra {

std::optional<ScreenSize> QtScreen::primarySize() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    // Under Wayland the compositor knows the monitor's mode; Qt only knows a
    // logical size and a whole scale factor.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        if (const auto size = waylandMonitorSize(screen->name().toStdString()))
            return size;
    }
    // Qt reports logical pixels; a wallpaper is made of physical ones.
    const qreal ratio = screen->devicePixelRatio();
    const QSize logical = screen->size();
    return ScreenSize{int(std::lround(logical.width() * ratio)),
                      int(std::lround(logical.height() * ratio))};
}

} // namespace velumbra
