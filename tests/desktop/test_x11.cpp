// SPDX-License-Identifier: GPL-3.0-or-later
// The X root window, on a real Xvfb (its contract runs with a new server per
// session: the root forgets everything at logoff): what only the root window
// has (pixmaps of other clients, monitors, the server's screen saver, desktop
// windows drawn over it), and the setter's failures.

#include "platform/wallpaper/x11root.h"
#include "tests/desktop/session.h"

// Before Xlib, whose macros (None, Bool) break GoogleTest's templates.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace desktoptest;

namespace {

int g_errors = 0;

// One Xvfb, a user, pictures A (1920 x 1080 JPEG) and B, and a client of its own.
struct Root
{
    explicit Root(int depth = 24) : xvfb(depth)
    {
        env = userEnvironment(dir.path(), xvfb.display());
        a = dir.filePath(u"a.jpg"_s);
        b = dir.filePath(u"b.png"_s);
        ready = xvfb.running() && writeQuadrants(a, kPictureA, {1920, 1080}) &&
                writeQuadrants(b, kPictureB) && (d = XOpenDisplay(qPrintable(xvfb.display())));
    }
    ~Root()
    {
        if (d)
            XCloseDisplay(d);
    }
    RunResult cli(const QStringList &args) const { return runProgram(cliPath(), args, env); }
    RunResult set(const QString &file) const { return cli({u"set"_s, file}); }
    RunResult run(const char *program, const QString &args) const
    {
        return runProgram(QString::fromLatin1(program), args.split(u' '), env);
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
    static bool exists(Display *display, Pixmap p)
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
    bool shows(const Quadrants &colours, int x0 = 0, int w = 800) const
    {
        return rootShows(xvfb.display(), colours, 150, x0, w);
    }

    QTemporaryDir dir;
    Xvfb xvfb;
    QStringList env;
    QString a, b;
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
        EXPECT_TRUE(root.shows(kPictureA)) << depth;
        const unsigned long first = root.property("_XROOTPMAP_ID");
        EXPECT_EQ(root.property("ESETROOT_PMAP_ID"), first);
        EXPECT_TRUE(Root::exists(root.d, first));
        ASSERT_EQ(root.set(root.b).exitCode, 0);
        EXPECT_TRUE(root.shows(kPictureB)) << depth;
        EXPECT_FALSE(Root::exists(root.d, first)) << "the first picture's pixmap leaked";
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
    EXPECT_TRUE(Root::exists(desktop, own)) << "the live program's pixmap was freed";
    EXPECT_TRUE(root.shows(kPictureA));
    XCloseDisplay(desktop);
}

// Xvfb's one output goes to the left monitor, the right one has none of its own.
TEST(X11Root, StretchesOntoEachMonitorAndSwitchesTheServersSaverOff)
{
    Root root;
    ASSERT_TRUE(root.ready);
    for (const char *monitor : {"left 400/1x600/1+0+0 screen", "right 400/1x600/1+400+0 none"})
        ASSERT_EQ(root.run("xrandr", u"--setmonitor "_s + monitor).exitCode, 0);
    ASSERT_EQ(root.set(root.a).exitCode, 0);
    EXPECT_TRUE(root.shows(kPictureA, 0, 400));
    EXPECT_TRUE(root.shows(kPictureA, 400, 400));

    ASSERT_EQ(root.run("xset", u"s 600"_s).exitCode, 0);
    ASSERT_EQ(root.cli({u"screensaver"_s}).exitCode,
              0); // Xvfb has no DPMS: no failure
    EXPECT_TRUE(root.run("xset", u"q"_s).stdOut.contains("timeout:  0 "));
}

// A desktop window over the root hides it: the backend of the program that
// draws it is chosen when the environment names no desktop, and the root
// backend refuses under an unknown one, even inside a window manager's frame.
TEST(X11Root, DesktopWindowOverTheRoot)
{
    Root root;
    ASSERT_TRUE(root.ready);
    ASSERT_EQ(root.set(root.a).exitCode, 0);
    const unsigned long before = root.property("_XROOTPMAP_ID");
    Display *d = root.d;
    const struct
    {
        const char *wmClass;
        bool inFrame;
        const char *backend;
    } covers[] = {{"Inconnu", false, "x11"},
                  {"Inconnu", true, "x11"},
                  {"pcmanfm-qt", false, "lxqt"},
                  {"Pcmanfm", true, "lxde"},
                  {"Xfdesktop", true, "xfce"}};
    for (const auto &c : covers) {
        SCOPED_TRACE(c.wmClass);
        const Window frame =
            c.inFrame ? XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 800, 600, 0, 0, 0)
                      : DefaultRootWindow(d);
        const Window desktop = XCreateSimpleWindow(d, frame, 0, 0, 800, 600, 0, 0, 0);
        const unsigned long type = XInternAtom(d, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
        XChangeProperty(d, desktop, XInternAtom(d, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char *>(&type), 1);
        XClassHint hint{const_cast<char *>("desktop"), const_cast<char *>(c.wmClass)};
        XSetClassHint(d, desktop, &hint);
        XMapWindow(d, desktop);
        XMapWindow(d, frame);
        XSync(d, False);
        EXPECT_EQ(root.cli({u"screensaver"_s}).stdOut.split('\n').value(0), QByteArray(c.backend));
        if (c.backend == std::string_view("x11")) {
            const RunResult r = root.set(root.b);
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(r.stdErr.contains(u"Inconnu"_s)) << r.stdErr;
            EXPECT_EQ(root.property("_XROOTPMAP_ID"), before);
        }
        XDestroyWindow(d, c.inFrame ? frame : desktop);
        XSync(d, False);
    }
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
        // Without org.freedesktop.ScreenSaver the X server's saver goes off, without X nothing.
        {"screensaver", nullptr, xfce},
        {"screensaver", "org.freedesktop.ScreenSaver", xfce + QStringList{u"-DISPLAY"_s}},
        {"set", "ne répond pas", {u"DISPLAY=:59999"_s}}, // an X server that is gone
        {"screensaver", "ne répond pas", {u"DISPLAY=:59999"_s}},
    };
    for (const auto &row : rows) {
        const RunResult r =
            runProgram(cliPath(), {QString::fromLatin1(row.command), a}, x11.env + row.env);
        EXPECT_EQ(r.exitCode, row.reason ? 1 : 0) << r.stdErr;
        if (row.reason) {
            EXPECT_TRUE(r.stdErr.contains(QString::fromUtf8(row.reason))) << r.stdErr;
        }
    }
}

} // namespace
