// Command-line dispatch: --help, --version, style show, render.
#include "app/command_line.h"

#include <QFileInfo>

#include "app/lumisto_error.h"
#include "styles/frame_style.h"

namespace {

class UsageError : public LumistoError {
 public:
  using LumistoError::LumistoError;
};

int StyleShow(const QStringList& args, QTextStream& out) {
  if (args.size() != 1) throw UsageError(QStringLiteral("style show takes one settings file"));
  const QString& path = args[0];
  if (!QFileInfo(path).isFile()) throw LumistoError(QStringLiteral("no file"));
  FrameStyle style;
  ReadFrameStyle(path, style);
  for (const FrameStyleSlot& slot : FrameStyleSlots())
    out << slot.key << '=' << SlotText(slot, style.*slot.field) << '\n';
  return kExitOk;
}

}  // namespace

QString UsageText() {
  return QStringLiteral(
      "Usage:\n"
      "  lumisto [--home DIR]                     open the window\n"
      "  lumisto style show FILE                  print the 32 frame values of a template's settings file\n"
      "  lumisto --help                           show this text\n"
      "  lumisto --version                        show the version\n"
      "\n"
      "The application folder (Config.ini, DATA/Photo, DATA/Mask) is the folder of the executable,\n"
      "unless the environment variable LUMISTO_HOME or --home DIR names another.\n");
}

bool WantsCommandLine(const QStringList& args) { return !args.isEmpty(); }

int RunCommandLine(const QStringList& args, const QString& app_folder, QTextStream& out, QTextStream& err) {
  Q_UNUSED(app_folder);
  try {
    if (args.isEmpty()) throw UsageError(QStringLiteral("no command given"));
    const QString& command = args[0];
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
      out << UsageText();
      return kExitOk;
    }
    if (command == QLatin1String("--version")) {
      out << "lumisto " << LUMISTO_VERSION << '\n';
      return kExitOk;
    }
    if (command == QLatin1String("style") && args.value(1) == QLatin1String("show"))
      return StyleShow(args.mid(2), out);
    throw UsageError(QStringLiteral("unknown command '%1'").arg(args.join(u' ')));
  } catch (const UsageError& e) {
    err << "lumisto: " << e.Message() << " (see 'lumisto --help')\n";
    return kExitUsage;
  } catch (const LumistoError& e) {
    err << "lumisto: " << e.Message() << '\n';
    return kExitFailure;
  }
}
