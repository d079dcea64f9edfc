// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace velumbra {

/// How long a wallpaper set by WallpaperSetter::setWallpaper() lasts.
enum class WallpaperLifetime {
    UntilLogoff, ///< the desktop forgets it when the user logs off (where it can)
    ForGood,     ///< stored in the user's profile, shown again at the next login
};

/// The two settings whose lifetime the program promises.
enum class LastingSetting {
    Wallpaper,
    ScreenSaver, ///< whether the screen saver starts when the user is idle
};

/// How a desktop itself treats the two lifetimes of a setting.
enum class LifetimeSupport {
    Native,      ///< the desktop tells "until logoff" from "for good" by itself
    SessionOnly, ///< every setting ends with the session (X root window, sway)
    StoredOnly,  ///< every setting is stored for good (GNOME family, XFCE, KDE)
};

/// Sets the desktop wallpaper and switches the screen saver off on one kind
/// of desktop. Every call checks what it wrote by reading it back from the
/// desktop, so success means the desktop holds the new value.
class WallpaperSetter
{
public:
    virtual ~WallpaperSetter() = default;

    /// A short, stable name of the backend ("x11", "gnome", "sway", ...).
    [[nodiscard]] virtual std::string name() const = 0;

    /// Shows the picture at @p path (UTF-8) as the wallpaper at once, for
    /// @p lifetime. On desktops that only know one lifetime, what the README
    /// says for that desktop applies. An empty path removes the wallpaper
    /// where the desktop allows it and fails elsewhere.
    [[nodiscard]] virtual Result<> setWallpaper(const std::string &path,
                                                WallpaperLifetime lifetime) = 0;

    /// Keeps the screen saver from starting until the user logs off. Some
    /// desktops need the setter to stay alive for that (an inhibition held on
    /// the session bus): keep the object until the program ends.
    [[nodiscard]] virtual Result<> disableScreenSaver() = 0;

    /// How this desktop keeps @p what; Native unless a backend says otherwise.
    [[nodiscard]] virtual LifetimeSupport lifetimeSupport(LastingSetting what) const
    {
        (void)what;
        return LifetimeSupport::Native;
    }

    /// The values of @p what that the desktop stores for good, as text that
    /// only restoreLasting() reads, so that a later session can put them back
    /// after a change meant to last until logoff. Meaningful on StoredOnly
    /// desktops.
    [[nodiscard]] virtual Result<std::string> readLasting(LastingSetting what)
    {
        (void)what;
        return Failure{"Ce bureau ne garde pas ce réglage."};
    }

    /// Stores @p state, as readLasting() gave it, back into the desktop, which
    /// shows it at once. The files it names need not exist any more.
    [[nodiscard]] virtual Result<> restoreLasting(LastingSetting what, const std::string &state)
    {
        (void)what;
        (void)state;
        return Failure{"Ce bureau ne garde pas ce réglage."};
    }
};

/// The backends that can set a wallpaper.
enum class WallpaperBackend {
    None,
    X11Root, ///< the X root window, for plain window managers
    Gnome,   ///< GNOME, Ubuntu, Budgie, Unity, GNOME Classic and Flashback
    Cinnamon,
    Mate,
    Xfce,
    Kde,
    Sway,
    Swaybg, ///< swaybg, on Wayland compositors that offer the layer-shell protocol
    Lxqt,   ///< pcmanfm-qt's desktop
    Lxde,   ///< pcmanfm's desktop
    Windows,
};

/// Who draws the window of type desktop that covers the X root window.
enum class DesktopWindowOwner {
    None, ///< no such window: the root window is what the user sees
    Xfdesktop,
    PcmanfmQt,
    Pcmanfm,
    Unknown, ///< a program no backend knows
};

/// What decides the backend: the process environment and what the servers say.
struct DesktopEnvironment
{
    std::string currentDesktop; ///< XDG_CURRENT_DESKTOP
    std::string swaySocket;     ///< SWAYSOCK
    std::string display;        ///< DISPLAY
    std::string waylandDisplay; ///< WAYLAND_DISPLAY
    /// The Wayland compositor offers zwlr_layer_shell_v1 (swaybg can run).
    bool layerShell = false;
    /// The topmost desktop window over the X root window.
    DesktopWindowOwner desktopWindow = DesktopWindowOwner::None;

    /// The environment variables of the running process; the two answers
    /// of the servers are left at their defaults.
    [[nodiscard]] static DesktopEnvironment fromProcess();
};

/// The backend for @p env: the first XDG_CURRENT_DESKTOP token (colon
/// separated, any case) that has one, then a sway socket, then a Wayland
/// compositor with layer-shell, then the owner of the desktop window over the
/// X root, then the X root itself (X without Wayland); None when nothing fits.
[[nodiscard]] WallpaperBackend chooseWallpaperBackend(const DesktopEnvironment &env);

/// fromProcess(), completed by asking the servers what the environment
/// variables alone leave open (layer-shell, the desktop window's owner).
[[nodiscard]] DesktopEnvironment currentDesktopEnvironment();

/// Why no backend fits @p env, as one French sentence for the user.
[[nodiscard]] std::string noWallpaperBackendReason(const DesktopEnvironment &env);

/// The setter for this machine's desktop: the Windows one on Windows,
/// elsewhere the one chooseWallpaperBackend() picks from
/// currentDesktopEnvironment(). Never null: without a backend every call fails with
/// noWallpaperBackendReason().
[[nodiscard]] std::unique_ptr<WallpaperSetter> createWallpaperSetter();

/// The setter of @p backend; @p env supplies what the backend connects to.
[[nodiscard]] std::unique_ptr<WallpaperSetter> createWallpaperSetter(WallpaperBackend backend,
                                                                     const DesktopEnvironment &env);

} // namespace velumbra
