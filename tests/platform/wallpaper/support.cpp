#include "support.h"

#include <QCoreApplication>
#include <QPainter>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <gtest/gtest.h>

// After GoogleTest, whose templates Xlib's macros (None, Bool) break.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/prctl.h>

namespace wallpapertest {
namespace {

// A server must not outlive a test that crashes or is killed.
void endWithParent(QProcess &process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

} // namespace

const Quadrants kPictureA{QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255),
                          QColor(255, 255, 255)};
const Quadrants kPictureB{QColor(255, 255, 0), QColor(255, 0, 255), QColor(0, 255, 255),
                          QColor(0, 0, 0)};

bool writeQuadrantPicture(const QString &path, const Quadrants &colours, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    const int w = size.width() / 2;
    const int h = size.height() / 2;
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = colours[std::size_t((y >= h ? 2 : 0) + (x >= w ? 1 : 0))].rgb();
    }
    return image.save(path, nullptr, 95);
}

bool closeTo(QColor actual, QColor expected, int tolerance)
{
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

RunResult runProgram(const QString &program, const QStringList &args, const QStringList &env)
{
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString &kv : env) {
        if (kv.startsWith(u'-')) {
            e.remove(kv.mid(1));
            continue;
        }
        const auto eq = kv.indexOf(u'=');
        e.insert(kv.left(eq), kv.mid(eq + 1));
    }
    p.setProcessEnvironment(e);
    p.start(program, args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return {-1, QStringLiteral("did not finish: ") + program};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardError())};
}

RunResult runCli(const QStringList &args, const QStringList &env)
{
    return runProgram(QStringLiteral(WALLPAPER_CLI), args, env);
}

Xvfb::Xvfb(int depth, QSize size)
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    endWithParent(m_process);
    m_process.start(QStringLiteral("Xvfb"),
                    {QStringLiteral("-noreset"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                     QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                     QStringLiteral("0"),
                     QStringLiteral("%1x%2x%3").arg(size.width()).arg(size.height()).arg(depth)});
    if (!m_process.waitForStarted(10000))
        return;
    // -displayfd writes the number it chose once it accepts connections.
    QByteArray out;
    while (!out.contains('\n') && m_process.waitForReadyRead(20000))
        out += m_process.readAllStandardOutput();
    if (out.trimmed().isEmpty())
        return;
    m_display = QStringLiteral(":") + QString::fromLatin1(out.trimmed());
}

Xvfb::~Xvfb()
{
    // SIGTERM, not SIGKILL: a killed Xvfb leaves its lock file behind.
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
}

ScriptServer::ScriptServer(const QString &script, const QStringList &args, const QStringList &env)
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString &kv : env) {
        if (kv.startsWith(u'-'))
            e.remove(kv.mid(1));
        else
            e.insert(kv.section(u'=', 0, 0), kv.section(u'=', 1));
    }
    m_process.setProcessEnvironment(e);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    endWithParent(m_process);
    QStringList all{QStringLiteral(WALLPAPER_SERVERS "/") + script};
    all += args;
    m_process.start(QStringLiteral(WALLPAPER_SERVERS "/namespace.sh"), all);
    if (!m_process.waitForStarted(10000))
        return;
    QByteArray out;
    while (!out.contains('\n') && m_process.waitForReadyRead(30000))
        out += m_process.readAllStandardOutput();
    m_firstLine = QString::fromUtf8(out.trimmed());
}

bool rootShows(const QString &display, const Quadrants &colours, int upperY)
{
    Display *d = XOpenDisplay(qPrintable(display));
    if (!d)
        return false;
    bool all = true;
    const int xs[] = {200, 600};
    const int ys[] = {upperY, 450};
    for (std::size_t q = 0; q < 4 && all; ++q) {
        XImage *img = XGetImage(d, DefaultRootWindow(d), xs[q % 2], ys[q / 2], 1, 1, AllPlanes, ZPixmap);
        if (!img) {
            all = false;
            break;
        }
        const unsigned long p = XGetPixel(img, 0, 0);
        XDestroyImage(img);
        all = closeTo(QColor(int((p >> 16) & 0xff), int((p >> 8) & 0xff), int(p & 0xff)), colours[q]);
    }
    XCloseDisplay(d);
    return all;
}

ScriptServer::~ScriptServer()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(20000)) {
        m_process.terminate();
        m_process.waitForFinished();
    }
}

} // namespace wallpapertest

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    for (const QString &program : wallpapertest::requiredPrograms()) {
        if (QStandardPaths::findExecutable(program).isEmpty()) {
            std::printf("SKIPPED: %s is not installed (scripts/test installs it)\n",
                        qPrintable(program));
            return wallpapertest::kSkipCode;
        }
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
