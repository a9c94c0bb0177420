// Window program start-up.
#include "app/gui_main.h"

#include <QScreen>

#include "app/main_window.h"
#include "app/message_box_dialog.h"
#include "base/config.h"
#include "widgets/thumbnail_cache.h"

int RunGui(QApplication& app, const QString& app_folder) {
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
  return app.exec();
}
