// Window program start-up.
#include "app/gui_main.h"

#include <QScreen>

#include "app/instance_link.h"
#include "app/main_window.h"
#include "app/message_box_dialog.h"
#include "base/config.h"
#include "browse/thumbnail_cache.h"
#include "sources/camera_window.h"
#include "sources/synthetic_frame_source.h"

namespace {

// The test pattern's frame period: 30 frames a second, as a common webcam delivers.
constexpr int kTestPatternIntervalMs = 33;

}  // namespace

int RunGui(QApplication& app, const QString& app_folder, const OpenRequest& visit, bool camera_test_pattern,
           const QString& shipped_folder) {
  const QString socket_name = InstanceSocketName(app_folder);
  if (!camera_test_pattern && HandToRunningInstance(visit, socket_name)) return 0;
  const Config config(app_folder, shipped_folder.isEmpty() ? app_folder : shipped_folder);
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
    if (!request.folder.isEmpty() || request.selection) window.OpenVisit(request);
    window.raise();
    window.activateWindow();
  });
  if (!visit.folder.isEmpty() || visit.selection) window.OpenVisit(visit);
  if (camera_test_pattern) {
    auto* pattern = new SyntheticFrameSource();
    pattern->SetPatternInterval(kTestPatternIntervalMs);
    window.SetFrameSource(pattern);
    window.StartCamera();
    // The demonstration shows the custom frame with a window at once.
    Q_EMIT window.Camera()->WindowFrameClicked();
  }
  return app.exec();
}
