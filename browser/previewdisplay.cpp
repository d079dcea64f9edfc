// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/previewdisplay.h"

#include "browser/folderreader.h"
#include "browser/picturepreview.h"

#include <QLabel>
#include <QPixmap>

namespace velumbra {

void clearPreview(QLabel &image, QLabel &info, const QString &file)
{
    image.hide();
    image.clear();
    info.setText(shownText(file));
}

void showPreview(QLabel &image, QLabel &info, const QString &file, double devicePixelRatio,
                 int screenWidth, int screenHeight)
{
    const PreviewPicture picture = decodePreview(file, devicePixelRatio);
    if (picture.size) {
        info.setText(QString::fromStdString(
            infoLine(shownText(file).toStdString(), picture.size, screenWidth, screenHeight)));
        const PixelSize shown = previewPixels(*picture.size);
        image.resize(shown.width, shown.height);
        image.setPixmap(QPixmap::fromImage(picture.image));
    }
    image.show();
}

} // namespace velumbra
