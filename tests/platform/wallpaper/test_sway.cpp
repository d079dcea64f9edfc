// The sway backend against a real headless sway; grim reads the screen back.

#include "platform/wallpaper/sway.h"
#include "tests/desktop/support.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace wallpapertest;

QStringList wallpapertest::requiredPrograms()
{
    return {QStringLiteral("sway"), QStringLiteral("swaybg"), QStringLiteral("grim"),
            QStringLiteral("setpriv")};
}

namespace {

class Sway : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // sway runs as another user when the test runs as root: it must be
        // able to read the pictures and run the setter.
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                QFileDevice::ExeOther);
        const QString runtime = m_dir.filePath(QStringLiteral("runtime"));
        ASSERT_TRUE(QDir().mkpath(runtime));
        m_server = std::make_unique<ScriptServer>(QStringLiteral("sway.sh"), QStringList{runtime},
                                                  QStringList{});
        ASSERT_TRUE(m_server->running()) << "sway did not start";
        const QStringList where = m_server->firstLine().split(u' ');
        ASSERT_EQ(where.size(), 2);
        m_env = {QStringLiteral("SWAYSOCK=") + where[0],
                 QStringLiteral("WAYLAND_DISPLAY=") + where[1],
                 QStringLiteral("XDG_RUNTIME_DIR=") + runtime,
                 QStringLiteral("HOME=") + runtime,
                 QStringLiteral("-DISPLAY"),
                 QStringLiteral("-DBUS_SESSION_BUS_ADDRESS")};
        m_cli = m_dir.filePath(QStringLiteral("wallpaper_cli"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(WALLPAPER_CLI_PATH), m_cli));
    }

    RunResult set(const QString &file, const QStringList &extraEnv = {}) const
    {
        QStringList argv = asSwayUser(m_cli) + cliArgs("sway", "set", file);
        return runProgram(argv.takeFirst(), argv, m_env + extraEnv);
    }

    QString picture(const QString &name, const Quadrants &colours) const
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(writeQuadrantPicture(path, colours, {640, 360}));
        return path;
    }

    bool screenShows(const Quadrants &colours) const { return swayScreenShows(m_env, colours); }

    QTemporaryDir m_dir;
    std::unique_ptr<ScriptServer> m_server;
    QStringList m_env;
    QString m_cli;
};

TEST_F(Sway, ShowsEachSetWhateverTheFileName)
{
    // sway splits commands at ';' and ',' and expands the name like a shell.
    const QString nasty =
        picture(QStringLiteral("it's \"a\", $HOME; $(touch pwned) `id` été.png"), kPictureA);
    const QString plain = picture(QStringLiteral("b.jpg"), kPictureB);
    for (const auto &[file, colours] :
         {std::pair{nasty, kPictureA}, std::pair{plain, kPictureB}, std::pair{nasty, kPictureA}}) {
        const auto r = set(file);
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
        EXPECT_TRUE(eventually([&] { return screenShows(colours); })) << qPrintable(file);
    }
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("runtime/pwned"))));
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("pwned"))));
}

TEST_F(Sway, MissingFileIsRefusedBeforeSwayAcceptsIt)
{
    ASSERT_EQ(set(picture(QStringLiteral("a.png"), kPictureA)).exitCode, 0);
    ASSERT_TRUE(eventually([&] { return screenShows(kPictureA); }));
    const auto r = set(m_dir.filePath(QStringLiteral("gone.png")));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.stdErr.contains(QStringLiteral("n'existe pas"))) << qPrintable(r.stdErr);
    EXPECT_TRUE(screenShows(kPictureA));
}

TEST_F(Sway, DeadSocketFailsWithAReason)
{
    const auto r =
        set(picture(QStringLiteral("a.png"), kPictureA),
            {QStringLiteral("SWAYSOCK=") + m_dir.filePath(QStringLiteral("nothing.sock"))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.stdErr.contains(QStringLiteral("sway ne répond pas"))) << qPrintable(r.stdErr);
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
