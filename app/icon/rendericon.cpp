// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the scalable icon at build time: into the 64 x 64, 256-colour
// picture that the window and the tray show, or, given a size, into a plain
// PNG of that size for the icon theme.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

int main(int argc, char **argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: rendericon input.svg output.png [size]\n");
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    if (!svg.isValid()) {
        std::fprintf(stderr, "rendericon: cannot read %s\n", argv[1]);
        return 1;
    }
    const int side = argc == 4 ? std::atoi(argv[3]) : 64;
    if (side < 1 || side > 1024) {
        std::fprintf(stderr, "rendericon: bad size %s\n", argv[3]);
        return 2;
    }
    QImage argb(side, side, QImage::Format_ARGB32);
    argb.fill(Qt::transparent);
    {
        QPainter p(&argb);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p);
    }
    if (argc == 4) {
        if (!argb.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
            std::fprintf(stderr, "rendericon: cannot write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    // 255 colours plus one fully transparent entry: the most used colours,
    // bucketed to 5 bits a channel, then every pixel mapped to the nearest one.
    // Half-transparent edge pixels are kept opaque or dropped at the midpoint.
    struct Bucket
    {
        long long r = 0, g = 0, b = 0, n = 0;
    };
    std::map<int, Bucket> buckets;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const QRgb c = argb.pixel(x, y);
            if (qAlpha(c) < 128)
                continue;
            Bucket &b = buckets[((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3)];
            b.r += qRed(c);
            b.g += qGreen(c);
            b.b += qBlue(c);
            ++b.n;
        }
    std::vector<Bucket> ranked;
    for (const auto &kv : buckets)
        ranked.push_back(kv.second);
    std::sort(ranked.begin(), ranked.end(),
              [](const Bucket &a, const Bucket &b) { return a.n > b.n; });
    if (ranked.size() > 255)
        ranked.resize(255);
    QList<QRgb> table;
    for (const Bucket &b : ranked)
        table.append(qRgb(int(b.r / b.n), int(b.g / b.n), int(b.b / b.n)));
    const int transparentIndex = int(table.size());
    table.append(qRgba(0, 0, 0, 0));
    QImage indexed(64, 64, QImage::Format_Indexed8);
    indexed.setColorTable(table);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const QRgb c = argb.pixel(x, y);
            int best = transparentIndex;
            if (qAlpha(c) >= 128) {
                long long bestDistance = -1;
                for (int i = 0; i < transparentIndex; ++i) {
                    const long long dr = qRed(c) - qRed(table[i]),
                                    dg = qGreen(c) - qGreen(table[i]),
                                    db = qBlue(c) - qBlue(table[i]);
                    const long long d = dr * dr + dg * dg + db * db;
                    if (bestDistance < 0 || d < bestDistance) {
                        bestDistance = d;
                        best = i;
                    }
                }
            }
            indexed.setPixel(x, y, uint(best));
        }
    if (!indexed.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "rendericon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
