// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

namespace velumbra {

struct ScreenSize
{
    int width = 0;
    int height = 0;
};

/// The screen that wallpapers are made for.
class Screen
{
public:
    virtual ~Screen() = default;

    /// The primary screen's size in physical pixels (a scale factor of 2 on a
    /// 2560 x 1440 screen still gives 2560 x 1440), or nothing when no screen
    /// is known.
    [[nodiscard]] virtual std::optional<ScreenSize> primarySize() const = 0;
};

} // namespace velumbra
