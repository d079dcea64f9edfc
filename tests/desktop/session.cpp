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
        return {-1, QStringLiteral("did not finish: ") + program, {}};
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
    const QString home = root + QStringLiteral("/home");
    QDir().mkpath(home + QStringLiteral("/.config"));
    QDir().mkpath(root + QStringLiteral("/runtime"));
    return {QStringLiteral("HOME=") + home,
            QStringLiteral("XDG_CONFIG_HOME=") + home + QStringLiteral("/.config"),
            QStringLiteral("XDG_STATE_HOME=") + home + QStringLiteral("/.local/state"),
            QStringLiteral("XDG_CACHE_HOME=") + home + QStringLiteral("/.cache"),
            QStringLiteral("XDG_DATA_HOME=") + home + QStringLiteral("/.local/share"),
            QStringLiteral("XDG_RUNTIME_DIR=") + root + QStringLiteral("/runtime"),
            display.isEmpty() ? QStringLiteral("-DISPLAY") : QStringLiteral("DISPLAY=") + display,
            QStringLiteral("-WAYLAND_DISPLAY"),
            QStringLiteral("-SWAYSOCK"),
            QStringLiteral("-XDG_CURRENT_DESKTOP"),
            QStringLiteral("-DBUS_SESSION_BUS_ADDRESS")};
}

bool owed(const QString &root)
{
    const bool record = QFile::exists(root + QStringLiteral("/home/.local/state/velumbra/lasting"));
    const bool entry =
        QFile::exists(root + QStringLiteral("/home/.config/autostart/velumbra-restore.desktop"));
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

bool rootShows(const QString &display, const Quadrants &colours, int upperY)
{
    Display *d = XOpenDisplay(qPrintable(display));
    if (!d)
        return false;
    bool all = true;
    for (std::size_t q = 0; q < 4 && all; ++q)
        all = closeTo(rootPixel(d, q % 2 ? 600 : 200, q / 2 ? 450 : upperY), colours[q]);
    XCloseDisplay(d);
    return all;
}

QString gsettingsGet(const QStringList &env, const QString &schema, const QString &key)
{
    const QByteArray text =
        runProgram(QStringLiteral("gsettings"), {QStringLiteral("get"), schema, key}, env)
            .stdOut.trimmed();
    GVariant *v = g_variant_parse(nullptr, text.constData(), nullptr, nullptr, nullptr);
    if (!v)
        return QStringLiteral("<unreadable: ") + QString::fromUtf8(text) + u'>';
    const QString value = g_variant_is_of_type(v, G_VARIANT_TYPE_STRING)
                              ? QString::fromUtf8(g_variant_get_string(v, nullptr))
                              : QString::fromUtf8(text);
    g_variant_unref(v);
    return value;
}

Server::Server(const QString &program, const QStringList &args, const QStringList &env)
    : m_script(program.endsWith(QStringLiteral(".sh")))
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
        m_process.start(serverScript(QStringLiteral("namespace.sh")),
                        QStringList{serverScript(program)} + args);
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
    : Server(QStringLiteral("Xvfb"),
             {QStringLiteral("-noreset"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
              QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
              QStringLiteral("0"),
              QStringLiteral("%1x%2x%3").arg(size.width()).arg(size.height()).arg(depth)})
{
    // -displayfd writes the number it chose once it accepts connections.
    if (const QString number = firstLine(); !number.isEmpty())
        m_display = u':' + number;
}

void XDesktop::login(const QString &root, bool withDesktop)
{
    logoff();
    m_settled = false;
    home = root + QStringLiteral("/home");
    m_xvfb = std::make_unique<Xvfb>();
    ASSERT_TRUE(m_xvfb->running()) << "Xvfb did not start";
    env = userEnvironment(root, m_xvfb->display()) + m_session.env;
    const bool activation = !m_session.namespaced.isEmpty();
    m_servers.push_back(
        activation
            ? std::make_unique<Server>(QStringLiteral("session.sh"), m_session.namespaced, env)
            : std::make_unique<Server>(
                  QStringLiteral("dbus-daemon"),
                  QStringList{QStringLiteral("--config-file=" PRIVATE_BUS_CONFIG),
                              QStringLiteral("--nofork"), QStringLiteral("--print-address=1")},
                  env));
    const QString bus = m_servers.back()->firstLine();
    ASSERT_FALSE(bus.isEmpty()) << "the session bus did not start";
    env << QStringLiteral("DBUS_SESSION_BUS_ADDRESS=") + bus;
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
        .run(QStringLiteral("dbus-send"),
             {QStringLiteral("--session"), QStringLiteral("--print-reply"),
              QStringLiteral("--dest=") + dest, call.section(u' ', 0, 0), call.section(u' ', 1),
              QStringLiteral("string:") + arg})
        .stdOut.contains(reply);
}

bool hasOwner(const Desktop &d, const char *name)
{
    return busAnswers(d, QStringLiteral("org.freedesktop.DBus"),
                      QStringLiteral("/ org.freedesktop.DBus.NameHasOwner"),
                      QString::fromLatin1(name), "boolean true");
}

} // namespace

XSession xSession(const QString &desktop)
{
    const QStringList noWayland{QStringLiteral("-WAYLAND_DISPLAY"), QStringLiteral("-SWAYSOCK")};
    const QStringList pcmanfm{QStringLiteral("NO_AT_BRIDGE=1"),
                              QStringLiteral("QT_QPA_PLATFORM=xcb"),
                              QStringLiteral("GSETTINGS_BACKEND=memory")};
    if (desktop == u"xfce") {
        return {
            .env = noWayland + QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=XFCE")},
            .desktop = {QStringLiteral("xfdesktop"), QStringLiteral("--disable-wm-check")},
            .base = {QStringLiteral(XFCONFD)},
            .ready =
                [](const Desktop &d) {
                    return d.run(QStringLiteral("xfconf-query"), {QStringLiteral("-l")}).exitCode ==
                           0;
                },
            .stored =
                [](const Desktop &d) {
                    return QString::fromUtf8(
                        d.run(QStringLiteral("xfconf-query"),
                              {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"),
                               QStringLiteral("-p"),
                               QStringLiteral(
                                   "/backdrop/screen0/monitorscreen/workspace0/last-image")})
                            .stdOut.trimmed());
                },
            // Without a window manager xfdesktop draws only what changes once it runs.
            .poke = {QStringLiteral("xfdesktop"), QStringLiteral("--reload")},
            .desktopUp = [](const Desktop &d) { return hasOwner(d, "org.xfce.xfdesktop"); },
            // xfconfd keeps the picture for xfdesktop, which may start later.
            .desktopOptional = true};
    }
    if (desktop == u"kde") {
        return {.env = noWayland + QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=KDE"),
                                               QStringLiteral("QT_QPA_PLATFORM=xcb"),
                                               QStringLiteral("QT_QUICK_BACKEND=software")},
                .namespaced = {QStringLiteral(
                    "exec plasmashell --no-respawn >>\"$HOME/plasma.log\" 2>&1")},
                .ready =
                    [](const Desktop &d) {
                        return busAnswers(
                            d, QStringLiteral("org.kde.plasmashell"),
                            QStringLiteral("/PlasmaShell org.kde.PlasmaShell.evaluateScript"),
                            QStringLiteral("print(desktops().length)"), "string \"1");
                    },
                .stored =
                    [](const Desktop &d) {
                        // The picture of the last desktop containment.
                        QString image = QStringLiteral("");
                        for (const QByteArray &line :
                             readFile(
                                 static_cast<const XDesktop &>(d).home +
                                 QStringLiteral("/.config/plasma-org.kde.plasma.desktop-appletsrc"))
                                 .split('\n')) {
                            if (line.startsWith("Image="))
                                image = fileOfUri(QString::fromUtf8(line.mid(6)));
                        }
                        return image;
                    }};
    }
    if (desktop == u"gnome") {
        // In the dark style GNOME shows picture-uri-dark alone: both must be set.
        return {
            .env = noWayland + QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=GNOME"),
                                           QStringLiteral("XDG_SESSION_TYPE=x11"),
                                           QStringLiteral("-GSETTINGS_BACKEND"),
                                           QStringLiteral("NAMESPACE_MOUNT=1"),
                                           QStringLiteral("SESSION_SYSTEM_BUS=1")},
            .namespaced = {QStringLiteral(
                "gsettings set org.gnome.desktop.interface color-scheme prefer-dark; "
                "exec gnome-shell --x11 --replace --sm-disable >>\"$HOME/shell.log\" 2>&1")},
            .ready = [](const Desktop &d) { return hasOwner(d, "org.gnome.Shell"); },
            .stored =
                [](const Desktop &d) {
                    return fileOfUri(gsettingsGet(d.env,
                                                  QStringLiteral("org.gnome.desktop.background"),
                                                  QStringLiteral("picture-uri-dark")));
                },
            .poke = {QStringLiteral("xdotool"), QStringLiteral("key"), QStringLiteral("Escape")},
            .upperY = 170};
    }
    if (desktop == u"lxqt") {
        // What startlxqt sets; pcmanfm-qt finds LXQt's default settings there.
        return {.env = noWayland + pcmanfm +
                       QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=LXQt"),
                                   QStringLiteral("XDG_CONFIG_DIRS=/etc:/etc/xdg:/usr/share")},
                .desktop = {QStringLiteral("pcmanfm-qt"), QStringLiteral("--desktop"),
                            QStringLiteral("--profile=lxqt")},
                .stored = [](const Desktop &d) {
                    return QSettings(static_cast<const XDesktop &>(d).home +
                                         QStringLiteral("/.config/pcmanfm-qt/lxqt/settings.conf"),
                                     QSettings::IniFormat)
                        .value(QStringLiteral("Desktop/Wallpaper"), QStringLiteral(""))
                        .toString();
                }};
    }
    if (desktop == u"lxde") {
        return {.env =
                    noWayland + pcmanfm + QStringList{QStringLiteral("XDG_CURRENT_DESKTOP=LXDE")},
                .desktop = {QStringLiteral("pcmanfm"), QStringLiteral("--desktop"),
                            QStringLiteral("--profile"), QStringLiteral("LXDE")},
                .stored = [](const Desktop &d) {
                    return keyFileWallpaper(
                        static_cast<const XDesktop &>(d).home +
                        QStringLiteral("/.config/pcmanfm/LXDE/desktop-items-0.conf"));
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
    const QString dir = root + QStringLiteral("/pictures/");
    ASSERT_TRUE(QDir().mkpath(dir));
    std::map<char, QString> files{
        {'A', dir + QStringLiteral("it's \"a\", $HOME; `id` b\\s l'été.png")},
        {'B', dir + QStringLiteral("b.jpg")},
        {'C', dir + QStringLiteral("c.png")},
        {'m', dir + QStringLiteral("gone.png")},
        {'u', dir + QStringLiteral("text.jpg")}};
    for (const char name : {'A', 'B', 'C'})
        ASSERT_TRUE(writeQuadrants(files[name], coloursOf(name)));
    ASSERT_TRUE(writeFile(files['u'], "not a picture"));
    const QString same = dir + QStringLiteral("same.png");

    const auto set = [&](const QString &file, bool forGood) {
        QStringList args{QStringLiteral("set"), file};
        if (forGood)
            args << QStringLiteral("for-good");
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
        const QString home = root + QStringLiteral("/user%1").arg(++user);
        desktop.login(home, mode != '-');
        RunResult r = set(files['A'], true);
        if (mode == '-') {
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(r.stdErr.contains(QStringLiteral("ne fonctionne pas"))) << r.stdErr;
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
                EXPECT_TRUE(r.stdErr.contains(step == 'm' ? QStringLiteral("n'existe pas")
                                                          : QStringLiteral("ne peut pas être lue")))
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
