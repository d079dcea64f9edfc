// The rotation end to end on a real X server: the real window, clock, random
// draws and X11 root-window backend, with the root window's pixels read back.
// The settings, the question and the tray icon stay fakes: a test must not
// touch the user's file, nobody answers a real box, and Xvfb has no
// notification area to host an icon.

#include "app/core/savedstate.h"
#include "app/frmvlb.h"
#include "platform/clock.h"
#include "platform/qtscreen.h"
#include "platform/wallpaper/wallpaper.h"
#include "tests/common/fakecontext.h"
#include "tests/desktop/session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <set>

namespace {

// The colour at the middle of the root window, as any other client sees it.
unsigned long rootCentre(Display *dpy)
{
    const Window root = DefaultRootWindow(dpy);
    XWindowAttributes attrs;
    XGetWindowAttributes(dpy, root, &attrs);
    XImage *img = XGetImage(dpy, root, attrs.width / 2, attrs.height / 2, 1, 1, AllPlanes, ZPixmap);
    if (!img)
        return 0;
    const unsigned long pixel = XGetPixel(img, 0, 0) & 0xffffff;
    XDestroyImage(img);
    return pixel;
}

int run(int argc, char **argv)
{
    QTemporaryDir dir;
    const std::pair<const char *, QRgb> pictures[] = {
        {"rouge.bmp", 0xff0000}, {"vert.bmp", 0x00ff00}, {"bleu.bmp", 0x0000ff}};
    for (const auto &[name, colour] : pictures) {
        QImage img(64, 48, QImage::Format_RGB32);
        img.fill(colour);
        if (!img.save(dir.filePath(QString::fromLatin1(name)), "BMP"))
            return 1;
    }

    QApplication app(argc, argv);
    Display *dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return 1;

    velumbra::FakeContext fake;
    fake.settings.values = {{"Init/AUTEUR", std::string(velumbra::kSettingsMarker)},
                            {"Init/Drive", "/"},
                            {"Init/Folder", dir.path().toStdString()},
                            {"Init/Pattern", "*.bmp"},
                            {"Init/Option", "2"},
                            {"Init/Time", "1"},
                            {"Init/Unites", "0"}};
    velumbra::SystemClock clock;
    velumbra::SystemRandom random;
    velumbra::QtScreen screen;
    fake.prompter.answers = {velumbra::Answer::No};
    const auto wallpaper = velumbra::createWallpaperSetter();
    velumbra::FrmVLB window(velumbra::AppContext{fake.settings, clock, random, screen,
                                                 fake.prompter, *wallpaper, fake.tray, fake.about});
    window.load();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;

    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("Command1")), Qt::LeftButton);

    // Watch the root window for a few seconds, as the rotation changes it
    // every second.
    std::set<unsigned long> seen;
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < 6000 && seen.size() < 2) {
        QTest::qWait(100);
        const unsigned long c = rootCentre(dpy);
        if (c == 0xff0000 || c == 0x00ff00 || c == 0x0000ff)
            seen.insert(c);
    }
    int failures = 0;
    auto check = [&failures](bool ok, const char *what) {
        std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what);
        failures += ok ? 0 : 1;
    };
    check(seen.size() >= 2, "the root window showed at least two of the pictures");
    check(!window.isVisible(), "the window is hidden while it rotates");
    check(window.windowTitle().startsWith(QString::fromUtf8(velumbra::kCaptionPrefix) + dir.path() +
                                          QLatin1Char('/')),
          "the caption names a file of the folder");
    check(fake.tray.tip == window.windowTitle(), "the tray tip follows the caption");
    XCloseDisplay(dpy);
    window.findChild<QAction *>(QStringLiteral("mnu_quitter"))->trigger();
    std::printf("%d passed, %d failed\n", 4 - failures, failures);
    return failures ? 1 : 0;
}

} // namespace

int main(int argc, char **argv)
{
    const desktoptest::Xvfb server(24, QSize(640, 480));
    if (!server.running()) {
        std::printf("SKIPPED: Xvfb is not installed or did not start (scripts/test installs it)\n");
        return desktoptest::kSkipCode;
    }
    qputenv("DISPLAY", server.display().toLocal8Bit());
    qunsetenv("WAYLAND_DISPLAY");
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("SWAYSOCK");
    qputenv("QT_QPA_PLATFORM", "xcb");
    return run(argc, argv);
}
