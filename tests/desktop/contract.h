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

namespace desktoptest {

using wallpapertest::Quadrants;
using wallpapertest::RunResult;

// One user's sessions on one desktop.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // A new session of the user whose files are under @p home, with the
    // desktop program unless @p withDesktop is false.
    virtual void login(const QString &home, bool withDesktop) = 0;
    virtual void startDesktop() {}
    // The end of the session: every program of it ends, as at a logoff.
    virtual void logoff() = 0;

    [[nodiscard]] virtual RunResult run(const QString &program, const QStringList &args) const = 0;
    [[nodiscard]] virtual bool shows(const Quadrants &colours) const = 0;
    // The picture the desktop keeps in its own files; null where it keeps none.
    [[nodiscard]] virtual QString stored() const { return {}; }
    // Whether a desktop program may start after velumbra-restore, or not at all.
    [[nodiscard]] virtual bool hasDesktopProgram() const { return false; }
    // What the desktop must also hold after each change.
    virtual void checkAfterChange() const {}
};

// Runs the whole table against @p desktop; @p root holds the pictures.
void runContract(Desktop &desktop, const QString &root);

// @p dir, opened to every user: sway refuses root, and its session runs as
// another user, who must reach the pictures in it.
QString openToAll(const QTemporaryDir &dir);

// A program started for a session and ended (SIGTERM, then SIGKILL) with
// the object, or with the test if it dies.
class Daemon
{
public:
    Daemon(const QString &program, const QStringList &args, const QStringList &env);
    ~Daemon();
    Daemon(const Daemon &) = delete;
    Daemon &operator=(const Daemon &) = delete;

    // The first line it printed (where it listens), waiting for it.
    [[nodiscard]] QString firstLine();

private:
    QProcess m_process;
};

// An X session: Xvfb, a private session bus that starts no service (nothing
// can outlive it) and the desktop program @p command drawing over the root
// window (none: the root window itself), each a direct child of the test,
// so that the desktop's process can be looked at in /proc. @p stored reads
// the desktop's file back from the user's HOME.
class XDesktop final : public Desktop
{
public:
    XDesktop(QStringList command, QStringList sessionEnv,
             std::function<QString(const QString &home)> stored = {})
        : m_command(std::move(command)), m_sessionEnv(std::move(sessionEnv)),
          m_stored(std::move(stored))
    {
    }

    void login(const QString &home, bool withDesktop) override;
    void startDesktop() override;
    void logoff() override;
    [[nodiscard]] RunResult run(const QString &program, const QStringList &args) const override;
    [[nodiscard]] bool shows(const Quadrants &colours) const override;
    [[nodiscard]] QString stored() const override
    {
        return m_stored ? m_stored(m_home) : QString();
    }
    [[nodiscard]] bool hasDesktopProgram() const override { return !m_command.isEmpty(); }

private:
    QStringList m_command;
    QStringList m_sessionEnv;
    std::function<QString(const QString &)> m_stored;
    QString m_home;
    QStringList m_env;
    // Ended in this order: the desktop writes its file while the rest runs.
    std::unique_ptr<wallpapertest::Xvfb> m_xvfb;
    std::unique_ptr<Daemon> m_bus;
    std::unique_ptr<Daemon> m_desktop;
};

} // namespace desktoptest
