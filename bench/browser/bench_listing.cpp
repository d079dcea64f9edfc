// SPDX-License-Identifier: GPL-3.0-or-later
// Lists, filters and sorts folders of 1,000 / 10,000 / 100,000 files, and
// 200,000 files with 190-character names, against `ls -1` on the same folder
// in the same run, and times the file list until it first paints.
// Usage: bench_listing [work-folder]
#include "bench/support/benchsupport.h"
#include "browser/filelist.h"
#include "browser/folderreader.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPaintEvent>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace velumbra;

namespace {

using velumbra::bench::median;

void fill(const QString &folder, int count, int nameLength)
{
    static const char *const kinds[] = {".jpg", ".JPG", ".txt"};
    for (int i = 0; i < count; ++i) {
        // Two names in three match "*.jpg;*.jpeg"; mixed case so the sort has work.
        QString name =
            QStringLiteral("%1Photo_%2_").arg(QChar(u'a' + (i * 7) % 26)).arg(i * 7919 % 1000003);
        if (name.size() + 4 < nameLength)
            name += QString(nameLength - 4 - name.size(), QLatin1Char('x'));
        name += QString::fromLatin1(kinds[i % 3]);
        QFile f(folder + QLatin1Char('/') + name);
        f.open(QIODevice::WriteOnly);
    }
}

double timeLs(const QString &folder)
{
    QElapsedTimer t;
    t.start();
    QProcess ls;
    ls.setStandardOutputFile(QProcess::nullDevice());
    ls.start(QStringLiteral("ls"), {QStringLiteral("-1"), folder});
    ls.waitForFinished(-1);
    return double(t.nsecsElapsed()) / 1e6;
}

double timeOwn(const QString &folder)
{
    QElapsedTimer t;
    t.start();
    const QStringList names = listFiles(folder, NamePattern(u"*.jpg;*.jpeg"));
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (names.isEmpty())
        std::printf("unexpected: nothing listed\n");
    return ms;
}

double timeEntryList(const QString &folder)
{
    QElapsedTimer t;
    t.start();
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")}, QDir::Files,
                               QDir::Name | QDir::IgnoreCase);
    return double(t.nsecsElapsed()) / 1e6;
}

class PaintWatch : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

/// From setting the folder to the list's first paint, in a shown window.
double timeFirstShow(const QString &folder)
{
    FileList list;
    list.resize(169, 156);
    list.setPattern(QStringLiteral("*.jpg;*.jpeg"));
    list.show();
    PaintWatch watch;
    list.viewport()->installEventFilter(&watch);
    QCoreApplication::processEvents();
    watch.painted = false;
    QElapsedTimer t;
    t.start();
    (void)list.setPath(folder);
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    velumbra::bench::printLoad();
    QTemporaryDir work(base + QStringLiteral("/velumbra-bench-XXXXXX"));
    std::printf("listing \"*.jpg;*.jpeg\" (2/3 of the names match), median of runs alternating "
                "ls and ours, ms; ratios are medians of the run-by-run ratios\n");
    std::printf("%8s %5s %10s %10s %8s %12s %8s %12s %14s\n", "files", "name", "ls -1 (b)", "own",
                "÷(b)", "entryList", "÷(b)", "first paint", "after listing");
    const struct
    {
        int count;
        int nameLength;
    } folders[] = {{1000, 0}, {10000, 0}, {100000, 0}, {200000, 190}};
    for (const auto [count, nameLength] : folders) {
        const QString folder = work.path() + QStringLiteral("/n%1").arg(count);
        QDir().mkpath(folder);
        fill(folder, count, nameLength);
        const int runs = count >= 100000 ? 7 : 11;
        std::vector<double> ls, own, entry, shown;
        timeLs(folder); // warm the cache
        for (int i = 0; i < runs; ++i) {
            ls.push_back(timeLs(folder));
            own.push_back(timeOwn(folder));
            entry.push_back(timeEntryList(folder));
        }
        for (int i = 0; i < 3; ++i)
            shown.push_back(timeFirstShow(folder));
        std::printf("%8d %5d %10.1f %10.1f %8.2f %12.1f %8.2f %12.1f %14.1f\n", count,
                    nameLength ? nameLength : 20, median(ls), median(own),
                    velumbra::bench::medianRatio(own, ls), median(entry),
                    velumbra::bench::medianRatio(entry, ls), median(shown),
                    median(shown) - median(own));
        // Removed at once: 200,000 files are not left for the end.
        QDir(folder).removeRecursively();
    }
    return 0;
}
