// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wallpaper/inhibitor.h"
#include "platform/wallpaper/x11root.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace velumbra {
namespace {

constexpr int kTimeoutMs = 5000;
const char *const kService = "org.freedesktop.ScreenSaver";
const char *const kPath = "/org/freedesktop/ScreenSaver";

} // namespace

ScreenSaverInhibitor::~ScreenSaverInhibitor()
{
    if (!m_cookie)
        return;
    auto msg =
        QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                       QString::fromLatin1(kService), QStringLiteral("UnInhibit"));
    msg << *m_cookie;
    QDBusConnection::sessionBus().call(msg, QDBus::Block, kTimeoutMs);
}

bool ScreenSaverInhibitor::serviceAvailable()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const auto reply = bus.interface()->isServiceRegistered(QString::fromLatin1(kService));
    return reply.isValid() && reply.value();
}

Result<> ScreenSaverInhibitor::inhibit()
{
    if (m_cookie)
        return Result<>::success();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return Failure{"Le bus de session D-Bus est inaccessible : "
                       "l'économiseur d'écran reste actif."};
    auto msg =
        QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                       QString::fromLatin1(kService), QStringLiteral("Inhibit"));
    msg << QStringLiteral("Velumbra") << QStringLiteral("Rotation du papier peint");
    const QDBusMessage reply = bus.call(msg, QDBus::Block, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return Failure{"Le bureau a refusé de suspendre l'économiseur d'écran (" +
                       reply.errorMessage().toStdString() + ")."};
    m_cookie = reply.arguments().constFirst().toUInt();
    return Result<>::success();
}

Result<> disableSessionScreenSaver(ScreenSaverInhibitor &inhibitor, const std::string &display)
{
    bool tried = false;
    if (ScreenSaverInhibitor::serviceAvailable()) {
        tried = true;
        if (auto r = inhibitor.inhibit(); !r.ok())
            return r;
    }
    if (!display.empty()) {
        tried = true;
        if (auto r = disableX11ScreenSaver(display); !r.ok())
            return r;
    }
    if (!tried)
        return Failure{"Aucun économiseur d'écran n'a pu être désactivé : ni service "
                       "org.freedesktop.ScreenSaver ni serveur X."};
    return Result<>::success();
}

} // namespace velumbra
