// SPDX-License-Identifier: GPL-3.0-or-later
// The built program's command line on a real X server with the root-window
// backend, its pixels read back: a picture set, then a usage error.

#include "tests/desktop/session.h"

#include <gtest/gtest.h>

using namespace desktoptest;

QStringList desktoptest::requiredPrograms()
{
    return {QStringLiteral("Xvfb")};
}

namespace {

TEST(CommandLine, SetsTheRootAndRefusesInFrench)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("a é.png"));
    ASSERT_TRUE(writeQuadrants(picture, kPictureA, {320, 240}));
    Xvfb x;
    ASSERT_TRUE(x.running());
    QStringList env = userEnvironment(dir.filePath(QStringLiteral("user")), x.display());
    env << QStringLiteral("-XDG_CURRENT_DESKTOP") << QStringLiteral("-WAYLAND_DISPLAY")
        << QStringLiteral("-SWAYSOCK") << QStringLiteral("-QT_QPA_PLATFORM");
    QProcess program;
    program.setProcessEnvironment(environment(env));
    program.start(QStringLiteral(VELUMBRA_PROGRAM), {QStringLiteral("--temporaire"), picture});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_TRUE(rootShows(x.display(), kPictureA));
    program.start(QStringLiteral(VELUMBRA_PROGRAM), {QStringLiteral("--inconnue")});
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitCode(), 2);
    EXPECT_TRUE(program.readAllStandardError().contains("Option inconnue"));
}

} // namespace
