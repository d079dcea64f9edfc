// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/common/testpictures.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>

#include <zlib.h>

#include <cmath>

namespace velumbra::test {
namespace {

void put(QByteArray &b, std::initializer_list<quint32> values, int bytes, bool bigEndian = false)
{
    for (const quint32 v : values)
        for (int i = 0; i < bytes; ++i)
            b.append(char(v >> (8 * (bigEndian ? bytes - 1 - i : i))));
}

// Nine-bit codes, each pixel a literal after a clear code, so that the
// decoder never widens them. Valid, if not compressed.
QByteArray lzwLiterals(const QImage &frame)
{
    QByteArray packed;
    quint32 bits = 0;
    int count = 0;
    const auto code = [&](quint32 c) {
        for (bits |= c << count, count += 9; count >= 8; count -= 8, bits >>= 8)
            packed.append(char(bits));
    };
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            code(256);
            code(frame.constScanLine(y)[x]);
        }
    code(257);
    packed.append(char(bits));
    QByteArray out(1, char(8)); // minimum code size
    for (qsizetype at = 0; at < packed.size(); at += 255)
        out.append(char(packed.mid(at, 255).size())).append(packed.mid(at, 255));
    return out.append(char(0));
}

} // namespace

const Quadrants kPictureA{QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255), Qt::white};
const Quadrants kPictureB{QColor(255, 255, 0), QColor(255, 0, 255), QColor(0, 255, 255), Qt::black};
const Quadrants kPictureC{QColor(0, 0, 255), QColor(255, 0, 0), Qt::white, QColor(0, 255, 0)};

bool writeQuadrants(const QString &path, const Quadrants &colours, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    const int w = size.width() / 2, h = size.height() / 2;
    for (int i = 0; i < 4; ++i) // the right and bottom halves take the odd pixel
        QPainter(&image).fillRect(i % 2 * w, i / 2 * h, i % 2 ? size.width() - w : w,
                                  i / 2 ? size.height() - h : h, colours[std::size_t(i)]);
    return image.save(path, nullptr, 95);
}

bool closeTo(QColor actual, QColor expected, int tolerance)
{
    const auto near = [tolerance](int a, int b) { return std::abs(a - b) <= tolerance; };
    return actual.isValid() && near(actual.red(), expected.red()) &&
           near(actual.green(), expected.green()) && near(actual.blue(), expected.blue());
}

QByteArray encoded(const QImage &image, const char *format, int quality, bool progressive)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(image))
        qFatal("cannot encode the test picture: %s", qPrintable(writer.errorString()));
    return buffer.data();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage bands(int width, int height, const QList<QRgb> &colours)
{
    QImage img(width, height, QImage::Format_Indexed8);
    img.setColorTable(colours);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.scanLine(y)[x] = uchar((x * colours.size()) / width);
    return img;
}

QImage gradient(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y,
                         qRgb((x * 255) / width, (y * 255) / height,
                              int(128 + 60 * std::sin(x / 9.0) * std::cos(y / 7.0))));
    return img;
}

QByteArray gif(const QList<QImage> &frames, int transparentIndex)
{
    const QImage &first = frames.first();
    int tableBits = 1;
    while ((1 << tableBits) < first.colorCount())
        ++tableBits;
    QByteArray out("GIF89a");
    put(out, {quint32(first.width()), quint32(first.height())}, 2);
    out.append(char(0xF0 | (tableBits - 1))).append(char(0)).append(char(0));
    for (int i = 0; i < (1 << tableBits); ++i)
        put(out, {first.colorTable().value(i) & 0xFFFFFF}, 3, true);
    for (const QImage &frame : frames) {
        // Graphic control: a tenth of a second per frame, and the transparent entry.
        out.append("\x21\xF9\x04", 3).append(char(transparentIndex >= 0 ? 1 : 0));
        put(out, {10}, 2);
        out.append(char(std::max(transparentIndex, 0))).append(char(0)).append(char(0x2C));
        put(out, {0, 0, quint32(frame.width()), quint32(frame.height())}, 2);
        out.append(char(0)).append(lzwLiterals(frame));
    }
    return out.append(char(0x3B));
}

QByteArray rleBitmap(const QImage &image, int bitsPerPixel)
{
    Q_ASSERT(image.format() == QImage::Format_Indexed8);
    const bool fourBits = bitsPerPixel == 4;
    QByteArray data;
    for (int y = image.height() - 1; y >= 0; --y) {
        const uchar *row = image.constScanLine(y);
        for (int x = 0, run = 1; x < image.width(); x += run, run = 1) {
            while (x + run < image.width() && run < 255 && row[x + run] == row[x])
                ++run;
            // With 8 bits a lone pixel and the next two go as they are,
            // padded to an even count; everything else as runs.
            if (run == 1 && !fourBits && x + 3 <= image.width()) {
                run = 3;
                data.append(char(0)).append(char(run));
                data.append(reinterpret_cast<const char *>(row + x), run).append(char(0));
            } else {
                data.append(char(run)).append(char(fourBits ? row[x] * 17 : row[x]));
            }
        }
        data.append(char(0)).append(char(y == 0 ? 1 : 0)); // end of line, end of bitmap
    }
    const quint32 entries = fourBits ? 16 : 256, offset = 14 + 40 + 4 * entries;
    QByteArray out("BM");
    // sizes, planes and bits, BI_RLE4 / BI_RLE8, resolution, colours
    put(out,
        {offset + quint32(data.size()), 0u, offset, 40u, quint32(image.width()),
         quint32(image.height()), 1u | quint32(bitsPerPixel) << 16, fourBits ? 2u : 1u,
         quint32(data.size()), 2835u, 2835u, entries, 0u},
        4);
    for (quint32 i = 0; i < entries; ++i)
        put(out, {image.colorTable().value(int(i)) & 0xFFFFFF}, 4);
    return out + data;
}

QByteArray withExifOrientation(const QByteArray &jpeg, int orientation)
{
    // One directory of one entry: orientation, SHORT, one value; no next directory.
    QByteArray body("Exif\0\0II*\0", 10);
    put(body, {8}, 4);
    put(body, {1, 0x0112, 3}, 2);
    put(body, {1, quint32(orientation), 0}, 4);
    QByteArray app1("\xFF\xE1", 2);
    put(app1, {quint32(body.size() + 2)}, 2, true);
    return jpeg.left(2) + app1 + body + jpeg.mid(2);
}

QByteArray pngBomb(quint32 width, quint32 height)
{
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    const auto chunk = [&png](const char *type, const QByteArray &body) {
        const QByteArray typed = QByteArray(type, 4) + body;
        put(png, {quint32(body.size())}, 4, true);
        png.append(typed);
        const auto *bytes = reinterpret_cast<const Bytef *>(typed.data());
        put(png, {quint32(crc32(0, bytes, uInt(typed.size())))}, 4, true);
    };
    QByteArray ihdr;
    put(ihdr, {width, height}, 4, true);
    chunk("IHDR", ihdr.append("\x08\x02\x00\x00\x00", 5));
    // One compressed row of zeros: the rest of the picture is simply missing.
    chunk("IDAT", qCompress(QByteArray(1 + qsizetype(width) * 3, '\0')).mid(4));
    chunk("IEND", {});
    return png;
}

} // namespace velumbra::test
