#include "lastingsupport.h"

#include <QFile>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

void PrintTo(const QString &s, std::ostream *os)
{
    *os << s.toStdString();
}

namespace lastingtest {

const Quadrants kPictureC{QColor(0, 0, 255), QColor(255, 0, 0), QColor(255, 255, 255), QColor(0, 255, 0)};

bool owed(const QString &stateHome, const QString &configHome)
{
    const bool record = QFile::exists(stateHome + QStringLiteral("/velumbra/lasting"));
    const bool entry = QFile::exists(configHome + QStringLiteral("/autostart/velumbra-restore.desktop"));
    EXPECT_EQ(record, entry) << "the record and the autostart entry disagree";
    return record;
}

QString lastingCliPath()
{
    return QStringLiteral(LASTING_CLI);
}

QString restorePath()
{
    return QStringLiteral(RESTORE_PROGRAM);
}

RunResult runLasting(const QStringList &args, const QStringList &env)
{
    return wallpapertest::runProgram(lastingCliPath(), args, env);
}

RunResult runRestore(const QStringList &env)
{
    return wallpapertest::runProgram(restorePath(), {}, env);
}

QString outputOf(const QString &program, const QStringList &args, const QStringList &env)
{
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString &kv : env) {
        if (kv.startsWith(u'-'))
            e.remove(kv.mid(1));
        else
            e.insert(kv.section(u'=', 0, 0), kv.section(u'=', 1));
    }
    p.setProcessEnvironment(e);
    p.start(program, args);
    p.waitForFinished();
    QString out = QString::fromUtf8(p.readAllStandardOutput());
    if (out.endsWith(u'\n'))
        out.chop(1);
    return out;
}

bool rootShows(const QString &display, const Quadrants &colours)
{
    Display *d = XOpenDisplay(qPrintable(display));
    if (!d)
        return false;
    XWindowAttributes root{};
    XGetWindowAttributes(d, DefaultRootWindow(d), &root);
    bool all = true;
    for (std::size_t q = 0; q < 4 && all; ++q) {
        const int x = root.width * int(1 + 2 * (q % 2)) / 4;
        const int y = root.height * int(1 + 2 * (q / 2)) / 4;
        XImage *img = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
        const unsigned long p = XGetPixel(img, 0, 0);
        XDestroyImage(img);
        all = wallpapertest::closeTo(QColor(int((p >> 16) & 0xff), int((p >> 8) & 0xff), int(p & 0xff)), colours[q]);
    }
    XCloseDisplay(d);
    return all;
}

} // namespace lastingtest
