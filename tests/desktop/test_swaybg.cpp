// wlroots compositors through swaybg: headless sway used only as a
// compositor with layer-shell (no background of its own, no IPC socket
// given), grim reading the screen back; and weston, a compositor without
// layer-shell.

#include "tests/desktop/contract.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace wallpapertest;

QStringList wallpapertest::requiredPrograms()
{
    return {QStringLiteral("sway"), QStringLiteral("swaybg"), QStringLiteral("grim"),
            QStringLiteral("setpriv"), QStringLiteral("weston")};
}

namespace {

const QStringList kNotSway{QStringLiteral("-SWAYSOCK"), QStringLiteral("-DISPLAY"),
                           QStringLiteral("-XDG_CURRENT_DESKTOP"),
                           QStringLiteral("-DBUS_SESSION_BUS_ADDRESS")};

// sway refuses root: as root, the compositor and every program of the
// session run as "nobody", from copies it can reach.
class Swaybg final : public desktoptest::Desktop
{
public:
    explicit Swaybg(const QString &root) : m_root(root)
    {
        for (const QString &program : {lastingtest::lastingCliPath(), lastingtest::restorePath()})
            QFile::copy(program, m_root + QStringLiteral("/") + QFileInfo(program).fileName());
    }

    void login(const QString &home, bool) override
    {
        m_server.reset();
        m_runtime = home + QStringLiteral("/runtime%1").arg(++m_sessions);
        ASSERT_TRUE(QDir().mkpath(m_runtime));
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown(qPrintable(home), 65534, 65534), 0);
        }
        m_server = std::make_unique<ScriptServer>(QStringLiteral("sway.sh"),
                                                  QStringList{m_runtime, QStringLiteral("bare")},
                                                  QStringList{});
        ASSERT_TRUE(m_server->running()) << "sway did not start";
        m_env =
            QStringList{QStringLiteral("WAYLAND_DISPLAY=") + m_server->firstLine().section(u' ', 1),
                        QStringLiteral("XDG_RUNTIME_DIR=") + m_runtime,
                        QStringLiteral("HOME=") + home,
                        QStringLiteral("-XDG_CONFIG_HOME"),
                        QStringLiteral("-XDG_STATE_HOME"),
                        QStringLiteral("-XDG_DATA_HOME")} +
            kNotSway;
    }

    // The compositor ends, and with it every swaybg of the session.
    void logoff() override { m_server.reset(); }

    [[nodiscard]] RunResult run(const QString &program, const QStringList &args) const override
    {
        QStringList argv =
            asSwayUser(m_root + QStringLiteral("/") + QFileInfo(program).fileName()) + args;
        return runProgram(argv.takeFirst(), argv, m_env);
    }

    [[nodiscard]] bool shows(const Quadrants &colours) const override
    {
        return swayScreenShows(m_env, colours);
    }

    // A new picture ends the swaybg of the one before.
    void checkAfterChange() const override
    {
        int running = 0;
        const QByteArray mine = "XDG_RUNTIME_DIR=" + m_runtime.toLocal8Bit();
        for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
            QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
            if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "swaybg" &&
                environ.open(QIODevice::ReadOnly) && environ.readAll().split('\0').contains(mine))
                ++running;
        }
        EXPECT_EQ(running, 1) << "swaybg processes left for this compositor";
    }

private:
    QString m_root;
    QString m_runtime;
    int m_sessions = 0;
    std::unique_ptr<ScriptServer> m_server;
    QStringList m_env;
};

TEST(Swaybg, KeepsTheContract)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    Swaybg swaybg(desktoptest::openToAll(root));
    desktoptest::runContract(swaybg, root.path());
}

TEST(Swaybg, CompositorWithoutLayerShellGetsTheReason)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString runtime = root.filePath(QStringLiteral("runtime"));
    ASSERT_TRUE(QDir().mkpath(runtime));
    ScriptServer weston(QStringLiteral("weston.sh"), {runtime}, {});
    ASSERT_TRUE(weston.running()) << "weston did not start";
    const QString picture = root.filePath(QStringLiteral("a.png"));
    ASSERT_TRUE(writeQuadrantPicture(picture, kPictureA, {64, 64}));
    const RunResult r =
        runProgram(lastingtest::lastingCliPath(), {QStringLiteral("set"), picture},
                   QStringList{QStringLiteral("WAYLAND_DISPLAY=") + weston.firstLine(),
                               QStringLiteral("XDG_RUNTIME_DIR=") + runtime,
                               QStringLiteral("HOME=") + root.path()} +
                       kNotSway);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.stdErr.contains(QStringLiteral("wlr-layer-shell"))) << qPrintable(r.stdErr);
}

} // namespace
