// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/pictureopening.h"

#include <QFileInfo>

namespace velumbra {

Result<> openPlainFile(QFile &file, const QString &path)
{
    if (!QFileInfo(path).isFile())
        return Failure{"ce n'est pas un fichier"};
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure{file.errorString().toStdString()};
    return Result<>::success();
}

} // namespace velumbra
