// The XFCE backend against a real xfconfd, activated on a private session
// bus, and xfdesktop drawing on a real Xvfb for the pixels.

#include "platform/wallpaper/xfconf.h"
#include "tests/desktop/support.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace wallpapertest;

QStringList wallpapertest::requiredPrograms()
{
    return {QStringLiteral("Xvfb"), QStringLiteral("dbus-daemon"), QStringLiteral("xfconf-query"),
            QStringLiteral("xfdesktop")};
}

namespace {

TEST(XfceImageKeys, KeepsOnlyPicturesOfAMonitorAndWorkspace)
{
    const std::vector<std::string> keys{
        "/backdrop/screen0/monitorHDMI-1/workspace0/last-image",
        "/backdrop/screen0/monitorHDMI-1/workspace0/image-style",
        "/backdrop/screen0/monitor0/workspace12/last-image",
        "/backdrop/screen1/monitoreDP-1/workspace3/last-image",
        "/backdrop/screen0/monitorHDMI-1/workspace0/last-image-old",
        "/backdrop/screen0/workspace0/last-image",
        "/backdrop/screen0/monitor/workspace0/last-image",
        "/backdrop/screenX/monitor0/workspace0/last-image",
        "/backdrop/single-workspace-mode",
    };
    EXPECT_EQ(velumbra::xfceImageKeys(keys), (std::vector<std::string>{keys[0], keys[2], keys[3]}));
    EXPECT_EQ(velumbra::xfceNewImageKeys({"screen", "", "a/b", "DP-2"}),
              (std::vector<std::string>{"/backdrop/screen0/monitorscreen/workspace0/last-image",
                                        "/backdrop/screen0/monitorDP-2/workspace0/last-image"}));
}

class Xfconf : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_xvfb.running());
        m_a = m_dir.filePath(QStringLiteral("it's \"a\".jpg"));
        m_b = m_dir.filePath(QStringLiteral("b.png"));
        ASSERT_TRUE(writeQuadrantPicture(m_a, kPictureA));
        ASSERT_TRUE(writeQuadrantPicture(m_b, kPictureB, {320, 200}));
        const QString home = m_dir.filePath(QStringLiteral("home"));
        m_env = {QStringLiteral("HOME=") + home,
                 QStringLiteral("XDG_CONFIG_HOME=") + home + QStringLiteral("/.config"),
                 QStringLiteral("XDG_CACHE_HOME=") + home + QStringLiteral("/.cache"),
                 QStringLiteral("XDG_DATA_HOME=") + home + QStringLiteral("/.local/share"),
                 QStringLiteral("DISPLAY=") + m_xvfb.display()};
    }

    void startSession(const QStringList &programs = {})
    {
        m_session = std::make_unique<PrivateSession>(m_env, programs);
        ASSERT_TRUE(m_session->running());
        m_env << m_session->busEnv();
    }

    RunResult cli(const char *command, const QString &file = {}) const
    {
        return runCli(cliArgs("xfce", command, file), m_env);
    }

    // xfconf-query on the desktop's channel: reads @p key, or with @p more creates it.
    QString query(const QString &key, const QStringList &more = {}) const
    {
        const QStringList args{QStringLiteral("-c"), QStringLiteral("xfce4-desktop"),
                               QStringLiteral("-p"), key};
        QString value = QString::fromUtf8(
            runProgram(QStringLiteral("xfconf-query"), args + more, m_env).stdOut);
        if (value.endsWith(u'\n'))
            value.chop(1);
        return value;
    }

    bool screenShows(const Quadrants &colours) const
    {
        return rootShows(m_xvfb.display(), colours);
    }

    Xvfb m_xvfb;
    QTemporaryDir m_dir;
    QString m_a, m_b;
    QStringList m_env;
    std::unique_ptr<PrivateSession> m_session;
};

TEST_F(Xfconf, CreatesAKeyPerMonitorWhenXfdesktopNeverRan)
{
    startSession();
    const auto r = cli("set", m_a);
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    // Xvfb's one monitor is called "screen".
    EXPECT_EQ(query(QStringLiteral("/backdrop/screen0/monitorscreen/workspace0/last-image")), m_a);
    EXPECT_EQ(query(QStringLiteral("/backdrop/screen0/monitorscreen/workspace0/image-style")),
              QStringLiteral("3"));
}

TEST_F(Xfconf, WritesEveryMonitorAndWorkspaceAndShowsWhatWasHidden)
{
    startSession();
    const QString base = QStringLiteral("/backdrop/screen0/");
    const char *const before[][3] = {
        {"monitorHDMI-1/workspace0/last-image", "string", "/old.jpg"},
        {"monitorHDMI-1/workspace0/image-style", "int", "5"},
        {"monitorHDMI-1/workspace1/last-image", "string", "/old.jpg"},
        {"monitorHDMI-1/workspace1/image-style", "int", "0"},
        {"monitoreDP-1/workspace0/last-image", "string", "/old.jpg"},
        {"monitoreDP-1/workspace0/last-image-old", "string", "/keep.jpg"},
    };
    for (const auto &[key, type, value] : before)
        query(base + QString::fromLatin1(key),
              {QStringLiteral("-n"), QStringLiteral("-t"), QString::fromLatin1(type),
               QStringLiteral("-s"), QString::fromLatin1(value)});

    const auto r = cli("set", m_a);
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    struct Expect
    {
        const char *key;
        QString value;
    };
    const Expect expected[] = {
        {"monitorHDMI-1/workspace0/last-image", m_a},
        {"monitorHDMI-1/workspace1/last-image", m_a},
        {"monitoreDP-1/workspace0/last-image", m_a},
        {"monitorHDMI-1/workspace0/image-style", QStringLiteral("5")}, // the user's choice stays
        {"monitorHDMI-1/workspace1/image-style", QStringLiteral("3")}, // "none" would hide it
        {"monitoreDP-1/workspace0/image-style", QStringLiteral("3")},
        {"monitoreDP-1/workspace0/last-image-old", QStringLiteral("/keep.jpg")},
    };
    for (const Expect &e : expected)
        EXPECT_EQ(query(base + QString::fromLatin1(e.key)), e.value) << e.key;
    // The monitor of this Xvfb had no key and gets none: xfdesktop made the keys.
    EXPECT_EQ(query(base + QStringLiteral("monitorscreen/workspace0/last-image")), QString());
}

TEST_F(Xfconf, XfdesktopShowsEachSetAtOnce)
{
    startSession({QStringLiteral("exec xfdesktop --disable-wm-check")});
    // xfdesktop follows changes once it has set its own picture up.
    const QString key = QStringLiteral("/backdrop/screen0/monitorscreen/workspace0/last-image");
    ASSERT_TRUE(eventually([&] { return !query(key).isEmpty(); })) << "xfdesktop did not start";
    for (const auto &[file, colours] : {std::pair{m_a, kPictureA}, std::pair{m_b, kPictureB}}) {
        const auto r = cli("set", file);
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
        EXPECT_TRUE(eventually([&] { return screenShows(colours); }))
            << "xfdesktop does not show " << qPrintable(file);
    }
}

TEST_F(Xfconf, FailuresSayWhyAndChangeNothing)
{
    // A bus on which nothing can be activated: no xfconfd.
    m_env << QStringLiteral("SESSION_NO_ACTIVATION=1");
    startSession();
    const auto noDaemon = cli("set", m_a);
    EXPECT_EQ(noDaemon.exitCode, 1);
    EXPECT_TRUE(noDaemon.stdErr.contains(QStringLiteral("xfconf ne répond pas")))
        << qPrintable(noDaemon.stdErr);

    const auto noBus =
        runCli(cliArgs("xfce", "set", m_a), {QStringLiteral("DBUS_SESSION_BUS_ADDRESS=unix:path=") +
                                             m_dir.filePath(QStringLiteral("nobus"))});
    EXPECT_EQ(noBus.exitCode, 1);
    EXPECT_TRUE(noBus.stdErr.contains(QStringLiteral("bus de session")))
        << qPrintable(noBus.stdErr);
}

TEST_F(Xfconf, MissingFileLeavesTheKeysAlone)
{
    startSession();
    ASSERT_EQ(cli("set", m_a).exitCode, 0);
    const auto r = cli("set", m_dir.filePath(QStringLiteral("gone.png")));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(query(QStringLiteral("/backdrop/screen0/monitorscreen/workspace0/last-image")), m_a);
}

TEST_F(Xfconf, ScreenSaverFallsBackOnTheXServerWithoutAService)
{
    startSession();
    const auto r = cli("screensaver");
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    m_env << QStringLiteral("-DISPLAY");
    const auto none = cli("screensaver");
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.stdErr.contains(QStringLiteral("org.freedesktop.ScreenSaver")))
        << qPrintable(none.stdErr);
}

} // namespace
