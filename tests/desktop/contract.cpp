#include "tests/desktop/contract.h"
#include "platform/wallpaper/x11root.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/prctl.h>

using namespace wallpapertest;

namespace desktoptest {
namespace {

// One change: a picture (A, B, C; 'm' a missing file, 'u' one that is no
// picture; 'r' one set, then rewritten and set again), until logoff or for
// good.
struct Step
{
    char picture;
    bool forGood;
};

struct Row
{
    const char *fault; // what a failure of this row means
    std::vector<Step> steps;
    char afterLogin;     // shown after a logoff and a login; 0: no login
    bool desktopLate;    // at login, velumbra-restore runs before the desktop starts
    bool withoutDesktop; // the desktop program does not run at all
};

// Each row starts with a new user who has set A for good.
const Row kRows[] = {
    {"a name with quotes, $, ';', ',', a backslash and an accent is not shown, not kept, or not "
     "shown again at login",
     {},
     'A',
     false,
     false},
    {"a missing file is not refused with a reason, or the picture changed",
     {{'m', false}},
     0,
     false,
     false},
    {"a file that is no picture is not refused with a reason, or the picture changed",
     {{'u', false}},
     0,
     false,
     false},
    {"a picture set until logoff is not shown, or the lasting one is not back at the next "
     "login (only the first change of a session may be noted)",
     {{'B', false}, {'C', false}},
     'A',
     false,
     false},
    {"a picture rewritten and set again under the same name shows its old content",
     {{'r', false}},
     0,
     false,
     false},
    {"a picture set for good is not shown, or not kept at the next login",
     {{'B', true}},
     'B',
     false,
     false},
    {"the lasting picture is not back when velumbra-restore runs before the desktop starts",
     {{'B', false}},
     'A',
     true,
     false},
    {"a desktop that does not run is not named as the reason, or its program blocks",
     {},
     0,
     false,
     true},
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
        if ((row.desktopLate || row.withoutDesktop) && !desktop.startsLate())
            continue;
        SCOPED_TRACE(row.fault);
        const QString home = root + QStringLiteral("/user%1").arg(++user);
        ASSERT_TRUE(QDir().mkpath(home));
        desktop.login(home, !row.withoutDesktop);
        if (row.withoutDesktop) {
            const RunResult r = set('A', true);
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(r.stdErr.contains(QStringLiteral("ne fonctionne pas")))
                << qPrintable(r.stdErr);
            desktop.logoff();
            continue;
        }
        RunResult r = set('A', true);
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
        expectShownAndStored('A');
        char shown = 'A';
        for (const Step &step : row.steps) {
            if (step.picture == 'r') {
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
            r = set(step.picture, step.forGood);
            if (step.picture == 'm' || step.picture == 'u') {
                EXPECT_EQ(r.exitCode, 1);
                const QString reason = step.picture == 'm' ? QStringLiteral("n'existe pas")
                                                           : QStringLiteral("ne peut pas être lue");
                EXPECT_TRUE(r.stdErr.contains(reason)) << qPrintable(r.stdErr);
                expectShownAndStored(shown);
                continue;
            }
            ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
            shown = step.picture;
            expectShownAndStored(shown);
            desktop.checkAfterChange();
        }
        if (row.afterLogin) {
            desktop.logoff();
            desktop.login(home, !row.desktopLate);
            r = desktop.run(restore, {});
            EXPECT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
            if (row.desktopLate)
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

XSession::XSession(const QStringList &userEnv, const QStringList &desktopCommand, bool withDesktop)
    : m_desktopCommand(desktopCommand), m_xvfb(std::make_unique<Xvfb>())
{
    if (!m_xvfb->running())
        return;
    m_env = userEnv;
    m_env << QStringLiteral("DISPLAY=") + m_xvfb->display();
    m_bus = std::make_unique<Daemon>(
        QStringLiteral("dbus-daemon"),
        QStringList{QStringLiteral("--config-file=" PRIVATE_BUS_CONFIG), QStringLiteral("--nofork"),
                    QStringLiteral("--print-address=1")},
        m_env);
    m_env << QStringLiteral("DBUS_SESSION_BUS_ADDRESS=") + m_bus->firstLine();
    if (withDesktop)
        startDesktop();
}

void XSession::startDesktop()
{
    QStringList args = m_desktopCommand;
    const QString program = args.takeFirst();
    m_desktop = std::make_unique<Daemon>(program, args, m_env);
    const std::string display = m_xvfb->display().toStdString();
    EXPECT_TRUE(eventually([&] { return velumbra::x11TopDesktopWindow(display).has_value(); }))
        << qPrintable(program) << " shows no desktop window";
}

void XDesktop::login(const QString &home, bool withDesktop)
{
    m_session.reset();
    const QStringList env = userEnvironment(home, {}) + m_sessionEnv;
    m_home = home + QStringLiteral("/home");
    m_session = std::make_unique<XSession>(env, m_command, withDesktop);
    ASSERT_TRUE(m_session->running()) << "Xvfb did not start";
}

RunResult XDesktop::run(const QString &program, const QStringList &args) const
{
    return runProgram(program, args, m_session->env());
}

bool XDesktop::shows(const Quadrants &colours) const
{
    return rootShows(m_session->display(), colours);
}

} // namespace desktoptest
