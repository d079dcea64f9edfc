// The KDE Plasma backend against the real plasmashell on Xvfb and a private
// session bus; the screen and Plasma's own configuration file are read back.

#include "platform/wallpaper/kde.h"
#include "tests/desktop/support.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace wallpapertest;

QStringList wallpapertest::requiredPrograms()
{
    return {QStringLiteral("Xvfb"), QStringLiteral("dbus-daemon"), QStringLiteral("plasmashell")};
}

namespace {

class Plasma : public testing::Test
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
                             QStringLiteral("XDG_CURRENT_DESKTOP=KDE")};
        m_session = std::make_unique<PrivateSession>(
            m_env, QStringList{
                       QStringLiteral("exec plasmashell --no-respawn >\"$HOME/plasma.log\" 2>&1")});
        ASSERT_TRUE(m_session->running());
        m_env << m_session->busEnv();
        m_bus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(
            m_session->busEnv().section(u'=', 1), QStringLiteral("plasma-test")));
        ASSERT_TRUE(m_bus->isConnected());
        ASSERT_TRUE(eventually([&] { return desktopCount() > 0; }, 60))
            << "plasmashell did not start";
    }
    void TearDown() override
    {
        m_bus.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("plasma-test"));
        m_session.reset();
    }

    int desktopCount() const
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

    RunResult set(const QString &file) const { return runCli(cliArgs("kde", "set", file), m_env); }

    bool screenShows(const Quadrants &colours) const
    {
        return rootShows(m_xvfb.display(), colours);
    }

    bool appletsrcNames(const QString &file) const
    {
        QFile rc(m_config + QStringLiteral("/plasma-org.kde.plasma.desktop-appletsrc"));
        if (!rc.open(QIODevice::ReadOnly))
            return false;
        const QByteArray url = QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded).toUtf8();
        return rc.readAll().contains("Image=" + url + "\n");
    }

    Xvfb m_xvfb;
    QTemporaryDir m_dir;
    QString m_config;
    QStringList m_env;
    std::unique_ptr<PrivateSession> m_session;
    std::unique_ptr<QDBusConnection> m_bus;
};

TEST_F(Plasma, ShowsAndKeepsEachPictureWhateverItsName)
{
    const QString a = m_dir.filePath(QStringLiteral("it's \"a\" \\ été.jpg"));
    const QString b = m_dir.filePath(QStringLiteral("b.png"));
    ASSERT_TRUE(writeQuadrantPicture(a, kPictureA));
    ASSERT_TRUE(writeQuadrantPicture(b, kPictureB, {320, 200}));
    for (const auto &[file, colours] : {std::pair{a, kPictureA}, std::pair{b, kPictureB}}) {
        const auto r = set(file);
        ASSERT_EQ(r.exitCode, 0) << qPrintable(r.stdErr);
        EXPECT_TRUE(eventually([&] { return screenShows(colours); })) << qPrintable(file);
        EXPECT_TRUE(eventually([&] { return appletsrcNames(file); })) << qPrintable(file);
    }
}

TEST_F(Plasma, MissingFileLeavesThePictureAlone)
{
    const QString a = m_dir.filePath(QStringLiteral("a.jpg"));
    ASSERT_TRUE(writeQuadrantPicture(a, kPictureA));
    ASSERT_EQ(set(a).exitCode, 0);
    const auto r = set(m_dir.filePath(QStringLiteral("gone.jpg")));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(eventually([&] { return screenShows(kPictureA); }));
}

} // namespace
