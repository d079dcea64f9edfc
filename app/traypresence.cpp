// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/traypresence.h"

#include "platform/tray.h"

#include <QCursor>
#include <QMenu>
#include <QWidget>

namespace velumbra {

TrayPresence::TrayPresence(TrayIcon &icon, QWidget &window, QMenu &menu)
    : m_icon(icon), m_window(window)
{
    m_icon.setToolTip(QStringLiteral("°VLB° Velumbra"));
    m_icon.onActivated = [&menu] { menu.popup(QCursor::pos()); };
    m_icon.setVisible(true);
}

TrayPresence::~TrayPresence()
{
    m_icon.onActivated = nullptr;
}

void TrayPresence::rotationStarted(bool rightButton)
{
    const AfterRotationStart after = afterRotationStart(rightButton, m_icon.isAvailable());
    m_icon.setVisible(after.trayIcon);
    moveTo(after.window);
}

void TrayPresence::keepReachable()
{
    if (m_place != WindowPlace::InTray || m_window.isVisible())
        return;
    if (const WindowPlace place = hidingPlace(m_icon.isAvailable()); place != m_place)
        moveTo(place);
}

void TrayPresence::showWindow()
{
    m_place = WindowPlace::OnScreen;
    m_window.setWindowState(m_window.windowState() & ~Qt::WindowMinimized);
    m_window.show();
    m_window.raise();
    m_window.activateWindow();
}

void TrayPresence::moveTo(WindowPlace place)
{
    m_place = place;
    if (place == WindowPlace::OnScreen)
        return;
    m_window.showMinimized();
    if (place == WindowPlace::InTray)
        m_window.hide();
}

} // namespace velumbra
