#pragma once

// What the wallpaper tests share: real servers started for the test, the
// setter run in a process of its own, and pictures whose quadrants can be
// recognised on the screen.

#include <QColor>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <array>
#include <optional>

struct _XDisplay; // Xlib's Display

namespace wallpapertest {

// Exit code that ctest counts as a skip (SKIP_RETURN_CODE).
constexpr int kSkipCode = 77;

// Defined by each test program: what must be installed for it to run.
QStringList requiredPrograms();

// Four colours, one per quadrant: top left, top right, bottom left, bottom right.
using Quadrants = std::array<QColor, 4>;
extern const Quadrants kPictureA;
extern const Quadrants kPictureB;

// Writes a @p size picture of @p colours to @p path (format from the suffix).
bool writeQuadrantPicture(const QString &path, const Quadrants &colours, QSize size = {1920, 1080});

// Whether @p actual is @p expected give or take JPEG's rounding.
bool closeTo(QColor actual, QColor expected, int tolerance = 24);

// The colour of the root window of @p display at @p x, @p y; invalid if unreadable.
QColor rootPixel(_XDisplay *display, int x, int y);

// Whether the root window of X display @p display shows @p colours at the
// middle of each quadrant of an 800 x 600 screen, probing at height @p upperY
// in the upper half (below a desktop's top bar) and 450 in the lower half.
bool rootShows(const QString &display, const Quadrants &colours, int upperY = 150);

struct RunResult
{
    int exitCode = -1;
    QString stdErr;
    QByteArray stdOut;
};

// The process environment with @p env applied ("NAME=value" sets, "-NAME" removes).
QProcessEnvironment environment(const QStringList &env);

// The full path of the script @p name of servers/ ("namespace.sh", "session.sh", "sway.sh").
QString serverScript(const QString &name);

// Runs the built wallpaper_cli with @p args and extra environment @p env.
RunResult runCli(const QStringList &args, const QStringList &env = {});

// wallpaper_cli's arguments: --backend @p backend, @p command, and for "set" @p file.
// A user of its own under @p root for a desktop session: its home, runtime
// and configuration folders are made, and the environment pointing HOME, the
// XDG folders and DISPLAY (@p display) at them is returned, for the caller to
// add what its desktop needs.
QStringList userEnvironment(const QString &root, const QString &display);

// @p program run as an unprivileged user when the test runs as root: sway
// refuses root, and its clients must be the same user.
QStringList asSwayUser(const QString &program);

// Whether a grim screenshot of the sway session of @p env shows @p colours at
// the middle of each quadrant.
bool swayScreenShows(const QStringList &env, const Quadrants &colours);

QStringList cliArgs(const char *backend, const char *command, const QString &file = {});

// Runs any program to its end; exit code and standard error.
RunResult runProgram(const QString &program, const QStringList &args, const QStringList &env = {});

// An Xvfb that keeps its state when clients leave (-noreset), as a desktop
// session's server does while the window manager stays connected.
class Xvfb
{
public:
    explicit Xvfb(int depth = 24, QSize size = {800, 600});
    ~Xvfb();
    Xvfb(const Xvfb &) = delete;
    Xvfb &operator=(const Xvfb &) = delete;

    [[nodiscard]] bool running() const { return !m_display.isEmpty(); }
    [[nodiscard]] QString display() const { return m_display; }

private:
    QProcess m_process;
    QString m_display;
};

// A script of servers/ run as the first process of its own PID namespace;
// its first line of output says where it listens. Everything it started ends
// with the object (its standard input closes).
class ScriptServer
{
public:
    ScriptServer(const QString &script, const QStringList &args, const QStringList &env);
    ~ScriptServer();
    ScriptServer(const ScriptServer &) = delete;
    ScriptServer &operator=(const ScriptServer &) = delete;

    [[nodiscard]] bool running() const { return !m_firstLine.isEmpty(); }
    [[nodiscard]] QString firstLine() const { return m_firstLine; }

private:
    QProcess m_process;
    QString m_firstLine;
};

// A private session bus, with optional programs (shell command lines) on it.
class PrivateSession
{
public:
    explicit PrivateSession(const QStringList &env, const QStringList &programs = {})
        : m_server(QStringLiteral("session.sh"), programs, env)
    {
    }
    [[nodiscard]] bool running() const { return m_server.running(); }
    // "DBUS_SESSION_BUS_ADDRESS=..." for the environment of a process.
    [[nodiscard]] QString busEnv() const
    {
        return QStringLiteral("DBUS_SESSION_BUS_ADDRESS=") + m_server.firstLine();
    }

private:
    ScriptServer m_server;
};

// Repeats @p probe until it is true or @p seconds have gone; for what has no
// event to wait on (a picture reaching the screen of another process).
template <typename Probe> bool eventually(Probe probe, int seconds = 60);

} // namespace wallpapertest

#include <QDeadlineTimer>
#include <QThread>

template <typename Probe> bool wallpapertest::eventually(Probe probe, int seconds)
{
    const QDeadlineTimer deadline(seconds * 1000);
    while (!probe()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}
