// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/screen.h"

namespace velumbra {

/// The primary screen as the window system reports it.
class QtScreen final : public Screen
{
public:
    [[nodiscard]] std::optional<ScreenSize> primarySize() const override;
};

} // namespace velumbra
