// SPDX-License-Identifier: GPL-3.0-or-later
// The local-socket way of keeping one instance, and none at all. A request
// is one line of UTF-8 (the path, possibly empty); the running instance
// answers with an empty line once it has taken it.

#include "platform/singleinstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QMetaObject>

namespace velumbra {
namespace {

constexpr int kAnswerMs = 10000;

class LocalSocketInstance final : public SingleInstance
{
public:
    explicit LocalSocketInstance(QString serverName) : m_name(std::move(serverName)) {}

    Result<bool> claim() override
    {
        if (answers())
            return false;
        m_server.setSocketOptions(QLocalServer::UserAccessOption);
        // A socket file left by a process that ended without closing it.
        if (!m_server.listen(m_name) &&
            !(m_server.serverError() == QAbstractSocket::AddressInUseError &&
              QLocalServer::removeServer(m_name) && m_server.listen(m_name))) {
            return Failure{"Velumbra ne peut pas ouvrir « " + m_name.toStdString() +
                           " » pour les lancements suivants (" +
                           m_server.errorString().toStdString() + ")."};
        }
        QObject::connect(&m_server, &QLocalServer::newConnection, &m_server,
                         [this] { acceptRequests(); });
        return true;
    }

    Result<> forward(const std::string &folderOrFile) override
    {
        QLocalSocket socket;
        socket.connectToServer(m_name);
        const QByteArray request = QByteArray::fromStdString(folderOrFile) + '\n';
        if (socket.waitForConnected(kAnswerMs) && socket.write(request) == request.size() &&
            socket.waitForBytesWritten(kAnswerMs)) {
            while (!socket.canReadLine() && socket.waitForReadyRead(kAnswerMs)) {
            }
            if (socket.canReadLine())
                return Result<>::success();
        }
        return Failure{"Velumbra est déjà ouvert mais ne répond pas (" +
                       socket.errorString().toStdString() + ")."};
    }

private:
    [[nodiscard]] bool answers() const
    {
        QLocalSocket probe;
        probe.connectToServer(m_name);
        return probe.waitForConnected(kAnswerMs);
    }

    void acceptRequests()
    {
        while (QLocalSocket *client = m_server.nextPendingConnection()) {
            QObject::connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            QObject::connect(client, &QLocalSocket::readyRead, client, [this, client] {
                if (!client->canReadLine())
                    return;
                const QByteArray line = client->readLine().chopped(1);
                client->write("\n");
                client->flush();
                client->disconnectFromServer();
                deliver(line.toStdString());
            });
        }
    }

    // Queued: what the request opens may ask the user something, and the
    // starting process must not wait for that answer.
    void deliver(const std::string &folderOrFile)
    {
        QMetaObject::invokeMethod(
            &m_server,
            [this, folderOrFile] {
                if (onRequest)
                    onRequest(folderOrFile);
            },
            Qt::QueuedConnection);
    }

    QString m_name;
    QLocalServer m_server;
};

class UnsharedInstance final : public SingleInstance
{
public:
    Result<bool> claim() override { return true; }
    Result<> forward(const std::string &) override
    {
        return Failure{"Aucun Velumbra ouvert ne peut recevoir la demande."};
    }
};

} // namespace

std::unique_ptr<SingleInstance> createLocalSocketInstance(const std::string &serverName)
{
    return std::make_unique<LocalSocketInstance>(QString::fromStdString(serverName));
}

std::unique_ptr<SingleInstance> createUnsharedInstance()
{
    return std::make_unique<UnsharedInstance>();
}

} // namespace velumbra
