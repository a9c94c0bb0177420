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
#include "app/user_data_folder.h"
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
  // An installed program keeps the user's data in the user's data folder, never under its prefix.
  const DataFolders folders =
      ResolveDataFolders(home, qEnvironmentVariable("LUMISTO_HOME"), ExecutableFolder(argv[0]),
                         qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
  const QString& app_folder = folders.app_folder;

  if (WantsCommandLine(args)) {
    if (camera_test_pattern) {
      err << "lumisto: --camera-test-pattern opens the window and takes no command (see 'lumisto --help')\n";
      return kExitUsage;
    }
    // Headless: drawing text and images needs a GUI application, never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("LUMISTO_DEBUG")) qInstallMessageHandler(QuietMessages);
    // Qt sees only the program name: a photo called "-platform" is a photo, never a Qt option.
    int qt_argc = 1;
    QGuiApplication app(qt_argc, argv);
    return RunCommandLine(args, app_folder, out, err);
  }

  // Photos and folders alone open the window on them ("Open with" from a file manager).
  std::optional<OpenRequest> visit;
  if (!args.isEmpty()) {
    const OpenArguments read = ReadOpenArguments(args, QDir::currentPath());
    for (const QString& warning : read.warnings) err << "lumisto: " << warning << '\n';
    if (read.outcome == OpenArguments::Outcome::UnknownCommand) {
      err << "lumisto: " << read.message << " (see 'lumisto --help')\n";
      return kExitUsage;
    }
    if (read.outcome == OpenArguments::Outcome::Failure) {
      err << "lumisto: " << read.message << '\n';
      return kExitFailure;
    }
    visit = read.request;
  }
  err.flush();

  if (!HasDisplay()) {
    err << "lumisto: no display to open the window on; for the command line see 'lumisto --help'\n";
    return kExitFailure;
  }
  if (folders.app_folder != folders.shipped_folder) {
    try {
      SeedUserDataFolder(folders.shipped_folder, folders.app_folder);
    } catch (const LumistoError& e) {
      err << "lumisto: " << e.Message() << '\n';
      return kExitFailure;
    }
  }
  // Given paths are files, never Qt options: a photo named "-platform" must not reach Qt's parser.
  int gui_argc = visit ? 1 : argc;
  QApplication app(gui_argc, argv);
  return RunGui(app, app_folder, visit.value_or(OpenRequest{}), camera_test_pattern, folders.shipped_folder);
}
