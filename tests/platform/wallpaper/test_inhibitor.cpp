// The screen-saver inhibition of the XFCE, KDE and sway backends. The real
// services (xfce4-power-manager, ksmserver) need a whole session; here a
// stand-in on a private bus records what a desktop would be asked.

#include "tests/desktop/support.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QEventLoop>

#include <gtest/gtest.h>

using namespace wallpapertest;

QStringList wallpapertest::requiredPrograms()
{
    return {QStringLiteral("dbus-daemon")};
}

namespace {

class FakeScreenSaver : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QStringList calls;
    QString caller;
    bool refuse = false;

public Q_SLOTS:
    uint Inhibit(const QString &application, const QString &reason)
    {
        calls << QStringLiteral("Inhibit ") + application;
        caller = message().service();
        if (refuse) {
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("kiosk"));
            return 0;
        }
        Q_UNUSED(reason)
        return 42;
    }
    void UnInhibit(uint cookie) { calls << QStringLiteral("UnInhibit %1").arg(cookie); }
};

struct Case
{
    const char *backend;
    bool refuse;
    int exitCode;
    QStringList calls;
};

class Inhibitor : public testing::TestWithParam<Case>
{
};

TEST_P(Inhibitor, AsksTheDesktopAndLetsGoWhenTheProgramEnds)
{
    const Case &c = GetParam();
    PrivateSession session({QStringLiteral("SESSION_NO_ACTIVATION=1")});
    ASSERT_TRUE(session.running());
    QDBusConnection bus = QDBusConnection::connectToBus(session.busEnv().section(u'=', 1),
                                                        QStringLiteral("inhibitor-test"));
    ASSERT_TRUE(bus.isConnected());
    FakeScreenSaver saver;
    saver.refuse = c.refuse;
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
    ASSERT_TRUE(bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &saver,
                                   QDBusConnection::ExportAllSlots));

    // The setter runs while this process answers on the bus.
    QProcess cli;
    cli.setProcessEnvironment(environment({QStringLiteral("-DISPLAY"), session.busEnv()}));
    QEventLoop loop;
    QObject::connect(&cli, &QProcess::finished, &loop, &QEventLoop::quit);
    cli.start(QStringLiteral(WALLPAPER_CLI_PATH), cliArgs(c.backend, "screensaver"));
    loop.exec();
    EXPECT_EQ(cli.exitCode(), c.exitCode) << cli.readAllStandardError().constData();

    // Once the program has left the bus, a desktop drops what it held.
    if (!saver.caller.isEmpty() && bus.interface()->isServiceRegistered(saver.caller)) {
        QDBusServiceWatcher watcher(saver.caller, bus, QDBusServiceWatcher::WatchForUnregistration);
        QEventLoop gone;
        QObject::connect(&watcher, &QDBusServiceWatcher::serviceUnregistered, &gone,
                         &QEventLoop::quit);
        if (bus.interface()->isServiceRegistered(saver.caller))
            gone.exec();
    }
    EXPECT_EQ(saver.calls, c.calls);
    bus.unregisterObject(QStringLiteral("/org/freedesktop/ScreenSaver"));
    QDBusConnection::disconnectFromBus(QStringLiteral("inhibitor-test"));
}

INSTANTIATE_TEST_SUITE_P(
    Backends, Inhibitor,
    testing::Values(
        Case{
            "xfce", false, 0, {QStringLiteral("Inhibit Velumbra"), QStringLiteral("UnInhibit 42")}},
        Case{"kde", false, 0, {QStringLiteral("Inhibit Velumbra"), QStringLiteral("UnInhibit 42")}},
        Case{
            "sway", false, 0, {QStringLiteral("Inhibit Velumbra"), QStringLiteral("UnInhibit 42")}},
        // A refusal is reported, and there is nothing to let go.
        Case{"xfce", true, 1, {QStringLiteral("Inhibit Velumbra")}}),
    [](const testing::TestParamInfo<Case> &param) {
        return std::string(param.param.backend) + (param.param.refuse ? "_refused" : "");
    });

} // namespace

#include "test_inhibitor.moc"
