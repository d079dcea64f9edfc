// The screen-saver inhibition of the XFCE, KDE and sway backends. The real
// services (xfce4-power-manager, ksmserver) need a whole session; here a
// stand-in on a private bus records what a desktop would be asked.

#include "tests/desktop/session.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QEventLoop>

#include <gtest/gtest.h>

using namespace desktoptest;

QStringList desktoptest::requiredPrograms()
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
    const char *desktop;
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
    Server session(QStringLiteral("session.sh"), {}, {QStringLiteral("SESSION_NO_ACTIVATION=1")});
    const QString address = session.firstLine();
    QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("inhibitor-test"));
    ASSERT_TRUE(bus.isConnected());
    FakeScreenSaver saver;
    saver.refuse = c.refuse;
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
    ASSERT_TRUE(bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &saver,
                                   QDBusConnection::ExportAllSlots));

    // The setter runs while this process answers on the bus.
    QProcess cli;
    cli.setProcessEnvironment(
        environment({QStringLiteral("-DISPLAY"), QStringLiteral("XDG_CURRENT_DESKTOP=") + c.desktop,
                     QStringLiteral("DBUS_SESSION_BUS_ADDRESS=") + address}));
    QEventLoop loop;
    QObject::connect(&cli, &QProcess::finished, &loop, &QEventLoop::quit);
    cli.start(cliPath(), {QStringLiteral("screensaver")});
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
            "XFCE", false, 0, {QStringLiteral("Inhibit Velumbra"), QStringLiteral("UnInhibit 42")}},
        Case{"KDE", false, 0, {QStringLiteral("Inhibit Velumbra"), QStringLiteral("UnInhibit 42")}},
        Case{
            "sway", false, 0, {QStringLiteral("Inhibit Velumbra"), QStringLiteral("UnInhibit 42")}},
        // A refusal is reported, and there is nothing to let go.
        Case{"XFCE", true, 1, {QStringLiteral("Inhibit Velumbra")}}),
    [](const testing::TestParamInfo<Case> &param) {
        return std::string(param.param.desktop) + (param.param.refuse ? "_refused" : "");
    });

} // namespace

#include "test_inhibitor.moc"
