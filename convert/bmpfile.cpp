// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/bmpfile.h"

#include <QIODevice>

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace velumbra {
namespace {

constexpr int kPaletteEntries = 256;
constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kInfoHeader = 40;
constexpr std::size_t kChunk = std::size_t(1) << 20;

QRgb onWhite(QRgb c)
{
    const int a = qAlpha(c);
    if (a == 255)
        return c;
    const auto blend = [a](int v) { return (v * a + 255 * (255 - a) + 127) / 255; };
    return qRgb(blend(qRed(c)), blend(qGreen(c)), blend(qBlue(c)));
}

void flattenPalette(QImage &picture)
{
    QList<QRgb> table = picture.colorTable();
    for (QRgb &c : table)
        c = onWhite(c);
    picture.setColorTable(table);
}

// Builds an exact palette when the picture has no more than 256 colours.
bool toExactPalette(QImage &picture)
{
    std::unordered_map<QRgb, uchar> index;
    index.reserve(kPaletteEntries * 2);
    for (int y = 0; y < picture.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb c = row[x] | 0xFF000000u;
            if (index.size() == kPaletteEntries && !index.contains(c))
                return false;
            index.try_emplace(c, uchar(index.size()));
        }
    }
    QList<QRgb> table(qsizetype(index.size()));
    for (const auto &[colour, i] : index)
        table[i] = colour;
    QImage indexed(picture.size(), QImage::Format_Indexed8);
    if (indexed.isNull())
        return false;
    indexed.setColorTable(table);
    for (int y = 0; y < picture.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        uchar *out = indexed.scanLine(y);
        for (int x = 0; x < picture.width(); ++x)
            out[x] = index.at(row[x] | 0xFF000000u);
    }
    picture = std::move(indexed);
    return true;
}

void put16(uchar *p, unsigned v)
{
    p[0] = uchar(v);
    p[1] = uchar(v >> 8);
}

void put32(uchar *p, std::uint32_t v)
{
    put16(p, v & 0xFFFF);
    put16(p + 2, v >> 16);
}

Result<> writeAll(QIODevice &out, const uchar *data, std::size_t size)
{
    if (out.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size))
        return Result<>::success();
    return Failure{out.errorString().toStdString()};
}

} // namespace

void prepareForBmp(QImage &picture, bool countColours)
{
    switch (picture.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Indexed8:
        picture.convertTo(QImage::Format_Indexed8);
        flattenPalette(picture);
        return;
    case QImage::Format_Grayscale8: {
        QList<QRgb> grey(kPaletteEntries);
        for (int i = 0; i < kPaletteEntries; ++i)
            grey[i] = qRgb(i, i, i);
        picture.reinterpretAsFormat(QImage::Format_Indexed8);
        picture.setColorTable(grey);
        return;
    }
    case QImage::Format_RGB32:
        break;
    default:
        if (picture.hasAlphaChannel()) {
            picture.convertTo(QImage::Format_ARGB32);
            for (int y = 0; y < picture.height(); ++y) {
                auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
                for (int x = 0; x < picture.width(); ++x)
                    row[x] = onWhite(row[x]);
            }
            picture.reinterpretAsFormat(QImage::Format_RGB32);
        } else {
            picture.convertTo(QImage::Format_RGB32);
        }
    }
    if (countColours)
        toExactPalette(picture);
}

Result<> writeBmp(const QImage &picture, QIODevice &out)
{
    const bool paletted = picture.format() == QImage::Format_Indexed8;
    Q_ASSERT(paletted || picture.format() == QImage::Format_RGB32);
    const std::size_t width = std::size_t(picture.width());
    const std::size_t height = std::size_t(picture.height());
    const std::size_t bytesPerPixel = paletted ? 1 : 3;
    const std::size_t stride = (width * bytesPerPixel + 3) & ~std::size_t(3);
    const std::size_t offset = kFileHeader + kInfoHeader + (paletted ? 4 * kPaletteEntries : 0);
    const std::uint64_t fileSize = std::uint64_t(offset) + std::uint64_t(stride) * height;
    if (fileSize > 0xFFFFFFFFu)
        return Failure{"l'image est trop grande pour un fichier BMP"};

    std::vector<uchar> head(offset, 0);
    head[0] = 'B';
    head[1] = 'M';
    put32(&head[2], std::uint32_t(fileSize));
    put32(&head[10], std::uint32_t(offset));
    uchar *info = &head[kFileHeader];
    put32(info, kInfoHeader);
    put32(info + 4, std::uint32_t(width));
    put32(info + 8, std::uint32_t(height)); // positive: rows bottom-up, as every reader expects
    put16(info + 12, 1);
    put16(info + 14, unsigned(bytesPerPixel * 8));
    put32(info + 20, std::uint32_t(stride * height));
    put32(info + 24, 2835); // 72 dots per inch
    put32(info + 28, 2835);
    if (paletted) {
        put32(info + 32, kPaletteEntries);
        const QList<QRgb> table = picture.colorTable();
        uchar *entry = info + kInfoHeader;
        for (qsizetype i = 0; i < table.size() && i < kPaletteEntries; ++i, entry += 4) {
            entry[0] = uchar(qBlue(table[i]));
            entry[1] = uchar(qGreen(table[i]));
            entry[2] = uchar(qRed(table[i]));
        }
    }
    if (Result<> written = writeAll(out, head.data(), head.size()); !written)
        return written;

    // Rows go out in chunks of about a megabyte: fewer system calls than one
    // write per row, and no copy of the whole picture.
    const std::size_t rowsPerChunk =
        std::max<std::size_t>(1, kChunk / std::max<std::size_t>(stride, 1));
    std::vector<uchar> chunk(rowsPerChunk * stride, 0);
    std::size_t filled = 0;
    for (std::size_t y = height; y-- > 0;) {
        uchar *dst = chunk.data() + filled;
        const uchar *src = picture.constScanLine(int(y));
        if (paletted) {
            std::copy_n(src, width, dst);
        } else {
            const auto *px = reinterpret_cast<const QRgb *>(src);
            for (std::size_t x = 0; x < width; ++x, dst += 3) {
                const QRgb c = px[x];
                dst[0] = uchar(c);
                dst[1] = uchar(c >> 8);
                dst[2] = uchar(c >> 16);
            }
        }
        filled += stride;
        if (filled == chunk.size() || y == 0) {
            if (Result<> written = writeAll(out, chunk.data(), filled); !written)
                return written;
            filled = 0;
        }
    }
    return Result<>::success();
}

} // namespace velumbra
