// Starts the window program.
#pragma once

#include <QApplication>
#include <QString>

// Creates the forms on the application folder and runs the message loop; returns its exit code.
int RunGui(QApplication& app, const QString& app_folder);
