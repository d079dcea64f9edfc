#pragma once

// The contract every wallpaper backend keeps with the user, as one table
// that each desktop's test runs against its real session: any file name
// shows; a missing or unreadable file leaves the picture alone, with a
// reason; until logoff; for good; across a logoff and a login. The setter
// runs as the program runs it (lasting_cli, then velumbra-restore at login),
// in processes that have ended before anything is looked at.

#include "tests/lasting/lastingsupport.h"

#include <QProcess>

#include <functional>
#include <memory>
#include <vector>

namespace desktoptest {

using wallpapertest::Quadrants;
using wallpapertest::RunResult;

// One user's sessions on one desktop.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // A new session of the user whose files are under @p home: its
    // servers, and the desktop program unless @p withDesktop is false (at
    // login, velumbra-restore may run before the desktop has started).
    virtual void login(const QString &home, bool withDesktop = true) = 0;
    virtual void startDesktop() {}
    // The end of the session: every program of it ends, as at a logoff.
    virtual void logoff() = 0;

    // A program of the session, run as the session's user.
    [[nodiscard]] virtual RunResult run(const QString &program, const QStringList &args) const = 0;
    [[nodiscard]] virtual bool shows(const Quadrants &colours) const = 0;
    // The picture the desktop keeps in its own files; empty where it keeps none.
    [[nodiscard]] virtual QString stored() const { return {}; }
    // Whether the desktop can start after velumbra-restore at a login.
    [[nodiscard]] virtual bool startsLate() const { return false; }
    // What the desktop must also hold after each change.
    virtual void checkAfterChange() const {}
};

// @p dir, opened to every user: sway refuses root, and its session runs as
// another user, who must reach the pictures and programs in it.
QString openToAll(const QTemporaryDir &dir);

// Runs the whole table against @p desktop; @p root is a folder every
// program of the session can read.
void runContract(Desktop &desktop, const QString &root);

// A program started for a session and ended (SIGTERM, then SIGKILL) with
// the object, or with the test if it dies.
class Daemon
{
public:
    Daemon(const QString &program, const QStringList &args, const QStringList &env);
    ~Daemon();
    Daemon(const Daemon &) = delete;
    Daemon &operator=(const Daemon &) = delete;

    [[nodiscard]] bool running() const { return m_process.state() == QProcess::Running; }
    // The first line it printed (where it listens), waiting for it.
    [[nodiscard]] QString firstLine();

private:
    QProcess m_process;
};

// Xvfb, a private session bus without service activation (nothing it
// starts can outlive it) and a desktop program, each a direct child of the
// test, so that the desktop's process can be looked at in /proc.
class XSession
{
public:
    XSession(const QStringList &userEnv, const QStringList &desktopCommand, bool withDesktop);
    void startDesktop();
    [[nodiscard]] bool running() const { return !m_env.isEmpty(); }
    [[nodiscard]] QStringList env() const { return m_env; }
    [[nodiscard]] QString display() const { return m_xvfb->display(); }

private:
    QStringList m_desktopCommand;
    std::unique_ptr<wallpapertest::Xvfb> m_xvfb;
    std::unique_ptr<Daemon> m_bus;
    std::unique_ptr<Daemon> m_desktop;
    QStringList m_env;
};

// A desktop program drawing over the root window of an XSession, whose
// files are read back by @p stored (given the user's HOME).
class XDesktop final : public Desktop
{
public:
    XDesktop(QStringList command, QStringList sessionEnv,
             std::function<QString(const QString &home)> stored)
        : m_command(std::move(command)), m_sessionEnv(std::move(sessionEnv)),
          m_stored(std::move(stored))
    {
    }

    void login(const QString &home, bool withDesktop) override;
    void startDesktop() override { m_session->startDesktop(); }
    void logoff() override { m_session.reset(); }
    [[nodiscard]] RunResult run(const QString &program, const QStringList &args) const override;
    [[nodiscard]] bool shows(const Quadrants &colours) const override;
    [[nodiscard]] QString stored() const override { return m_stored(m_home); }
    [[nodiscard]] bool startsLate() const override { return true; }

private:
    QStringList m_command;
    QStringList m_sessionEnv;
    std::function<QString(const QString &)> m_stored;
    QString m_home;
    std::unique_ptr<XSession> m_session;
};

} // namespace desktoptest
