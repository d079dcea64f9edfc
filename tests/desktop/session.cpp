// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/desktop/session.h"
#include "platform/wallpaper/x11root.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QUrl>

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

QString serverScript(const QString &name)
{
    return QStringLiteral(DESKTOP_SERVERS "/") + name;
}

QString cliPath()
{
    return QStringLiteral(VELUMBRA_CLI);
}

QString restorePath()
{
    return QStringLiteral(RESTORE_PROGRAM);
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

bool rootShows(const QString &display, const Quadrants &colours, int upperY, int x0, int width)
{
    Display *d = XOpenDisplay(qPrintable(display));
    if (!d)
        return false;
    bool all = true;
    for (std::size_t q = 0; q < 4 && all; ++q)
        all = closeTo(rootPixel(d, x0 + (q % 2 ? 3 : 1) * width / 4, q / 2 ? 450 : upperY),
                      colours[q]);
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
    if (m_script)
        m_process.start(serverScript(u"namespace.sh"_s), QStringList{serverScript(program)} + args);
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
    while (m_firstLine.isEmpty() && !m_process.canReadLine() && m_process.waitForReadyRead(30000)) {
    }
    if (m_firstLine.isEmpty())
        m_firstLine = QString::fromUtf8(m_process.readLine().trimmed());
    return m_firstLine;
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

void XDesktop::login(const QString &root, bool withDesktop)
{
    logoff();
    m_settled = false;
    home = root + u"/home"_s;
    m_xvfb = std::make_unique<Xvfb>(24, m_session.screen);
    ASSERT_TRUE(m_xvfb->running()) << "Xvfb did not start";
    env = userEnvironment(root, m_xvfb->display()) + m_session.env;
    const bool activation = !m_session.namespaced.isEmpty();
    m_servers.push_back(activation
                            ? std::make_unique<Server>(u"session.sh"_s, m_session.namespaced, env)
                            : std::make_unique<Server>(
                                  u"dbus-daemon"_s,
                                  QStringList{QStringLiteral("--config-file=" PRIVATE_BUS_CONFIG),
                                              u"--nofork"_s, u"--print-address=1"_s},
                                  env));
    const QString bus = m_servers.back()->firstLine();
    ASSERT_FALSE(bus.isEmpty()) << "the session bus did not start";
    env << u"DBUS_SESSION_BUS_ADDRESS="_s + bus;
    if (!m_session.base.isEmpty())
        m_servers.push_back(
            std::make_unique<Server>(m_session.base.first(), m_session.base.mid(1), env));
    if (m_session.ready) {
        ASSERT_TRUE(eventually([&] { return m_session.ready(*this); }))
            << "the session did not start";
    }
    if (withDesktop && hasDesktopProgram())
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
    const bool shown = rootShows(m_xvfb->display(), colours, m_session.upperY);
    m_settled = m_settled || shown;
    return shown;
}

bool XDesktop::needsDesktopProgram() const
{
    return hasDesktopProgram() && !m_session.desktopOptional;
}

namespace {

QString fileOfUri(const QString &uri)
{
    return uri.isEmpty() ? uri : QUrl(uri).toLocalFile();
}

QString keyFileWallpaper(const QString &file)
{
    GKeyFile *items = g_key_file_new();
    gchar *value = g_key_file_load_from_file(items, qPrintable(file), G_KEY_FILE_NONE, nullptr)
                       ? g_key_file_get_string(items, "*", "wallpaper", nullptr)
                       : nullptr;
    const QString wallpaper = QString::fromUtf8(value ? value : "");
    g_free(value);
    g_key_file_free(items);
    return wallpaper;
}

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
    const QStringList noWayland{u"-WAYLAND_DISPLAY"_s, u"-SWAYSOCK"_s};
    const QStringList pcmanfm{u"NO_AT_BRIDGE=1"_s, u"QT_QPA_PLATFORM=xcb"_s,
                              u"GSETTINGS_BACKEND=memory"_s};
    if (desktop == u"xfce") {
        return {
            .env = noWayland + QStringList{u"XDG_CURRENT_DESKTOP=XFCE"_s},
            .desktop = {u"xfdesktop"_s, u"--disable-wm-check"_s},
            .base = {QStringLiteral(XFCONFD)},
            .ready =
                [](const Desktop &d) { return d.run(u"xfconf-query"_s, {u"-l"_s}).exitCode == 0; },
            .stored =
                [](const Desktop &d) {
                    return QString::fromUtf8(
                        d.run(u"xfconf-query"_s,
                              {u"-c"_s, u"xfce4-desktop"_s, u"-p"_s,
                               QStringLiteral(
                                   "/backdrop/screen0/monitorscreen/workspace0/last-image")})
                            .stdOut.trimmed());
                },
            // Without a window manager xfdesktop draws only what changes once it runs.
            .poke = {u"xfdesktop"_s, u"--reload"_s},
            // At its first start xfdesktop writes a picture of its own, which
            // must not overwrite the first one set.
            .desktopUp =
                [](const Desktop &d) {
                    return hasOwner(d, "org.xfce.xfdesktop") && !d.stored().isEmpty();
                },
            // xfconfd keeps the picture for xfdesktop, which may start later.
            .desktopOptional = true};
    }
    if (desktop == u"kde") {
        // Plasma keeps every picture for good by itself: until logoff rests on velumbra-restore.
        return {.env =
                    noWayland + QStringList{u"XDG_CURRENT_DESKTOP=KDE"_s, u"QT_QPA_PLATFORM=xcb"_s,
                                            u"QT_QUICK_BACKEND=software"_s},
                .namespaced = {QStringLiteral(
                    "exec plasmashell --no-respawn >>\"$HOME/plasma.log\" 2>&1")},
                .ready =
                    [](const Desktop &d) {
                        return busAnswers(d, u"org.kde.plasmashell"_s,
                                          u"/PlasmaShell org.kde.PlasmaShell.evaluateScript"_s,
                                          u"print(desktops().length)"_s, "string \"1");
                    },
                .stored =
                    [](const Desktop &d) {
                        // The picture of the last desktop containment.
                        QString image = u""_s;
                        for (const QByteArray &line :
                             readFile(static_cast<const XDesktop &>(d).home +
                                      u"/.config/plasma-org.kde.plasma.desktop-appletsrc"_s)
                                 .split('\n')) {
                            if (line.startsWith("Image="))
                                image = fileOfUri(QString::fromUtf8(line.mid(6)));
                        }
                        return image;
                    }};
    }
    if (desktop == u"gnome") {
        // In the dark style GNOME shows picture-uri-dark alone: both must be set.
        return {.env = noWayland + QStringList{u"XDG_CURRENT_DESKTOP=GNOME"_s,
                                               u"XDG_SESSION_TYPE=x11"_s, u"-GSETTINGS_BACKEND"_s,
                                               u"NAMESPACE_MOUNT=1"_s, u"SESSION_SYSTEM_BUS=1"_s},
                .namespaced = {QStringLiteral(
                    "gsettings set org.gnome.desktop.interface color-scheme prefer-dark; "
                    "exec gnome-shell --x11 --replace --sm-disable >>\"$HOME/shell.log\" 2>&1")},
                .ready = [](const Desktop &d) { return hasOwner(d, "org.gnome.Shell"); },
                .stored =
                    [](const Desktop &d) {
                        return fileOfUri(gsettingsGet(d.env, u"org.gnome.desktop.background"_s,
                                                      u"picture-uri-dark"_s));
                    },
                .poke = {u"xdotool"_s, u"key"_s, u"Escape"_s},
                .upperY = 170};
    }
    if (desktop == u"lxqt") {
        // What startlxqt sets; pcmanfm-qt finds LXQt's default settings there.
        return {.env = noWayland + pcmanfm +
                       QStringList{u"XDG_CURRENT_DESKTOP=LXQt"_s,
                                   u"XDG_CONFIG_DIRS=/etc:/etc/xdg:/usr/share"_s},
                .desktop = {u"pcmanfm-qt"_s, u"--desktop"_s, u"--profile=lxqt"_s},
                .stored = [](const Desktop &d) {
                    return QSettings(static_cast<const XDesktop &>(d).home +
                                         u"/.config/pcmanfm-qt/lxqt/settings.conf"_s,
                                     QSettings::IniFormat)
                        .value(u"Desktop/Wallpaper"_s, u""_s)
                        .toString();
                }};
    }
    if (desktop == u"lxde") {
        return {.env = noWayland + pcmanfm + QStringList{u"XDG_CURRENT_DESKTOP=LXDE"_s},
                .desktop = {u"pcmanfm"_s, u"--desktop"_s, u"--profile"_s, u"LXDE"_s},
                .stored = [](const Desktop &d) {
                    return keyFileWallpaper(static_cast<const XDesktop &>(d).home +
                                            u"/.config/pcmanfm/LXDE/desktop-items-0.conf"_s);
                }};
    }
    return {.env = noWayland};
}

QString openToAll(const QTemporaryDir &dir)
{
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther);
    return dir.path();
}

namespace {

QString canonical(const QString &path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

// What a failure at each step of a row means. Every row starts with a new
// user who sets A for good; B or C is then set until logoff, "!" after it
// for good; m is a missing file, u a file that is no picture, r a picture
// set, rewritten and set again under the same name. A leading '-' runs the
// session without its desktop program, a leading '~' starts it only after
// velumbra-restore at the next login.
const std::map<char, const char *> kFaults{
    {'A', "a name with quotes, $, ';', ',', a backslash and an accent is not shown or not kept"},
    {'m', "a missing file is not refused with its reason, or the picture changed"},
    {'u', "a file that is no picture is not refused with its reason, or the picture changed"},
    {'r', "a picture rewritten and set again under the same name shows its old content"},
    {'B', "a picture set is not shown or not kept"},
    {'C', "a picture set is not shown or not kept"},
    {'L', "after a logoff and a login the lasting picture is not shown; until logoff is noted "
          "at the first change of a session only; for good is kept"},
    {'~', "the lasting picture is not back when velumbra-restore runs before the desktop starts"},
    {'-', "a desktop that does not run is not named as the reason, or its program blocks"},
};

const Quadrants &coloursOf(char picture)
{
    return picture == 'A' ? kPictureA : picture == 'B' ? kPictureB : kPictureC;
}

} // namespace

void runContract(Desktop &desktop, const QString &root)
{
    const QString dir = root + u"/pictures/"_s;
    ASSERT_TRUE(QDir().mkpath(dir));
    std::map<char, QString> files{{'A', dir + u"it's \"a\", $HOME; `id` b\\s l'été.png"_s},
                                  {'B', dir + u"b.jpg"_s},
                                  {'C', dir + u"c.png"_s},
                                  {'m', dir + u"gone.png"_s},
                                  {'u', dir + u"text.jpg"_s}};
    for (const char name : {'A', 'B', 'C'})
        ASSERT_TRUE(writeQuadrants(files[name], coloursOf(name)));
    ASSERT_TRUE(writeFile(files['u'], "not a picture"));
    const QString same = dir + u"same.png"_s;

    const auto set = [&](const QString &file, bool forGood) {
        QStringList args{u"set"_s, file};
        if (forGood)
            args << u"for-good"_s;
        return desktop.run(cliPath(), args);
    };
    const auto expectShown = [&](char colours, const QString &file) {
        EXPECT_TRUE(eventually([&] { return desktop.shows(coloursOf(colours)); }))
            << "picture " << colours << " is not on the screen";
        if (!desktop.stored().isNull()) {
            EXPECT_TRUE(eventually([&] { return canonical(desktop.stored()) == canonical(file); }))
                << qPrintable(desktop.stored()) << " is stored, not " << qPrintable(file);
        }
    };

    const std::pair<const char *, char> rows[] = {
        {"mur BC", 'A'}, {"B!", 'B'}, {"~B", 'A'}, {"-", 0}};
    int user = 0;
    for (const auto &[script, afterLogin] : rows) {
        std::string_view steps = script;
        const char mode = steps.front() == '~' || steps.front() == '-' ? steps.front() : 0;
        if ((mode == '~' && !desktop.hasDesktopProgram()) ||
            (mode == '-' && !desktop.needsDesktopProgram()))
            continue;
        SCOPED_TRACE(mode ? kFaults.at(mode) : script);
        const QString home = root + u"/user%1"_s.arg(++user);
        desktop.login(home, mode != '-');
        RunResult r = set(files['A'], true);
        if (mode == '-') {
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(r.stdErr.contains(u"ne fonctionne pas"_s)) << r.stdErr;
            desktop.logoff();
            continue;
        }
        char shown = 'A';
        {
            SCOPED_TRACE(kFaults.at('A'));
            ASSERT_EQ(r.exitCode, 0) << r.stdErr;
            expectShown('A', files['A']);
        }
        for (std::size_t i = mode ? 1 : 0; i < steps.size(); ++i) {
            const char step = steps[i];
            if (step == ' ')
                continue;
            SCOPED_TRACE(kFaults.at(step));
            if (step == 'r') {
                for (const char colours : {'B', 'C'}) {
                    ASSERT_TRUE(writeQuadrants(same, coloursOf(colours)));
                    r = set(same, false);
                    ASSERT_EQ(r.exitCode, 0) << r.stdErr;
                    expectShown(colours, same);
                }
                continue;
            }
            const bool forGood = i + 1 < steps.size() && steps[i + 1] == '!';
            i += forGood ? 1 : 0;
            r = set(files[step], forGood);
            if (step == 'm' || step == 'u') {
                EXPECT_EQ(r.exitCode, 1);
                EXPECT_TRUE(
                    r.stdErr.contains(step == 'm' ? u"n'existe pas"_s : u"ne peut pas être lue"_s))
                    << r.stdErr;
                expectShown(shown, files[shown]);
                continue;
            }
            ASSERT_EQ(r.exitCode, 0) << r.stdErr;
            shown = step;
            expectShown(shown, files[shown]);
            desktop.checkAfterChange();
        }
        SCOPED_TRACE(kFaults.at('L'));
        (void)owed(home);
        desktop.logoff();
        desktop.login(home, mode != '~');
        r = desktop.run(restorePath());
        EXPECT_EQ(r.exitCode, 0) << r.stdErr;
        if (mode == '~')
            desktop.startDesktop();
        expectShown(afterLogin, files[afterLogin]);
        desktop.logoff();
    }
}

} // namespace desktoptest
