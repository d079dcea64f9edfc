#include "tests/desktop/support.h"

#include <QDir>
#include <QPainter>
#include <QProcessEnvironment>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <csignal>
#include <cstdlib>
#include <sys/prctl.h>
#include <unistd.h>

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
    return actual.isValid() && std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

QProcessEnvironment environment(const QStringList &env)
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString &kv : env) {
        if (kv.startsWith(u'-'))
            e.remove(kv.mid(1));
        else
            e.insert(kv.section(u'=', 0, 0), kv.section(u'=', 1));
    }
    return e;
}

QStringList cliArgs(const char *backend, const char *command, const QString &file)
{
    QStringList args{QStringLiteral("--backend"), QString::fromLatin1(backend),
                     QString::fromLatin1(command)};
    if (qstrcmp(command, "set") == 0)
        args << file; // even empty

    return args;
}

RunResult runProgram(const QString &program, const QStringList &args, const QStringList &env)
{
    QProcess p;
    p.setProcessEnvironment(environment(env));
    p.start(program, args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return {-1, QStringLiteral("did not finish: ") + program, {}};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardError()), p.readAllStandardOutput()};
}

QString serverScript(const QString &name)
{
    return QStringLiteral(WALLPAPER_SERVERS "/") + name;
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
    m_process.setProcessEnvironment(environment(env));
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    endWithParent(m_process);
    QStringList all{serverScript(script)};
    all += args;
    m_process.start(serverScript(QStringLiteral("namespace.sh")), all);
    if (!m_process.waitForStarted(10000))
        return;
    QByteArray out;
    while (!out.contains('\n') && m_process.waitForReadyRead(30000))
        out += m_process.readAllStandardOutput();
    m_firstLine = QString::fromUtf8(out.trimmed());
}

QColor rootPixel(Display *d, int x, int y)
{
    XImage *img = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!img)
        return {};
    // From the visual's masks, which also hold at depth 16.
    const unsigned long p = XGetPixel(img, 0, 0);
    auto channel = [p](unsigned long mask) {
        int shift = 0;
        for (; mask && !(mask & 1); mask >>= 1)
            ++shift;
        return int(((p >> shift) & mask) * 255 / (mask ? mask : 1));
    };
    const QColor c(channel(img->red_mask), channel(img->green_mask), channel(img->blue_mask));
    XDestroyImage(img);
    return c;
}

QStringList userEnvironment(const QString &root, const QString &display)
{
    const QString home = root + QStringLiteral("/home");
    const QString runtime = root + QStringLiteral("/runtime");
    QDir().mkpath(home + QStringLiteral("/.config"));
    QDir().mkpath(runtime);
    return {QStringLiteral("HOME=") + home,
            QStringLiteral("XDG_CONFIG_HOME=") + home + QStringLiteral("/.config"),
            QStringLiteral("XDG_STATE_HOME=") + home + QStringLiteral("/.local/state"),
            QStringLiteral("XDG_CACHE_HOME=") + home + QStringLiteral("/.cache"),
            QStringLiteral("XDG_DATA_HOME=") + home + QStringLiteral("/.local/share"),
            QStringLiteral("XDG_RUNTIME_DIR=") + runtime,
            QStringLiteral("DISPLAY=") + display};
}

QStringList asSwayUser(const QString &program)
{
    if (::geteuid() != 0)
        return {program};
    return {QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
            QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"), program};
}

bool swayScreenShows(const QStringList &env, const Quadrants &colours)
{
    QStringList argv = asSwayUser(QStringLiteral("grim"));
    argv << QStringLiteral("-t") << QStringLiteral("ppm") << QStringLiteral("-");
    const QImage shot = QImage::fromData(runProgram(argv.takeFirst(), argv, env).stdOut, "PPM");
    if (shot.isNull())
        return false;
    const int xs[] = {shot.width() / 4, 3 * shot.width() / 4};
    const int ys[] = {shot.height() / 4, 3 * shot.height() / 4};
    for (std::size_t q = 0; q < 4; ++q) {
        if (!closeTo(shot.pixelColor(xs[q % 2], ys[q / 2]), colours[q]))
            return false;
    }
    return true;
}

bool rootShows(const QString &display, const Quadrants &colours, int upperY)
{
    Display *d = XOpenDisplay(qPrintable(display));
    if (!d)
        return false;
    bool all = true;
    for (std::size_t q = 0; q < 4 && all; ++q)
        all = closeTo(rootPixel(d, q % 2 ? 600 : 200, q / 2 ? 450 : upperY), colours[q]);
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
