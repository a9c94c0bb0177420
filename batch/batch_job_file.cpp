// Reading and writing batch job files.
#include "batch/batch_job_file.h"

#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "base/ini_file.h"
#include "base/lumisto_error.h"
#include "base/output_file.h"
#include "base/strict_int.h"
#include "imaging/image_io.h"
#include "styles/template_library.h"

namespace {

// Version 2 entries hold the style's Scale; version 1 entries, written before, do not.
constexpr int kVersion = 2;
// Bounds of values that only describe a photo or a place on the preview: generous, but finite.
constexpr int kMaxCoordinate = 1'000'000;
constexpr float kMaxFloat = 1.0e6f;
// The largest output picture: the one ceiling of photos and output sizes.
constexpr qint64 kMaxOutputPixels = kMaxImagePixels;

QString Number(float value) { return QString::number(static_cast<double>(value), 'g', 9); }

QString Join(std::initializer_list<QString> parts) { return QStringList(parts).join(u','); }

QString Floats(const float* values, int count) {
  QStringList parts;
  for (int i = 0; i < count; ++i) parts << Number(values[i]);
  return parts.join(u',');
}

IniFile::KeyValues EntryValues(const BatchEntry& entry) {
  const EditState& e = entry.edit;
  const CaptionSettings& c = e.caption;
  QStringList codes;
  for (int i = 0; i < e.rotate_flip.count; ++i)
    codes << QString::number(static_cast<int>(e.rotate_flip.codes[i]));
  const float tone[5] = {entry.tone_extra[0], e.contrast, entry.tone_extra[1], e.brightness, e.saturation};
  const float caption_floats[4] = {entry.caption_extra[0], entry.caption_extra[1],
                                   static_cast<float>(c.position.x()), static_cast<float>(c.position.y())};
  IniFile::KeyValues v{
      {QStringLiteral("OutputName"), EncodeJobText(entry.output_name)},
      {QStringLiteral("FrameName"), EncodeJobText(entry.frame_name)},
      {QStringLiteral("SizeText"), EncodeJobText(entry.size_text)},
      {QStringLiteral("Photo"), EncodeJobText(e.photo_path)},
      {QStringLiteral("Template"), EncodeJobText(e.template_path)},
      {QStringLiteral("OutputSize"),
       Join({QString::number(e.output_width), QString::number(e.output_height)})},
      {QStringLiteral("PhotoSize"), Join({QString::number(e.photo_width), QString::number(e.photo_height)})},
      {QStringLiteral("Crop"), Join({QString::number(e.crop.x), QString::number(e.crop.y),
                                     QString::number(e.crop.width), QString::number(e.crop.height)})},
      {QStringLiteral("PhotoPage"), QString::number(e.photo_page)},
      {QStringLiteral("FitFactor"), Number(e.fit_factor)},
      {QStringLiteral("ShownPhotoHeight"), Number(entry.shown_photo_height)},
      {QStringLiteral("CustomPage"), QString::number(entry.custom_page_value)},
      {QStringLiteral("QuarterTurns"), QString::number(entry.quarter_turns)},
      {QStringLiteral("MirrorSwitch"), QString::number(e.mirror_switch)},
      {QStringLiteral("RotateFlip"), codes.join(u',')},
      {QStringLiteral("WebcamView"), Floats(entry.webcam_view.data(), 2)},
      {QStringLiteral("PhotoOffset"),
       Join({QString::number(e.photo_offset.x()), QString::number(e.photo_offset.y())})},
      {QStringLiteral("PhotoDragAnchor"),
       Join({QString::number(e.photo_drag_anchor.x()), QString::number(e.photo_drag_anchor.y())})},
      {QStringLiteral("Tone"), Floats(tone, 5)},
      {QStringLiteral("ToneMatrix"), Floats(e.tone_matrix.m.data(), 25)},
      {QStringLiteral("CaptionFont"), EncodeJobText(c.font_name)},
      {QStringLiteral("CaptionSize"), QString::number(c.size)},
      {QStringLiteral("CaptionStyle"), QString::number(static_cast<int>(c.style))},
      {QStringLiteral("CaptionOpacity"),
       Join({QString::number(c.face_opacity), QString::number(c.shadow_opacity)})},
      {QStringLiteral("CaptionText"), EncodeJobText(c.text)},
      {QStringLiteral("CaptionColor"), StyleColourToText(c.face_colour)},
      {QStringLiteral("CaptionShadowColor"), StyleColourToText(c.shadow_colour)},
      {QStringLiteral("CaptionPlace"), Floats(caption_floats, 4)},
      {QStringLiteral("CaptionAnchor"),
       Join({QString::number(c.drag_anchor.x()), QString::number(c.drag_anchor.y())})},
  };
  v.append(FrameStyleKeyTexts(entry.style));
  return v;
}

// The values of one section by key (case-insensitive, the first of a key wins), and the context
// every error message names.
class SectionReader {
 public:
  SectionReader(const QString& path, const IniFile::Section& section)
      : path_(path), name_(section.name), values_(section.values) {
    exact_.reserve(values_.size());
    // From the last to the first, so the first of a key wins.
    for (qsizetype i = values_.size() - 1; i >= 0; --i) exact_.insert(values_[i].first, i);
  }

  [[noreturn]] void Fail(const QString& key, const QString& why) const {
    throw LumistoError(QStringLiteral("%1: [%2] %3: %4").arg(path_, name_, key, why));
  }

  const QString* Find(const QString& key) const {
    // Files this program writes spell every key as asked for; only a miss pays for the
    // case-blind map, built once per section.
    if (const auto it = exact_.constFind(key); it != exact_.cend()) return &values_[it.value()].second;
    if (folded_.isEmpty())
      for (qsizetype i = values_.size() - 1; i >= 0; --i) folded_.insert(values_[i].first.toLower(), i);
    const auto it = folded_.constFind(key.toLower());
    return it == folded_.cend() ? nullptr : &values_[it.value()].second;
  }

  QString Text(const QString& key, const QString& fallback) const {
    const QString* v = Find(key);
    if (!v) return fallback;
    try {
      return DecodeJobText(*v);
    } catch (const LumistoError& e) {
      Fail(key, e.Message());
    }
  }

  // count whole numbers separated by commas, each within [low, high]; fallback when the key is left out.
  QList<int> Ints(const QString& key, int count, int low, int high, const QList<int>& fallback) const {
    const QString* v = Find(key);
    if (!v) return fallback;
    const QStringList parts = v->isEmpty() ? QStringList() : v->split(u',');
    if (count >= 0 && parts.size() != count) Fail(key, QStringLiteral("needs %1 whole numbers").arg(count));
    QList<int> numbers;
    for (const QString& part : parts) {
      int n = 0;
      try {
        n = StrictToInt(part.trimmed());
      } catch (const LumistoError& e) {
        Fail(key, e.Message());
      }
      if (n < low || n > high) Fail(key, QStringLiteral("%1 is outside %2..%3").arg(n).arg(low).arg(high));
      numbers << n;
    }
    return numbers;
  }
  int Int(const QString& key, int low, int high, int fallback) const {
    return Ints(key, 1, low, high, {fallback})[0];
  }

  QList<float> Floats(const QString& key, int count, float bound, const QList<float>& fallback) const {
    const QString* v = Find(key);
    if (!v) return fallback;
    const QStringList parts = v->split(u',');
    if (parts.size() != count) Fail(key, QStringLiteral("needs %1 numbers").arg(count));
    QList<float> numbers;
    for (const QString& part : parts) {
      bool ok = false;
      const float f = part.trimmed().toFloat(&ok);
      if (!ok || !std::isfinite(f)) Fail(key, QStringLiteral("'%1' is not a number").arg(part.trimmed()));
      if (f < -bound || f > bound)
        Fail(key, QStringLiteral("%1 is outside -%2..%2").arg(part.trimmed()).arg(bound));
      numbers << f;
    }
    return numbers;
  }
  float Float(const QString& key, float bound, float fallback) const {
    return Floats(key, 1, bound, {fallback})[0];
  }

  std::int32_t Colour(const QString& key, std::int32_t fallback) const {
    const QString* v = Find(key);
    if (!v) return fallback;
    try {
      return StyleTextToColour(*v);
    } catch (const LumistoError& e) {
      Fail(key, e.Message());
    }
  }

 private:
  QString path_;
  QString name_;
  const IniFile::KeyValues& values_;
  QHash<QString, qsizetype> exact_;           // key as written -> its first line
  mutable QHash<QString, qsizetype> folded_;  // lower-case key -> its first line
};

// The style of each template settings file the job names, read once per file: nullopt when the
// file is not there.
using TemplateStyles = QHash<QString, std::optional<FrameStyle>>;

// An entry's frame style: the keys it holds over the style of its template's settings file. An
// entry written by this program holds every key; an older one lacks Scale and takes the template's,
// and a short hand-written one (Photo and Template alone) takes the template's whole style. Without
// the settings file, what the entry leaves out is the style of nothing, Scale on (the shipped
// templates' sizes are those of the preview); an entry with no style at all then cannot be framed.
void ReadEntryStyle(const SectionReader& r, const QString& template_path, TemplateStyles& template_styles,
                    FrameStyle& style) {
  int held = 0;
  for (const FrameStyleSlot& slot : FrameStyleKeys()) held += r.Find(QLatin1String(slot.key)) ? 1 : 0;
  style = FrameStyle{};
  if (held < static_cast<int>(FrameStyleKeys().size())) {
    const QString settings = TemplateSettingsPath(template_path);
    auto it = template_styles.find(settings);
    if (it == template_styles.end()) {
      std::optional<FrameStyle> read;
      if (QFileInfo(settings).isFile()) {
        try {
          FrameStyle from_file;
          ReadFrameStyle(settings, from_file);
          read = from_file;
        } catch (const LumistoError& e) {
          r.Fail(QStringLiteral("Template"), QStringLiteral("%1: %2").arg(settings, e.Message()));
        }
      }
      it = template_styles.insert(settings, read);
    }
    if (it.value()) {
      style = *it.value();
    } else if (held == 0) {
      r.Fail(QStringLiteral("Template"),
             QStringLiteral("the entry holds no frame style and %1 is not there").arg(settings));
    } else {
      style.scale = 1;
    }
  }
  QString failed;
  try {
    ReadFrameStyleKeys(
        [&r](const QString& key) -> std::optional<QString> {
          const QString* text = r.Find(key);
          return text ? std::optional<QString>(*text) : std::nullopt;
        },
        style, &failed);
  } catch (const LumistoError& e) {
    r.Fail(failed, e.Message());
  }
}

BatchEntry ReadEntry(const SectionReader& r, TemplateStyles& template_styles) {
  if (!r.Find(QStringLiteral("Photo"))) r.Fail(QStringLiteral("Photo"), QStringLiteral("missing"));
  if (!r.Find(QStringLiteral("Template"))) r.Fail(QStringLiteral("Template"), QStringLiteral("missing"));
  const QString photo = r.Text(QStringLiteral("Photo"), QString());
  const QString templ = r.Text(QStringLiteral("Template"), QString());
  BatchEntry entry = NeutralBatchEntry(photo, templ, FrameStyle{});
  EditState& e = entry.edit;
  CaptionSettings& c = e.caption;

  entry.output_name = r.Text(QStringLiteral("OutputName"), QFileInfo(photo).fileName());
  if (const auto problem = OutputNameProblem(entry.output_name))
    r.Fail(QStringLiteral("OutputName"), *problem);
  entry.frame_name = r.Text(QStringLiteral("FrameName"), QFileInfo(templ).completeBaseName());
  entry.size_text = r.Text(QStringLiteral("SizeText"), QString());

  const QList<int> output = r.Ints(QStringLiteral("OutputSize"), 2, 0, kMaxOutputPixels, {0, 0});
  if (static_cast<qint64>(output[0]) * output[1] > kMaxOutputPixels)
    r.Fail(QStringLiteral("OutputSize"),
           QStringLiteral("%1 x %2 is too large for a picture").arg(output[0]).arg(output[1]));
  e.output_width = output[0];
  e.output_height = output[1];
  const QList<int> size = r.Ints(QStringLiteral("PhotoSize"), 2, 0, kMaxCoordinate, {0, 0});
  e.photo_width = size[0];
  e.photo_height = size[1];
  const QList<int> crop = r.Ints(QStringLiteral("Crop"), 4, 0, kMaxCoordinate, {0, 0, 0, 0});
  e.crop = CropRect{crop[0], crop[1], crop[2], crop[3]};
  e.photo_page = r.Int(QStringLiteral("PhotoPage"), 0, kMaxCoordinate, 0);
  e.fit_factor = r.Float(QStringLiteral("FitFactor"), kMaxFloat, 0.0f);
  if (e.fit_factor < 0) r.Fail(QStringLiteral("FitFactor"), QStringLiteral("cannot be negative"));
  entry.shown_photo_height = r.Float(QStringLiteral("ShownPhotoHeight"), kMaxFloat, 0.0f);
  entry.custom_page_value = r.Int(QStringLiteral("CustomPage"), -kMaxCoordinate, kMaxCoordinate, 0);
  entry.quarter_turns = r.Int(QStringLiteral("QuarterTurns"), 0, 3, 0);
  e.mirror_switch = r.Int(QStringLiteral("MirrorSwitch"), 0, 1, 1);
  const QList<int> codes = r.Ints(QStringLiteral("RotateFlip"), -1, 1, 4, {});
  if (codes.size() > RotateFlipList::kCapacity)
    r.Fail(QStringLiteral("RotateFlip"),
           QStringLiteral("holds more than %1 codes").arg(RotateFlipList::kCapacity));
  for (const int code : codes) {
    if (code == 2) r.Fail(QStringLiteral("RotateFlip"), QStringLiteral("codes are 1, 3 and 4"));
    e.rotate_flip.Append(static_cast<GeometricEdit>(code));
  }
  const QList<float> webcam = r.Floats(QStringLiteral("WebcamView"), 2, kMaxFloat, {0.0f, 10.0f});
  entry.webcam_view = {webcam[0], webcam[1]};
  const QList<int> offset = r.Ints(QStringLiteral("PhotoOffset"), 2, -kMaxCoordinate, kMaxCoordinate, {0, 0});
  e.photo_offset = QPoint(offset[0], offset[1]);
  const QList<int> anchor =
      r.Ints(QStringLiteral("PhotoDragAnchor"), 2, -kMaxCoordinate, kMaxCoordinate, {0, 0});
  e.photo_drag_anchor = QPoint(anchor[0], anchor[1]);
  // Tone values and matrix entries stay within what the knobs can reach, many times over.
  const QList<float> tone = r.Floats(QStringLiteral("Tone"), 5, 100.0f, {0.0f, 1.0f, 0.0f, 0.0f, 1.0f});
  entry.tone_extra = {tone[0], tone[2]};
  e.contrast = tone[1];
  e.brightness = tone[3];
  e.saturation = tone[4];
  const ToneMatrix start_matrix;
  const QList<float> identity(start_matrix.m.cbegin(), start_matrix.m.cend());
  const QList<float> matrix = r.Floats(QStringLiteral("ToneMatrix"), 25, 100.0f, identity);
  std::copy(matrix.cbegin(), matrix.cend(), e.tone_matrix.m.begin());

  c.font_name = r.Text(QStringLiteral("CaptionFont"), c.font_name);
  if (c.font_name.isEmpty() || c.font_name.size() > 200)
    r.Fail(QStringLiteral("CaptionFont"), QStringLiteral("needs a font name of 1 to 200 characters"));
  c.size = r.Int(QStringLiteral("CaptionSize"), 1, 1000, c.size);
  c.style = static_cast<CaptionStyle>(r.Int(QStringLiteral("CaptionStyle"), 0, 3, static_cast<int>(c.style)));
  const QList<int> opacity = r.Ints(QStringLiteral("CaptionOpacity"), 2, 0, 255, {255, 255});
  c.face_opacity = opacity[0];
  c.shadow_opacity = opacity[1];
  c.text = r.Text(QStringLiteral("CaptionText"), QString());
  c.face_colour = r.Colour(QStringLiteral("CaptionColor"), c.face_colour);
  c.shadow_colour = r.Colour(QStringLiteral("CaptionShadowColor"), c.shadow_colour);
  const QList<float> place =
      r.Floats(QStringLiteral("CaptionPlace"), 4, kMaxFloat, {2.0f, 2.0f, 120.0f, 180.0f});
  entry.caption_extra = {place[0], place[1]};
  c.position = QPointF(place[2], place[3]);
  const QList<int> caption_anchor =
      r.Ints(QStringLiteral("CaptionAnchor"), 2, -kMaxCoordinate, kMaxCoordinate, {10, 10});
  c.drag_anchor = QPoint(caption_anchor[0], caption_anchor[1]);

  ReadEntryStyle(r, templ, template_styles, entry.style);
  return entry;
}

}  // namespace

QString EncodeJobText(const QString& text) {
  bool quote = !text.isEmpty() && (text.front().isSpace() || text.back().isSpace() || text.front() == u'"');
  for (const QChar ch : text) quote = quote || ch.category() == QChar::Other_Control;
  if (!quote) return text;
  QString out = QStringLiteral("\"");
  for (const QChar ch : text) {
    if (ch == u'\\' || ch == u'"') {
      out += u'\\';
      out += ch;
    } else if (ch == u'\n') {
      out += QLatin1String("\\n");
    } else if (ch == u'\r') {
      out += QLatin1String("\\r");
    } else if (ch == u'\t') {
      out += QLatin1String("\\t");
    } else if (ch.category() == QChar::Other_Control) {
      out += QStringLiteral("\\u%1").arg(ch.unicode(), 4, 16, QChar(u'0'));
    } else {
      out += ch;
    }
  }
  return out + u'"';
}

QString DecodeJobText(const QString& value) {
  if (!value.startsWith(u'"')) return value;
  const auto bad = [] {
    return LumistoError(QStringLiteral("a quoted text is not closed or has a bad escape"));
  };
  if (value.size() < 2 || !value.endsWith(u'"')) throw bad();
  QString out;
  const qsizetype end = value.size() - 1;
  for (qsizetype i = 1; i < end; ++i) {
    const QChar ch = value[i];
    if (ch == u'"') throw bad();
    if (ch != u'\\') {
      out += ch;
      continue;
    }
    if (++i >= end) throw bad();
    const QChar e = value[i];
    if (e == u'\\' || e == u'"') {
      out += e;
    } else if (e == u'n') {
      out += u'\n';
    } else if (e == u'r') {
      out += u'\r';
    } else if (e == u't') {
      out += u'\t';
    } else if (e == u'u' && i + 4 < end) {
      const auto code_at = [&value](qsizetype at) -> int {
        // Exactly four hexadecimal digits: no sign, no blanks.
        const QStringView digits = QStringView(value).mid(at, 4);
        if (!std::all_of(digits.begin(), digits.end(),
                         [](QChar c) { return isxdigit(c.unicode()) && c.unicode() < 128; }))
          return -1;
        return digits.toUShort(nullptr, 16);
      };
      const int code = code_at(i + 1);
      if (code < 0) throw bad();
      i += 4;
      // A character beyond the first 65,536 is two escapes, high then low surrogate. A surrogate
      // alone is no character: the file system would store it as something else, so two names
      // that differ only there would be one file.
      if (QChar::isLowSurrogate(static_cast<char32_t>(code))) throw bad();
      out += QChar(static_cast<ushort>(code));
      if (QChar::isHighSurrogate(static_cast<char32_t>(code))) {
        const int low = i + 6 < end && value[i + 1] == u'\\' && value[i + 2] == u'u' ? code_at(i + 3) : -1;
        if (low < 0 || !QChar::isLowSurrogate(static_cast<char32_t>(low))) throw bad();
        out += QChar(static_cast<ushort>(low));
        i += 6;
      }
    } else {
      throw bad();
    }
  }
  return out;
}

void WriteBatchJob(const QString& path, const QList<BatchEntry>& entries) {
  // The writer refuses what the reader would: a file that cannot be opened again is no file.
  if (entries.isEmpty()) throw LumistoError(QStringLiteral("%1: a job needs at least one entry").arg(path));
  if (entries.size() > kMaxJobEntries)
    throw LumistoError(
        QStringLiteral("%1: a job file holds at most %2 entries").arg(path).arg(kMaxJobEntries));
  IniFile ini = IniFile::New(path);
  ini.AppendSection(QStringLiteral("Batch"), {{QStringLiteral("Version"), QString::number(kVersion)},
                                              {QStringLiteral("Entries"), QString::number(entries.size())}});
  for (qsizetype i = 0; i < entries.size(); ++i) {
    if (const auto problem = OutputNameProblem(entries[i].output_name))
      throw LumistoError(QStringLiteral("%1: [Entry%2] OutputName: %3").arg(path).arg(i + 1).arg(*problem));
    ini.AppendSection(QStringLiteral("Entry%1").arg(i + 1), EntryValues(entries[i]));
  }
  const QByteArray data = ini.Bytes();
  if (data.size() > kMaxJobFileBytes)
    throw LumistoError(QStringLiteral("%1: a job file is at most %2 MB; this one would be larger")
                           .arg(path)
                           .arg(kMaxJobFileBytes >> 20));
  OutputFile file(path);
  file.Commit(WriteAll(file.Device(), data.constData(), data.size()));
}

QList<BatchEntry> ReadBatchJob(const QString& path) {
  const QFileInfo info(path);
  if (!info.isFile()) throw LumistoError(QStringLiteral("%1: no such job file").arg(path));
  if (info.size() > kMaxJobFileBytes)
    throw LumistoError(
        QStringLiteral("%1: a job file is at most %2 MB").arg(path).arg(kMaxJobFileBytes >> 20));
  const auto fail = [&path](const QString& why) {
    return LumistoError(QStringLiteral("%1: %2").arg(path, why));
  };
  if (!info.isReadable()) throw fail(QStringLiteral("cannot be read"));
  // Each entry is read as soon as its section is: only one section's texts are held at a time.
  bool cut = false;
  bool checked_cut = false;
  int count = -1;  // announced by [Batch], once it is read
  QList<BatchEntry> entries;
  TemplateStyles template_styles;
  IniFile::ForEachSection(path, kMaxJobFileBytes, &cut, [&](IniFile::Section& section) {
    // Every line of a job this program writes ends with a line break: a last line without one is a
    // file cut off in the middle of a value.
    if (!checked_cut && cut)
      throw fail(QStringLiteral("the last line is cut off (no line break at the end)"));
    checked_cut = true;
    const SectionReader reader(path, section);
    // The [Batch] section first, then [Entry1] .. [EntryN], as many as it announces.
    if (count < 0) {
      if (section.name.compare(QLatin1String("Batch"), Qt::CaseInsensitive) != 0)
        throw fail(QStringLiteral("[Batch] is missing: not a batch job"));
      reader.Int(QStringLiteral("Version"), 1, kVersion, kVersion);
      if (!reader.Find(QStringLiteral("Entries")))
        reader.Fail(QStringLiteral("Entries"), QStringLiteral("missing"));
      count = reader.Int(QStringLiteral("Entries"), 0, kMaxJobEntries, 0);
      if (count == 0) throw fail(QStringLiteral("a job with no entries"));
      entries.reserve(count);
      return;
    }
    const qsizetype number = entries.size() + 1;
    if (number > count)
      throw fail(
          QStringLiteral("[%1] is more than the %2 entries [Batch] announces").arg(section.name).arg(count));
    const QString expected = QStringLiteral("Entry%1").arg(number);
    if (section.name.compare(expected, Qt::CaseInsensitive) != 0)
      throw fail(QStringLiteral("[%1] is missing ([%2] stands in its place)").arg(expected, section.name));
    entries.append(ReadEntry(reader, template_styles));
  });
  if (cut && !checked_cut) throw fail(QStringLiteral("the last line is cut off (no line break at the end)"));
  if (count < 0) throw fail(QStringLiteral("[Batch] is missing: not a batch job"));
  if (entries.size() < count)
    throw fail(QStringLiteral("[Entry%1] is missing: [Batch] announces %2 entries, the file holds %3")
                   .arg(entries.size() + 1)
                   .arg(count)
                   .arg(entries.size()));
  return entries;
}

QString MissingFiles(const BatchEntry& entry) {
  QStringList missing;
  if (!QFileInfo(entry.edit.photo_path).isFile()) missing << QStringLiteral("photo missing");
  if (!QFileInfo(entry.edit.template_path).isFile()) missing << QStringLiteral("template missing");
  return missing.join(QStringLiteral(", "));
}
