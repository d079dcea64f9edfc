// SPDX-License-Identifier: GPL-3.0-or-later
// The X root window on a real Xvfb, beyond its contract (desktop_test.cpp):
// the pixmaps it leaves to the server and finds there, a desktop window over
// it, and the setter's failures.

#include "tests/desktop/session.h"

// Before Xlib, whose macros (None, Bool) break GoogleTest's templates.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace desktoptest;

namespace {

int g_errors = 0;

bool exists(Display *display, Pixmap p)
{
    const auto previous = XSetErrorHandler([](Display *, XErrorEvent *) { return ++g_errors; });
    g_errors = 0;
    Window root = 0;
    int x = 0, y = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    XGetGeometry(display, p, &root, &x, &y, &w, &h, &border, &depth);
    XSync(display, False);
    XSetErrorHandler(previous);
    return g_errors == 0;
}

// One Xvfb, a user, pictures A (1920 x 1080 JPEG) and B, and a client of its own.
struct Root
{
    explicit Root(int depth = 24) : xvfb(depth)
    {
        env = userEnvironment(dir.path(), xvfb.display());
        ready = xvfb.running() && writeQuadrants(a, kPictureA, {1920, 1080}) &&
                writeQuadrants(b, kPictureB) && (d = XOpenDisplay(qPrintable(xvfb.display())));
    }
    ~Root()
    {
        if (d)
            XCloseDisplay(d);
    }
    RunResult set(const QString &file) const
    {
        return runProgram(cliPath(), {u"set"_s, file}, env);
    }
    unsigned long property(const char *name) const
    {
        Atom type = 0;
        int format = 0;
        unsigned long n = 0, after = 0, result = 0;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(d, DefaultRootWindow(d), XInternAtom(d, name, False), 0, 1, False,
                               XA_PIXMAP, &type, &format, &n, &after, &data) == Success &&
            n == 1)
            result = *reinterpret_cast<unsigned long *>(data);
        XFree(data);
        return result;
    }

    QTemporaryDir dir;
    Xvfb xvfb;
    QStringList env;
    const QString a = dir.filePath(u"a.jpg"_s), b = dir.filePath(u"b.png"_s);
    Display *d = nullptr;
    bool ready = false;
};

// Depth 16 packs pixels from the visual's masks instead of copying rows. A
// second picture replaces the first, whose pixmap must not leak.
TEST(X11Root, PictureStaysAfterTheSetterHasExitedAndTheOldOneIsFreed)
{
    for (const int depth : {24, 16}) {
        Root root(depth);
        ASSERT_TRUE(root.ready);
        ASSERT_EQ(root.set(root.a).exitCode, 0);
        EXPECT_TRUE(rootShows(root.xvfb.display(), kPictureA)) << depth;
        const unsigned long first = root.property("_XROOTPMAP_ID");
        EXPECT_EQ(root.property("ESETROOT_PMAP_ID"), first);
        EXPECT_TRUE(exists(root.d, first));
        ASSERT_EQ(root.set(root.b).exitCode, 0);
        EXPECT_TRUE(rootShows(root.xvfb.display(), kPictureB)) << depth;
        EXPECT_FALSE(exists(root.d, first)) << "the first picture's pixmap leaked";
    }
}

// A desktop program that draws the root itself publishes only _XROOTPMAP_ID:
// killing the pixmap's client would end that program.
TEST(X11Root, PixmapOfALiveDesktopProgramIsLeftAlone)
{
    Root root;
    ASSERT_TRUE(root.ready);
    Display *desktop = XOpenDisplay(qPrintable(root.xvfb.display()));
    const unsigned long own = XCreatePixmap(desktop, DefaultRootWindow(desktop), 16, 16,
                                            unsigned(DefaultDepth(desktop, 0)));
    XChangeProperty(desktop, DefaultRootWindow(desktop),
                    XInternAtom(desktop, "_XROOTPMAP_ID", False), XA_PIXMAP, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(&own), 1);
    XSync(desktop, False);
    ASSERT_EQ(root.set(root.a).exitCode, 0);
    EXPECT_TRUE(exists(desktop, own)) << "the live program's pixmap was freed";
    EXPECT_TRUE(rootShows(root.xvfb.display(), kPictureA));
    XCloseDisplay(desktop);
}

// A desktop window of an unknown program hides the root, even inside a window
// manager's frame: a picture set there would not show, so it is refused.
TEST(X11Root, ADesktopWindowOverTheRootIsNamedAsTheReason)
{
    Root root;
    ASSERT_TRUE(root.ready);
    ASSERT_EQ(root.set(root.a).exitCode, 0);
    const unsigned long before = root.property("_XROOTPMAP_ID");
    Display *d = root.d;
    const Window frame = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 800, 600, 0, 0, 0);
    const Window desktop = XCreateSimpleWindow(d, frame, 0, 0, 800, 600, 0, 0, 0);
    const unsigned long type = XInternAtom(d, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
    XChangeProperty(d, desktop, XInternAtom(d, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char *>(&type), 1);
    XClassHint hint{const_cast<char *>("desktop"), const_cast<char *>("Inconnu")};
    XSetClassHint(d, desktop, &hint);
    XMapWindow(d, desktop);
    XMapWindow(d, frame);
    XSync(d, False);
    const RunResult r = root.set(root.b);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.stdErr.contains(u"Inconnu"_s)) << r.stdErr;
    EXPECT_EQ(root.property("_XROOTPMAP_ID"), before);
}

// Each failure of a service the setter relies on gives its reason, instead of
// a hang or a success.
TEST(Setter, FailuresSayWhy)
{
    QTemporaryDir root;
    XDesktop x11(xSession(u"x11"_s));
    x11.login(root.path(), false);
    const QString a = root.filePath(u"a.png"_s);
    ASSERT_TRUE(writeQuadrants(a, kPictureA));
    const QStringList xfce{u"XDG_CURRENT_DESKTOP=XFCE"_s};
    const struct
    {
        const char *command, *reason;
        QStringList env;
    } rows[] = {
        {"set", "xfconf ne répond pas", xfce}, // a bus without xfconfd
        {"set", "bus de session", xfce + QStringList{u"DBUS_SESSION_BUS_ADDRESS=unix:path=/no"_s}},
        // The X root's and, without org.freedesktop.ScreenSaver, XFCE's: the X
        // server's saver goes off (checked after the first); without X nothing.
        {"screensaver", nullptr, {}},
        {"screensaver", nullptr, xfce},
        {"screensaver", "org.freedesktop.ScreenSaver", xfce + QStringList{u"-DISPLAY"_s}},
        {"set", "ne répond pas", {u"DISPLAY=:59999"_s}}, // an X server that is gone
        {"screensaver", "ne répond pas", {u"DISPLAY=:59999"_s}},
        {"set", "sway ne répond pas", {u"XDG_CURRENT_DESKTOP=sway"_s, u"SWAYSOCK=/gone"_s}},
    };
    for (const auto &row : rows) {
        const RunResult r =
            runProgram(cliPath(), {QString::fromLatin1(row.command), a}, x11.env + row.env);
        EXPECT_EQ(r.exitCode, row.reason ? 1 : 0) << r.stdErr;
        EXPECT_TRUE(r.stdErr.contains(QString::fromUtf8(row.reason ? row.reason : ""))) << r.stdErr;
        if (row.env.isEmpty()) {
            EXPECT_TRUE(x11.run(u"xset"_s, {u"q"_s}).stdOut.contains("timeout:  0 "))
                << "the X server's screen saver is still on";
        }
    }
}

} // namespace
