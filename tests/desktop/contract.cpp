#include "tests/desktop/contract.h"
#include "platform/wallpaper/x11root.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <string_view>
#include <sys/prctl.h>

using namespace wallpapertest;

namespace desktoptest {
namespace {

// Each row starts with a new user who has set A for good, then makes the
// changes of its script, one letter each: B or C until logoff, "!" after it
// for good; m a missing file, u a file that is no picture, r a picture set,
// rewritten and set again under the same name. A leading '-' runs the
// session without its desktop program, a leading '~' starts it only after
// velumbra-restore at the next login. afterLogin is the picture shown after
// a logoff and a login (0: the row has none).
struct Row
{
    const char *fault; // what a failure of this row means
    const char *script;
    char afterLogin;
};

const Row kRows[] = {
    {"a name with quotes, $, ';', ',', a backslash and an accent is not shown, not kept, or not "
     "shown again at login",
     "", 'A'},
    {"a missing file is not refused with a reason, or the picture changed", "m", 0},
    {"a file that is no picture is not refused with a reason, or the picture changed", "u", 0},
    {"a picture set until logoff is not shown, or the lasting one is not back at the next login "
     "(only the first change of a session may be noted)",
     "BC", 'A'},
    {"a picture rewritten and set again under the same name shows its old content", "r", 0},
    {"a picture set for good is not shown, or not kept at the next login", "B!", 'B'},
    {"the lasting picture is not back when velumbra-restore runs before the desktop starts", "~B",
     'A'},
    {"a desktop that does not run is not named as the reason, or its program blocks", "-", 0},
};

const Quadrants &coloursOf(char picture)
{
    return picture == 'A' ? kPictureA : picture == 'B' ? kPictureB : lastingtest::kPictureC;
}

QString canonical(const QString &path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

} // namespace

QString openToAll(const QTemporaryDir &dir)
{
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther);
    return dir.path();
}

void runContract(Desktop &desktop, const QString &root)
{
    const QString dir = root + QStringLiteral("/pictures");
    ASSERT_TRUE(QDir().mkpath(dir));
    const std::map<char, QString> files{
        {'A', dir + QStringLiteral("/it's \"a\", $HOME; `id` back\\slash l'été.png")},
        {'B', dir + QStringLiteral("/b.jpg")},
        {'C', dir + QStringLiteral("/c.png")},
        {'m', dir + QStringLiteral("/gone.png")},
        {'u', dir + QStringLiteral("/text.jpg")}};
    for (const char name : {'A', 'B', 'C'})
        ASSERT_TRUE(writeQuadrantPicture(files.at(name), coloursOf(name), {640, 360}));
    QFile text(files.at('u'));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();

    const QString cli = lastingtest::lastingCliPath();
    const QString restore = lastingtest::restorePath();
    const auto set = [&](char picture, bool forGood) {
        QStringList args{QStringLiteral("set"), files.at(picture)};
        if (forGood)
            args << QStringLiteral("for-good");
        return desktop.run(cli, args);
    };
    const auto expectShownAndStored = [&](char picture) {
        EXPECT_TRUE(eventually([&] { return desktop.shows(coloursOf(picture)); }))
            << "picture " << picture << " is not on the screen";
        if (const QString stored = desktop.stored(); !stored.isNull()) {
            EXPECT_EQ(canonical(stored), canonical(files.at(picture)));
        }
    };

    int user = 0;
    for (const Row &row : kRows) {
        std::string_view script = row.script;
        const bool late = !script.empty() && script.front() == '~';
        const bool without = !script.empty() && script.front() == '-';
        if ((late || without) && !desktop.hasDesktopProgram())
            continue;
        if (late || without)
            script.remove_prefix(1);
        SCOPED_TRACE(row.fault);
        const QString home = root + QStringLiteral("/user%1").arg(++user);
        ASSERT_TRUE(QDir().mkpath(home));
        desktop.login(home, !without);
        RunResult r = set('A', true);
        if (without) {
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(r.stdErr.contains(QStringLiteral("ne fonctionne pas")))
                << qPrintable(r.stdErr);
            desktop.logoff();
            continue;
        }
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
        expectShownAndStored('A');
        char shown = 'A';
        for (std::size_t i = 0; i < script.size(); ++i) {
            const char step = script[i];
            if (step == 'r') {
                const QString same = dir + QStringLiteral("/same.png");
                for (const char colours : {'B', 'C'}) {
                    ASSERT_TRUE(writeQuadrantPicture(same, coloursOf(colours), {640, 360}));
                    r = desktop.run(cli, {QStringLiteral("set"), same});
                    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
                    EXPECT_TRUE(eventually([&] { return desktop.shows(coloursOf(colours)); }))
                        << "the same name with the colours of " << colours;
                }
                continue;
            }
            const bool forGood = i + 1 < script.size() && script[i + 1] == '!';
            r = set(step, forGood);
            i += forGood ? 1 : 0;
            if (step == 'm' || step == 'u') {
                EXPECT_EQ(r.exitCode, 1);
                const QString reason = step == 'm' ? QStringLiteral("n'existe pas")
                                                   : QStringLiteral("ne peut pas être lue");
                EXPECT_TRUE(r.stdErr.contains(reason)) << qPrintable(r.stdErr);
                expectShownAndStored(shown);
                continue;
            }
            ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
            shown = step;
            expectShownAndStored(shown);
            desktop.checkAfterChange();
        }
        if (row.afterLogin) {
            desktop.logoff();
            desktop.login(home, !late);
            r = desktop.run(restore, {});
            EXPECT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
            if (late)
                desktop.startDesktop();
            expectShownAndStored(row.afterLogin);
        }
        desktop.logoff();
    }
}

Daemon::Daemon(const QString &program, const QStringList &args, const QStringList &env)
{
    m_process.setProcessEnvironment(environment(env));
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.start(program, args);
    m_process.waitForStarted(10000);
}

Daemon::~Daemon()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

QString Daemon::firstLine()
{
    while (!m_process.canReadLine() && m_process.waitForReadyRead(20000)) {
    }
    return QString::fromUtf8(m_process.readLine().trimmed());
}

void XDesktop::login(const QString &home, bool withDesktop)
{
    logoff();
    m_home = home + QStringLiteral("/home");
    m_xvfb = std::make_unique<Xvfb>();
    ASSERT_TRUE(m_xvfb->running()) << "Xvfb did not start";
    m_env = userEnvironment(home, m_xvfb->display()) + m_sessionEnv;
    m_bus = std::make_unique<Daemon>(
        QStringLiteral("dbus-daemon"),
        QStringList{QStringLiteral("--config-file=" PRIVATE_BUS_CONFIG), QStringLiteral("--nofork"),
                    QStringLiteral("--print-address=1")},
        m_env);
    m_env << QStringLiteral("DBUS_SESSION_BUS_ADDRESS=") + m_bus->firstLine();
    if (withDesktop && hasDesktopProgram())
        startDesktop();
}

void XDesktop::startDesktop()
{
    QStringList args = m_command;
    const QString program = args.takeFirst();
    m_desktop = std::make_unique<Daemon>(program, args, m_env);
    const std::string display = m_xvfb->display().toStdString();
    EXPECT_TRUE(eventually([&] { return velumbra::x11TopDesktopWindow(display).has_value(); }))
        << qPrintable(program) << " shows no desktop window";
}

void XDesktop::logoff()
{
    m_desktop.reset();
    m_bus.reset();
    m_xvfb.reset();
}

RunResult XDesktop::run(const QString &program, const QStringList &args) const
{
    return runProgram(program, args, m_env);
}

bool XDesktop::shows(const Quadrants &colours) const
{
    return rootShows(m_xvfb->display(), colours);
}

} // namespace desktoptest
