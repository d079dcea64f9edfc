// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows backend: plain Win32, no Qt, so that it cross-builds.

#include "platform/wallpaper/filecheck.h"
#include "platform/wallpaper/nosetter.h"
#include "platform/wallpaper/wallpaper.h"
#include "platform/widen_windows.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace velumbra {
namespace {

std::string errorText(DWORD code)
{
    return "erreur Windows " + std::to_string(code);
}

class WindowsSetter final : public WallpaperSetter
{
public:
    [[nodiscard]] std::string name() const override { return "windows"; }

    [[nodiscard]] Result<> setWallpaper(const std::string &path,
                                        WallpaperLifetime lifetime) override
    {
        Result<std::wstring> wide = widen(path);
        if (!wide)
            return Failure{"Le nom de fichier « " + path +
                           " » n'est pas valide : le papier peint reste inchangé."};
        // An empty name removes the picture, as Windows itself does.
        if (!path.empty()) {
            if (Result<> usable = checkWallpaperFile(path); !usable)
                return usable;
        }
        // Update flags 0 last until logoff; 3 store the picture in the
        // user's profile and tell every window.
        const UINT flags = lifetime == WallpaperLifetime::ForGood
                               ? UINT(SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE)
                               : 0u;
        if (!SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, wide->data(), flags))
            return Failure{"Windows a refusé le papier peint « " + path + " » (" +
                           errorText(GetLastError()) + ")."};

        wchar_t current[MAX_PATH + 1] = {};
        if (!SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, current, 0))
            return Failure{"Windows ne dit pas quel papier peint il montre (" +
                           errorText(GetLastError()) + ")."};
        if (CompareStringOrdinal(current, -1, wide->c_str(), -1, TRUE) != CSTR_EQUAL)
            return Failure{"Windows n'a pas gardé le nouveau papier peint."};
        return Result<>::success();
    }

    [[nodiscard]] Result<> disableScreenSaver() override
    {
        if (!SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, 0))
            return Failure{"Windows a refusé de désactiver l'économiseur d'écran (" +
                           errorText(GetLastError()) + ")."};
        BOOL active = TRUE;
        if (!SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0) || active)
            return Failure{"Windows n'a pas désactivé l'économiseur d'écran."};
        return Result<>::success();
    }
};

} // namespace

std::unique_ptr<WallpaperSetter> createWallpaperSetter(WallpaperBackend backend,
                                                       const DesktopEnvironment &env)
{
    if (backend == WallpaperBackend::Windows)
        return std::make_unique<WindowsSetter>();
    return createNoWallpaperSetter(noWallpaperBackendReason(env));
}

std::unique_ptr<WallpaperSetter> createWallpaperSetter()
{
    return std::make_unique<WindowsSetter>();
}

DesktopEnvironment currentDesktopEnvironment()
{
    return DesktopEnvironment::fromProcess();
}

} // namespace velumbra
