// Showing, setting and renewing a template from the command line.
#include "app/style_command.h"

#include <QFileInfo>

#include "app/command_line.h"
#include "base/usage_error.h"
#include "compose/style_thumbnail.h"
#include "output/render_arguments.h"
#include "styles/frame_style.h"
#include "styles/template_files.h"
#include "styles/template_library.h"
#include "styles/texture_list.h"

namespace {

// Reads a settings file; its failures name the file.
FrameStyle ReadExisting(const QString& path) {
  if (!QFileInfo(path).isFile()) throw LumistoError(QStringLiteral("%1: no file").arg(path));
  FrameStyle style;
  try {
    ReadFrameStyle(path, style);
  } catch (const LumistoError& e) {
    throw LumistoError(QStringLiteral("%1: %2").arg(path, e.Message()));
  }
  return style;
}

int Show(const QStringList& args, QTextStream& out) {
  if (args.size() == 1 && args[0] == QLatin1String("--help")) {
    out << "Usage: lumisto style show FILE\n"
           "  print the frame values of a template (its .ini or its picture)\n";
    return kExitOk;
  }
  if (args.size() != 1) throw UsageError(QStringLiteral("style show takes one settings file"));
  FrameStyle style;
  ReadTemplate(args[0], style);
  for (const FrameStyleSlot& key : FrameStyleKeys())
    out << key.key << '=' << SlotText(key, style.*key.field) << '\n';
  return kExitOk;
}

const FrameStyleSlot* FindKey(const QString& name) {
  for (const FrameStyleSlot& key : FrameStyleKeys())
    if (name == QLatin1String(key.key)) return &key;
  return nullptr;
}

int Set(const QStringList& args) {
  if (args.size() < 2)
    throw UsageError(QStringLiteral("style set takes a settings file and KEY=VALUE pairs"));
  const QString& path = args[0];
  // A new file starts from a style of zeros, as the window's style is before any template.
  FrameStyle style = QFileInfo::exists(path) ? ReadExisting(path) : FrameStyle();
  // Every pair is checked before the file is touched.
  for (const QString& pair : args.mid(1)) {
    const qsizetype equals = pair.indexOf(u'=');
    if (equals <= 0) throw UsageError(QStringLiteral("'%1' is not KEY=VALUE").arg(pair));
    const FrameStyleSlot* key = FindKey(pair.left(equals));
    if (!key) throw UsageError(QStringLiteral("unknown key '%1'").arg(pair.left(equals)));
    style.*key->field = SlotValueFromText(*key, pair.mid(equals + 1), style.*key->field);
  }
  WriteFrameStyle(path, style);
  return kExitOk;
}

int Thumbnail(const QStringList& args) {
  if (args.size() != 1) throw UsageError(QStringLiteral("style thumbnail takes one settings file"));
  const QString settings = TemplateSettingsPath(args[0]);
  WriteTemplatePicture(settings, RenderStyleThumbnail(ReadExisting(settings), TextureList::LoadShipped()));
  return kExitOk;
}

}  // namespace

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

int RunStyleCommand(const QStringList& args, QTextStream& out) {
  const QString verb = args.value(0);
  if (verb == QLatin1String("show")) return Show(args.mid(1), out);
  if (verb == QLatin1String("set")) return Set(args.mid(1));
  if (verb == QLatin1String("thumbnail")) return Thumbnail(args.mid(1));
  throw UsageError(QStringLiteral("style needs show, set or thumbnail"));
}
