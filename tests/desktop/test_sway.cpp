// SPDX-License-Identifier: GPL-3.0-or-later
// sway and the other wlroots compositors: a real headless sway per session,
// grim reading the screen back. Through sway's own IPC, and through swaybg
// with sway as a plain compositor with layer-shell (no background of its
// own, no IPC socket given).

#include "platform/wallpaper/sway.h"
#include "tests/desktop/session.h"

#include <QDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace desktoptest;

namespace {

class Sway final : public Desktop
{
public:
    explicit Sway(bool ipc) : m_ipc(ipc) {}

    void login(const QString &root, bool) override
    {
        m_server.reset();
        m_runtime = root + u"/runtime%1"_s.arg(++m_sessions);
        ASSERT_TRUE(QDir().mkpath(m_runtime));
        env = userEnvironment(root);
        if (::geteuid() == 0) {
            ASSERT_EQ(runProgram(u"chown"_s, {"-R", "65534:65534", root}).exitCode, 0);
        }
        QStringList args{m_runtime};
        if (!m_ipc)
            args << u"bare"_s;
        m_server = std::make_unique<Server>(u"sway.sh"_s, args);
        const QStringList where = m_server->firstLine().split(u' ');
        ASSERT_EQ(where.size(), 2) << "sway did not start";
        env << u"WAYLAND_DISPLAY="_s + where[1] << u"XDG_RUNTIME_DIR="_s + m_runtime;
        if (m_ipc)
            env << u"SWAYSOCK="_s + where[0];
    }

    // The compositor ends, and with it every swaybg of the session.
    void logoff() override { m_server.reset(); }

    // sway refuses root: as root, sway and every program of its session run as "nobody".
    [[nodiscard]] RunResult run(const QString &program, const QStringList &args) const override
    {
        QStringList argv = QStringList{program} + args;
        if (::geteuid() == 0)
            argv = QStringList{u"setpriv"_s, u"--reuid=65534"_s, u"--regid=65534"_s,
                               u"--clear-groups"_s} +
                   argv;
        return runProgram(argv.takeFirst(), argv, env);
    }

    [[nodiscard]] bool shows(const Quadrants &colours) const override
    {
        const QImage shot =
            QImage::fromData(run(u"grim"_s, {u"-t"_s, u"ppm"_s, "-"}).stdOut, "PPM");
        for (std::size_t q = 0; q < 4; ++q) {
            if (!closeTo(shot.pixelColor((q % 2 ? 3 : 1) * shot.width() / 4,
                                         (q / 2 ? 3 : 1) * shot.height() / 4),
                         colours[q]))
                return false;
        }
        return !shot.isNull();
    }

    // A new picture ends the swaybg of the one before.
    void checkAfterChange() const override
    {
        if (m_ipc)
            return;
        int running = 0;
        const QByteArray mine = "XDG_RUNTIME_DIR=" + m_runtime.toLocal8Bit();
        for (const QString &pid : QDir(u"/proc"_s).entryList(QDir::Dirs)) {
            running += readFile(u"/proc/%1/comm"_s.arg(pid)) == "swaybg\n" &&
                       readFile(u"/proc/%1/environ"_s.arg(pid)).split('\0').contains(mine);
        }
        EXPECT_EQ(running, 1) << "swaybg processes left for this compositor";
    }

private:
    bool m_ipc;
    QString m_runtime;
    int m_sessions = 0;
    std::unique_ptr<Server> m_server;
};

TEST(Sway, KeepsTheContractThroughItsIpcAndThroughSwaybg)
{
    for (const bool ipc : {true, false}) {
        SCOPED_TRACE(ipc ? "sway's IPC" : "swaybg");
        QTemporaryDir root;
        Sway sway(ipc);
        runContract(sway, openToAll(root));
    }
}

// sway word-expands names and splits them at ';' and ',': only plain names reach it.
TEST(Sway, OnlyPlainNamesReachSway)
{
    for (const char *plain : {"/run/user/1000/velumbra/wallpaper-0.jpg", "/tmp/a_b-c.png"})
        EXPECT_TRUE(velumbra::isPlainSwayPath(plain)) << plain;
    for (const char *odd : {"", "/tmp/a b", "/tmp/$HOME", "/tmp/a;b", "/tmp/a,b", "/tmp/'",
                            "/tmp/\"", "/tmp/`x`", "/tmp/a\\b", "/tmp/\xc3\xa9"})
        EXPECT_FALSE(velumbra::isPlainSwayPath(odd)) << odd;
}

} // namespace
