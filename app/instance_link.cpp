// The local socket between a second start and the running window.
#include "app/instance_link.h"

#include <unistd.h>
#include <QLocalSocket>

#include <memory>

namespace {

// A request is a few paths; anything longer is not ours.
constexpr qint64 kMaxMessageBytes = 1 << 20;

}  // namespace

QString InstanceSocketName() {
  // LUMISTO_INSTANCE names another socket: tests run their own windows beside the user's.
  const QString chosen = qEnvironmentVariable("LUMISTO_INSTANCE");
  return chosen.isEmpty() ? QStringLiteral("lumisto-%1").arg(getuid()) : chosen;
}

bool HandToRunningInstance(const OpenRequest& request, const QString& socket_name, int timeout_ms) {
  QLocalSocket socket;
  socket.connectToServer(socket_name);
  if (!socket.waitForConnected(timeout_ms)) return false;
  socket.write(EncodeOpenRequest(request));
  if (!socket.waitForBytesWritten(timeout_ms)) return false;
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeout_ms);
  return true;
}

InstanceServer::InstanceServer(QObject* parent) : QObject(parent) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, &InstanceServer::OnConnection);
}

bool InstanceServer::Listen(const QString& socket_name) {
  if (server_.listen(socket_name)) return true;
  // Nobody answers on a name that is taken: a crashed run left its socket file behind.
  QLocalSocket probe;
  probe.connectToServer(socket_name);
  if (probe.waitForConnected(500)) return false;
  QLocalServer::removeServer(socket_name);
  return server_.listen(socket_name);
}

void InstanceServer::OnConnection() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // The message lives as long as the connections that share it, which go with the socket.
    const auto message = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::readyRead, socket, [socket, message] {
      message->append(socket->readAll());
      if (message->size() > kMaxMessageBytes) socket->abort();
    });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket, message] {
      message->append(socket->readAll());
      const std::optional<OpenRequest> request =
          message->size() <= kMaxMessageBytes ? DecodeOpenRequest(*message) : std::nullopt;
      if (request) Q_EMIT OpenRequested(*request);
    });
  }
}
