// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a native Wayland client of a real headless sway whose
// output is scaled by 1.5: its window, its application id, its screenshot,
// and the screen size it works with.

#include "tests/desktop/session.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace desktoptest;

namespace {

// The node of the tree of sway whose application id is @p appId.
QJsonObject findNode(const QJsonObject &node, const QString &appId)
{
    if (node.value(u"app_id"_s).toString() == appId)
        return node;
    for (const char *children : {"nodes", "floating_nodes"}) {
        for (const QJsonValue &child : node.value(QLatin1String(children)).toArray()) {
            if (const QJsonObject found = findNode(child.toObject(), appId); !found.isEmpty())
                return found;
        }
    }
    return {};
}

TEST(WaylandWindow, NativeClientWithItsIdAndTheOutputsPixels)
{
    QTemporaryDir root;
    const QString runtime = openToAll(root) + u"/runtime"_s;
    ASSERT_TRUE(QDir().mkpath(runtime));
    Server sway(u"sway.sh"_s, {runtime});
    const QStringList where = sway.firstLine().split(u' ');
    ASSERT_EQ(where.size(), 2) << "sway did not start";
    // No platform named and no X server: the program must choose Wayland itself.
    const QStringList env =
        userEnvironment(root.path(), {}) +
        QStringList{u"XDG_RUNTIME_DIR="_s + runtime, u"WAYLAND_DISPLAY="_s + where[1],
                    u"SWAYSOCK="_s + where[0], u"-DISPLAY"_s, u"-QT_QPA_PLATFORM"_s};
    const auto swaymsg = [&](const QStringList &args) {
        return runProgram(u"swaymsg"_s, args, env);
    };
    // Qt alone would give 853 x 480 logical pixels times a whole factor of 2.
    ASSERT_EQ(swaymsg({u"output * scale 1.5"_s}).exitCode, 0);

    const RunResult probe = runProgram(QStringLiteral(SCREEN_PROBE), {},
                                       env + QStringList{u"QT_QPA_PLATFORM=wayland"_s});
    EXPECT_EQ(probe.stdOut.trimmed(), "1280 720") << qPrintable(probe.stdErr);

    Server velumbra(QStringLiteral(VELUMBRA_PROGRAM), {}, env);
    QJsonObject window;
    const auto find = [&] {
        const QJsonDocument tree =
            QJsonDocument::fromJson(swaymsg({u"-t"_s, u"get_tree"_s}).stdOut);
        window = findNode(tree.object(), u"org.velumbra.Velumbra"_s);
        return !window.isEmpty();
    };
    ASSERT_TRUE(eventually(find)) << "no Wayland window with the application id "
                                     "org.velumbra.Velumbra";
    EXPECT_EQ(window.value(u"shell"_s).toString(), u"xdg_shell"_s);

    // grim sees physical pixels: the window's rectangle times 1.5. sway's
    // background here is black; the window, once drawn and placed, is not.
    const auto windowShows = [&] {
        if (!find())
            return false;
        const QJsonObject rect = window.value(u"rect"_s).toObject();
        const auto middle = [&rect](const char *start, const char *length) {
            return int((rect.value(QLatin1String(start)).toInt() +
                        rect.value(QLatin1String(length)).toInt() / 2) *
                       1.5);
        };
        const QImage shot =
            QImage::fromData(runProgram(u"grim"_s, {u"-t"_s, u"ppm"_s, u"-"_s}, env).stdOut, "PPM");
        return shot.size() == QSize(1280, 720) &&
               qGray(shot.pixel(middle("x", "width"), middle("y", "height"))) > 100;
    };
    EXPECT_TRUE(eventually(windowShows)) << "the window is not on the screen";
}

} // namespace
