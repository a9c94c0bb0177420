// One window per user: a second start hands its photos to the running window and ends.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

#include "app/open_request.h"

// The local socket name of this user's window on this application folder and this display: a
// start with another --home, or on another display, opens a window of its own.
QString InstanceSocketName(const QString& app_folder);

// Sends request to the running window of this user; false when none listens, or when the one
// listening under that name is another user's process (then this process opens the window
// itself). Waits at most timeout_ms.
bool HandToRunningInstance(const OpenRequest& request, const QString& socket_name, int timeout_ms = 2000);

// Listens for second starts while the window runs.
class InstanceServer : public QObject {
  Q_OBJECT

 public:
  explicit InstanceServer(QObject* parent = nullptr);
  // Starts listening; a socket left by a process that died is removed first. False when the name
  // cannot be had (the window works alone then).
  bool Listen(const QString& socket_name);

 Q_SIGNALS:
  void OpenRequested(const OpenRequest& request);

 private:
  void OnConnection();
  QLocalServer server_;
};
