// Until logoff and for good on sway, which forgets every setting when it
// ends: a real headless sway per session, a new one at "login", where
// velumbra-restore runs; grim reads the screen back.

#include "tests/lasting/lastingsupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>
#include <unistd.h>

using namespace wallpapertest;
using namespace lastingtest;

QStringList wallpapertest::requiredPrograms()
{
    return {QStringLiteral("sway"), QStringLiteral("swaybg"), QStringLiteral("grim"),
            QStringLiteral("setpriv")};
}

namespace {

const Quadrants &colours(char name)
{
    return name == 'A' ? kPictureA : name == 'B' ? kPictureB : kPictureC;
}

struct Case
{
    const char *name;
    std::vector<std::pair<char, bool>> changes; // picture, for good
    char shownAfterLogin;
};

const Case kCases[] = {
    {"temporary", {{'B', false}}, 'A'},
    {"for good", {{'B', true}}, 'B'},
    {"rotation through three", {{'B', false}, {'C', false}, {'B', false}}, 'A'},
};

class SwayLasting : public testing::TestWithParam<Case>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // sway, and so the programs that talk to it, run as another user
        // when the test runs as root: they must reach the pictures, the
        // programs and their own folders.
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                QFileDevice::ExeOther);
        m_home = m_dir.filePath(QStringLiteral("home"));
        ASSERT_TRUE(QDir().mkpath(m_home));
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown(qPrintable(m_home), 65534, 65534), 0);
        }
        m_cli = m_dir.filePath(QStringLiteral("lasting_cli"));
        m_restore = m_dir.filePath(QStringLiteral("velumbra-restore"));
        ASSERT_TRUE(QFile::copy(lastingCliPath(), m_cli));
        ASSERT_TRUE(QFile::copy(restorePath(), m_restore));
        for (const char name : {'A', 'B', 'C'})
            ASSERT_TRUE(writeQuadrantPicture(picture(name), colours(name), {640, 360}));
    }

    [[nodiscard]] QString picture(char name) const
    {
        return m_dir.filePath(QString(QLatin1Char(name)) + QStringLiteral(" l'été.png"));
    }

    void login()
    {
        m_server.reset();
        const QString runtime = m_dir.filePath(QStringLiteral("runtime%1").arg(++m_sessions));
        ASSERT_TRUE(QDir().mkpath(runtime));
        m_server = std::make_unique<ScriptServer>(QStringLiteral("sway.sh"), QStringList{runtime},
                                                  QStringList{});
        ASSERT_TRUE(m_server->running()) << "sway did not start";
        const QStringList where = m_server->firstLine().split(u' ');
        ASSERT_EQ(where.size(), 2);
        m_env = {QStringLiteral("SWAYSOCK=") + where[0],
                 QStringLiteral("WAYLAND_DISPLAY=") + where[1],
                 QStringLiteral("XDG_RUNTIME_DIR=") + runtime,
                 QStringLiteral("HOME=") + m_home,
                 QStringLiteral("XDG_CURRENT_DESKTOP=sway"),
                 QStringLiteral("-XDG_STATE_HOME"),
                 QStringLiteral("-XDG_CONFIG_HOME"),
                 QStringLiteral("-DISPLAY"),
                 QStringLiteral("-DBUS_SESSION_BUS_ADDRESS")};
    }

    [[nodiscard]] RunResult run(const QString &program, const QStringList &args = {}) const
    {
        QStringList argv = asSwayUser(program) + args;
        return runProgram(argv.takeFirst(), argv, m_env);
    }

    [[nodiscard]] bool screenShows(const Quadrants &expected) const
    {
        return swayScreenShows(m_env, expected);
    }

    QTemporaryDir m_dir;
    QString m_home, m_cli, m_restore;
    int m_sessions = 0;
    std::unique_ptr<ScriptServer> m_server;
    QStringList m_env;
};

TEST_P(SwayLasting, NextSessionShowsWhatWasSetForGood)
{
    const Case &c = GetParam();
    login();
    auto r = run(m_cli, {QStringLiteral("set"), picture('A'), QStringLiteral("for-good")});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    for (const auto &[name, forGood] : c.changes) {
        QStringList args{QStringLiteral("set"), picture(name)};
        if (forGood)
            args << QStringLiteral("for-good");
        r = run(m_cli, args);
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
        EXPECT_TRUE(eventually([&] { return screenShows(colours(name)); })) << name;
    }
    login();
    r = run(m_restore);
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    EXPECT_TRUE(eventually([&] { return screenShows(colours(c.shownAfterLogin)); }))
        << c.shownAfterLogin;
    EXPECT_TRUE(
        QFile::exists(m_home + QStringLiteral("/.config/autostart/velumbra-restore.desktop")));
}

INSTANTIATE_TEST_SUITE_P(Cases, SwayLasting, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case> &param) {
                             std::string name;
                             for (const char ch : std::string(param.param.name))
                                 name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return name;
                         });

} // namespace
