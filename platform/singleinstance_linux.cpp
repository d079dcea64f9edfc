// SPDX-License-Identifier: GPL-3.0-or-later
// One instance on the session bus: the program's id as a unique bus name,
// serving the desktops' own interface for starting applications, so that a
// launcher that speaks it reaches the running window too.

#include "platform/singleinstance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QObject>
#include <QUrl>
#include <QVariantMap>

namespace velumbra {
namespace {

const QString kInterface = QStringLiteral("org.freedesktop.Application");
// A connection of its own, so that the name goes with this object.
const QString kConnection = QStringLiteral("velumbra-single-instance");
constexpr int kAnswerMs = 10000;

class ApplicationInterface : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit ApplicationInterface(SingleInstance &instance) : m_instance(instance) {}

public Q_SLOTS:
    void Activate(const QVariantMap &) { deliver({}); }
    void Open(const QStringList &uris, const QVariantMap &)
    {
        for (const QString &uri : uris) {
            const QUrl url(uri);
            if (url.isLocalFile()) {
                deliver(url.toLocalFile().toStdString());
                return;
            }
        }
        deliver({});
    }
    void ActivateAction(const QString &, const QVariantList &, const QVariantMap &) { deliver({}); }

private:
    // Queued: the caller waits for the answer, not for what the request opens.
    void deliver(const std::string &folderOrFile)
    {
        QMetaObject::invokeMethod(
            this,
            [this, folderOrFile] {
                if (m_instance.onRequest)
                    m_instance.onRequest(folderOrFile);
            },
            Qt::QueuedConnection);
    }

    SingleInstance &m_instance;
};

class BusInstance final : public SingleInstance
{
public:
    BusInstance(QDBusConnection bus, const std::string &id)
        : m_bus(std::move(bus)), m_service(QString::fromStdString(id)),
          m_path(QLatin1Char('/') + QString(m_service).replace(QLatin1Char('.'), QLatin1Char('/'))),
          m_interface(*this)
    {
    }
    ~BusInstance() override { QDBusConnection::disconnectFromBus(kConnection); }

    Result<bool> claim() override
    {
        // The object first, so that a start that sees the name can call it at once.
        if (!m_bus.registerObject(m_path, &m_interface, QDBusConnection::ExportAllSlots))
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
    ApplicationInterface m_interface;
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

#include "singleinstance_linux.moc"
