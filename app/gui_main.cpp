// Window program start-up.
#include "app/gui_main.h"

#include <QScreen>

#include "app/instance_link.h"
#include "app/main_window.h"
#include "app/message_box_dialog.h"
#include "base/config.h"
#include "widgets/thumbnail_cache.h"

int RunGui(QApplication& app, const QString& app_folder, const OpenRequest& visit) {
  const QString socket_name = InstanceSocketName();
  if (HandToRunningInstance(visit, socket_name)) return 0;
  const Config config(app_folder);
  MessageBoxDialog dialogs;
  const ThumbnailCache cache(ThumbnailCache::DefaultFolder());
  MainWindow window(config, dialogs, cache);
  dialogs.SetParent(&window);
  // Centred on the desktop.
  if (const QScreen* screen = app.primaryScreen()) {
    const QRect desktop = screen->availableGeometry();
    window.move(desktop.x() + (desktop.width() - window.width()) / 2,
                desktop.y() + (desktop.height() - window.height()) / 2);
  }
  window.show();
  InstanceServer server;
  server.Listen(socket_name);  // without it the window works alone
  QObject::connect(&server, &InstanceServer::OpenRequested, &window, [&window](const OpenRequest& request) {
    if (!request.folder.isEmpty()) window.OpenVisit(request);
    window.raise();
    window.activateWindow();
  });
  if (!visit.folder.isEmpty()) window.OpenVisit(visit);
  return app.exec();
}
