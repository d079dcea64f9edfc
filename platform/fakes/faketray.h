// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/tray.h"

namespace velumbra {

/// A notification area the test can make appear and vanish.
class FakeTrayIcon final : public TrayIcon
{
public:
    bool available = true;
    bool visible = false;
    QString tip;

    [[nodiscard]] bool isAvailable() const override { return available; }
    void setVisible(bool v) override { visible = v; }
    [[nodiscard]] bool isVisible() const override { return visible; }
    void setToolTip(const QString &t) override { tip = t; }
    [[nodiscard]] QString toolTip() const override { return tip; }

    /// A click on the icon.
    void click()
    {
        if (onActivated)
            onActivated();
    }
};

} // namespace velumbra
