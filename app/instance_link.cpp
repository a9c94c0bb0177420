// The local socket between a second start and the running window.
#include "app/instance_link.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>

#include <memory>

namespace {

// A request is a few paths; anything longer is not ours.
constexpr qint64 kMaxMessageBytes = 1 << 20;

// True when the process at the other end of the connected socket runs as this user. A name in a
// shared folder can be taken by anyone first; photos are only ever handed to our own window.
bool PeerIsThisUser(const QLocalSocket& socket) {
  ucred credentials{};
  socklen_t length = sizeof credentials;
  const int fd = static_cast<int>(socket.socketDescriptor());
  if (fd < 0 || getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) return false;
  return credentials.uid == getuid();
}

}  // namespace

QString InstanceSocketName(const QString& app_folder) {
  // LUMISTO_INSTANCE names another socket: tests run their own windows beside the user's.
  const QString chosen = qEnvironmentVariable("LUMISTO_INSTANCE");
  if (!chosen.isEmpty()) return chosen;
  // One window per user, application folder and display. The folder and the display go in as a
  // short hash, since socket paths are limited to about a hundred bytes.
  const QByteArray where =
      QDir::cleanPath(app_folder).toUtf8() + '\n' + qgetenv("WAYLAND_DISPLAY") + '\n' + qgetenv("DISPLAY");
  const QString tag =
      QString::fromLatin1(QCryptographicHash::hash(where, QCryptographicHash::Sha256).toHex().left(16));
  const QString name = QStringLiteral("lumisto-%1-%2").arg(getuid()).arg(tag);
  // The runtime folder is this user's alone; elsewhere Qt puts the socket in the temporary folder.
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  return runtime.isEmpty() ? name : QDir(runtime).filePath(name);
}

bool HandToRunningInstance(const OpenRequest& request, const QString& socket_name, int timeout_ms) {
  QLocalSocket socket;
  socket.connectToServer(socket_name);
  if (!socket.waitForConnected(timeout_ms)) return false;
  if (!PeerIsThisUser(socket)) return false;
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
    // Another user's process reaching the socket hands nothing over.
    if (!PeerIsThisUser(*socket)) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
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
