// SPDX-License-Identifier: GPL-3.0-or-later
// The Debian package, which is the install tree put into a throw-away root
// by CPack (DESTDIR, prefix /usr): checked by the tools a distribution and a
// desktop check it with, then unpacked and its programs started from there
// on a real X server.

#include "about/pageaddress.h"
#include "tests/common/testpictures.h"
#include "tests/desktop/session.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

#include <gtest/gtest.h>

// After GoogleTest, whose templates Xlib's macros (None, Bool) break.
#include <X11/Xlib.h>

using namespace desktoptest;
using velumbra::test::readFile;

QStringList desktoptest::requiredPrograms()
{
    return {"Xvfb",           "xwininfo",     "lintian",
            "dpkg-shlibdeps", "appstreamcli", "desktop-file-validate"};
}

namespace {

std::string said(const RunResult &r)
{
    return (r.stdErr + QString::fromUtf8(r.stdOut)).toStdString();
}

QString entryValue(const QString &file, const char *key)
{
    return QSettings(file, QSettings::IniFormat).value(QString("Desktop Entry/") + key).toString();
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
    const QString entry = share + "applications/org.velumbra.Velumbra.desktop";
    EXPECT_EQ(said(runProgram("desktop-file-validate", {entry})), "")
        << "hints and warnings count too";
    // Any warning makes its exit code non-zero.
    const RunResult metainfo =
        runProgram("appstreamcli",
                   {"validate", "--no-net", share + "metainfo/org.velumbra.Velumbra.metainfo.xml"});
    EXPECT_EQ(metainfo.exitCode, 0) << said(metainfo);
    const QString icons = share + "icons/hicolor/%1/apps/org.velumbra.Velumbra.";
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        EXPECT_EQ(QImage(icons.arg(QString("%1x%1").arg(size)) + "png").size(), QSize(size, size));
    EXPECT_TRUE(QFile::exists(icons.arg("scalable") + "svg"));
    for (const char *program : {"velumbra", "velumbra-restore"})
        EXPECT_FALSE(readFile(bin + program).contains(SOURCE_DIR))
            << program << " names the source tree";

    // Without a window manager the window opens at the top left; what the
    // root showed there before tells whether it painted. Docks match the
    // window to its entry by its class.
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
    // xwininfo: 0x... "title": ("velumbra" "class")  594x663+0+0  +0+0
    const QRegularExpression line(QStringLiteral("\\(\"velumbra\" \"([^\"]+)\"\\)\\s+(\\d+)x"));
    QRegularExpressionMatch window;
    EXPECT_TRUE(eventually([&] {
        window = line.match(runProgram("xwininfo", {"-root", "-tree"}, env).stdOut);
        return window.hasMatch() && window.captured(2).toInt() > 300 &&
               rootPixel(display, 300, 100) != before;
    })) << "the window did not paint: "
        << velumbra.readAllStandardError().toStdString();
    EXPECT_EQ(window.captured(1), entryValue(entry, "StartupWMClass"));
    velumbra.terminate();
    velumbra.waitForFinished();
    XCloseDisplay(display);

    // What the program finds beside itself: velumbra-restore, which the
    // autostart entry it writes must run, and the help page.
    ASSERT_TRUE(velumbra::test::writeSolid(dir.filePath("a.png"), Qt::red));
    const RunResult forGood =
        runProgram(bin + "velumbra", {"--par-defaut", dir.filePath("a.png")}, env);
    ASSERT_EQ(forGood.exitCode, 0) << said(forGood);
    EXPECT_EQ(
        entryValue(dir.filePath("user/home/.config/autostart/velumbra-restore.desktop"), "Exec"),
        bin + "velumbra-restore");
    EXPECT_TRUE(QFileInfo(bin + "velumbra-restore").isExecutable());
    const std::string help =
        velumbra::helpPageAddress(velumbra::configuredHelpAddress(), bin.toStdString(),
                                  velumbra::installedHelpPageRelative());
    EXPECT_TRUE(QFile::exists(QString::fromStdString(help))) << help;
}

} // namespace
