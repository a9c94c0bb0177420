// Starts the window program.
#pragma once

#include <QApplication>
#include <QString>

#include "app/open_request.h"

// Hands visit to this user's running window when there is one; otherwise creates the forms on the
// application folder, opens visit (when it names a folder) and runs the message loop. Returns the
// exit code. With camera_test_pattern the window starts on its own, the camera tool window open
// and running on a moving test pattern instead of a device.
// shipped_folder holds the manual (the application folder unless installed).
int RunGui(QApplication& app, const QString& app_folder, const OpenRequest& visit,
           bool camera_test_pattern = false, const QString& shipped_folder = QString());
