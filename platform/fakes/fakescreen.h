// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/screen.h"

namespace velumbra {

/// A screen of a size the test chooses.
class FakeScreen final : public Screen
{
public:
    std::optional<ScreenSize> size = ScreenSize{1280, 1024};
    [[nodiscard]] std::optional<ScreenSize> primarySize() const override { return size; }
};

} // namespace velumbra
