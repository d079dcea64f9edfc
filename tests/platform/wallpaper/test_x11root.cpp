// The root window backend against a real Xvfb. The setter always runs in a
// process of its own and has exited before anything is checked, as when the
// program quits right after setting the wallpaper.

#include "platform/wallpaper/x11root.h"
#include "tests/desktop/contract.h"
#include "tests/platform/wallpaper/support.h"

#include <QDir>
#include <QFile>

// Before Xlib, whose macros (None, Bool) break GoogleTest's templates.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>
#include <string_view>

using namespace wallpapertest;

QStringList wallpapertest::requiredPrograms()
{
    return {QStringLiteral("Xvfb"), QStringLiteral("xset"), QStringLiteral("xrandr")};
}

namespace {

int g_errors = 0;
int countErrors(Display *, XErrorEvent *)
{
    ++g_errors;
    return 0;
}

struct Closer
{
    void operator()(Display *d) const { XCloseDisplay(d); }
};
using DisplayPtr = std::unique_ptr<Display, Closer>;

class X11Root : public testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        m_server = std::make_unique<Xvfb>(GetParam());
        ASSERT_TRUE(m_server->running()) << "Xvfb did not start";
        ASSERT_TRUE(m_dir.isValid());
        m_a = m_dir.filePath(QStringLiteral("a.jpg"));
        m_b = m_dir.filePath(QStringLiteral("b.png"));
        ASSERT_TRUE(writeQuadrantPicture(m_a, kPictureA));
        ASSERT_TRUE(writeQuadrantPicture(m_b, kPictureB, {640, 480}));
        m_dpy.reset(XOpenDisplay(qPrintable(m_server->display())));
        ASSERT_NE(m_dpy, nullptr);
    }
    void TearDown() override
    {
        m_dpy.reset();
        m_server.reset();
    }

    RunResult set(const QString &file) const
    {
        return runCli(cliArgs("x11", "set", file),
                      {QStringLiteral("DISPLAY=") + m_server->display()});
    }

    // The colours at the centres of the quadrants of the area x0..x0+w.
    void expectPicture(const Quadrants &colours, int x0 = 0, int w = 800, int h = 600) const
    {
        const int xs[] = {x0 + w / 4, x0 + 3 * w / 4};
        const int ys[] = {h / 4, 3 * h / 4};
        for (std::size_t q = 0; q < 4; ++q) {
            const QColor c = rootPixel(m_dpy.get(), xs[q % 2], ys[q / 2]);
            EXPECT_TRUE(closeTo(c, colours[q]))
                << "quadrant " << q << " of area at x=" << x0 << ": got " << qPrintable(c.name())
                << ", expected " << qPrintable(colours[q].name());
        }
    }

    Pixmap property(const char *name) const
    {
        Display *d = m_dpy.get();
        Atom type = None;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char *data = nullptr;
        Pixmap result = None;
        if (XGetWindowProperty(d, DefaultRootWindow(d), XInternAtom(d, name, False), 0, 1, False,
                               XA_PIXMAP, &type, &format, &n, &after, &data) == Success &&
            n == 1)
            result = Pixmap(*reinterpret_cast<unsigned long *>(data));
        if (data)
            XFree(data);
        return result;
    }

    bool pixmapExists(Display *d, Pixmap p) const
    {
        const auto previous = XSetErrorHandler(countErrors);
        g_errors = 0;
        Window root = 0;
        int x = 0, y = 0;
        unsigned w = 0, h = 0, border = 0, depth = 0;
        XGetGeometry(d, p, &root, &x, &y, &w, &h, &border, &depth);
        XSync(d, False);
        XSetErrorHandler(previous);
        return g_errors == 0;
    }

    std::unique_ptr<Xvfb> m_server;
    QTemporaryDir m_dir;
    QString m_a, m_b;
    DisplayPtr m_dpy;
};

// The second set replaces the first, whose pixmap must not leak.
TEST_P(X11Root, PictureStaysOnTheRootAfterTheSetterHasExited)
{
    const auto r = set(m_a);
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    expectPicture(kPictureA);
    const Pixmap first = property("_XROOTPMAP_ID");
    EXPECT_NE(first, Pixmap(None));
    EXPECT_EQ(property("ESETROOT_PMAP_ID"), first);
    EXPECT_TRUE(pixmapExists(m_dpy.get(), first));

    ASSERT_EQ(set(m_b).exitCode, 0);
    expectPicture(kPictureB);
    EXPECT_NE(property("_XROOTPMAP_ID"), first);
    EXPECT_FALSE(pixmapExists(m_dpy.get(), first)) << "the first set's pixmap leaked";
}

TEST_P(X11Root, PixmapOfALiveDesktopProgramIsLeftAlone)
{
    // Like a desktop program that draws the root itself and publishes only
    // _XROOTPMAP_ID: killing the pixmap's client would end that program.
    DisplayPtr desktop(XOpenDisplay(qPrintable(m_server->display())));
    ASSERT_NE(desktop, nullptr);
    Display *d = desktop.get();
    const Pixmap own = XCreatePixmap(d, DefaultRootWindow(d), 16, 16, unsigned(DefaultDepth(d, 0)));
    const unsigned long value = own;
    XChangeProperty(d, DefaultRootWindow(d), XInternAtom(d, "_XROOTPMAP_ID", False), XA_PIXMAP, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char *>(&value), 1);
    XSync(d, False);

    const auto r = set(m_a);
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    EXPECT_TRUE(pixmapExists(d, own)) << "the live program's pixmap was freed";
    EXPECT_NE(property("_XROOTPMAP_ID"), own);
    expectPicture(kPictureA);
}

TEST_P(X11Root, StretchesOntoEachMonitor)
{
    const QString display = QStringLiteral("DISPLAY=") + m_server->display();
    // Xvfb's one output ("screen") goes to the left monitor, which replaces
    // the monitor RandR made for it; the right one has no output of its own.
    for (const char *monitor : {"left 400/1x600/1+0+0 screen", "right 400/1x600/1+400+0 none"}) {
        QStringList args = QString::fromLatin1(monitor).split(u' ');
        args.prepend(QStringLiteral("--setmonitor"));
        const auto r = runProgram(QStringLiteral("xrandr"), args, {display});
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    }
    ASSERT_EQ(set(m_a).exitCode, 0);
    expectPicture(kPictureA, 0, 400);
    expectPicture(kPictureA, 400, 400);
}

TEST_P(X11Root, ScreenSaverIsOffForTheServer)
{
    const QString display = QStringLiteral("DISPLAY=") + m_server->display();
    ASSERT_EQ(
        runProgram(QStringLiteral("xset"), {QStringLiteral("s"), QStringLiteral("600")}, {display})
            .exitCode,
        0);
    const auto r = runCli(cliArgs("x11", "screensaver"), {display});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr); // Xvfb has no DPMS: not a failure
    const QString out = QString::fromLocal8Bit(
        runProgram(QStringLiteral("xset"), {QStringLiteral("q")}, {display}).stdOut);
    EXPECT_TRUE(out.contains(QStringLiteral("timeout:  0 "))) << qPrintable(out);
}

struct BadFile
{
    const char *name;
    QByteArray content; // null: do not create
    bool folder;
    const char *reasonPart;
};

TEST_P(X11Root, RefusedFilesLeaveTheWallpaperAsItWas)
{
    ASSERT_EQ(set(m_a).exitCode, 0);
    const Pixmap before = property("_XROOTPMAP_ID");
    const BadFile cases[] = {
        {"missing.jpg", QByteArray(), false, "n'existe pas"},
        {"folder.jpg", QByteArray(), true, "est un dossier"},
        {"text.jpg", QByteArray("not a picture"), false, "ne peut pas être lue"},
        {"empty.bmp", QByteArray(""), false, "ne peut pas être lue"},
        {"", QByteArray(), false, "Aucun fichier"},
    };
    for (const BadFile &c : cases) {
        const QString path = *c.name ? m_dir.filePath(QString::fromUtf8(c.name)) : QString();
        if (c.folder) {
            ASSERT_TRUE(QDir(m_dir.path()).mkdir(QString::fromUtf8(c.name)));
        }
        if (!c.content.isNull()) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.content);
        }
        const auto r = set(path);
        EXPECT_EQ(r.exitCode, 1) << c.name;
        EXPECT_TRUE(r.stdErr.contains(QString::fromUtf8(c.reasonPart))) << qPrintable(r.stdErr);
        EXPECT_EQ(property("_XROOTPMAP_ID"), before) << c.name;
    }
    expectPicture(kPictureA);
}

struct Cover
{
    const char *fault;
    const char *wmClass;
    bool inFrame;        // reparented into a window manager's frame
    const char *backend; // chosen when the environment names no desktop
};

const Cover kCovers[] = {
    {"a picture set under an unknown desktop program's window is reported done", "Inconnu", false,
     "x11"},
    {"a desktop window inside a window manager's frame goes unseen", "Inconnu", true, "x11"},
    {"pcmanfm-qt's desktop does not lead to LXQt's backend", "pcmanfm-qt", false, "lxqt"},
    {"pcmanfm's desktop does not lead to LXDE's backend", "Pcmanfm", true, "lxde"},
    {"xfdesktop's desktop does not lead to XFCE's backend", "Xfdesktop", true, "xfce"},
};

TEST_P(X11Root, DesktopWindowOverTheRoot)
{
    ASSERT_EQ(set(m_a).exitCode, 0);
    const Pixmap before = property("_XROOTPMAP_ID");
    Display *d = m_dpy.get();
    const Window root = DefaultRootWindow(d);
    const QStringList env{QStringLiteral("DISPLAY=") + m_server->display(),
                          QStringLiteral("-XDG_CURRENT_DESKTOP"),
                          QStringLiteral("-WAYLAND_DISPLAY"), QStringLiteral("-SWAYSOCK"),
                          QStringLiteral("DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent")};
    for (const Cover &c : kCovers) {
        SCOPED_TRACE(c.fault);
        const Window frame =
            c.inFrame ? XCreateSimpleWindow(d, root, 0, 0, 800, 600, 0, 0, 0) : root;
        const Window desktop = XCreateSimpleWindow(d, frame, 0, 0, 800, 600, 0, 0, 0);
        const unsigned long type = XInternAtom(d, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
        XChangeProperty(d, desktop, XInternAtom(d, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char *>(&type), 1);
        XClassHint hint{const_cast<char *>("desktop"), const_cast<char *>(c.wmClass)};
        XSetClassHint(d, desktop, &hint);
        XMapWindow(d, desktop);
        XMapWindow(d, frame);
        XSync(d, False);
        const auto chosen = runCli({QStringLiteral("screensaver")}, env);
        EXPECT_EQ(chosen.stdOut.split('\n').value(0), QByteArray(c.backend));
        if (std::string_view(c.backend) == "x11") {
            const auto r = runCli({QStringLiteral("set"), m_b}, env);
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(r.stdErr.contains(QStringLiteral("Inconnu"))) << qPrintable(r.stdErr);
            EXPECT_EQ(property("_XROOTPMAP_ID"), before);
        }
        XDestroyWindow(d, c.inFrame ? frame : desktop);
        XSync(d, False);
    }
    expectPicture(kPictureA);
}

// Depth 16 packs pixels from the visual's masks instead of copying rows.
INSTANTIATE_TEST_SUITE_P(Depth, X11Root, testing::Values(24, 16));

// A new Xvfb per session: the root window forgets everything at logoff.
TEST(X11RootContract, IsKept)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    desktoptest::XDesktop x11({},
                              {QStringLiteral("-XDG_CURRENT_DESKTOP"),
                               QStringLiteral("-WAYLAND_DISPLAY"), QStringLiteral("-SWAYSOCK")});
    desktoptest::runContract(x11, root.path());
}

TEST(X11RootServerGone, FailsWithAReasonInsteadOfHanging)
{
    const QStringList gone{QStringLiteral("DISPLAY=:59999")};
    EXPECT_EQ(runCli(cliArgs("x11", "set", QStringLiteral("/dev/null")), gone).exitCode, 1);
    const auto s = runCli(cliArgs("x11", "screensaver"), gone);
    EXPECT_EQ(s.exitCode, 1);
    EXPECT_TRUE(s.stdErr.contains(QStringLiteral("ne répond pas"))) << qPrintable(s.stdErr);
}

TEST(ComposeRootImage, ClipsMonitorsThatLeaveTheRoot)
{
    QImage picture(2, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    picture.setPixel(1, 0, qRgb(0, 0, 255));
    // A monitor half outside the root: its left half is what shows.
    const QImage root = velumbra::composeRootImage(picture.scaled(200, 100), QSize(100, 100),
                                                   {QRect(0, 0, 200, 100)});
    ASSERT_EQ(root.size(), QSize(100, 100));
    EXPECT_EQ(QColor(root.pixel(10, 50)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(root.pixel(90, 50)), QColor(255, 0, 0));
    // Monitors wholly outside the root count as none: the whole root is used.
    const QImage fallback = velumbra::composeRootImage(picture.scaled(200, 100), QSize(100, 100),
                                                       {QRect(500, 500, 10, 10)});
    EXPECT_EQ(QColor(fallback.pixel(90, 50)), QColor(0, 0, 255));
}

} // namespace
