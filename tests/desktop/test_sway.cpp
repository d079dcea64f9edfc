// sway and the other wlroots compositors: a real headless sway per session,
// grim reading the screen back. Through sway's own IPC, and through swaybg
// with sway as a plain compositor with layer-shell (no background of its
// own, no IPC socket given); weston is a compositor without layer-shell.

#include "platform/wallpaper/sway.h"
#include "tests/desktop/contract.h"

#include <QDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace wallpapertest;

QStringList wallpapertest::requiredPrograms()
{
    return {QStringLiteral("sway"), QStringLiteral("swaybg"), QStringLiteral("grim"),
            QStringLiteral("setpriv"), QStringLiteral("weston")};
}

namespace {

const QStringList kUserEnv{
    QStringLiteral("-XDG_CONFIG_HOME"),     QStringLiteral("-XDG_STATE_HOME"),
    QStringLiteral("-XDG_DATA_HOME"),       QStringLiteral("-DISPLAY"),
    QStringLiteral("-XDG_CURRENT_DESKTOP"), QStringLiteral("-DBUS_SESSION_BUS_ADDRESS")};

// As root, sway and every program of its session run as "nobody".
class Sway final : public desktoptest::Desktop
{
public:
    explicit Sway(bool ipc) : m_ipc(ipc) {}

    void login(const QString &home, bool) override
    {
        m_server.reset();
        m_runtime = home + QStringLiteral("/runtime%1").arg(++m_sessions);
        ASSERT_TRUE(QDir().mkpath(m_runtime));
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown(qPrintable(home), 65534, 65534), 0);
        }
        QStringList args{m_runtime};
        if (!m_ipc)
            args << QStringLiteral("bare");
        m_server = std::make_unique<ScriptServer>(QStringLiteral("sway.sh"), args, QStringList{});
        ASSERT_TRUE(m_server->running()) << "sway did not start";
        const QStringList where = m_server->firstLine().split(u' ');
        m_env = kUserEnv + QStringList{QStringLiteral("WAYLAND_DISPLAY=") + where.value(1),
                                       QStringLiteral("XDG_RUNTIME_DIR=") + m_runtime,
                                       QStringLiteral("HOME=") + home,
                                       m_ipc ? QStringLiteral("SWAYSOCK=") + where.value(0)
                                             : QStringLiteral("-SWAYSOCK")};
    }

    // The compositor ends, and with it every swaybg of the session.
    void logoff() override { m_server.reset(); }

    [[nodiscard]] RunResult run(const QString &program, const QStringList &args) const override
    {
        QStringList argv = asSwayUser(program) + args;
        return runProgram(argv.takeFirst(), argv, m_env);
    }

    [[nodiscard]] bool shows(const Quadrants &colours) const override
    {
        return swayScreenShows(m_env, colours);
    }

    // A new picture ends the swaybg of the one before.
    void checkAfterChange() const override
    {
        if (m_ipc)
            return;
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
    bool m_ipc;
    QString m_runtime;
    int m_sessions = 0;
    std::unique_ptr<ScriptServer> m_server;
    QStringList m_env;
};

class Contract : public testing::TestWithParam<bool>
{
};

TEST_P(Contract, IsKept)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    Sway sway(GetParam());
    desktoptest::runContract(sway, desktoptest::openToAll(root));
}

INSTANTIATE_TEST_SUITE_P(Backend, Contract, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool> &p) {
                             return p.param ? "SwayIpc" : "Swaybg";
                         });

// Dead sockets and compositors without a way to a wallpaper get the reason.
TEST(Sway, WithoutAWayToTheWallpaperTheReasonIsSaid)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString runtime = root.filePath(QStringLiteral("runtime"));
    ASSERT_TRUE(QDir().mkpath(runtime));
    ScriptServer weston(QStringLiteral("weston.sh"), {runtime}, {});
    ASSERT_TRUE(weston.running()) << "weston did not start";
    const QString picture = root.filePath(QStringLiteral("a.png"));
    ASSERT_TRUE(writeQuadrantPicture(picture, kPictureA, {64, 64}));
    const QStringList env =
        kUserEnv + QStringList{QStringLiteral("WAYLAND_DISPLAY=") + weston.firstLine(),
                               QStringLiteral("XDG_RUNTIME_DIR=") + runtime,
                               QStringLiteral("HOME=") + root.path()};
    const std::pair<QString, const char *> cases[] = {
        {QStringLiteral("-SWAYSOCK"), "wlr-layer-shell"},
        {QStringLiteral("SWAYSOCK=") + root.filePath(QStringLiteral("gone.sock")),
         "sway ne répond pas"},
    };
    for (const auto &[sway, reason] : cases) {
        const RunResult r = runProgram(lastingtest::lastingCliPath(),
                                       {QStringLiteral("set"), picture}, env + QStringList{sway});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.stdErr.contains(QString::fromUtf8(reason))) << qPrintable(r.stdErr);
    }
}

TEST(SwayPlainPath, OnlyNamesSwayLeavesAlone)
{
    for (const char *plain : {"/run/user/1000/velumbra/wallpaper-0.jpg", "/tmp/a_b-c.png"})
        EXPECT_TRUE(velumbra::isPlainSwayPath(plain)) << plain;
    for (const char *odd : {"", "/tmp/a b", "/tmp/$HOME", "/tmp/a;b", "/tmp/a,b", "/tmp/'",
                            "/tmp/\"", "/tmp/`x`", "/tmp/a\\b", "/tmp/\xc3\xa9"})
        EXPECT_FALSE(velumbra::isPlainSwayPath(odd)) << odd;
}

} // namespace
