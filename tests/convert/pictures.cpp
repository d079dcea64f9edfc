#include "pictures.h"

#include <QRandomGenerator>

namespace velumbra::test {
namespace {

void put16(QByteArray &out, int v)
{
    out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

void put32(QByteArray &out, quint32 v)
{
    put16(out, int(v & 0xFFFF));
    put16(out, int(v >> 16));
}

// LZW codes of a fixed width: a clear code comes before the dictionary would
// make the decoder widen its codes, so every pixel is one literal code.
QByteArray lzwLiterals(const std::vector<unsigned char> &pixels)
{
    constexpr int kMinCodeSize = 8;
    constexpr int kClear = 1 << kMinCodeSize;
    constexpr int kEnd = kClear + 1;
    constexpr int kWidth = kMinCodeSize + 1;
    constexpr int kLiteralsPerClear = kClear - 2;
    QByteArray packed;
    quint32 bits = 0;
    int count = 0;
    const auto emit = [&](int code) {
        bits |= quint32(code) << count;
        count += kWidth;
        while (count >= 8) {
            packed.append(char(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        if (i % kLiteralsPerClear == 0)
            emit(kClear);
        emit(pixels[i]);
    }
    emit(kEnd);
    if (count > 0)
        packed.append(char(bits & 0xFF));

    QByteArray out;
    out.append(char(kMinCodeSize));
    for (qsizetype at = 0; at < packed.size(); at += 255) {
        const QByteArray block = packed.mid(at, 255);
        out.append(char(block.size())).append(block);
    }
    out.append(char(0));
    return out;
}

// Runs of one index as count/index pairs, other stretches in absolute mode.
void rle8Row(QByteArray &out, const unsigned char *row, int width)
{
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < 255 && row[x + run] == row[x])
            ++run;
        if (run >= 2) {
            out.append(char(run)).append(char(row[x]));
            x += run;
            continue;
        }
        int literal = 1;
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

// Runs of one index only: each pair repeats the index in both nibbles.
void rle4Row(QByteArray &out, const unsigned char *row, int width)
{
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < 255 && row[x + run] == row[x])
            ++run;
        out.append(char(run)).append(char((row[x] << 4) | row[x]));
        x += run;
    }
}

} // namespace

IndexedPicture patternPicture(QSize size, int colours, int seed)
{
    IndexedPicture p;
    p.size = size;
    QRandomGenerator random{quint32(seed)};
    for (int i = 0; i < colours; ++i)
        p.palette << (random.generate() | 0xFF000000u);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            // Bands of runs, with a stretch of single pixels in every third row.
            const int band = (x / 7 + y / 3) % colours;
            const int index =
                y % 3 == 0 && x > size.width() / 2 ? int(random.bounded(colours)) : band;
            p.pixels.push_back((unsigned char)index);
        }
    return p;
}

QByteArray gifFile(const std::vector<IndexedPicture> &frames, int transparentIndex)
{
    const IndexedPicture &first = frames.front();
    int tableBits = 1;
    while ((1 << tableBits) < first.palette.size())
        ++tableBits;
    QByteArray out("GIF89a");
    put16(out, first.size.width());
    put16(out, first.size.height());
    out.append(char(0x80 | 0x70 | (tableBits - 1))).append(char(0)).append(char(0));
    for (int i = 0; i < (1 << tableBits); ++i) {
        const QRgb c = i < first.palette.size() ? first.palette[i] : 0;
        out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }
    for (const IndexedPicture &frame : frames) {
        // Graphic control: a tenth of a second per frame, and the transparent entry.
        out.append("\x21\xF9\x04", 3);
        out.append(char(transparentIndex >= 0 ? 0x01 : 0x00));
        put16(out, 10);
        out.append(char(transparentIndex >= 0 ? transparentIndex : 0)).append(char(0));
        out.append(char(0x2C));
        put16(out, 0);
        put16(out, 0);
        put16(out, frame.size.width());
        put16(out, frame.size.height());
        out.append(char(0));
        out.append(lzwLiterals(frame.pixels));
    }
    out.append(char(0x3B));
    return out;
}

QByteArray rleBmpFile(const IndexedPicture &picture, bool fourBits)
{
    QByteArray data;
    const int width = picture.size.width();
    for (int y = picture.size.height() - 1; y >= 0; --y) {
        const unsigned char *row = picture.pixels.data() + std::size_t(y * width);
        if (fourBits)
            rle4Row(data, row, width);
        else
            rle8Row(data, row, width);
        data.append(char(0)).append(char(y == 0 ? 1 : 0)); // end of line, end of bitmap
    }
    const int entries = fourBits ? 16 : 256;
    const quint32 offset = 14 + 40 + 4 * quint32(entries);
    QByteArray out("BM");
    put32(out, offset + quint32(data.size()));
    put32(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, quint32(width));
    put32(out, quint32(picture.size.height()));
    put16(out, 1);
    put16(out, fourBits ? 4 : 8);
    put32(out, fourBits ? 2 : 1); // BI_RLE4 / BI_RLE8
    put32(out, quint32(data.size()));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, quint32(entries));
    put32(out, 0);
    for (int i = 0; i < entries; ++i) {
        const QRgb c = i < picture.palette.size() ? picture.palette[i] : 0;
        out.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append(char(0));
    }
    return out + data;
}

int bmpBitCount(const QByteArray &file)
{
    if (file.size() < 54 || !file.startsWith("BM"))
        return 0;
    return int(uchar(file[28])) | (int(uchar(file[29])) << 8);
}

} // namespace velumbra::test
