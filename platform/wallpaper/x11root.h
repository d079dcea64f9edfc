// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/wallpaper/wallpaper.h"

#include <QImage>
#include <QRect>
#include <optional>
#include <vector>

namespace velumbra {

// The picture stretched onto each monitor's area of a root window of
// @p rootSize; monitors outside the root are clipped, and no monitor at all
// means one covering the whole root.
[[nodiscard]] QImage composeRootImage(const QImage &picture, QSize rootSize,
                                      const std::vector<QRect> &monitors);

// The root window's background pixmap, for plain window managers and the
// compositors that paint _XROOTPMAP_ID. It lasts as long as the X session.
class X11RootSetter final : public WallpaperSetter
{
public:
    explicit X11RootSetter(std::string display);

    [[nodiscard]] std::string name() const override { return "x11"; }
    [[nodiscard]] Result<> setWallpaper(const std::string &path,
                                        WallpaperLifetime lifetime) override;
    [[nodiscard]] Result<> disableScreenSaver() override;
    [[nodiscard]] LifetimeSupport lifetimeSupport(LastingSetting what) const override
    {
        return what == LastingSetting::Wallpaper ? LifetimeSupport::SessionOnly
                                                 : LifetimeSupport::Native;
    }

private:
    std::string m_display;
};

// A window of type desktop (_NET_WM_WINDOW_TYPE_DESKTOP): what a desktop
// program draws over the root window.
struct X11DesktopWindow
{
    std::string instance; // WM_CLASS, both parts; empty when not set
    std::string className;
    long pid = 0; // _NET_WM_PID, 0 when not set
};

// The topmost mapped desktop window on @p display, which hides the root
// window; looked for among the root's children and inside window manager
// frames. Nothing when there is none or the server cannot be reached.
[[nodiscard]] std::optional<X11DesktopWindow> x11TopDesktopWindow(const std::string &display);

// The program behind @p window, by its WM_CLASS.
[[nodiscard]] DesktopWindowOwner ownerOf(const X11DesktopWindow &window);

// Screen saver and DPMS off on the X server of @p display, until it ends.
[[nodiscard]] Result<> disableX11ScreenSaver(const std::string &display);

// The names of the X server's monitors (RandR outputs such as "HDMI-1"), in
// the server's order; empty when the server cannot be reached or has no RandR.
[[nodiscard]] std::vector<std::string> x11MonitorNames(const std::string &display);

} // namespace velumbra
