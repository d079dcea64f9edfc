// SPDX-License-Identifier: GPL-3.0-or-later
// The Debian package, which is the install tree put into a throw-away root
// by CPack (DESTDIR, prefix /usr): checked by the tools a distribution and a
// desktop check it with, then unpacked and its programs started from there
// on a real X server.

#include "about/pageaddress.h"
#include "tests/desktop/session.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

#include <gtest/gtest.h>

// After GoogleTest, whose templates Xlib's macros (None, Bool) break.
#include <X11/Xlib.h>

using namespace desktoptest;

QStringList desktoptest::requiredPrograms()
{
    return {QStringLiteral("Xvfb"),         QStringLiteral("xwininfo"),
            QStringLiteral("lintian"),      QStringLiteral("dpkg-shlibdeps"),
            QStringLiteral("appstreamcli"), QStringLiteral("desktop-file-validate")};
}

namespace {

std::string said(const RunResult &r)
{
    return (r.stdErr + QString::fromUtf8(r.stdOut)).toStdString();
}

QString entryValue(const QString &file, const char *key)
{
    return QSettings(file, QSettings::IniFormat)
        .value(QStringLiteral("Desktop Entry/") + QLatin1String(key))
        .toString();
}

TEST(Package, IsCleanAndRunsFromWhereItUnpacks)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const RunResult cpack =
        runProgram(QStringLiteral(CPACK_COMMAND),
                   {QStringLiteral("--config"), QStringLiteral(BUILD_DIR "/CPackConfig.cmake"),
                    QStringLiteral("-B"), dir.path()});
    ASSERT_EQ(cpack.exitCode, 0) << said(cpack);
    const QString deb = dir.filePath(QStringLiteral("velumbra_" VELUMBRA_VERSION "_amd64.deb"));

    // No error and no warning; what lintian only notes (French words it
    // takes for English typos) may stay.
    const RunResult lintian = runProgram(QStringLiteral("lintian"), {deb});
    EXPECT_EQ(lintian.exitCode, 0) << said(lintian);
    EXPECT_FALSE(QString::fromUtf8(lintian.stdOut)
                     .contains(QRegularExpression(QStringLiteral("^[EW]: "),
                                                  QRegularExpression::MultilineOption)))
        << said(lintian);
    // Without dpkg-shlibdeps CPack still builds a package, with no library in Depends.
    const RunResult depends =
        runProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), deb});
    EXPECT_TRUE(depends.stdOut.contains("libqt6widgets6")) << said(depends);

    const QString root = dir.filePath(QStringLiteral("unpacked"));
    ASSERT_EQ(runProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb, root}).exitCode,
              0);
    const QString bin = root + QStringLiteral("/usr/bin/");
    const QString share = root + QStringLiteral("/usr/share/");
    const QString entry = share + QStringLiteral("applications/org.velumbra.Velumbra.desktop");

    const RunResult entryCheck = runProgram(QStringLiteral("desktop-file-validate"), {entry});
    EXPECT_EQ(said(entryCheck), "") << "hints and warnings count too";
    // Any warning makes its exit code non-zero.
    const RunResult metainfo =
        runProgram(QStringLiteral("appstreamcli"),
                   {QStringLiteral("validate"), QStringLiteral("--no-net"),
                    share + QStringLiteral("metainfo/org.velumbra.Velumbra.metainfo.xml")});
    EXPECT_EQ(metainfo.exitCode, 0) << said(metainfo);
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QImage icon(share + QStringLiteral("icons/hicolor/%1x%1/apps/").arg(size) +
                          QStringLiteral("org.velumbra.Velumbra.png"));
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
    }
    EXPECT_TRUE(QFile::exists(
        share + QStringLiteral("icons/hicolor/scalable/apps/org.velumbra.Velumbra.svg")));
    for (const char *program : {"velumbra", "velumbra-restore"}) {
        QFile binary(bin + QLatin1String(program));
        ASSERT_TRUE(binary.open(QIODevice::ReadOnly)) << program;
        EXPECT_FALSE(binary.readAll().contains(SOURCE_DIR)) << program << " names the source tree";
    }

    Xvfb x;
    ASSERT_TRUE(x.running());
    QStringList env = userEnvironment(dir.filePath(QStringLiteral("user")), x.display());
    env << QStringLiteral("-XDG_CURRENT_DESKTOP") << QStringLiteral("-WAYLAND_DISPLAY")
        << QStringLiteral("-SWAYSOCK") << QStringLiteral("-QT_QPA_PLATFORM")
        << QStringLiteral("DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent");
    Display *display = XOpenDisplay(x.display().toLocal8Bit().constData());
    ASSERT_NE(display, nullptr);
    // Without a window manager the window opens at the top left; what the
    // root showed there before tells whether it painted.
    const QPoint probe(300, 100);
    const QColor before = rootPixel(display, probe.x(), probe.y());
    QProcess velumbra;
    velumbra.setProcessEnvironment(environment(env));
    velumbra.start(bin + QStringLiteral("velumbra"), {});
    // xwininfo: 0x... "title": ("velumbra" "class")  594x663+0+0  +0+0
    const QRegularExpression line(QStringLiteral("\\(\"velumbra\" \"([^\"]+)\"\\)\\s+(\\d+)x"));
    QRegularExpressionMatch window;
    EXPECT_TRUE(eventually([&] {
        window = line.match(
            QString::fromUtf8(runProgram(QStringLiteral("xwininfo"),
                                         {QStringLiteral("-root"), QStringLiteral("-tree")}, env)
                                  .stdOut));
        return window.hasMatch() && window.captured(2).toInt() > probe.x() &&
               rootPixel(display, probe.x(), probe.y()) != before;
    })) << "the window did not paint: "
        << velumbra.readAllStandardError().toStdString();
    // Docks match the window to its entry by this class.
    EXPECT_EQ(window.captured(1), entryValue(entry, "StartupWMClass"));
    velumbra.terminate();
    velumbra.waitForFinished();
    XCloseDisplay(display);

    // What the program finds beside itself: velumbra-restore, which the
    // autostart entry it writes must run, and the help page.
    ASSERT_TRUE(writeQuadrants(dir.filePath(QStringLiteral("a.png")), kPictureA, {64, 48}));
    const RunResult forGood =
        runProgram(bin + QStringLiteral("velumbra"),
                   {QStringLiteral("--par-defaut"), dir.filePath(QStringLiteral("a.png"))}, env);
    ASSERT_EQ(forGood.exitCode, 0) << said(forGood);
    EXPECT_EQ(entryValue(dir.filePath(QStringLiteral(
                             "user/home/.config/autostart/velumbra-restore.desktop")),
                         "Exec"),
              bin + QStringLiteral("velumbra-restore"));
    EXPECT_TRUE(QFileInfo(bin + QStringLiteral("velumbra-restore")).isExecutable());
    const std::string help =
        velumbra::helpPageAddress(velumbra::configuredHelpAddress(), bin.toStdString(),
                                  velumbra::installedHelpPageRelative());
    EXPECT_TRUE(QFile::exists(QString::fromStdString(help))) << help;
}

} // namespace
