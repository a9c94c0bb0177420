// Program entry: the command line when a command is given, the window otherwise.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

#include "app/app_folder.h"
#include "app/command_line.h"
#include "app/gui_main.h"
#include "app/open_request.h"
#include "base/lumisto_error.h"
#include "imaging/image_io.h"

namespace {

QString ExecutableFolder(const char* argv0) {
  // applicationDirPath needs an application object; /proc/self/exe is what it reads on Linux.
  const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
  if (!exe.isEmpty()) return QFileInfo(exe).absolutePath();
  return QFileInfo(QString::fromLocal8Bit(argv0)).absolutePath();
}

// On the command line only our own one-line messages reach stderr; Qt's start-up chatter
// (a missing XDG_RUNTIME_DIR and the like) is dropped unless LUMISTO_DEBUG is set.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) fprintf(stderr, "%s\n", qPrintable(message));
}

bool HasDisplay() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  QTextStream out(stdout);
  QTextStream err(stderr);

  SetImageReaderLimits();
  QString home;
  bool camera_test_pattern = false;
  try {
    home = TakeHomeOption(args);
    camera_test_pattern = TakeFlag(args, QStringLiteral("--camera-test-pattern"));
  } catch (const LumistoError& e) {
    err << "lumisto: " << e.Message() << " (see 'lumisto --help')\n";
    return kExitUsage;
  }
  const QString app_folder =
      ResolveAppFolder(home, qEnvironmentVariable("LUMISTO_HOME"), ExecutableFolder(argv[0]));

  // Photos and folders alone open the window on them ("Open with" from a file manager).
  const std::optional<OpenRequest> visit = OpenRequestFor(args, QDir::currentPath());
  if (camera_test_pattern && !args.isEmpty() && !visit) {
    err << "lumisto: --camera-test-pattern opens the window and takes no command (see 'lumisto --help')\n";
    return kExitUsage;
  }
  if (WantsCommandLine(args) && !visit) {
    // Headless: drawing text and images needs a GUI application, never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("LUMISTO_DEBUG")) qInstallMessageHandler(QuietMessages);
    // Qt sees only the program name: a photo called "-platform" is a photo, never a Qt option.
    int qt_argc = 1;
    QGuiApplication app(qt_argc, argv);
    return RunCommandLine(args, app_folder, out, err);
  }

  if (!HasDisplay()) {
    err << "lumisto: no display to open the window on; for the command line see 'lumisto --help'\n";
    return kExitFailure;
  }
  // Given paths are files, never Qt options: a photo named "-platform" must not reach Qt's parser.
  int gui_argc = visit ? 1 : argc;
  QApplication app(gui_argc, argv);
  return RunGui(app, app_folder, visit.value_or(OpenRequest{}), camera_test_pattern);
}
