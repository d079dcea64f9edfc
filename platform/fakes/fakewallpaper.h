// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/wallpaper/wallpaper.h"

#include <string>
#include <vector>

namespace velumbra {

/// Records every wallpaper and screen-saver call and answers as told.
class FakeWallpaperSetter final : public WallpaperSetter
{
public:
    struct Set
    {
        std::string path;
        WallpaperLifetime lifetime;
    };
    std::vector<Set> sets; ///< every setWallpaper() call, in order
    int screenSaverCalls = 0;
    Result<> nextResult = Result<>::success(); ///< what every call answers

    [[nodiscard]] std::string name() const override { return "fake"; }
    [[nodiscard]] Result<> setWallpaper(const std::string &path,
                                        WallpaperLifetime lifetime) override
    {
        sets.push_back({path, lifetime});
        return nextResult;
    }
    [[nodiscard]] Result<> disableScreenSaver() override
    {
        ++screenSaverCalls;
        return nextResult;
    }
};

} // namespace velumbra
