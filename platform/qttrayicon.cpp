// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qttrayicon.h"

#include <QSystemTrayIcon>

namespace velumbra {

QtTrayIcon::QtTrayIcon(const QIcon &icon) : m_icon(new QSystemTrayIcon(icon))
{
    // No context menu of its own: every click, whatever the button, asks the
    // window to pop up its menu at the pointer.
    QObject::connect(m_icon, &QSystemTrayIcon::activated, m_icon,
                     [this](QSystemTrayIcon::ActivationReason) {
                         if (onActivated)
                             onActivated();
                     });
}

QtTrayIcon::~QtTrayIcon()
{
    delete m_icon;
}

bool QtTrayIcon::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::setVisible(bool visible)
{
    m_icon->setVisible(visible);
}

bool QtTrayIcon::isVisible() const
{
    return m_icon->isVisible();
}

void QtTrayIcon::setToolTip(const QString &tip)
{
    m_icon->setToolTip(tip);
}

QString QtTrayIcon::toolTip() const
{
    return m_icon->toolTip();
}

} // namespace velumbra
