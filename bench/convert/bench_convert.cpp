// SPDX-License-Identifier: GPL-3.0-or-later
// Converts generated JPEGs to BMP with the program's own conversion loop (as
// the window runs it, both cores) and, in the same run, with djpeg -bmp (the
// baseline), alternating the two; then, once each, ImageMagick's mogrify and
// the parts of the work (decoding alone is the floor). Prints pictures per
// second and time ratios against djpeg.
//
// bench_convert [small-count [large-count [runs]]]   (defaults 40, 5 and 5)

#include "bench/support/benchsupport.h"
#include "convert/bmpconverter.h"
#include "convert/bmpfile.h"
#include "platform/fakes/fakeprompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

using velumbra::BmpConverter;

namespace {

// Photo-like content: smooth gradients with noise, so the JPEG is neither
// trivially small nor pure noise.
QImage makePicture(int width, int height, quint32 seed)
{
    QImage picture(width, height, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int n = int(random.bounded(6));
            row[x] = qRgb((x * 255 / width + n) & 255, (y * 255 / height + n) & 255,
                          ((x + y) * 128 / (width + height) + 2 * n) & 255);
        }
    }
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 40; ++i) {
        painter.setBrush(QColor::fromRgb(random.generate()));
        painter.setPen(Qt::NoPen);
        const int r = int(random.bounded(quint32(height / 4))) + 10;
        painter.drawEllipse(
            QPoint(int(random.bounded(quint32(width))), int(random.bounded(quint32(height)))), r,
            r);
    }
    return picture;
}

QStringList makeJpegs(const QString &dir, int count, int width, int height)
{
    QDir().mkpath(dir);
    const QImage picture = makePicture(width, height, quint32(width));
    QStringList files;
    for (int i = 0; i < count; ++i) {
        const QString file = QStringLiteral("%1/p%2.jpg").arg(dir).arg(i, 3, 10, QLatin1Char('0'));
        if (i == 0) {
            QImageWriter writer(file, "jpeg");
            writer.setQuality(90);
            if (!writer.write(picture))
                qFatal("cannot write %s", qPrintable(file));
        } else {
            QFile::copy(files.first(), file); // same content: the decode cost is what counts
        }
        files << file;
    }
    return files;
}

// Peak resident memory since the last reset, in MB, where the system tells it.
double peakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return -1;
}

void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double timed(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e9;
}

void run(const QString &tool, const QStringList &args)
{
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(tool), process.readAllStandardError().constData());
}

void clean(const QString &dir)
{
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
}

void measure(const QString &label, const QString &work, int count, int width, int height, int runs)
{
    const QString in = work + QStringLiteral("/in-") + label;
    const QString out = work + QStringLiteral("/out");
    std::printf("\n%s: %d JPEGs of %d x %d, quality 90\n", qPrintable(label), count, width, height);
    const QStringList files = makeJpegs(in, count, width, height);

    const bool haveMogrify = !QStandardPaths::findExecutable(QStringLiteral("mogrify")).isEmpty();
    if (QStandardPaths::findExecutable(QStringLiteral("djpeg")).isEmpty())
        qFatal("djpeg is missing: install libjpeg-turbo-progs");

    struct Row
    {
        const char *name;
        double seconds;
    };
    std::vector<Row> rows;
    const auto djpeg = [&] {
        clean(out);
        return timed([&] {
            for (const QString &f : files)
                run(QStringLiteral("djpeg"),
                    {QStringLiteral("-bmp"), QStringLiteral("-outfile"),
                     out + QLatin1Char('/') + QFileInfo(f).completeBaseName() +
                         QStringLiteral(".bmp"),
                     f});
        });
    };
    const auto removeCopies = [&] {
        for (const QString &copy : QDir(in).entryList({QStringLiteral("*.bmp")}))
            QFile::remove(in + QLatin1Char('/') + copy);
    };
    // The whole folder through the loop the window runs; the copies go beside
    // the pictures, flushed where they replace the previous run's.
    const auto ours = [&](bool replacing) {
        if (!replacing)
            removeCopies();
        return timed([&] {
            BmpConverter converter;
            velumbra::FakePrompter yes;
            velumbra::ConversionSteps steps;
            steps.folder = in;
            steps.count = [&] { return int(files.size()); };
            steps.entry = [&](int i) { return QFileInfo(files.at(i)).fileName(); };
            steps.isSelected = [](int) { return true; };
            steps.reading = [](const QString &) {};
            steps.writing = [](const QString &) {};
            velumbra::BmpConversion conversion(converter, velumbra::BoundPrompter(yes));
            if (conversion.run(velumbra::ConversionScope::WholeFolder, steps) !=
                velumbra::ConversionOutcome::Finished)
                qFatal("conversion failed: %s", qPrintable(yes.shown.back().text));
        });
    };
    resetPeak();
    const auto times = velumbra::bench::alternate(
        runs, djpeg, {[&] { return ours(false); }, [&] { return ours(true); }});
    removeCopies();
    std::printf("peak resident memory: %.0f MB (one decoded picture: %.0f MB)\n", peakMb(),
                width * height * 4 / 1048576.0);
    std::printf("median of %d runs alternating djpeg and ours; ratio: median of the run-by-run "
                "ratios\n",
                runs);
    std::printf("  %-44s %8.2f s\n", "djpeg -bmp, one process per file (baseline)",
                velumbra::bench::median(times[0]));
    std::printf("  %-44s %8.2f s %7.2f x\n", "Velumbra, new copies (not flushed)",
                velumbra::bench::median(times[1]),
                velumbra::bench::medianRatio(times[1], times[0]));
    std::printf("  %-44s %8.2f s %7.2f x\n", "Velumbra, replacing copies (flushed)",
                velumbra::bench::median(times[2]),
                velumbra::bench::medianRatio(times[2], times[0]));
    rows.push_back({"djpeg -bmp (baseline, median)", velumbra::bench::median(times[0])});
    // What the temporary file and the flush cost, each on a clean folder:
    // every copy through QSaveFile (flushed), and no temporary file at all.
    const auto encoderInto = [&](bool saveFile) {
        return timed([&] {
            QImage image;
            for (const QString &f : files) {
                QImageReader reader(f);
                reader.read(&image);
                velumbra::prepareForBmp(image, false);
                const QString target = out + QLatin1Char('/') + QFileInfo(f).completeBaseName() +
                                       QStringLiteral(".bmp");
                bool ok = false;
                if (saveFile) {
                    QSaveFile file(target);
                    ok = file.open(QIODevice::WriteOnly) && velumbra::writeBmp(image, file).ok() &&
                         file.commit();
                } else {
                    QFile file(target);
                    ok = file.open(QIODevice::WriteOnly) && velumbra::writeBmp(image, file).ok();
                }
                if (!ok)
                    qFatal("write failed");
            }
        });
    };
    clean(out);
    rows.push_back({"every new copy flushed (QSaveFile)", encoderInto(true)});
    clean(out);
    rows.push_back({"our encoder straight, no temp, no fsync", encoderInto(false)});
    clean(out);
    rows.push_back({"Qt load + save(\"BMP\"), no temporary file", timed([&] {
                        for (const QString &f : files) {
                            const QImage image(f);
                            image.save(out + QLatin1Char('/') + QFileInfo(f).completeBaseName() +
                                           QStringLiteral(".bmp"),
                                       "BMP");
                        }
                    })});
    rows.push_back({"decode only (floor)", timed([&] {
                        QImage image;
                        for (const QString &f : files) {
                            QImageReader reader(f);
                            reader.read(&image);
                        }
                    })});
    if (haveMogrify) {
        clean(out);
        rows.push_back({"ImageMagick mogrify -format bmp", timed([&] {
                            QStringList args{QStringLiteral("-path"), out,
                                             QStringLiteral("-format"), QStringLiteral("bmp")};
                            args << files;
                            run(QStringLiteral("mogrify"), args);
                        })});
    }
    clean(out);

    const double base = rows.front().seconds;
    std::printf("once each, against the baseline's median:\n%-46s %8s %9s %7s\n", "method",
                "seconds", "pict/s", "÷djpeg");
    for (const Row &r : rows)
        std::printf("%-46s %8.2f %9.1f %7.2f\n", r.name, r.seconds, count / r.seconds,
                    r.seconds / base);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    velumbra::bench::printLoad();
    const int small = argc > 1 ? std::atoi(argv[1]) : 40;
    const int large = argc > 2 ? std::atoi(argv[2]) : 5;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/velumbra-bench-XXXXXX"));
    if (!work.isValid())
        qFatal("no temporary folder");
    measure(QStringLiteral("1080p"), work.path(), small, 1920, 1080, runs);
    measure(QStringLiteral("24MP"), work.path(), large, 6000, 4000, runs);
    return 0;
}
