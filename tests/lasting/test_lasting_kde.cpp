// Until logoff and for good on KDE Plasma, against the real plasmashell on
// Xvfb and a private session bus. Logoff ends plasmashell and its bus;
// login starts them anew from the same folders and runs velumbra-restore.
// Skipped (77) where Plasma is not installed.

#include "tests/lasting/lastingsupport.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

using namespace wallpapertest;
using namespace lastingtest;

QStringList wallpapertest::requiredPrograms()
{
    return {QStringLiteral("Xvfb"), QStringLiteral("dbus-daemon"), QStringLiteral("plasmashell")};
}

namespace {

class PlasmaLasting : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_xvfb.running());
        m_config = m_dir.filePath(QStringLiteral("home/.config"));
        m_env = userEnvironment(m_dir.path(), m_xvfb.display());
        m_env << QStringList{QStringLiteral("QT_QPA_PLATFORM=xcb"),
                             QStringLiteral("QT_QUICK_BACKEND=software"),
                             QStringLiteral("XDG_CURRENT_DESKTOP=KDE"),
                             QStringLiteral("-WAYLAND_DISPLAY"), QStringLiteral("-SWAYSOCK")};
        for (const auto &[name, colours] :
             {std::pair{"A", kPictureA}, std::pair{"B", kPictureB}, std::pair{"C", kPictureC}})
            ASSERT_TRUE(writeQuadrantPicture(picture(name), colours, {320, 200}));
    }
    void TearDown() override { logoff(); }

    [[nodiscard]] QString picture(const char *name) const
    {
        return m_dir.filePath(QString::fromLatin1(name) + QStringLiteral(" l'été.png"));
    }

    void login()
    {
        m_session = std::make_unique<PrivateSession>(
            m_env, QStringList{QStringLiteral(
                       "exec plasmashell --no-respawn >>\"$HOME/plasma.log\" 2>&1")});
        ASSERT_TRUE(m_session->running());
        m_sessionEnv = m_env;
        m_sessionEnv << m_session->busEnv();
        m_bus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(
            m_session->busEnv().section(u'=', 1), QStringLiteral("plasma-lasting")));
        ASSERT_TRUE(m_bus->isConnected());
        ASSERT_TRUE(eventually([&] { return desktopCount() > 0; }, 60))
            << "plasmashell did not start";
    }

    void logoff()
    {
        m_bus.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("plasma-lasting"));
        m_session.reset();
    }

    [[nodiscard]] int desktopCount() const
    {
        auto msg = QDBusMessage::createMethodCall(
            QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
            QStringLiteral("org.kde.PlasmaShell"), QStringLiteral("evaluateScript"));
        msg << QStringLiteral("print(desktops().length)");
        const QDBusMessage reply = m_bus->call(msg, QDBus::Block, 5000);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return 0;
        return reply.arguments().constFirst().toString().trimmed().toInt();
    }

    [[nodiscard]] bool screenShows(const Quadrants &colours) const
    {
        return rootShows(m_xvfb.display(), colours);
    }

    [[nodiscard]] bool appletsrcNames(const QString &file) const
    {
        QFile rc(m_config + QStringLiteral("/plasma-org.kde.plasma.desktop-appletsrc"));
        if (!rc.open(QIODevice::ReadOnly))
            return false;
        const QByteArray url = QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded).toUtf8();
        return rc.readAll().contains("Image=" + url + "\n");
    }

    [[nodiscard]] RunResult set(const char *name, bool forGood = false) const
    {
        QStringList args{QStringLiteral("set"), picture(name)};
        if (forGood)
            args << QStringLiteral("for-good");
        return runLasting(args, m_sessionEnv);
    }

    [[nodiscard]] bool owed() const
    {
        return lastingtest::owed(m_dir.filePath(QStringLiteral("home/.local/state")), m_config);
    }

    Xvfb m_xvfb;
    QTemporaryDir m_dir;
    QString m_config;
    QStringList m_env;
    QStringList m_sessionEnv;
    std::unique_ptr<PrivateSession> m_session;
    std::unique_ptr<QDBusConnection> m_bus;
};

TEST_F(PlasmaLasting, RotationLastsUntilLogoffAndForGoodBeyond)
{
    login();
    auto r = set("A", true);
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    EXPECT_FALSE(owed());
    for (const char *name : {"B", "C", "B"}) {
        r = set(name);
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    }
    EXPECT_TRUE(owed());
    EXPECT_TRUE(eventually([&] { return appletsrcNames(picture("B")); }));

    // Plasma itself brings back the temporary picture; the restore step A.
    logoff();
    login();
    ASSERT_TRUE(eventually([&] { return screenShows(kPictureB); }))
        << "Plasma did not keep B by itself";
    r = runRestore(m_sessionEnv);
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    EXPECT_TRUE(eventually([&] { return screenShows(kPictureA); }))
        << "A is not shown after the login";
    EXPECT_TRUE(eventually([&] { return appletsrcNames(picture("A")); }));
    EXPECT_FALSE(owed());

    r = set("C", true);
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
    logoff();
    login();
    EXPECT_EQ(runRestore(m_sessionEnv).exitCode, 0);
    EXPECT_TRUE(eventually([&] { return screenShows(kPictureC); }))
        << "C set for good is not shown";
    EXPECT_FALSE(owed());
}

} // namespace
