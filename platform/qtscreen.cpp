#include "platform/qtscreen.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace velumbra {

std::optional<ScreenSize> QtScreen::primarySize() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    // Qt reports logical pixels; a wallpaper is made of physical ones.
    const qreal ratio = screen->devicePixelRatio();
    const QSize logical = screen->size();
    return ScreenSize{int(std::lround(logical.width() * ratio)),
                      int(std::lround(logical.height() * ratio))};
}

} // namespace velumbra
