// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a native Wayland client of a real headless sway whose
// output is scaled by 1.5: its window with its application id, and the
// screen size it works with.

#include "tests/desktop/session.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace desktoptest;

namespace {

TEST(WaylandWindow, NativeClientWithItsIdOnAScaledOutput)
{
    QTemporaryDir root;
    const QString runtime = openToAll(root) + u"/runtime"_s;
    ASSERT_TRUE(QDir().mkpath(runtime));
    Server sway(u"sway.sh"_s, {runtime});
    const QStringList where = sway.firstLine().split(u' ');
    ASSERT_EQ(where.size(), 2) << "sway did not start";
    // No platform named and no X server: the program must choose Wayland itself.
    const QStringList env =
        userEnvironment(root.path()) +
        QStringList{u"XDG_RUNTIME_DIR="_s + runtime, u"WAYLAND_DISPLAY="_s + where[1],
                    u"SWAYSOCK="_s + where[0], u"-QT_QPA_PLATFORM"_s};
    // Qt alone would give 853 x 480 logical pixels times a whole factor of 2.
    ASSERT_EQ(runProgram(u"swaymsg"_s, {u"output * scale 1.5"_s}, env).exitCode, 0);
    const RunResult probe = runProgram(QStringLiteral(SCREEN_PROBE), {},
                                       env + QStringList{u"QT_QPA_PLATFORM=wayland"_s});
    EXPECT_EQ(probe.stdOut.trimmed(), "1280 720") << probe.stdErr;

    Server velumbra(QStringLiteral(VELUMBRA_PROGRAM), {}, env);
    EXPECT_TRUE(eventually([&] {
        return runProgram(u"swaymsg"_s,
                          {u"[app_id=\"org.velumbra.Velumbra\" shell=\"xdg_shell\"] focus"_s}, env)
                   .exitCode == 0;
    })) << "no native Wayland window with the application id org.velumbra.Velumbra";
}

} // namespace
