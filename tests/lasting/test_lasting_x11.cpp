// Until logoff and for good on the X root window, which forgets everything
// at logoff: a real Xvfb per session, stopped at "logoff" and started anew;
// velumbra-restore runs in the new session and the pixels are read back.

#include "tests/lasting/lastingsupport.h"

#include <QFile>

#include <gtest/gtest.h>

#include <memory>

using namespace wallpapertest;
using namespace lastingtest;

QStringList wallpapertest::requiredPrograms()
{
    return {QStringLiteral("Xvfb")};
}

namespace {

const Quadrants kPictureD{QColor(0, 0, 0), QColor(0, 255, 255), QColor(255, 0, 255),
                          QColor(255, 255, 0)};

const Quadrants &colours(char name)
{
    switch (name) {
    case 'A':
        return kPictureA;
    case 'B':
        return kPictureB;
    case 'C':
        return kPictureC;
    default:
        return kPictureD;
    }
}

struct Case
{
    const char *name;
    std::vector<std::pair<char, bool>> changes; // picture, for good
    char deleted;                               // removed before the login, or 0
    char shownAfterLogin;                       // 0: none of the pictures
};

const Case kCases[] = {
    {"temporary", {{'B', false}}, 0, 'A'},
    {"for good", {{'B', true}}, 0, 'B'},
    {"rotation through three", {{'B', false}, {'C', false}, {'D', false}}, 0, 'A'},
    {"for good after a temporary one", {{'B', false}, {'C', true}}, 0, 'C'},
    {"lasting picture deleted meanwhile", {{'B', false}}, 'A', 0},
};

TEST(X11Lasting, NextSessionShowsWhatWasSetForGood)
{
    for (const Case &c : kCases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const auto picture = [&dir](char name) {
            return dir.filePath(QString(QLatin1Char(name)) + QStringLiteral(" été.png"));
        };
        for (const char name : {'A', 'B', 'C', 'D'})
            ASSERT_TRUE(writeQuadrantPicture(picture(name), colours(name), {320, 240}));
        QStringList env{QStringLiteral("HOME=") + dir.filePath(QStringLiteral("home")),
                        QStringLiteral("XDG_CONFIG_HOME=") + dir.filePath(QStringLiteral("config")),
                        QStringLiteral("XDG_STATE_HOME=") + dir.filePath(QStringLiteral("state")),
                        QStringLiteral("-XDG_CURRENT_DESKTOP"),
                        QStringLiteral("-WAYLAND_DISPLAY"),
                        QStringLiteral("-SWAYSOCK")};
        const auto owed = [&dir] {
            return lastingtest::owed(dir.filePath(QStringLiteral("state")),
                                     dir.filePath(QStringLiteral("config")));
        };

        auto session = std::make_unique<Xvfb>();
        ASSERT_TRUE(session->running());
        QStringList sessionEnv = env;
        sessionEnv << QStringLiteral("DISPLAY=") + session->display();
        const auto set = [&](char name, bool forGood) {
            QStringList args{QStringLiteral("set"), picture(name)};
            if (forGood)
                args << QStringLiteral("for-good");
            const auto r = runLasting(args, sessionEnv);
            ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
            EXPECT_TRUE(rootShows(session->display(), colours(name))) << name;
        };
        set('A', true);
        EXPECT_TRUE(owed()) << "A must come back at each login";
        for (const auto &[name, forGood] : c.changes)
            set(name, forGood);
        if (c.deleted) {
            ASSERT_TRUE(QFile::remove(picture(c.deleted)));
        }

        // Logoff: the server and everything on it go; login: a new one.
        session.reset();
        session = std::make_unique<Xvfb>();
        ASSERT_TRUE(session->running());
        sessionEnv = env;
        sessionEnv << QStringLiteral("DISPLAY=") + session->display();
        const auto r = runRestore(sessionEnv);
        if (c.shownAfterLogin) {
            EXPECT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
            EXPECT_TRUE(rootShows(session->display(), colours(c.shownAfterLogin)));
            EXPECT_TRUE(owed());
        } else {
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(r.stdErr.contains(QStringLiteral("n'existe plus"))) << qPrintable(r.stdErr);
            for (const char name : {'A', 'B'})
                EXPECT_FALSE(rootShows(session->display(), colours(name))) << name;
            EXPECT_FALSE(owed());
        }
    }
}

TEST(X11Lasting, ScreenSaverIsLeftToTheServerAndOwesNothing)
{
    QTemporaryDir dir;
    Xvfb session;
    ASSERT_TRUE(session.running());
    const QStringList env{QStringLiteral("HOME=") + dir.path(),
                          QStringLiteral("XDG_CONFIG_HOME=") + dir.filePath(QStringLiteral("c")),
                          QStringLiteral("XDG_STATE_HOME=") + dir.filePath(QStringLiteral("s")),
                          QStringLiteral("-XDG_CURRENT_DESKTOP"),
                          QStringLiteral("-WAYLAND_DISPLAY"),
                          QStringLiteral("-SWAYSOCK"),
                          QStringLiteral("DISPLAY=") + session.display()};
    const auto r = runLasting({QStringLiteral("screensaver")}, env);
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    EXPECT_FALSE(
        QFile::exists(dir.filePath(QStringLiteral("c/autostart/velumbra-restore.desktop"))));
}

} // namespace
