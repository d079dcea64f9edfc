// SPDX-License-Identifier: GPL-3.0-or-later
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
    return {u"dbus-daemon"_s};
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
        calls << u"Inhibit "_s + application;
        caller = message().service();
        if (refuse) {
            sendErrorReply(QDBusError::AccessDenied, u"kiosk"_s);
            return 0;
        }
        Q_UNUSED(reason)
        return 42;
    }
    void UnInhibit(uint cookie) { calls << u"UnInhibit %1"_s.arg(cookie); }
};

TEST(Inhibitor, AsksTheDesktopAndLetsGoWhenTheProgramEnds)
{
    Server session(u"session.sh"_s, {}, {u"SESSION_NO_ACTIVATION=1"_s});
    const QString address = session.firstLine();
    QDBusConnection bus = QDBusConnection::connectToBus(address, u"inhibitor-test"_s);
    ASSERT_TRUE(bus.isConnected());
    FakeScreenSaver saver;
    ASSERT_TRUE(bus.registerService(u"org.freedesktop.ScreenSaver"_s));
    ASSERT_TRUE(bus.registerObject(u"/org/freedesktop/ScreenSaver"_s, &saver,
                                   QDBusConnection::ExportAllSlots));
    // A refusal is reported, and there is nothing to let go.
    for (const auto &[desktop, refuse] :
         {std::pair{"XFCE", false}, {"KDE", false}, {"sway", false}, {"XFCE", true}}) {
        SCOPED_TRACE(desktop);
        saver.calls.clear();
        saver.caller.clear();
        saver.refuse = refuse;
        // The setter runs while this process answers on the bus.
        QProcess cli;
        cli.setProcessEnvironment(environment({u"-DISPLAY"_s, u"XDG_CURRENT_DESKTOP="_s + desktop,
                                               u"DBUS_SESSION_BUS_ADDRESS="_s + address}));
        QEventLoop loop;
        QObject::connect(&cli, &QProcess::finished, &loop, &QEventLoop::quit);
        cli.start(cliPath(), {u"screensaver"_s});
        loop.exec();
        EXPECT_EQ(cli.exitCode(), refuse ? 1 : 0) << cli.readAllStandardError().constData();

        // Once the program has left the bus, a desktop drops what it held.
        QDBusServiceWatcher watcher(saver.caller, bus, QDBusServiceWatcher::WatchForUnregistration);
        QEventLoop gone;
        QObject::connect(&watcher, &QDBusServiceWatcher::serviceUnregistered, &gone,
                         &QEventLoop::quit);
        if (bus.interface()->isServiceRegistered(saver.caller))
            gone.exec();
        QStringList calls{u"Inhibit Velumbra"_s};
        if (!refuse)
            calls << u"UnInhibit 42"_s;
        EXPECT_EQ(saver.calls, calls);
    }
    bus.unregisterObject(u"/org/freedesktop/ScreenSaver"_s);
    QDBusConnection::disconnectFromBus(u"inhibitor-test"_s);
}

} // namespace

#include "test_inhibitor.moc"
