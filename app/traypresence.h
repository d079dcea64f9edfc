// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rotation/okaction.h"

class QMenu;
class QWidget;

namespace velumbra {

class TrayIcon;

/// The program's icon in the notification area, and where the main window
/// is while a rotation runs: on the screen, minimised, or hidden behind the icon.
class TrayPresence
{
public:
    /// Puts the icon in the notification area at once; a click on it pops
    /// @p menu up at the pointer.
    TrayPresence(TrayIcon &icon, QWidget &window, QMenu &menu);
    ~TrayPresence();
    TrayPresence(const TrayPresence &) = delete;
    TrayPresence &operator=(const TrayPresence &) = delete;

    /// Places the window and the icon once a rotation has started.
    void rotationStarted(bool rightButton);
    /// Brings a window hidden behind the icon back to the task bar, minimised,
    /// once the notification area has gone: nothing else could reach it.
    void keepReachable();
    /// Shows the window again at its normal size; the icon and a running rotation stay.
    void showWindow();

private:
    void moveTo(WindowPlace place);

    TrayIcon &m_icon;
    QWidget &m_window;
    WindowPlace m_place = WindowPlace::OnScreen;
};

} // namespace velumbra
