// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/tray.h"

#include <QIcon>

class QSystemTrayIcon;

namespace velumbra {

/// TrayIcon shown by QSystemTrayIcon (StatusNotifierItem or the X11 tray).
class QtTrayIcon final : public TrayIcon
{
public:
    explicit QtTrayIcon(const QIcon &icon);
    ~QtTrayIcon() override;

    [[nodiscard]] bool isAvailable() const override;
    void setVisible(bool visible) override;
    [[nodiscard]] bool isVisible() const override;
    void setToolTip(const QString &tip) override;
    [[nodiscard]] QString toolTip() const override;

private:
    QSystemTrayIcon *m_icon;
};

} // namespace velumbra
