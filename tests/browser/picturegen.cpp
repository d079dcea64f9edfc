#include "picturegen.h"

#include <QBuffer>
#include <QDataStream>

#include <zlib.h>

#include <cmath>

namespace velumbra::testing {
namespace {

void put16(QByteArray &b, quint16 v)
{
    b.append(char(v & 0xFF)).append(char(v >> 8));
}

void put32(QByteArray &b, quint32 v)
{
    put16(b, quint16(v & 0xFFFF));
    put16(b, quint16(v >> 16));
}

void putBE32(QByteArray &b, quint32 v)
{
    b.append(char(v >> 24))
        .append(char((v >> 16) & 0xFF))
        .append(char((v >> 8) & 0xFF))
        .append(char(v & 0xFF));
}

} // namespace

QByteArray rleBitmap(const QImage &image, int bitsPerPixel)
{
    Q_ASSERT(image.format() == QImage::Format_Indexed8);
    const int colours = bitsPerPixel == 4 ? 16 : 256;
    QByteArray pixels;
    for (int y = image.height() - 1; y >= 0; --y) {
        const uchar *row = image.constScanLine(y);
        int x = 0;
        while (x < image.width()) {
            int run = 1;
            while (x + run < image.width() && run < 255 && row[x + run] == row[x])
                ++run;
            pixels.append(char(run));
            pixels.append(bitsPerPixel == 4 ? char((row[x] << 4) | row[x]) : char(row[x]));
            x += run;
        }
        pixels.append('\0').append('\0'); // end of line
    }
    pixels.append('\0').append('\1'); // end of bitmap

    QByteArray b("BM");
    const quint32 headers = 14 + 40 + 4 * quint32(colours);
    put32(b, headers + quint32(pixels.size()));
    put32(b, 0);
    put32(b, headers);
    put32(b, 40);
    put32(b, quint32(image.width()));
    put32(b, quint32(image.height()));
    put16(b, 1);
    put16(b, quint16(bitsPerPixel));
    put32(b, bitsPerPixel == 4 ? 2 : 1); // BI_RLE4 / BI_RLE8
    put32(b, quint32(pixels.size()));
    put32(b, 2835);
    put32(b, 2835);
    put32(b, quint32(colours));
    put32(b, 0);
    const QList<QRgb> table = image.colorTable();
    for (int i = 0; i < colours; ++i) {
        const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
        b.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    }
    return b + pixels;
}

QByteArray gif(const QList<QImage> &frames)
{
    const QImage &first = frames.first();
    QByteArray b("GIF89a");
    put16(b, quint16(first.width()));
    put16(b, quint16(first.height()));
    b.append(char(0xF7)).append('\0').append('\0'); // global table of 256 colours
    const QList<QRgb> table = first.colorTable();
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
        b.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }
    for (const QImage &frame : frames) {
        // Graphic control: 10/100 s delay, no disposal, no transparency.
        b.append("\x21\xF9\x04\x00\x0A\x00\x00\x00", 8);
        b.append(',');
        put16(b, 0);
        put16(b, 0);
        put16(b, quint16(frame.width()));
        put16(b, quint16(frame.height()));
        b.append('\0');
        b.append(char(8)); // LZW minimum code size
        // Nine-bit codes with a clear code often enough that the decoder's
        // table never grows past them: valid, if not compressed.
        QByteArray data;
        quint32 acc = 0;
        int bits = 0;
        auto putCode = [&](quint32 code) {
            acc |= code << bits;
            bits += 9;
            while (bits >= 8) {
                data.append(char(acc & 0xFF));
                acc >>= 8;
                bits -= 8;
            }
        };
        int sinceClear = 0;
        putCode(256);
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 0; x < frame.width(); ++x) {
                if (sinceClear == 250) {
                    putCode(256);
                    sinceClear = 0;
                }
                putCode(frame.constScanLine(y)[x]);
                ++sinceClear;
            }
        }
        putCode(257);
        if (bits > 0)
            data.append(char(acc & 0xFF));
        for (qsizetype i = 0; i < data.size(); i += 255) {
            const QByteArray block = data.mid(i, 255);
            b.append(char(block.size())).append(block);
        }
        b.append('\0');
    }
    b.append(';');
    return b;
}

QByteArray withExifOrientation(const QByteArray &jpeg, int orientation)
{
    QByteArray tiff("II*\0", 4);
    put32(tiff, 8);      // first directory
    put16(tiff, 1);      // one entry
    put16(tiff, 0x0112); // orientation
    put16(tiff, 3);      // SHORT
    put32(tiff, 1);
    put16(tiff, quint16(orientation));
    put16(tiff, 0);
    put32(tiff, 0); // no next directory
    const QByteArray body = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray app1("\xFF\xE1", 2);
    const int length = int(body.size()) + 2;
    app1.append(char(length >> 8)).append(char(length & 0xFF));
    return jpeg.left(2) + app1 + body + jpeg.mid(2);
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
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb((x * 255) / width, (y * 255) / height,
                           int(128 + 60 * std::sin(x / 9.0) * std::cos(y / 7.0)));
    }
    return img;
}

QByteArray pngBomb(quint32 width, quint32 height)
{
    auto chunk = [](QByteArray &out, const char *type, const QByteArray &body) {
        putBE32(out, quint32(body.size()));
        QByteArray typed = QByteArray(type, 4) + body;
        out.append(typed);
        putBE32(out, quint32(crc32(0, reinterpret_cast<const Bytef *>(typed.constData()),
                                   uInt(typed.size()))));
    };
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray ihdr;
    putBE32(ihdr, width);
    putBE32(ihdr, height);
    ihdr.append("\x08\x02\x00\x00\x00", 5);
    chunk(png, "IHDR", ihdr);
    // One compressed row of zeros: the rest of the picture is simply missing.
    QByteArray row(1 + qsizetype(width) * 3, '\0');
    uLongf size = compressBound(uLong(row.size()));
    QByteArray packed(qsizetype(size), '\0');
    compress(reinterpret_cast<Bytef *>(packed.data()), &size,
             reinterpret_cast<const Bytef *>(row.constData()), uLong(row.size()));
    packed.resize(qsizetype(size));
    chunk(png, "IDAT", packed);
    chunk(png, "IEND", {});
    return png;
}

double meanDifference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    if (x.size() != y.size())
        return 255;
    double sum = 0;
    for (int r = 0; r < x.height(); ++r) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(r));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(r));
        for (int c = 0; c < x.width(); ++c)
            sum += std::abs(qRed(p[c]) - qRed(q[c])) + std::abs(qGreen(p[c]) - qGreen(q[c])) +
                   std::abs(qBlue(p[c]) - qBlue(q[c]));
    }
    return sum / (3.0 * x.width() * x.height());
}

} // namespace velumbra::testing
