// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/desktop/session.h"
#include "platform/wallpaper/x11root.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <glib.h>

#include <csignal>
#include <map>
#include <string_view>
#include <sys/prctl.h>

namespace desktoptest {

QProcessEnvironment environment(const QStringList &env)
{
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString &kv : env) {
        if (kv.startsWith(u'-'))
            e.remove(kv.mid(1));
        else
            e.insert(kv.section(u'=', 0, 0), kv.section(u'=', 1));
    }
    return e;
}

RunResult runProgram(const QString &program, const QStringList &args, const QStringList &env)
{
    QProcess p;
    p.setProcessEnvironment(environment(env));
    p.start(program, args);
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return {-1, u"did not finish: "_s + program, {}};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardError()), p.readAllStandardOutput()};
}

QStringList userEnvironment(const QString &root, const QString &display)
{
    const QString home = root + u"/home"_s;
    QDir().mkpath(home + u"/.config"_s);
    QDir().mkpath(root + u"/runtime"_s);
    return {u"HOME="_s + home,
            u"XDG_CONFIG_HOME="_s + home + u"/.config"_s,
            u"XDG_STATE_HOME="_s + home + u"/.local/state"_s,
            u"XDG_CACHE_HOME="_s + home + u"/.cache"_s,
            u"XDG_DATA_HOME="_s + home + u"/.local/share"_s,
            u"XDG_RUNTIME_DIR="_s + root + u"/runtime"_s,
            display.isEmpty() ? u"-DISPLAY"_s : u"DISPLAY="_s + display,
            u"-WAYLAND_DISPLAY"_s,
            u"-SWAYSOCK"_s,
            u"-XDG_CURRENT_DESKTOP"_s,
            u"-DBUS_SESSION_BUS_ADDRESS"_s};
}

bool owed(const QString &root)
{
    const bool record = QFile::exists(root + u"/home/.local/state/velumbra/lasting"_s);
    const bool entry = QFile::exists(root + u"/home/.config/autostart/velumbra-restore.desktop"_s);
    EXPECT_EQ(record, entry) << "the record and the autostart entry disagree";
    return record;
}

QColor rootPixel(Display *d, int x, int y)
{
    XImage *img = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!img)
        return {};
    // From the visual's masks, which also hold at depth 16.
    const unsigned long p = XGetPixel(img, 0, 0);
    auto channel = [p](unsigned long mask) {
        int shift = 0;
        for (; mask && !(mask & 1); mask >>= 1)
            ++shift;
        return int(((p >> shift) & mask) * 255 / (mask ? mask : 1));
    };
    const QColor c(channel(img->red_mask), channel(img->green_mask), channel(img->blue_mask));
    XDestroyImage(img);
    return c;
}

bool rootShows(const QString &display, const Quadrants &colours)
{
    Display *d = XOpenDisplay(qPrintable(display));
    if (!d)
        return false;
    bool all = true;
    for (std::size_t q = 0; q < 4 && all; ++q)
        all = closeTo(rootPixel(d, q % 2 ? 600 : 200, q / 2 ? 450 : 170), colours[q]);
    XCloseDisplay(d);
    return all;
}

QString gsettingsGet(const QStringList &env, const QString &schema, const QString &key)
{
    const QByteArray text =
        runProgram(u"gsettings"_s, {u"get"_s, schema, key}, env).stdOut.trimmed();
    GVariant *v = g_variant_parse(nullptr, text.constData(), nullptr, nullptr, nullptr);
    if (!v)
        return u"<unreadable: "_s + QString::fromUtf8(text) + u'>';
    const QString value = g_variant_is_of_type(v, G_VARIANT_TYPE_STRING)
                              ? QString::fromUtf8(g_variant_get_string(v, nullptr))
                              : QString::fromUtf8(text);
    g_variant_unref(v);
    return value;
}

Server::Server(const QString &program, const QStringList &args, const QStringList &env)
    : m_script(program.endsWith(u".sh"_s))
{
    m_process.setProcessEnvironment(environment(env));
    m_process.setProcessChannelMode(m_script ? QProcess::ForwardedErrorChannel
                                             : QProcess::SeparateChannels);
    // A desktop's chatter would fill a pipe that nobody reads, and block it.
    if (!m_script) {
        m_process.setStandardInputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(QProcess::nullDevice());
    }
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    const QString servers = QStringLiteral(DESKTOP_SERVERS "/");
    if (m_script)
        m_process.start(servers + u"namespace.sh"_s, QStringList{servers + program} + args);
    else
        m_process.start(program, args);
    m_process.waitForStarted(10000);
}

Server::~Server()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    // A script ends its session as a logoff does; SIGTERM lets a daemon write its files.
    if (m_script)
        m_process.closeWriteChannel();
    else
        m_process.terminate();
    if (!m_process.waitForFinished(20000)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

QString Server::firstLine()
{
    while (!m_process.canReadLine() && m_process.waitForReadyRead(30000)) {
    }
    return QString::fromUtf8(m_process.readLine().trimmed());
}

Xvfb::Xvfb(int depth, QSize size)
    : Server(u"Xvfb"_s,
             {u"-noreset"_s, u"-nolisten"_s, u"tcp"_s, u"-displayfd"_s, u"1"_s, u"-screen"_s,
              u"0"_s, u"%1x%2x%3"_s.arg(size.width()).arg(size.height()).arg(depth)})
{
    // -displayfd writes the number it chose once it accepts connections.
    if (const QString number = firstLine(); !number.isEmpty())
        m_display = u':' + number;
}

XDesktop::XDesktop(XSession session) : m_session(std::move(session))
{
    hasDesktopProgram = !m_session.desktop.isEmpty();
    needsDesktopProgram = hasDesktopProgram && !m_session.desktopOptional;
}

void XDesktop::login(const QString &root, bool withDesktop)
{
    for (int attempt = 1;; ++attempt) {
        logoff();
        m_settled = false;
        m_xvfb = std::make_unique<Xvfb>(24, m_session.screen);
        ASSERT_TRUE(m_xvfb->running()) << "Xvfb did not start";
        env = userEnvironment(root, m_xvfb->display()) + m_session.env;
        // session.sh's bus, in a PID namespace, cannot name the process of a
        // desktop program outside it (pcmanfm-qt's profile): a plain one then.
        m_servers.push_back(
            m_session.programs.isEmpty()
                ? std::make_unique<Server>(
                      u"dbus-daemon"_s,
                      QStringList{QStringLiteral("--config-file=" PRIVATE_BUS_CONFIG),
                                  u"--nofork"_s, u"--print-address=1"_s},
                      env)
                : std::make_unique<Server>(u"session.sh"_s, m_session.programs, env));
        const QString bus = m_servers.back()->firstLine();
        ASSERT_FALSE(bus.isEmpty()) << "the session bus did not start";
        env << u"DBUS_SESSION_BUS_ADDRESS="_s + bus;
        if (!m_session.ready || eventually([&] { return m_session.ready(*this); }))
            break;
        // Plasma, started again in a home it used before, at times never
        // loads its shell (one run of this test in twenty here, before anything of
        // Velumbra runs in that session): a second login settles it.
        ASSERT_LT(attempt, 2) << "the session did not start";
    }
    if (withDesktop && hasDesktopProgram)
        startDesktop();
}

void XDesktop::startDesktop()
{
    m_servers.push_back(
        std::make_unique<Server>(m_session.desktop.first(), m_session.desktop.mid(1), env));
    const std::string display = m_xvfb->display().toStdString();
    EXPECT_TRUE(eventually([&] {
        return m_session.desktopUp ? m_session.desktopUp(*this)
                                   : velumbra::x11TopDesktopWindow(display).has_value();
    })) << qPrintable(m_session.desktop.first())
        << " did not start";
}

void XDesktop::logoff()
{
    while (!m_servers.empty())
        m_servers.pop_back();
    m_xvfb.reset();
}

bool XDesktop::shows(const Quadrants &colours) const
{
    if (!m_settled && !m_session.poke.isEmpty())
        (void)runProgram(m_session.poke.first(), m_session.poke.mid(1), env);
    const bool shown = rootShows(m_xvfb->display(), colours);
    m_settled = m_settled || shown;
    return shown;
}

namespace {

bool busAnswers(const Desktop &d, const QString &dest, const QString &call, const QString &arg,
                const char *reply)
{
    return d
        .run(u"dbus-send"_s, {u"--session"_s, u"--print-reply"_s, u"--dest="_s + dest,
                              call.section(u' ', 0, 0), call.section(u' ', 1), u"string:"_s + arg})
        .stdOut.contains(reply);
}

bool hasOwner(const Desktop &d, const char *name)
{
    return busAnswers(d, u"org.freedesktop.DBus"_s, u"/ org.freedesktop.DBus.NameHasOwner"_s,
                      QString::fromLatin1(name), "boolean true");
}

} // namespace

XSession xSession(const QString &desktop)
{
    const QStringList pcmanfm{u"NO_AT_BRIDGE=1"_s, u"QT_QPA_PLATFORM=xcb"_s,
                              u"GSETTINGS_BACKEND=memory"_s};
    if (desktop == u"xfce") {
        const auto property = u"/backdrop/screen0/monitorscreen/workspace0/last-image"_s;
        return {
            .env = {u"SESSION_NO_ACTIVATION=1"_s, u"XDG_CURRENT_DESKTOP=XFCE"_s},
            .programs = {QStringLiteral("exec " XFCONFD)},
            .desktop = {u"xfdesktop"_s, u"--disable-wm-check"_s},
            .ready =
                [](const XDesktop &d) { return d.run(u"xfconf-query"_s, {u"-l"_s}).exitCode == 0; },
            .stored =
                [property](const XDesktop &d) {
                    return QString::fromUtf8(
                        d.run(u"xfconf-query"_s, {u"-c"_s, u"xfce4-desktop"_s, u"-p"_s, property})
                            .stdOut.trimmed());
                },
            // Without a window manager xfdesktop draws only what changes once it runs.
            .poke = {u"xfdesktop"_s, u"--reload"_s},
            // At its first start xfdesktop writes a picture of its own, which
            // must not overwrite the first one set.
            .desktopUp =
                [](const XDesktop &d) {
                    return hasOwner(d, "org.xfce.xfdesktop") && !d.stored().isEmpty();
                },
            // xfconfd keeps the picture for xfdesktop, which may start later.
            .desktopOptional = true};
    }
    if (desktop == u"kde") {
        // Plasma keeps every picture for good by itself: until logoff rests on velumbra-restore.
        return {.env = {u"XDG_CURRENT_DESKTOP=KDE"_s, u"QT_QPA_PLATFORM=xcb"_s,
                        u"QT_QUICK_BACKEND=software"_s},
                .programs = {QStringLiteral(
                    "exec plasmashell --no-respawn >>\"$HOME/plasma.log\" 2>&1")},
                .ready = [](const XDesktop &d) {
                    return busAnswers(d, u"org.kde.plasmashell"_s,
                                      u"/PlasmaShell org.kde.PlasmaShell.evaluateScript"_s,
                                      u"print(desktops().length)"_s, "string \"1");
                }};
    }
    if (desktop == u"gnome") {
        // In the dark style GNOME shows picture-uri-dark alone: both must be set.
        return {.env = {u"XDG_CURRENT_DESKTOP=GNOME"_s, u"XDG_SESSION_TYPE=x11"_s,
                        u"-GSETTINGS_BACKEND"_s, u"NAMESPACE_MOUNT=1"_s, u"SESSION_SYSTEM_BUS=1"_s},
                .programs = {QStringLiteral(
                    "gsettings set org.gnome.desktop.interface color-scheme prefer-dark; "
                    "exec gnome-shell --x11 --replace --sm-disable >>\"$HOME/shell.log\" 2>&1")},
                .ready = [](const XDesktop &d) { return hasOwner(d, "org.gnome.Shell"); },
                .poke = {u"xdotool"_s, u"key"_s, u"Escape"_s}};
    }
    if (desktop == u"lxqt") {
        // What startlxqt sets; pcmanfm-qt finds LXQt's default settings there.
        return {.env = pcmanfm + QStringList{u"XDG_CURRENT_DESKTOP=LXQt"_s,
                                             u"XDG_CONFIG_DIRS=/etc:/etc/xdg:/usr/share"_s},
                .desktop = {u"pcmanfm-qt"_s, u"--desktop"_s, u"--profile=lxqt"_s}};
    }
    if (desktop == u"lxde") {
        return {.env = pcmanfm + QStringList{u"XDG_CURRENT_DESKTOP=LXDE"_s},
                .desktop = {u"pcmanfm"_s, u"--desktop"_s, u"--profile"_s, u"LXDE"_s}};
    }
    return {};
}

QString openToAll(const QTemporaryDir &dir)
{
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther);
    return dir.path();
}

// Every row starts with a new user who sets A for good; then B or C is set
// until logoff, "!" after it for good (kept by the desktop's own files
// alone). The names of A (put back by velumbra-restore) and B (kept for good)
// hold quotes, $, ';', ',', a backslash and an accent. m is a missing file
// and u a file that is no picture: both are refused with their reason, the
// picture unchanged. r is a picture set, rewritten and set again under the
// same name, which must not show its old content. After a logoff and a login
// with velumbra-restore, the row's second picture must show: until logoff is
// noted at the first change of a session only, for good is kept. A leading
// '~' starts the desktop program only after velumbra-restore; a leading '-'
// runs the session without it, which the setter must name as the reason.
void runContract(Desktop &desktop, const QString &root)
{
    const QString dir = root + u"/pictures/"_s;
    ASSERT_TRUE(QDir().mkpath(dir));
    std::map<char, QString> files{{'A', dir + u"l'été \"a\", $HOME; `id` b\\s.png"_s},
                                  {'B', dir + u"it's \"b\", $HOME; `id` b\\s l'été.jpg"_s},
                                  {'C', dir + u"c.png"_s},
                                  {'m', dir + u"gone.png"_s},
                                  {'u', dir + u"text.jpg"_s},
                                  {'r', dir + u"same.png"_s}};
    const auto coloursOf = [](char p) {
        return p == 'A' ? kPictureA : p == 'B' ? kPictureB : kPictureC;
    };
    for (const char name : {'A', 'B', 'C'})
        ASSERT_TRUE(writeQuadrants(files[name], coloursOf(name)));
    ASSERT_TRUE(writeFile(files['u'], "not a picture"));

    const auto set = [&](char file, bool forGood) {
        QStringList args{u"set"_s, files[file]};
        if (forGood)
            args << u"for-good"_s;
        return desktop.run(cliPath(), args);
    };
    const auto expectShown = [&](char colours, char file) {
        EXPECT_TRUE(eventually([&] { return desktop.shows(coloursOf(colours)); }))
            << "picture " << colours << " is not on the screen";
        const auto canonical = [](const QString &path) {
            const QString resolved = QFileInfo(path).canonicalFilePath();
            return resolved.isEmpty() ? path : resolved;
        };
        if (!desktop.stored().isNull()) {
            EXPECT_TRUE(eventually([&] {
                return canonical(desktop.stored()) == canonical(files[file]);
            })) << desktop.stored()
                << " is stored, not " << files[file];
        }
    };

    const std::pair<const char *, char> rows[] = {
        {"murBC", 'A'}, {"B!", 'B'}, {"~B", 'A'}, {"-", 0}};
    int user = 0;
    for (const auto &[script, afterLogin] : rows) {
        const std::string_view steps = script;
        const char mode = steps.front() == '~' || steps.front() == '-' ? steps.front() : 0;
        if ((mode == '~' && !desktop.hasDesktopProgram) ||
            (mode == '-' && !desktop.needsDesktopProgram))
            continue;
        SCOPED_TRACE(script);
        const QString home = root + u"/user%1"_s.arg(++user);
        desktop.login(home, mode != '-');
        RunResult r = set('A', true);
        if (mode == '-') {
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(r.stdErr.contains(u"ne fonctionne pas"_s)) << r.stdErr;
            desktop.logoff();
            continue;
        }
        ASSERT_EQ(r.exitCode, 0) << r.stdErr;
        expectShown('A', 'A');
        char shown = 'A';
        for (std::size_t i = mode ? 1 : 0; i < steps.size(); ++i) {
            const char step = steps[i];
            SCOPED_TRACE(std::string("step ") + step);
            if (step == 'r') {
                for (const char colours : {'B', 'C'}) {
                    ASSERT_TRUE(writeQuadrants(files['r'], coloursOf(colours)));
                    r = set('r', false);
                    ASSERT_EQ(r.exitCode, 0) << r.stdErr;
                    expectShown(colours, 'r');
                }
                continue;
            }
            const bool forGood = i + 1 < steps.size() && steps[i + 1] == '!';
            i += forGood ? 1 : 0;
            r = set(step, forGood);
            if (step == 'm' || step == 'u') {
                EXPECT_EQ(r.exitCode, 1);
                EXPECT_TRUE(
                    r.stdErr.contains(step == 'm' ? u"n'existe pas"_s : u"ne peut pas être lue"_s))
                    << r.stdErr;
                expectShown(shown, shown);
                continue;
            }
            ASSERT_EQ(r.exitCode, 0) << r.stdErr;
            shown = step;
            expectShown(shown, shown);
            desktop.checkAfterChange();
        }
        SCOPED_TRACE("after a logoff and a login");
        (void)owed(home);
        desktop.logoff();
        desktop.login(home, mode != '~');
        r = desktop.run(restorePath());
        EXPECT_EQ(r.exitCode, 0) << r.stdErr;
        if (mode == '~')
            desktop.startDesktop();
        expectShown(afterLogin, afterLogin);
        desktop.logoff();
    }
}

} // namespace desktoptest
