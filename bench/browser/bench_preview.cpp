// SPDX-License-Identifier: GPL-3.0-or-later
// From the click to the preview shown, for a 6000 x 4000 and a 1920 x 1080
// JPEG: the way the window does it, against the naive way (decode to measure,
// decode again, scale by half) and the bare floor (size from the header, one
// decode scaled to half by the decoder). Usage: bench_preview
#include "bench/support/benchsupport.h"
#include "browser/picturepreview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QPixmap>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

using namespace velumbra;

namespace {

QImage photoLike(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = qRgb((x * 255) / w, (y * 255) / h,
                           int(128 + 90 * std::sin(x / 23.0) * std::cos(y / 17.0)));
    }
    return img;
}

double medianOf(int runs, const std::function<void()> &f)
{
    std::vector<double> v;
    f(); // warm: plugins loaded, file cached
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        v.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    velumbra::bench::printLoad();
    QTemporaryDir dir;
    QLabel shown;
    shown.setScaledContents(true);
    std::printf("click to preview, median ms\n%12s %10s %10s %10s %10s %10s\n", "picture",
                "naive (a)", "floor (b)", "window", "÷(a)", "÷(b)");
    for (const QSize size : {QSize(1920, 1080), QSize(6000, 4000)}) {
        const QString path = dir.filePath(QStringLiteral("p%1.jpg").arg(size.width()));
        QImageWriter writer(path, "jpeg");
        writer.setQuality(90);
        writer.write(photoLike(size.width(), size.height()));
        const QSize half((size.width() + 1) / 2, (size.height() + 1) / 2);
        auto show = [&](const QImage &img) {
            shown.resize(half);
            shown.setPixmap(QPixmap::fromImage(img));
        };
        const int runs = size.width() > 2000 ? 7 : 21;
        QImageReader::setAllocationLimit(kDecoderLimitMB);
        const double naive = medianOf(runs, [&] {
            const QSize measured = QImage(path).size();
            show(
                QImage(path).scaled(measured / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        });
        const double floor = medianOf(runs, [&] {
            QImageReader r(path);
            const QSize s = r.size();
            r.setScaledSize(QSize((s.width() + 1) / 2, (s.height() + 1) / 2));
            show(r.read());
        });
        const double window = medianOf(runs, [&] { show(decodePreview(path, 1.0).image); });
        std::printf("%5dx%-6d %10.1f %10.1f %10.1f %10.2f %10.2f\n", size.width(), size.height(),
                    naive, floor, window, window / naive, window / floor);
    }
    return 0;
}
