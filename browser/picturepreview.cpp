#include "browser/picturepreview.h"

#include <QImageReader>

namespace velumbra {

PreviewPicture decodePreview(const QString &file, double devicePixelRatio)
{
    PreviewPicture result;
    // Qt's default of 128 MB refuses ordinary 45-megapixel camera pictures.
    QImageReader::setAllocationLimit(kDecoderLimitMB);
    QImageReader reader(file);
    // ".rle" files are bitmaps, and pictures are often misnamed: trust the content.
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);

    const QSize header = reader.size();
    if (header.isValid()) {
        const PixelSize full{header.width(), header.height()};
        if (!fitsDecoderLimit(full)) {
            result.error = QStringLiteral("l'image est trop grande (%1 x %2 pixels)")
                               .arg(full.width)
                               .arg(full.height);
            return result;
        }
        const PixelSize target = decodeSize(full, devicePixelRatio);
        if (!(target == full))
            reader.setScaledSize(QSize(target.width, target.height));
    }
    QImage image;
    if (!reader.read(&image)) {
        result.error = reader.errorString();
        return result;
    }
    result.size = header.isValid() ? PixelSize{header.width(), header.height()}
                                   : PixelSize{image.width(), image.height()};
    if (!header.isValid()) {
        const PixelSize target = decodeSize(*result.size, devicePixelRatio);
        if (!(target == *result.size))
            image = image.scaled(target.width, target.height, Qt::IgnoreAspectRatio,
                                 Qt::SmoothTransformation);
    }
    result.image = std::move(image);
    return result;
}

} // namespace velumbra
