// Window program start-up.
#include "app/gui_main.h"

#include <QLabel>

int RunGui(QApplication& app, const QString& app_folder) {
  QLabel placeholder(QStringLiteral("Lumisto\n") + app_folder);
  placeholder.setObjectName(QStringLiteral("TForm1"));
  placeholder.resize(800, 600);
  placeholder.show();
  return app.exec();
}
