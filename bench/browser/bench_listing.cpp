// Lists, filters and sorts folders of 1,000 / 10,000 / 100,000 files, against
// `ls -1` on the same folder in the same run, and times the file list until it
// first paints. Usage: bench_listing [work-folder]
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

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void fill(const QString &folder, int count)
{
    static const char *const kinds[] = {".jpg", ".JPG", ".txt"};
    for (int i = 0; i < count; ++i) {
        // Two names in three match "*.jpg;*.jpeg"; mixed case so the sort has work.
        const QString name = QStringLiteral("%1Photo_%2%3")
                                 .arg(QChar(u'a' + (i * 7) % 26))
                                 .arg(i * 7919 % 1000003)
                                 .arg(QString::fromLatin1(kinds[i % 3]));
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
    QTemporaryDir work(base + QStringLiteral("/velumbra-bench-XXXXXX"));
    std::printf("listing \"*.jpg;*.jpeg\" (2/3 of the names match), median of runs, ms\n");
    std::printf("%8s %10s %10s %8s %12s %8s %12s %14s\n", "files", "ls -1 (b)", "own", "÷(b)",
                "entryList", "÷(b)", "first paint", "after listing");
    for (const int count : {1000, 10000, 100000}) {
        const QString folder = work.path() + QStringLiteral("/n%1").arg(count);
        QDir().mkpath(folder);
        fill(folder, count);
        const int runs = count >= 100000 ? 5 : 11;
        std::vector<double> ls, own, entry, shown;
        timeLs(folder); // warm the cache
        for (int i = 0; i < runs; ++i) {
            ls.push_back(timeLs(folder));
            own.push_back(timeOwn(folder));
            entry.push_back(timeEntryList(folder));
        }
        for (int i = 0; i < 3; ++i)
            shown.push_back(timeFirstShow(folder));
        const double b = median(ls);
        std::printf("%8d %10.1f %10.1f %8.2f %12.1f %8.2f %12.1f %14.1f\n", count, b, median(own),
                    median(own) / b, median(entry), median(entry) / b, median(shown),
                    median(shown) - median(own));
    }
    return 0;
}
