// SPDX-License-Identifier: GPL-3.0-or-later
// One instance on the session bus: the program's id as a unique bus name,
// serving the desktops' own interface for starting applications, so that a
// launcher that speaks it reaches the running window too.

#include "platform/singleinstance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusVirtualObject>
#include <QDir>
#include <QUrl>
#include <QVariantMap>

namespace velumbra {
namespace {

const QString kInterface = QStringLiteral("org.freedesktop.Application");
// A connection of its own, so that the name goes with this object.
const QString kConnection = QStringLiteral("velumbra-single-instance");
constexpr int kAnswerMs = 10000;

// The desktops' interface for starting applications, handled by hand
// rather than through generated glue.
class ApplicationObject final : public QDBusVirtualObject
{
public:
    explicit ApplicationObject(SingleInstance &instance) : m_instance(instance) {}

    QString introspect(const QString &) const override
    {
        return QStringLiteral(
            "<interface name=\"org.freedesktop.Application\">"
            "<method name=\"Activate\"><arg type=\"a{sv}\" direction=\"in\"/></method>"
            "<method name=\"Open\"><arg type=\"as\" direction=\"in\"/>"
            "<arg type=\"a{sv}\" direction=\"in\"/></method>"
            "<method name=\"ActivateAction\"><arg type=\"s\" direction=\"in\"/>"
            "<arg type=\"av\" direction=\"in\"/><arg type=\"a{sv}\" direction=\"in\"/></method>"
            "</interface>");
    }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        if (message.interface() != kInterface)
            return false;
        std::string folderOrFile;
        if (message.member() == QLatin1String("Open") && !message.arguments().isEmpty()) {
            for (const QString &uri : message.arguments().constFirst().toStringList()) {
                if (const QUrl url(uri); url.isLocalFile()) {
                    folderOrFile = url.toLocalFile().toStdString();
                    break;
                }
            }
        } else if (message.member() != QLatin1String("Activate") &&
                   message.member() != QLatin1String("ActivateAction")) {
            return false;
        }
        connection.send(message.createReply());
        // Queued: the caller waits for the answer, not for what the request opens.
        QMetaObject::invokeMethod(
            this,
            [this, folderOrFile] {
                if (m_instance.onRequest)
                    m_instance.onRequest(folderOrFile);
            },
            Qt::QueuedConnection);
        return true;
    }

private:
    SingleInstance &m_instance;
};

class BusInstance final : public SingleInstance
{
public:
    BusInstance(QDBusConnection bus, const std::string &id)
        : m_bus(std::move(bus)), m_service(QString::fromStdString(id)),
          m_path(QLatin1Char('/') + QString(m_service).replace(QLatin1Char('.'), QLatin1Char('/'))),
          m_object(*this)
    {
    }
    ~BusInstance() override { QDBusConnection::disconnectFromBus(kConnection); }

    Result<bool> claim() override
    {
        // The object first, so that a start that sees the name can call it at once.
        if (!m_bus.registerVirtualObject(m_path, &m_object))
            return Failure{"Velumbra ne peut pas se déclarer sur le bus de session."};
        const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
            m_bus.interface()->registerService(m_service,
                                               QDBusConnectionInterface::DontQueueService,
                                               QDBusConnectionInterface::DontAllowReplacement);
        if (!reply.isValid()) {
            m_bus.unregisterObject(m_path);
            return Failure{"Le bus de session refuse le nom « " + m_service.toStdString() + " » (" +
                           reply.error().message().toStdString() + ")."};
        }
        if (reply.value() != QDBusConnectionInterface::ServiceRegistered) {
            m_bus.unregisterObject(m_path);
            return false;
        }
        return true;
    }

    Result<> forward(const std::string &folderOrFile) override
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            m_service, m_path, kInterface,
            folderOrFile.empty() ? QStringLiteral("Activate") : QStringLiteral("Open"));
        if (folderOrFile.empty()) {
            call << QVariantMap();
        } else {
            call << QStringList{QUrl::fromLocalFile(QString::fromStdString(folderOrFile))
                                    .toString(QUrl::FullyEncoded)}
                 << QVariantMap();
        }
        const QDBusMessage answer = m_bus.call(call, QDBus::Block, kAnswerMs);
        if (answer.type() == QDBusMessage::ErrorMessage)
            return Failure{"Velumbra est déjà ouvert mais ne répond pas (" +
                           answer.errorMessage().toStdString() + ")."};
        return Result<>::success();
    }

private:
    QDBusConnection m_bus;
    QString m_service;
    QString m_path;
    ApplicationObject m_object;
};

} // namespace

std::unique_ptr<SingleInstance> createSingleInstance(const std::string &id)
{
    // Read here rather than by libdbus, which keeps the first address it saw.
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    QDBusConnection bus =
        address.isEmpty() ? QDBusConnection::connectToBus(QDBusConnection::SessionBus, kConnection)
                          : QDBusConnection::connectToBus(address, kConnection);
    if (bus.isConnected())
        return std::make_unique<BusInstance>(std::move(bus), id);
    QDBusConnection::disconnectFromBus(kConnection);
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime))
        return createLocalSocketInstance(runtime.toStdString() + "/" + id);
    return createUnsharedInstance();
}

} // namespace velumbra
