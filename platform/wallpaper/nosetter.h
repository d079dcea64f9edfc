// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/wallpaper/wallpaper.h"

namespace velumbra {

// Stands in when no backend fits, so that callers always hold a setter and
// get the reason with every call.
class NoWallpaperSetter final : public WallpaperSetter
{
public:
    explicit NoWallpaperSetter(std::string reason) : m_reason(std::move(reason)) {}

    [[nodiscard]] std::string name() const override { return "none"; }
    [[nodiscard]] Result<> setWallpaper(const std::string &, WallpaperLifetime) override
    {
        return Failure{m_reason};
    }
    [[nodiscard]] Result<> disableScreenSaver() override { return Failure{m_reason}; }

private:
    std::string m_reason;
};

std::unique_ptr<WallpaperSetter> createNoWallpaperSetter(std::string reason);

} // namespace velumbra
