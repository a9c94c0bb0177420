// Command-line dispatch: --help, --version, style show, render.
#include "app/command_line.h"

#include <QFileInfo>
#include <limits>
#include <optional>

#include "app/batch_command.h"
#include "app/render_options.h"
#include "app/style_command.h"
#include "base/lumisto_error.h"
#include "base/strict_int.h"
#include "base/usage_error.h"
#include "edit/geometric_edits.h"
#include "output/render_arguments.h"
#include "output/render_to_file.h"
#include "styles/frame_style.h"
#include "styles/template_library.h"

namespace {

// "A,B,C,D" (or "AxB" with separator 'x') as integers; throws UsageError naming the option.
QList<int> Numbers(const QString& option, const QString& text, QChar separator, int count) {
  const QStringList parts = text.split(separator);
  QList<int> numbers;
  for (const QString& part : parts) {
    const std::optional<qint64> n =
        ParseInteger(part.trimmed(), std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    if (!n) {
      numbers.clear();
      break;
    }
    numbers << static_cast<int>(*n);
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
  std::optional<std::int32_t> scale;  // --scale-frames or --pixel-frames over the template's Scale
  bool quality_given = false;
  bool force = false;
  const auto value = [&args](qsizetype& i) -> const QString& {
    if (i + 1 >= args.size()) throw UsageError(QStringLiteral("%1 needs a value").arg(args[i]));
    return args[++i];
  };
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    if (arg == QLatin1String("--quality")) {
      const std::optional<qint64> quality = ParseInteger(value(i), 1, 100);
      if (!quality) throw UsageError(QStringLiteral("--quality needs a number from 1 to 100"));
      request.quality = static_cast<int>(*quality);
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
    } else if (IsToneOption(arg)) {
      QString error;
      const std::optional<ToneValues> tone = ParseToneOption(arg, value(i), &error);
      if (!tone) throw UsageError(error);
      request.tone = BuildToneMatrix(tone->contrast, tone->brightness, tone->saturation);
    } else if (arg == QLatin1String("--caption")) {
      request.caption.text = value(i);
    } else if (arg == QLatin1String("--caption-at")) {
      const QList<int> n = Numbers(arg, value(i), u',', 2);
      request.caption.position = QPointF(n[0], n[1]);
    } else if (arg == QLatin1String("--font")) {
      request.caption.font_name = value(i);
    } else if (arg == QLatin1String("--font-size")) {
      request.caption.size = ParseFontSize(value(i));
    } else if (IsCaptionLookOption(arg)) {
      QString error;
      if (!ApplyCaptionLookOption(arg, value(i), request.caption, &error)) throw UsageError(error);
    } else if (arg == QLatin1String("--scale-frames") || arg == QLatin1String("--pixel-frames")) {
      scale = arg == QLatin1String("--scale-frames") ? 1 : 0;
    } else if (arg == QLatin1String("--strip-metadata")) {
      request.metadata = MetadataPolicy::Strip;
    } else if (arg == QLatin1String("--strip-location")) {
      if (request.metadata != MetadataPolicy::Strip) request.metadata = MetadataPolicy::NoLocation;
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
  if (scale) request.style.scale = *scale;
  for (const QString& warning : CheckRenderRequest(request, positional[1], quality_given, force))
    err << "lumisto: warning: " << warning << '\n';
  err.flush();
  for (const QString& warning : RenderToFile(request, TextureList::LoadShipped()))
    err << "lumisto: warning: " << warning << '\n';
  return kExitOk;
}

}  // namespace

QString UsageText() {
  return QStringLiteral(
             "Usage:\n"
             "  lumisto [--home DIR]                     open the window\n"
             "  lumisto --camera-test-pattern            open it with the camera running on a moving test "
             "pattern\n"
             "  lumisto PHOTO... | FOLDER                open the window on those photos (recognised by "
             "content;\n"
             "                                           from several folders: shown as one selection) or "
             "that folder\n"
             "  lumisto style show FILE                  print the frame values of a template's settings "
             "file\n"
             "  lumisto style set FILE KEY=VALUE...      change frame values of a settings file (made when "
             "missing)\n"
             "  lumisto style thumbnail FILE             renew the template's 70 x 70 preview picture\n"
             "  lumisto render PHOTO TEMPLATE OUT [--quality N]\n"
             "                                           frame PHOTO with TEMPLATE (its .ini or its preview "
             "picture)\n"
             "                                           into OUT (.jpg .png .bmp .tif .gif .webp .avif "
             ".jxl;\n"
             "                                           quality N of JPEG, WebP, AVIF, JPEG XL: 100, "
             "lossless\n"
             "                                           for WebP and JPEG XL)\n"
             "      [--strip-metadata | --strip-location] leave out the photo's information (camera, date,\n"
             "                                           place), or only its GPS position\n"
             "      [--mirror] [--cw] [--ccw] ...         mirror and quarter turns, in the order given\n"
             "      [--crop X,Y,W,H]                     crop, in pixels of the turned photo\n"
             "      [--size WxH]                         scale the framed picture to W x H (W or xH: in\n"
             "                                           proportion; at most 250 million pixels)\n"
             "      [--caption TEXT] [--caption-at X,Y]  a caption at X,Y of the 315 x 315 preview "
             "(120,180)\n"
             "      [--font NAME] [--font-size PT]       its font (Lato Black, 24 points, 1 to 1000; an "
             "uninstalled font\n"
             "                                           falls back to the closest installed one)\n"
             "      [--caption-style STYLE]              regular, bold, italic or bold-italic (regular)\n"
             "      [--caption-colour RRR,GGG,BBB]       its face colour, 0..255 each (255,255,255)\n"
             "      [--caption-shadow RRR,GGG,BBB]       its shadow's colour (100,100,100)\n"
             "      [--caption-opacity FACE,SHADOW]      face and shadow opacity, 0..255 each (255,255)\n"
             "      [--tone C,B,S]                       contrast, brightness, saturation (1,0,1: "
             "unchanged)\n"
             "      [--knobs C,B,H]                      the same from the positions 1..79 of the window's "
             "knobs\n"
             "      [--scale-frames | --pixel-frames]    frame sizes in preview pixels (enlarged with the "
             "photo)\n"
             "                                           or in photo pixels, whatever the template's Scale "
             "says\n"
             "      [--force]                            write over OUT even when it is an input\n"
             "%1"
             "  lumisto --help | help                    show this text (also: render --help, style show "
             "--help)\n"
             "  lumisto --version                        show the version\n"
             "\n"
             "The application folder (Config.ini, DATA/Photo, DATA/Mask) is the folder of the executable,\n"
             "unless the environment variable LUMISTO_HOME or --home DIR names another.\n")
      .arg(BatchUsageText());
}

bool WantsCommandLine(const QStringList& args) {
  if (args.isEmpty()) return false;
  const QString& first = args[0];
  return first.startsWith(u'-') || first == QLatin1String("help") || first == QLatin1String("style") ||
         first == QLatin1String("render") || first == QLatin1String("batch");
}

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
    if (command == QLatin1String("style")) return RunStyleCommand(args.mid(1), out);
    if (command == QLatin1String("render")) return Render(args.mid(1), out, err);
    if (command == QLatin1String("batch")) return RunBatchCommand(args.mid(1), out, err);
    throw UsageError(QStringLiteral("unknown command '%1'").arg(Echo(args.join(u' '))));
  } catch (const UsageError& e) {
    err << "lumisto: " << e.Message() << " (see 'lumisto --help')\n";
    return kExitUsage;
  } catch (const LumistoError& e) {
    err << "lumisto: " << e.Message() << '\n';
    return kExitFailure;
  }
}
