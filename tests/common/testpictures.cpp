// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/common/testpictures.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>

#include <zlib.h>

#include <cmath>

namespace velumbra::test {
namespace {

void put(QByteArray &b, quint32 v, int bytes, bool bigEndian = false)
{
    for (int i = 0; i < bytes; ++i)
        b.append(char(v >> (8 * (bigEndian ? bytes - 1 - i : i))));
}

// Nine-bit codes with a clear code before the decoder would widen them:
// every pixel is one literal code. Valid, if not compressed.
QByteArray lzwLiterals(const QImage &frame)
{
    QByteArray packed;
    quint32 bits = 0;
    int count = 0, sinceClear = 254;
    const auto code = [&](quint32 c) {
        for (bits |= c << count, count += 9; count >= 8; count -= 8, bits >>= 8)
            packed.append(char(bits));
    };
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x, ++sinceClear) {
            if (sinceClear == 254)
                code(256), sinceClear = 0;
            code(frame.constScanLine(y)[x]);
        }
    code(257);
    if (count > 0)
        packed.append(char(bits));
    QByteArray out(1, char(8)); // minimum code size
    for (qsizetype at = 0; at < packed.size(); at += 255)
        out.append(char(packed.mid(at, 255).size())).append(packed.mid(at, 255));
    return out.append(char(0));
}

// Runs of one index as count/index pairs; with 8 bits, other stretches of
// three or more in absolute mode.
void rleRow(QByteArray &out, const uchar *row, int width, bool fourBits)
{
    for (int x = 0; x < width;) {
        int run = 1, literal = 1;
        while (x + run < width && run < 255 && row[x + run] == row[x])
            ++run;
        if (run >= 2 || fourBits) {
            out.append(char(run)).append(char(fourBits ? (row[x] << 4) | row[x] : row[x]));
            x += run;
            continue;
        }
        while (x + literal < width && literal < 255 &&
               !(x + literal + 1 < width && row[x + literal] == row[x + literal + 1]))
            ++literal;
        if (literal < 3) {
            for (int i = 0; i < literal; ++i)
                out.append(char(1)).append(char(row[x + i]));
        } else {
            out.append(char(0)).append(char(literal));
            out.append(reinterpret_cast<const char *>(row + x), literal);
            if (literal % 2)
                out.append(char(0));
        }
        x += literal;
    }
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

bool writeSolid(const QString &path, QColor colour, QSize size)
{
    return writeQuadrants(path, {colour, colour, colour, colour}, size);
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

QImage patternPicture(QSize size, int colours, int seed)
{
    QRandomGenerator random{quint32(seed)};
    QImage img(size, QImage::Format_Indexed8);
    for (int i = 0; i < colours; ++i)
        img.setColor(i, random.generate() | 0xFF000000u);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.scanLine(y)[x] =
                uchar(y % 3 == 0 && x > size.width() / 2 ? int(random.bounded(colours))
                                                         : (x / 7 + y / 3) % colours);
    return img;
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
    put(out, quint32(first.width()), 2);
    put(out, quint32(first.height()), 2);
    out.append(char(0xF0 | (tableBits - 1))).append(char(0)).append(char(0));
    for (int i = 0; i < (1 << tableBits); ++i)
        put(out, first.colorTable().value(i) & 0xFFFFFF, 3, true);
    for (const QImage &frame : frames) {
        // Graphic control: a tenth of a second per frame, and the transparent entry.
        out.append("\x21\xF9\x04", 3).append(char(transparentIndex >= 0 ? 1 : 0));
        put(out, 10, 2);
        out.append(char(std::max(transparentIndex, 0))).append(char(0)).append(char(0x2C));
        put(out, 0, 4);
        put(out, quint32(frame.width()), 2);
        put(out, quint32(frame.height()), 2);
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
        rleRow(data, image.constScanLine(y), image.width(), fourBits);
        data.append(char(0)).append(char(y == 0 ? 1 : 0)); // end of line, end of bitmap
    }
    const quint32 entries = fourBits ? 16 : 256, offset = 14 + 40 + 4 * entries;
    QByteArray out("BM");
    for (quint32 v : {offset + quint32(data.size()), 0u, offset, 40u, quint32(image.width()),
                      quint32(image.height()), 1u | quint32(bitsPerPixel) << 16, fourBits ? 2u : 1u,
                      quint32(data.size()), 2835u, 2835u, entries, 0u})
        put(out, v, 4); // sizes, planes and bits, BI_RLE4 / BI_RLE8, resolution, colours
    for (quint32 i = 0; i < entries; ++i)
        put(out, image.colorTable().value(int(i)) & 0xFFFFFF, 4);
    return out + data;
}

QByteArray withExifOrientation(const QByteArray &jpeg, int orientation)
{
    // One directory of one entry: orientation, SHORT, one value; no next directory.
    QByteArray body("Exif\0\0II*\0", 10);
    for (const auto &[v, n] :
         {std::pair{8, 4}, {1, 2}, {0x0112, 2}, {3, 2}, {1, 4}, {orientation, 4}, {0, 4}})
        put(body, quint32(v), n);
    QByteArray app1("\xFF\xE1", 2);
    put(app1, quint32(body.size() + 2), 2, true);
    return jpeg.left(2) + app1 + body + jpeg.mid(2);
}

QByteArray pngBomb(quint32 width, quint32 height)
{
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    const auto chunk = [&png](const char *type, const QByteArray &body) {
        put(png, quint32(body.size()), 4, true);
        const QByteArray typed = QByteArray(type, 4) + body;
        png.append(typed);
        put(png,
            quint32(crc32(0, reinterpret_cast<const Bytef *>(typed.data()), uInt(typed.size()))), 4,
            true);
    };
    QByteArray ihdr;
    put(ihdr, width, 4, true);
    put(ihdr, height, 4, true);
    chunk("IHDR", ihdr.append("\x08\x02\x00\x00\x00", 5));
    // One compressed row of zeros: the rest of the picture is simply missing.
    chunk("IDAT", qCompress(QByteArray(1 + qsizetype(width) * 3, '\0')).mid(4));
    chunk("IEND", {});
    return png;
}

} // namespace velumbra::test
