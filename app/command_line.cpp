// Command-line dispatch: --help, --version, style show, render.
#include "app/command_line.h"

#include <QFileInfo>

#include "base/lumisto_error.h"
#include "edit/geometric_edits.h"
#include "output/render_arguments.h"
#include "output/render_to_file.h"
#include "styles/frame_style.h"
#include "styles/template_library.h"

namespace {

// Reads the template's settings; messages name the file and, for a bad value, the key.
void ReadTemplate(const QString& template_argument, FrameStyle& style) {
  const QString settings = TemplateSettingsPath(template_argument);
  if (!QFileInfo::exists(settings)) throw LumistoError(QStringLiteral("%1: no file").arg(settings));
  try {
    ReadFrameStyle(settings, style);
  } catch (const LumistoError& e) {
    const QString message = NameFailingKey(settings, e.Message());
    throw LumistoError(message.startsWith(settings) ? message
                                                    : QStringLiteral("%1: %2").arg(settings, message));
  }
}

int StyleShow(const QStringList& args, QTextStream& out) {
  if (args.size() == 1 && args[0] == QLatin1String("--help")) {
    out << "Usage: lumisto style show FILE\n"
           "  print the 32 frame values of a template (its .ini or its picture)\n";
    return kExitOk;
  }
  if (args.size() != 1) throw UsageError(QStringLiteral("style show takes one settings file"));
  FrameStyle style;
  ReadTemplate(args[0], style);
  for (const FrameStyleSlot& slot : FrameStyleSlots())
    out << slot.key << '=' << SlotText(slot, style.*slot.field) << '\n';
  return kExitOk;
}

// "A,B,C,D" (or "AxB" with separator 'x') as integers; throws UsageError naming the option.
QList<int> Numbers(const QString& option, const QString& text, QChar separator, int count) {
  const QStringList parts = text.split(separator);
  QList<int> numbers;
  for (const QString& part : parts) {
    bool ok = false;
    numbers << part.trimmed().toInt(&ok);
    if (!ok) numbers.clear();
    if (!ok) break;
  }
  if (numbers.size() != count)
    throw UsageError(
        QStringLiteral("%1 needs %2 whole numbers separated by '%3'").arg(option).arg(count).arg(separator));
  return numbers;
}

int Render(const QStringList& args, QTextStream& out, QTextStream& err) {
  if (args.contains(QLatin1String("--help"))) {
    out << UsageText();
    return kExitOk;
  }
  QStringList positional;
  RenderRequest request;
  bool quality_given = false, force = false;
  const auto value = [&args](qsizetype& i) -> const QString& {
    if (i + 1 >= args.size()) throw UsageError(QStringLiteral("%1 needs a value").arg(args[i]));
    return args[++i];
  };
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == QLatin1String("--quality")) {
      bool ok = false;
      request.quality = value(i).toInt(&ok);
      if (!ok || request.quality < 1 || request.quality > 100)
        throw UsageError(QStringLiteral("--quality needs a number from 1 to 100"));
      quality_given = true;
    } else if (arg == QLatin1String("--force")) {
      force = true;
    } else if (arg == QLatin1String("--mirror")) {
      RecordGeometricEdit(request.rotate_flip, GeometricEdit::Mirror);
    } else if (arg == QLatin1String("--cw")) {
      RecordGeometricEdit(request.rotate_flip, GeometricEdit::TurnClockwise);
    } else if (arg == QLatin1String("--ccw")) {
      RecordGeometricEdit(request.rotate_flip, GeometricEdit::TurnCounterClockwise);
    } else if (arg == QLatin1String("--crop")) {
      request.crop = ParseCrop(value(i));
    } else if (arg == QLatin1String("--size")) {
      request.output_size = ParseOutputSize(value(i));
    } else if (arg == QLatin1String("--caption")) {
      request.caption.text = value(i);
    } else if (arg == QLatin1String("--caption-at")) {
      const QList<int> n = Numbers(arg, value(i), u',', 2);
      request.caption.position = QPointF(n[0], n[1]);
    } else if (arg == QLatin1String("--font")) {
      request.caption.font_name = value(i);
    } else if (arg == QLatin1String("--font-size")) {
      request.caption.size = ParseFontSize(value(i));
    } else if (arg.startsWith(QLatin1String("--"))) {
      throw UsageError(QStringLiteral("render does not know %1").arg(Echo(arg)));
    } else {
      positional << arg;
    }
  }
  if (positional.size() != 3) throw UsageError(QStringLiteral("render takes PHOTO TEMPLATE OUT"));
  request.photo_path = positional[0];
  request.output_path = positional[2];
  ReadTemplate(positional[1], request.style);
  for (const QString& warning : CheckRenderRequest(request, positional[1], quality_given, force))
    err << "lumisto: warning: " << warning << '\n';
  err.flush();
  RenderToFile(request, TextureList::LoadShipped());
  return kExitOk;
}

}  // namespace

QString UsageText() {
  return QStringLiteral(
      "Usage:\n"
      "  lumisto [--home DIR]                     open the window\n"
      "  lumisto style show FILE                  print the 32 frame values of a template's settings file\n"
      "  lumisto render PHOTO TEMPLATE OUT [--quality N]\n"
      "                                           frame PHOTO with TEMPLATE (its .ini or its preview "
      "picture)\n"
      "                                           into OUT (.jpg .png .bmp .tif .gif; JPEG quality N, 100)\n"
      "      [--mirror] [--cw] [--ccw] ...         mirror and quarter turns, in the order given\n"
      "      [--crop X,Y,W,H]                     crop, in pixels of the turned photo\n"
      "      [--size WxH]                         scale the framed picture to W x H (W or xH: in\n"
      "                                           proportion; at most 250 million pixels)\n"
      "      [--caption TEXT] [--caption-at X,Y]  a caption at X,Y of the 315 x 315 preview (120,180)\n"
      "      [--font NAME] [--font-size PT]       its font (Arial Black, 24 points; 1 to 1000)\n"
      "      [--force]                            write over OUT even when it is an input\n"
      "  lumisto --help | help                    show this text (also: render --help, style show --help)\n"
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
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
      out << UsageText();
      return kExitOk;
    }
    if (command == QLatin1String("--version")) {
      out << "lumisto " << LUMISTO_VERSION << '\n';
      return kExitOk;
    }
    if (command == QLatin1String("style") && args.value(1) == QLatin1String("show"))
      return StyleShow(args.mid(2), out);
    if (command == QLatin1String("render")) return Render(args.mid(1), out, err);
    throw UsageError(QStringLiteral("unknown command '%1'").arg(Echo(args.join(u' '))));
  } catch (const UsageError& e) {
    err << "lumisto: " << e.Message() << " (see 'lumisto --help')\n";
    return kExitUsage;
  } catch (const LumistoError& e) {
    err << "lumisto: " << e.Message() << '\n';
    return kExitFailure;
  }
}
