// SPDX-License-Identifier: GPL-3.0-or-later
// The install tree and the Debian package, checked by the tools a
// distribution and a desktop check them with, then the package's programs
// started from where the package puts them, on a real X server.

#include "about/pageaddress.h"
#include "tests/platform/wallpaper/support.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRect>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// After GoogleTest, whose templates Xlib's macros (None, Bool) break.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <optional>

using namespace wallpapertest;

QStringList wallpapertest::requiredPrograms()
{
    return {QStringLiteral("Xvfb"),         QStringLiteral("desktop-file-validate"),
            QStringLiteral("appstreamcli"), QStringLiteral("lintian"),
            QStringLiteral("dpkg-deb"),     QStringLiteral("dpkg-shlibdeps")};
}

namespace {

const QString kId = QStringLiteral("org.velumbra.Velumbra");

// What a tool said, for the failure message.
std::string said(const RunResult &r)
{
    return (r.stdErr + QString::fromUtf8(r.stdOut)).toStdString();
}

QString desktopEntryValue(const QString &file, const QString &key)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1);
    }
    return {};
}

// The top-level window whose WM_CLASS is ("velumbra", class), mapped.
struct FoundWindow
{
    QRect geometry;
    QString wmClass;
};
std::optional<FoundWindow> velumbraWindow(Display *display)
{
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    std::optional<FoundWindow> found;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return found;
    for (unsigned i = 0; i < count && !found; ++i) {
        XClassHint hint{};
        XWindowAttributes attrs{};
        if (XGetClassHint(display, children[i], &hint) && qstrcmp(hint.res_name, "velumbra") == 0 &&
            XGetWindowAttributes(display, children[i], &attrs) && attrs.map_state == IsViewable &&
            attrs.width > 100)
            found = FoundWindow{QRect(attrs.x, attrs.y, attrs.width, attrs.height),
                                QString::fromLatin1(hint.res_class)};
        if (hint.res_name)
            XFree(hint.res_name);
        if (hint.res_class)
            XFree(hint.res_class);
    }
    XFree(children);
    return found;
}

// How many of an 8 x 8 grid of points in @p area differ from @p before.
int changedPoints(Display *display, const QRect &area, const std::vector<QColor> &before)
{
    int changed = 0;
    for (int i = 0; i < 64; ++i) {
        const QColor now = rootPixel(display, area.x() + area.width() * (i % 8 * 2 + 1) / 16,
                                     area.y() + area.height() * (i / 8 * 2 + 1) / 16);
        changed += now != before[std::size_t(i)] ? 1 : 0;
    }
    return changed;
}

TEST(Package, InstallTreeValidatesAndHasEveryIcon)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = dir.filePath(QStringLiteral("root"));
    const RunResult install = runProgram(QStringLiteral(CMAKE_COMMAND),
                                         {QStringLiteral("--install"), QStringLiteral(BUILD_DIR),
                                          QStringLiteral("--prefix"), QStringLiteral("/usr")},
                                         {QStringLiteral("DESTDIR=") + root});
    ASSERT_EQ(install.exitCode, 0) << said(install);
    const QString share = root + QStringLiteral("/usr/share/");

    const RunResult entry =
        runProgram(QStringLiteral("desktop-file-validate"),
                   {share + QStringLiteral("applications/") + kId + QStringLiteral(".desktop")});
    EXPECT_EQ(entry.exitCode, 0) << said(entry);
    EXPECT_EQ(said(entry), "") << "hints and warnings count too";
    // Any warning makes its exit code non-zero.
    const RunResult metainfo =
        runProgram(QStringLiteral("appstreamcli"),
                   {QStringLiteral("validate"), QStringLiteral("--no-net"),
                    share + QStringLiteral("metainfo/") + kId + QStringLiteral(".metainfo.xml")});
    EXPECT_EQ(metainfo.exitCode, 0) << said(metainfo);

    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QImage icon(share + QStringLiteral("icons/hicolor/%1x%1/apps/").arg(size) + kId +
                          QStringLiteral(".png"));
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
    }
    EXPECT_TRUE(QFile::exists(share + QStringLiteral("icons/hicolor/scalable/apps/") + kId +
                              QStringLiteral(".svg")));

    // An installed program must not depend on where it was built.
    for (const char *program : {"velumbra", "velumbra-restore"}) {
        QFile binary(root + QStringLiteral("/usr/bin/") + QLatin1String(program));
        ASSERT_TRUE(binary.open(QIODevice::ReadOnly)) << program;
        const QByteArray bytes = binary.readAll();
        EXPECT_FALSE(bytes.contains(SOURCE_DIR)) << program << " names the source tree";
        EXPECT_FALSE(bytes.contains(BUILD_DIR)) << program << " names the build tree";
    }
}

TEST(Package, DebianPackageIsCleanAndRunsFromWhereItUnpacks)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const RunResult cpack =
        runProgram(QStringLiteral(CPACK_COMMAND),
                   {QStringLiteral("--config"), QStringLiteral(BUILD_DIR "/CPackConfig.cmake"),
                    QStringLiteral("-B"), dir.path()});
    ASSERT_EQ(cpack.exitCode, 0) << said(cpack);
    const QStringList debs = QDir(dir.path()).entryList({QStringLiteral("*.deb")});
    ASSERT_EQ(debs.size(), 1);
    const QString deb = dir.filePath(debs.constFirst());

    // No error and no warning; what lintian only notes (French words it
    // takes for English typos) may stay.
    const RunResult lintian =
        runProgram(QStringLiteral("lintian"),
                   {QStringLiteral("--tag-display-limit"), QStringLiteral("0"), deb});
    EXPECT_EQ(lintian.exitCode, 0) << said(lintian);
    for (const QString &line : QString::fromUtf8(lintian.stdOut).split(QLatin1Char('\n')))
        EXPECT_FALSE(line.startsWith(QStringLiteral("E: ")) ||
                     line.startsWith(QStringLiteral("W: ")))
            << line.toStdString();
    // Without dpkg-shlibdeps CPack still builds a package, with no library in Depends.
    const RunResult depends = runProgram(
        QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), deb, QStringLiteral("Depends")});
    for (const char *package : {"libqt6widgets6", "qt6-translations-l10n", "qt6-wayland"})
        EXPECT_TRUE(depends.stdOut.contains(package)) << package << ": " << said(depends);

    const QString root = dir.filePath(QStringLiteral("unpacked"));
    const RunResult unpack =
        runProgram(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb, root});
    ASSERT_EQ(unpack.exitCode, 0) << said(unpack);
    const QString bin = root + QStringLiteral("/usr/bin/");

    Xvfb x;
    ASSERT_TRUE(x.running());
    Display *display = XOpenDisplay(x.display().toLocal8Bit().constData());
    ASSERT_NE(display, nullptr);
    QStringList env = userEnvironment(dir.filePath(QStringLiteral("user")), x.display());
    env << QStringLiteral("-XDG_CURRENT_DESKTOP") << QStringLiteral("-WAYLAND_DISPLAY")
        << QStringLiteral("-SWAYSOCK") << QStringLiteral("-QT_QPA_PLATFORM")
        << QStringLiteral("DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent");
    // The window opens at the top left of a server without a window manager.
    const QRect area(0, 0, 500, 500);
    std::vector<QColor> before;
    for (int i = 0; i < 64; ++i)
        before.push_back(rootPixel(display, area.width() * (i % 8 * 2 + 1) / 16,
                                   area.height() * (i / 8 * 2 + 1) / 16));
    QProcess velumbra;
    velumbra.setProcessEnvironment(environment(env));
    velumbra.start(bin + QStringLiteral("velumbra"), {});
    std::optional<FoundWindow> window;
    EXPECT_TRUE(eventually([&] {
        window = velumbraWindow(display);
        return window && changedPoints(display, window->geometry & area, before) > 32;
    })) << "the window did not paint: "
        << velumbra.readAllStandardError().toStdString();
    if (window) {
        // Docks match the window to its entry by this class.
        EXPECT_EQ(window->wmClass,
                  desktopEntryValue(root + QStringLiteral("/usr/share/applications/") + kId +
                                        QStringLiteral(".desktop"),
                                    QStringLiteral("StartupWMClass")));
    }
    velumbra.terminate();
    velumbra.waitForFinished();
    XCloseDisplay(display);

    // What the program finds beside itself: velumbra-restore, which the
    // autostart entry it writes must run, and the help page.
    ASSERT_TRUE(writeQuadrantPicture(dir.filePath(QStringLiteral("a.png")), kPictureA, {64, 48}));
    const RunResult forGood =
        runProgram(bin + QStringLiteral("velumbra"),
                   {QStringLiteral("--par-defaut"), dir.filePath(QStringLiteral("a.png"))}, env);
    ASSERT_EQ(forGood.exitCode, 0) << said(forGood);
    const QString autostart =
        dir.filePath(QStringLiteral("user/home/.config/autostart/velumbra-restore.desktop"));
    EXPECT_EQ(desktopEntryValue(autostart, QStringLiteral("Exec")),
              bin + QStringLiteral("velumbra-restore"));
    EXPECT_TRUE(QFileInfo(bin + QStringLiteral("velumbra-restore")).isExecutable());
    const std::string help =
        velumbra::helpPageAddress(velumbra::configuredHelpAddress(), bin.toStdString(),
                                  velumbra::installedHelpPageRelative());
    EXPECT_TRUE(QFile::exists(QString::fromStdString(help))) << help;
}

} // namespace
