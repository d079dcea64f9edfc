// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

namespace velumbra {

/// The program's icon in the desktop's notification area.
class TrayIcon
{
public:
    virtual ~TrayIcon() = default;

    /// Whether the desktop has a notification area right now; without one a
    /// shown icon cannot be seen, so a hidden window would be unreachable.
    [[nodiscard]] virtual bool isAvailable() const = 0;

    /// Puts the icon into the notification area (true) or takes it out.
    virtual void setVisible(bool visible) = 0;
    [[nodiscard]] virtual bool isVisible() const = 0;

    virtual void setToolTip(const QString &tip) = 0;
    [[nodiscard]] virtual QString toolTip() const = 0;

    /// Called when the user clicks the icon with any mouse button.
    std::function<void()> onActivated;
};

} // namespace velumbra
