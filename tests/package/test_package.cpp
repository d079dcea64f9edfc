// SPDX-License-Identifier: GPL-3.0-or-later
// The Debian package, which is the install tree put into a throw-away root
// by CPack (DESTDIR, prefix /usr): clean for lintian, with its libraries in
// Depends, with metadata a software centre accepts, then unpacked and started
// from there on a real X server.

#include "tests/desktop/session.h"

#include <QImage>
#include <QRegularExpression>
#include <QSettings>

#include <gtest/gtest.h>

// After GoogleTest, whose templates Xlib's macros (None, Bool) break.
#include <X11/Xlib.h>

using namespace desktoptest;

QStringList desktoptest::requiredPrograms()
{
    return {"Xvfb", "lintian", "dpkg-shlibdeps", "appstreamcli", "desktop-file-validate"};
}

namespace {

std::string said(const RunResult &r)
{
    return (r.stdErr + QString::fromUtf8(r.stdOut)).toStdString();
}

TEST(Package, IsCleanAndRunsFromWhereItUnpacks)
{
    QTemporaryDir dir;
    const RunResult cpack =
        runProgram(CPACK_COMMAND, {"--config", BUILD_DIR "/CPackConfig.cmake", "-B", dir.path()});
    ASSERT_EQ(cpack.exitCode, 0) << said(cpack);
    const QString deb = dir.filePath("velumbra_" VELUMBRA_VERSION "_amd64.deb");
    // No error and no warning; what lintian only notes (French words it
    // takes for English typos) may stay.
    const RunResult lintian = runProgram("lintian", {deb});
    EXPECT_EQ(lintian.exitCode, 0) << said(lintian);
    EXPECT_FALSE(QString::fromUtf8(lintian.stdOut)
                     .contains(QRegularExpression("^[EW]: ", QRegularExpression::MultilineOption)))
        << said(lintian);
    // Without dpkg-shlibdeps CPack still builds a package, with no library in Depends.
    const RunResult depends = runProgram("dpkg-deb", {"--field", deb});
    EXPECT_TRUE(depends.stdOut.contains("libqt6widgets6")) << said(depends);

    const QString root = dir.filePath("unpacked");
    ASSERT_EQ(runProgram("dpkg-deb", {"-x", deb, root}).exitCode, 0);
    const QString bin = root + "/usr/bin/", share = root + "/usr/share/";
    EXPECT_EQ(said(runProgram("desktop-file-validate",
                              {share + "applications/org.velumbra.Velumbra.desktop"})),
              "")
        << "hints and warnings count too";
    // Any warning makes its exit code non-zero.
    const RunResult metainfo =
        runProgram("appstreamcli",
                   {"validate", "--no-net", share + "metainfo/org.velumbra.Velumbra.metainfo.xml"});
    EXPECT_EQ(metainfo.exitCode, 0) << said(metainfo);

    // Without a window manager the window opens at the top left; what the
    // root showed there before tells whether it painted.
    Xvfb x;
    const QStringList env =
        userEnvironment(dir.filePath("user"), x.display()) +
        QStringList{"-XDG_CURRENT_DESKTOP", "-WAYLAND_DISPLAY", "-SWAYSOCK", "-QT_QPA_PLATFORM",
                    "DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent"};
    Display *display = XOpenDisplay(x.display().toLocal8Bit().constData());
    ASSERT_NE(display, nullptr);
    const QColor before = rootPixel(display, 300, 100);
    QProcess velumbra;
    velumbra.setProcessEnvironment(environment(env));
    velumbra.start(bin + "velumbra", {});
    EXPECT_TRUE(eventually([&] { return rootPixel(display, 300, 100) != before; }))
        << "the window did not paint: " << velumbra.readAllStandardError().toStdString();
    velumbra.terminate();
    velumbra.waitForFinished();
    XCloseDisplay(display);

    // A picture set for good comes back at login only if the autostart entry
    // runs the restorer installed beside the program, wherever that is.
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(dir.filePath("a.png")));
    const RunResult forGood =
        runProgram(bin + "velumbra", {"--par-defaut", dir.filePath("a.png")}, env);
    ASSERT_EQ(forGood.exitCode, 0) << said(forGood);
    EXPECT_EQ(QSettings(dir.filePath("user/home/.config/autostart/velumbra-restore.desktop"),
                        QSettings::IniFormat)
                  .value("Desktop Entry/Exec"),
              bin + "velumbra-restore");
}

} // namespace
