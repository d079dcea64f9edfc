// Until logoff on GNOME itself: the real gnome-shell on Xvfb with dconf on a
// private bus. Logoff ends the shell, dconf and the bus; login starts them
// anew from the same folders and runs velumbra-restore. Skipped (77) where
// GNOME Shell is not installed.

#include "tests/lasting/lastingsupport.h"

#include <QDir>

#include <gtest/gtest.h>

#include <memory>

using namespace wallpapertest;
using namespace lastingtest;

QStringList wallpapertest::requiredPrograms()
{
    return {QStringLiteral("Xvfb"), QStringLiteral("dbus-daemon"), QStringLiteral("gnome-shell"),
            QStringLiteral("xdotool")};
}

namespace {

class GnomeShellLasting : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_xvfb.running());
        m_env = userEnvironment(m_dir.path(), m_xvfb.display());
        m_env << QStringLiteral("XDG_CURRENT_DESKTOP=GNOME")
              << QStringList{QStringLiteral("XDG_SESSION_TYPE=x11"),
                             QStringLiteral("-GSETTINGS_BACKEND"),
                             QStringLiteral("-WAYLAND_DISPLAY"),
                             QStringLiteral("-SWAYSOCK"),
                             QStringLiteral("NAMESPACE_MOUNT=1"),
                             QStringLiteral("SESSION_SYSTEM_BUS=1")};
        for (const auto &[name, colours] :
             {std::pair{'A', kPictureA}, std::pair{'B', kPictureB}, std::pair{'C', kPictureC}})
            ASSERT_TRUE(writeQuadrantPicture(picture(name), colours, {320, 200}));
    }

    [[nodiscard]] QString picture(char name) const
    {
        return m_dir.filePath(QString(QLatin1Char(name)) + QStringLiteral(" l'été.png"));
    }

    void login()
    {
        m_session.reset();
        m_session = std::make_unique<PrivateSession>(
            m_env,
            QStringList{QStringLiteral(
                "exec gnome-shell --x11 --replace --sm-disable >>\"$HOME/shell.log\" 2>&1")});
        ASSERT_TRUE(m_session->running());
        m_sessionEnv = m_env;
        m_sessionEnv << m_session->busEnv();
    }

    // GNOME starts in its overview, which dims the wallpaper: leave it, and
    // probe below the top bar.
    [[nodiscard]] bool desktopShows(const Quadrants &colours) const
    {
        runProgram(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")},
                   m_sessionEnv);
        return rootShows(m_xvfb.display(), colours, 170);
    }

    [[nodiscard]] RunResult set(char name, bool forGood = false) const
    {
        QStringList args{QStringLiteral("set"), picture(name)};
        if (forGood)
            args << QStringLiteral("for-good");
        return runLasting(args, m_sessionEnv);
    }

    Xvfb m_xvfb;
    QTemporaryDir m_dir;
    QStringList m_env;
    QStringList m_sessionEnv;
    std::unique_ptr<PrivateSession> m_session;
};

TEST_F(GnomeShellLasting, RotationLastsUntilLogoff)
{
    login();
    auto r = set('A', true);
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    for (const char name : {'B', 'C'}) {
        r = set(name);
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    }
    EXPECT_TRUE(eventually([&] { return desktopShows(kPictureC); }, 60)) << "C is not shown";

    login();
    ASSERT_TRUE(eventually([&] { return desktopShows(kPictureC); }, 60))
        << "GNOME did not keep C by itself";
    r = runRestore(m_sessionEnv);
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    EXPECT_TRUE(eventually([&] { return desktopShows(kPictureA); }, 60))
        << "A is not shown after the login";
    EXPECT_FALSE(owed(m_dir.filePath(QStringLiteral("home/.local/state")),
                      m_dir.filePath(QStringLiteral("home/.config"))));
}

} // namespace
