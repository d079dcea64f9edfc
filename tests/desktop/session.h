// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the tests of real desktop sessions share: servers started for a test
// and ended with it, a user of its own, the program's setter (velumbra_cli)
// and velumbra-restore run as processes of their own, what the screen shows,
// and the contract every wallpaper backend keeps with the user, as one table
// that each desktop's test runs against its real session.

#include "tests/common/testpictures.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <functional>
#include <memory>
#include <ostream>

struct _XDisplay; // Xlib's Display

// Readable QString values in failure messages.
inline std::ostream &operator<<(std::ostream &os, const QString &s)
{
    return os << s.toStdString();
}
// GoogleTest would print it as a list of characters.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << s;
}

namespace desktoptest {

using namespace velumbra::test;
using namespace Qt::StringLiterals;

// What must be installed for a test program to run: REQUIRES in CMakeLists.txt
// (desktop_test.cpp), or defined by a program of its own.
QStringList requiredPrograms();

struct RunResult
{
    int exitCode = -1;
    QString stdErr;
    QByteArray stdOut;
};

// This process's environment with @p env applied ("NAME=value" sets, "-NAME" removes).
QProcessEnvironment environment(const QStringList &env);
RunResult runProgram(const QString &program, const QStringList &args, const QStringList &env = {});
// velumbra_cli (set FILE [for-good] | screensaver) and velumbra-restore.
inline QString cliPath()
{
    return QStringLiteral(VELUMBRA_CLI);
}
inline QString restorePath()
{
    return QStringLiteral(RESTORE_PROGRAM);
}

// A user of its own under @p root: its home (root/home), runtime and XDG
// folders are made, and the environment pointing at them is returned.
QStringList userEnvironment(const QString &root, const QString &display = {});
// Whether Velumbra owes the user under @p root something; the record and
// the autostart entry must agree.
bool owed(const QString &root);

QColor rootPixel(_XDisplay *display, int x, int y);
// Whether the root window of X display @p display shows @p colours at the
// middle of each quadrant of an 800 x 600 screen (below a desktop's top bar).
bool rootShows(const QString &display, const Quadrants &colours);
// A GSettings value as another process reads it; a string is decoded.
QString gsettingsGet(const QStringList &env, const QString &schema, const QString &key);

// Repeats @p probe until it is true or @p seconds have gone: for what has no
// event to wait on (a picture reaching the screen of another process).
template <typename Probe> bool eventually(Probe probe, int seconds = 60)
{
    const QDeadlineTimer deadline(seconds * 1000);
    while (!probe()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

// A program started for a test and ended with it, or with the test if that
// dies. A script of servers/ ("session.sh") runs as the first process of a
// PID namespace of its own and ends, with all it started, when its standard
// input closes; any other program is sent SIGTERM.
class Server
{
public:
    Server(const QString &program, const QStringList &args, const QStringList &env = {});
    ~Server();
    Server(const Server &) = delete;
    Server &operator=(const Server &) = delete;

    // The first line it prints (where it listens), waited for; empty if none comes.
    [[nodiscard]] QString firstLine();

private:
    QProcess m_process;
    bool m_script;
};

// An Xvfb that keeps its state when clients leave, as a session's server does.
class Xvfb : public Server
{
public:
    explicit Xvfb(int depth = 24, QSize size = {800, 600});
    [[nodiscard]] bool running() const { return !m_display.isEmpty(); }
    [[nodiscard]] QString display() const { return m_display; }

private:
    QString m_display;
};

// One user's sessions on one desktop.
class Desktop
{
public:
    virtual ~Desktop() = default;
    // A new session of the user under @p root, with the desktop program
    // unless @p withDesktop is false.
    virtual void login(const QString &root, bool withDesktop) = 0;
    virtual void startDesktop() {}
    // The end of the session: its programs end, as at a logoff.
    virtual void logoff() = 0;
    [[nodiscard]] virtual RunResult run(const QString &program, const QStringList &args = {}) const
    {
        return runProgram(program, args, env);
    }
    [[nodiscard]] virtual bool shows(const Quadrants &colours) const = 0;
    // The picture the desktop keeps in its own files; null where it keeps none.
    [[nodiscard]] virtual QString stored() const { return {}; }
    // What the desktop must also hold after each change.
    virtual void checkAfterChange() const {}

    QStringList env; // the session's environment
    // The session can run without its desktop program, which may start late;
    // whether the setter must then refuse, with a reason.
    bool hasDesktopProgram = false, needsDesktopProgram = false;
};

class XDesktop;

// How an X desktop's session starts: Xvfb, a session bus that starts its
// programs (session.sh), then the desktop program.
struct XSession
{
    QStringList env{};      // what the desktop's own session sets
    QStringList programs{}; // shell lines run on the session's bus
    QStringList desktop{};  // the desktop program; may start late or not at all
    std::function<bool(const XDesktop &)> ready{};     // waited for before the contract goes on
    std::function<QString(const XDesktop &)> stored{}; // the picture the desktop keeps
    // Run before each look at the screen until it first shows what is asked
    // after a login (GNOME's overview hides the picture at first).
    QStringList poke{};
    QSize screen{800, 600}; // rootShows() looks at 800 x 600
    // Whether the desktop program is up; by default, its desktop window is there.
    std::function<bool(const XDesktop &)> desktopUp{};
    bool desktopOptional = false; // the backend works while the desktop program is not running
};

// The session of each X desktop as its own session manager starts it: "x11"
// (the root window alone), "xfce", "kde", "gnome", "lxqt" or "lxde".
XSession xSession(const QString &desktop);

class XDesktop : public Desktop
{
public:
    explicit XDesktop(XSession session);
    ~XDesktop() override { logoff(); }

    void login(const QString &root, bool withDesktop) override;
    void startDesktop() override;
    void logoff() override;
    [[nodiscard]] bool shows(const Quadrants &colours) const override;
    [[nodiscard]] QString stored() const override
    {
        return m_session.stored ? m_session.stored(*this) : QString();
    }

private:
    XSession m_session;
    // Ended in reverse order: the desktop writes its files while the rest runs.
    std::unique_ptr<Xvfb> m_xvfb;
    std::vector<std::unique_ptr<Server>> m_servers;
    mutable bool m_settled = false;
};

// Runs the contract's table against @p desktop; @p root holds the pictures
// and the users.
void runContract(Desktop &desktop, const QString &root);

// @p dir opened to every user: sway refuses root, and its session runs as
// another user, who must reach the pictures in it.
QString openToAll(const QTemporaryDir &dir);

} // namespace desktoptest
