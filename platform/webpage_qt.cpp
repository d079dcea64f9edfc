// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/webpage.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace velumbra {

void SystemWebPageOpener::open(const std::string &address)
{
    // fromUserInput turns a local path into a file URL and keeps real URLs as
    // they are; openUrl hands over to the desktop and does not wait.
    const QUrl url = QUrl::fromUserInput(QString::fromStdString(address));
    if (url.isValid())
        QDesktopServices::openUrl(url);
}

} // namespace velumbra
