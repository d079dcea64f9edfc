// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/picturepreview.h"

#include "platform/pictureopening.h"

#include <QFileInfo>
#include <QImageReader>

#include <cstdint>
#include <vector>

namespace velumbra {
namespace {

// An average over boxes of whole source pixels, one source row at a time:
// no copy of the whole picture in another format, and 64-bit sums that
// cannot overflow whatever the shape (Qt 6.4's smooth scaling crashes on
// very wide pictures, and converts paletted ones to 32 bits whole first).
QImage shrunk(const QImage &picture, PixelSize target)
{
    const int sw = picture.width();
    const int sh = picture.height();
    QImage out(target.width, target.height, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return out;
    std::vector<int> columnStart(std::size_t(target.width) + 1);
    for (int x = 0; x <= target.width; ++x)
        columnStart[std::size_t(x)] = int(std::int64_t(x) * sw / target.width);
    const bool direct = picture.format() == QImage::Format_RGB32 ||
                        picture.format() == QImage::Format_ARGB32_Premultiplied;
    std::vector<std::uint64_t> sums(std::size_t(target.width) * 4);
    int y = 0;
    for (int ty = 0; ty < target.height; ++ty) {
        const int rowStart = y;
        const int rowEnd = int(std::int64_t(ty + 1) * sh / target.height);
        std::fill(sums.begin(), sums.end(), 0);
        for (; y < rowEnd; ++y) {
            const QImage converted =
                direct ? QImage()
                       : picture.copy(0, y, sw, 1)
                             .convertToFormat(QImage::Format_ARGB32_Premultiplied);
            const auto *px = reinterpret_cast<const QRgb *>(direct ? picture.constScanLine(y)
                                                                   : converted.constScanLine(0));
            for (int tx = 0; tx < target.width; ++tx) {
                std::uint64_t *sum = &sums[std::size_t(tx) * 4];
                for (int x = columnStart[std::size_t(tx)]; x < columnStart[std::size_t(tx) + 1];
                     ++x) {
                    sum[0] += qAlpha(px[x]);
                    sum[1] += qRed(px[x]);
                    sum[2] += qGreen(px[x]);
                    sum[3] += qBlue(px[x]);
                }
            }
        }
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(ty));
        for (int tx = 0; tx < target.width; ++tx) {
            const std::uint64_t count =
                std::uint64_t(rowEnd - rowStart) *
                std::uint64_t(columnStart[std::size_t(tx) + 1] - columnStart[std::size_t(tx)]);
            const auto mean = [&](int channel) {
                return int((sums[std::size_t(tx) * 4 + std::size_t(channel)] + count / 2) / count);
            };
            line[tx] = qRgba(mean(1), mean(2), mean(3), mean(0));
        }
    }
    return out;
}

QString tooLarge(PixelSize size)
{
    return QStringLiteral("l'image est trop grande (%1 x %2 pixels)")
        .arg(size.width)
        .arg(size.height);
}

} // namespace

PreviewPicture decodePreview(const QString &file, double devicePixelRatio)
{
    PreviewPicture result;
    QFile opened;
    if (const Result<> open = openPlainFile(opened, file); !open) {
        result.error = QString::fromStdString(open.reason());
        return result;
    }
    // Qt's default of 128 MB refuses ordinary 45-megapixel camera pictures.
    QImageReader::setAllocationLimit(kDecoderLimitMB);
    QImageReader reader(&opened);
    // ".rle" files are bitmaps, and pictures are often misnamed: trust the content.
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(false);

    const QSize header = reader.size();
    std::optional<PixelSize> target;
    if (header.isValid()) {
        const PixelSize full{header.width(), header.height()};
        if (!previewCanShow(full)) {
            result.error = tooLarge(full);
            return result;
        }
        target = decodeSize(full, devicePixelRatio);
        // libjpeg scales while it decodes; other pictures are decoded whole
        // and shrunk below.
        if (reader.format() == "jpeg")
            reader.setScaledSize(QSize(target->width, target->height));
    }
    QImage image;
    if (!reader.read(&image)) {
        result.error = reader.errorString();
        return result;
    }
    const PixelSize full = header.isValid() ? PixelSize{header.width(), header.height()}
                                            : PixelSize{image.width(), image.height()};
    if (!previewCanShow(full)) {
        result.error = tooLarge(full);
        return result;
    }
    if (!target)
        target = decodeSize(full, devicePixelRatio);
    if (image.width() != target->width || image.height() != target->height)
        image = shrunk(image, *target);
    result.size = full;
    result.image = std::move(image);
    return result;
}

} // namespace velumbra
