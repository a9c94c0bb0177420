// Reading the shipped template definitions: sections of named frame styles in one text file.
#include "tools/template_definitions.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <optional>

#include "base/lumisto_error.h"
#include "compose/render_composite.h"

namespace {

[[noreturn]] void Fail(const QString& file_name, int line, const QString& what) {
  throw LumistoError(QStringLiteral("%1:%2: %3").arg(file_name).arg(line).arg(what));
}

// A whole decimal number within min..max, or nullopt.
std::optional<int> Number(const QString& text, int min, int max) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok, 10);
  if (!ok || value < min || value > max) return std::nullopt;
  return value;
}

// Value text of one key into its slot's number; nullopt when it does not fit the slot's kind.
std::optional<std::int32_t> SlotValue(SlotKind kind, const QString& text) {
  switch (kind) {
    case SlotKind::Opacity:
      if (text.endsWith(u'%')) {
        const auto percent = Number(text.chopped(1), 0, 100);
        if (!percent) return std::nullopt;
        return StoredOpacityFromPercent(*percent);
      }
      return Number(text, 0, 255);
    case SlotKind::Switch:
      return Number(text, 0, 1);
    case SlotKind::Colour: {
      const QStringList parts = text.split(u',');
      if (parts.size() != 3) return std::nullopt;
      std::int32_t word = 0;
      for (int i = 0; i < 3; ++i) {
        const auto component = Number(parts[i], 0, 255);
        if (!component) return std::nullopt;
        word |= *component << (8 * i);  // red in the low byte
      }
      return word;
    }
    case SlotKind::Size:
      return Number(text, 0, 1000);
    case SlotKind::Index:
      return Number(text, 0, 1000);
  }
  return std::nullopt;
}

FrameStyle DefaultStyle() {
  FrameStyle style;
  for (const FrameStyleSlot& slot : FrameStyleSlots())
    if (slot.kind == SlotKind::Opacity) style.*slot.field = 255;
  // The back colour lies under the photo, so a photo hides it; the preview picture, drawn without a
  // photo, shows it in the window, where a light grey reads as "your photo here".
  style.back_color = kDefaultBackColour;
  return style;
}

}  // namespace

QList<TemplateDefinition> ParseTemplateDefinitions(const QString& text, const QString& file_name) {
  static const QRegularExpression kHeader(QStringLiteral(R"(^\[([A-Za-z0-9]+)/([A-Za-z0-9 '\-]+)\]$)"));
  QList<TemplateDefinition> definitions;
  QSet<QString> names;
  QSet<QString> keys_seen;
  const QStringList lines = text.split(u'\n');
  for (int i = 0; i < lines.size(); ++i) {
    const int line_number = i + 1;
    QString line = lines[i];
    const qsizetype comment = line.indexOf(u'#');
    if (comment >= 0) line.truncate(comment);
    line = line.trimmed();
    if (line.isEmpty()) continue;
    if (line.startsWith(u'[')) {
      const QRegularExpressionMatch match = kHeader.match(line);
      if (!match.hasMatch()) Fail(file_name, line_number, QStringLiteral("bad section header %1").arg(line));
      TemplateDefinition definition{match.captured(1), match.captured(2).trimmed(), DefaultStyle(),
                                    line_number};
      // Names become file names, which compare without case on some systems.
      const QString id = (definition.category + u'/' + definition.name).toLower();
      if (names.contains(id)) Fail(file_name, line_number, QStringLiteral("%1 is defined twice").arg(line));
      names.insert(id);
      definitions.append(definition);
      keys_seen.clear();
      continue;
    }
    if (definitions.isEmpty())
      Fail(file_name, line_number, QStringLiteral("a value before the first section"));
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0) Fail(file_name, line_number, QStringLiteral("expected Key=value"));
    const QString key = line.left(equals).trimmed();
    const QString value = line.mid(equals + 1).trimmed();
    const FrameStyleSlot* found = nullptr;
    for (const FrameStyleSlot& slot : FrameStyleSlots())
      if (key == QLatin1String(slot.key)) found = &slot;
    if (!found) Fail(file_name, line_number, QStringLiteral("unknown key %1").arg(key));
    if (keys_seen.contains(key)) Fail(file_name, line_number, QStringLiteral("%1 given twice").arg(key));
    keys_seen.insert(key);
    const auto number = SlotValue(found->kind, value);
    if (!number) Fail(file_name, line_number, QStringLiteral("bad value for %1: %2").arg(key, value));
    definitions.last().style.*(found->field) = *number;
  }
  return definitions;
}

QImage RenderTemplatePreview(const FrameStyle& style) {
  constexpr int kPreviewSize = 70;
  QImage picture(kPreviewSize, kPreviewSize, QImage::Format_ARGB32_Premultiplied);
  picture.fill(Qt::transparent);
  RenderComposite(picture, picture, style, TextureList::LoadShipped());
  return picture;
}
