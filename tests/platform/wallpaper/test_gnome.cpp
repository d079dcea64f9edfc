// The GNOME backend end to end: the real gnome-shell on Xvfb with dconf on a
// private bus; the screen is read back.

#include "tests/desktop/support.h"

#include <QDir>

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace wallpapertest;

QStringList wallpapertest::requiredPrograms()
{
    return {QStringLiteral("Xvfb"), QStringLiteral("dbus-daemon"), QStringLiteral("gnome-shell"),
            QStringLiteral("xdotool")};
}

namespace {

class GnomeShell : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_xvfb.running());
        m_env = userEnvironment(m_dir.path(), m_xvfb.display());
        m_env << QStringLiteral("XDG_CURRENT_DESKTOP=GNOME")
              << QStringList{
                     QStringLiteral("XDG_SESSION_TYPE=x11"), QStringLiteral("-GSETTINGS_BACKEND"),
                     QStringLiteral("-WAYLAND_DISPLAY"), QStringLiteral("NAMESPACE_MOUNT=1"),
                     QStringLiteral("SESSION_SYSTEM_BUS=1")};
        m_session = std::make_unique<PrivateSession>(
            m_env, QStringList{QStringLiteral(
                       "exec gnome-shell --x11 --replace --sm-disable >\"$HOME/shell.log\" 2>&1")});
        ASSERT_TRUE(m_session->running());
        m_env << m_session->busEnv();
    }

    bool screenShows(const Quadrants &colours) const
    {
        // Below GNOME's top bar.
        return rootShows(m_xvfb.display(), colours, 170);
    }

    // GNOME starts in its overview, which shows the wallpaper dimmed: leave it.
    bool desktopShows(const Quadrants &colours) const
    {
        runProgram(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")},
                   m_env);
        return screenShows(colours);
    }

    Xvfb m_xvfb;
    QTemporaryDir m_dir;
    QStringList m_env;
    std::unique_ptr<PrivateSession> m_session;
};

TEST_F(GnomeShell, ShowsEachSetInLightAndDarkStyle)
{
    const QString a = m_dir.filePath(QStringLiteral("l'été \"a\".jpg"));
    const QString b = m_dir.filePath(QStringLiteral("b.png"));
    ASSERT_TRUE(writeQuadrantPicture(a, kPictureA));
    ASSERT_TRUE(writeQuadrantPicture(b, kPictureB, {320, 200}));
    struct Step
    {
        const char *scheme;
        QString file;
        Quadrants colours;
    };
    // In the dark style GNOME 43 shows picture-uri-dark alone.
    const Step steps[] = {{"'default'", a, kPictureA},
                          {"'prefer-dark'", b, kPictureB},
                          {"'prefer-dark'", a, kPictureA}};
    for (const Step &s : steps) {
        ASSERT_EQ(runProgram(QStringLiteral("gsettings"),
                             {QStringLiteral("set"), QStringLiteral("org.gnome.desktop.interface"),
                              QStringLiteral("color-scheme"), QString::fromLatin1(s.scheme)},
                             m_env)
                      .exitCode,
                  0);
        const auto r = runCli(cliArgs("gnome", "set", s.file), m_env);
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
        EXPECT_TRUE(eventually([&] { return desktopShows(s.colours); }, 60))
            << qPrintable(s.file) << " in " << s.scheme;
    }
}

} // namespace
