// INI document parsing and in-place editing.
#include "base/ini_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>

#include "base/lumisto_error.h"
#include "base/output_file.h"

namespace {

// A section header "[name]" gives its trimmed name; anything else gives a null array.
QByteArray SectionName(const QByteArray& line) {
  const QByteArray t = line.trimmed();
  if (!t.startsWith('[')) return {};
  const qsizetype close = t.indexOf(']');
  if (close < 0) return {};
  QByteArray name = t.mid(1, close - 1).trimmed();
  if (name.isNull()) name = QByteArray("");  // "[]" is a section with an empty name
  return name;
}

bool IsComment(const QByteArray& trimmed) { return trimmed.startsWith(';') || trimmed.startsWith('#'); }

// Splits "key = value" into its trimmed key and value; false for lines without '='.
bool SplitKey(const QByteArray& line, QByteArray* key, QByteArray* value) {
  const QByteArray t = line.trimmed();
  if (t.isEmpty() || IsComment(t) || t.startsWith('[')) return false;
  const qsizetype eq = t.indexOf('=');
  if (eq < 0) return false;
  *key = t.left(eq).trimmed();
  if (value) *value = t.mid(eq + 1).trimmed();
  return true;
}

QString Folded(const QString& name) { return name.trimmed().toCaseFolded(); }

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

}  // namespace

IniFile IniFile::Load(const QString& path, qint64 max_bytes) {
  IniFile ini = ReadLines(path, max_bytes);
  ini.BuildIndex();
  return ini;
}

QList<IniFile::Section> IniFile::ReadSections(const QString& path, qint64 max_bytes, bool* cut) {
  QList<Section> sections;
  ForEachSection(path, max_bytes, cut,
                 [&sections](Section& section) { sections.append(std::move(section)); });
  return sections;
}

void IniFile::ForEachSection(const QString& path, qint64 max_bytes, bool* cut,
                             const std::function<void(Section&)>& take) {
  // One pass over the bytes, without a copy of each line: the only texts made are the names, keys
  // and values themselves, and only one section's at a time (a job of 100,000 sections holds
  // millions of lines).
  bool unreadable = false;
  const QByteArray data = ReadBytes(path, max_bytes, &unreadable);
  const char* bytes = data.constData();
  const qsizetype size = data.size();
  qsizetype start = data.startsWith(kByteOrderMark) ? 3 : 0;
  if (cut) *cut = size > start && bytes[size - 1] != '\n' && bytes[size - 1] != '\r';
  std::optional<Section> open;
  while (start < size) {
    qsizetype end = start;
    while (end < size && bytes[end] != '\n' && bytes[end] != '\r') ++end;
    const QByteArrayView line = QByteArrayView(bytes + start, end - start).trimmed();
    start = end + (end + 1 < size && bytes[end] == '\r' && bytes[end + 1] == '\n' ? 2 : 1);
    if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
    if (line.startsWith('[')) {
      const qsizetype close = line.indexOf(']');
      if (close < 0) continue;
      if (open) take(*open);
      open = Section{QString::fromUtf8(line.sliced(1, close - 1).trimmed()), {}};
      continue;
    }
    const qsizetype eq = line.indexOf('=');
    if (eq < 0 || !open) continue;
    open->values.append(
        {QString::fromUtf8(line.first(eq).trimmed()), QString::fromUtf8(line.sliced(eq + 1).trimmed())});
  }
  if (open) take(*open);
}

QByteArray IniFile::ReadBytes(const QString& path, qint64 max_bytes, bool* unreadable) {
  *unreadable = false;
  const QFileInfo info(path);
  if (info.exists() && !info.isFile()) throw LumistoError(QStringLiteral("%1: not a regular file").arg(path));
  if (info.exists() && info.size() > max_bytes)
    throw LumistoError(QStringLiteral("%1: a settings file of %2 bytes, more than the %3 allowed")
                           .arg(path)
                           .arg(info.size())
                           .arg(max_bytes));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *unreadable = file.exists();
    return QByteArray();
  }
  // Read no more than the limit even should the file grow meanwhile.
  QByteArray data = file.read(max_bytes + 1);
  if (data.size() > max_bytes)
    throw LumistoError(QStringLiteral("%1: a settings file larger than %2 bytes").arg(path).arg(max_bytes));
  return data;
}

IniFile IniFile::ReadLines(const QString& path, qint64 max_bytes) {
  IniFile ini;
  ini.path_ = path;
  const QByteArray data = ReadBytes(path, max_bytes, &ini.unreadable_);
  qsizetype start = 0;
  if (data.startsWith(kByteOrderMark)) {
    ini.byte_order_mark_ = true;
    start = 3;
  }
  // Lines end in LF, CR LF or CR alone (as old editors of another platform write them).
  static const QByteArray kLf("\n"), kCrLf("\r\n"), kCr("\r");
  const char* bytes = data.constData();
  const qsizetype size = data.size();
  while (start < size) {
    qsizetype end = start;
    while (end < size && bytes[end] != '\n' && bytes[end] != '\r') ++end;
    Line line;
    line.text = data.mid(start, end - start);
    if (end == size) {
      start = size;
    } else if (bytes[end] == '\n') {
      line.terminator = kLf;
      start = end + 1;
    } else if (end + 1 < size && bytes[end + 1] == '\n') {
      line.terminator = kCrLf;
      start = end + 2;
    } else {
      line.terminator = kCr;
      start = end + 1;
    }
    ini.lines_.append(line);
  }
  return ini;
}

IniFile IniFile::New(const QString& path) {
  IniFile ini;
  ini.path_ = path;
  return ini;
}

void IniFile::BuildIndex() {
  index_.clear();
  // Only the first section of a name is ever read or written; its keys are those up to the next
  // header of any name.
  QString open;  // the first section whose lines are being read, or empty
  bool reading = false;
  for (qsizetype i = 0; i < lines_.size(); ++i) {
    const QByteArray name = SectionName(lines_[i].text);
    if (!name.isNull()) {
      if (reading) index_[open].end = i;
      open = Folded(QString::fromUtf8(name));
      reading = !index_.contains(open);
      if (reading) index_[open].header = i;
      continue;
    }
    QByteArray k;
    if (reading && SplitKey(lines_[i].text, &k, nullptr)) {
      QHash<QString, qsizetype>& keys = index_[open].keys;
      const QString folded = Folded(QString::fromUtf8(k));
      if (!keys.contains(folded)) keys.insert(folded, i);
    }
  }
  if (reading) index_[open].end = lines_.size();
}

IniFile::Found IniFile::Find(const QString& section, const QString& key) const {
  Found found;
  const auto at = index_.constFind(Folded(section));
  if (at == index_.constEnd()) return found;
  found.section_line = at->header;
  found.section_end = at->end;
  found.key_line = at->keys.value(Folded(key), -1);
  return found;
}

QString IniFile::Value(const QString& section, const QString& key, const QString& default_value) const {
  const Found found = Find(section, key);
  if (found.key_line < 0) return default_value;
  QByteArray k, v;
  SplitKey(lines_[found.key_line].text, &k, &v);
  return QString::fromUtf8(v);
}

QByteArray IniFile::NewlineStyle() const {
  for (const Line& line : lines_)
    if (!line.terminator.isEmpty()) return line.terminator;
  return "\r\n";  // a new file gets the line ends the format was born with
}

void IniFile::SetValue(const QString& section, const QString& key, const QString& value) {
  const QByteArray nl = NewlineStyle();
  const Found found = Find(section, key);
  if (found.key_line >= 0) {
    Line& line = lines_[found.key_line];
    QByteArray k;
    SplitKey(line.text, &k, nullptr);
    line.text = k + '=' + value.trimmed().toUtf8();
    return;
  }
  // Lines are added below: the index is made again (a pass over the lines, no worse than the insert).
  struct Rebuild {
    IniFile* ini;
    ~Rebuild() { ini->BuildIndex(); }
  } rebuild{this};
  const Line key_line{key.trimmed().toUtf8() + '=' + value.trimmed().toUtf8(), nl};
  if (!lines_.isEmpty() && lines_.last().terminator.isEmpty()) lines_.last().terminator = nl;
  if (found.section_line >= 0) {
    // After the section's last non-blank line, so blank lines before the next section stay put.
    qsizetype at = found.section_end;
    while (at > found.section_line + 1 && lines_[at - 1].text.trimmed().isEmpty()) --at;
    lines_.insert(at, key_line);
    return;
  }
  lines_.append(Line{'[' + section.trimmed().toUtf8() + ']', nl});
  lines_.append(key_line);
}

void IniFile::AppendSection(const QString& section, const KeyValues& values) {
  const QByteArray nl = NewlineStyle();
  const qsizetype old_end = lines_.size();
  if (!lines_.isEmpty() && lines_.last().terminator.isEmpty()) lines_.last().terminator = nl;
  if (!lines_.isEmpty() && !lines_.last().text.trimmed().isEmpty()) lines_.append(Line{QByteArray(), nl});
  const qsizetype header = lines_.size();
  lines_.append(Line{'[' + section.trimmed().toUtf8() + ']', nl});
  // The index follows along instead of being made again: the section that ran to the end now ends
  // at the new header, and the new section is indexed unless an earlier one of its name wins.
  // Appending section after section, the one running to the end is the last one appended:
  // looked up at once, so a job of thousands of sections is written in linear time.
  if (const auto last = index_.find(last_appended_); last != index_.end() && last->end == old_end) {
    last->end = header;
  } else {
    for (SectionIndex& entry : index_)
      if (entry.end == old_end) entry.end = header;
  }
  const QString folded = Folded(section.trimmed());
  const bool indexed = !index_.contains(folded);
  SectionIndex entry;
  entry.header = header;
  for (const auto& [key, value] : values) {
    if (indexed) {
      const QString folded_key = Folded(key.trimmed());
      if (!entry.keys.contains(folded_key)) entry.keys.insert(folded_key, lines_.size());
    }
    lines_.append(Line{key.trimmed().toUtf8() + '=' + value.trimmed().toUtf8(), nl});
  }
  entry.end = lines_.size();
  if (indexed) {
    index_.insert(folded, entry);
    last_appended_ = folded;
  }
}

QList<IniFile::Section> IniFile::Sections() const {
  QList<Section> sections;
  for (const Line& line : lines_) {
    const QByteArray name = SectionName(line.text);
    if (!name.isNull()) {
      sections.append(Section{QString::fromUtf8(name), {}});
      continue;
    }
    QByteArray k, v;
    if (!sections.isEmpty() && SplitKey(line.text, &k, &v))
      sections.last().values.append({QString::fromUtf8(k), QString::fromUtf8(v)});
  }
  return sections;
}

QByteArray IniFile::Bytes() const {
  QByteArray data = byte_order_mark_ ? QByteArray(kByteOrderMark) : QByteArray();
  qsizetype size = data.size();
  for (const Line& line : lines_) size += line.text.size() + line.terminator.size();
  data.reserve(size);
  for (const Line& line : lines_) {
    data += line.text;
    data += line.terminator;
  }
  return data;
}

void IniFile::Save() const {
  const QByteArray data = Bytes();
  if (unreadable_)
    throw LumistoError(OutputFile::Unable(path_, QStringLiteral("the file could not be read")));
  OutputFile file(path_);
  file.Commit(file.Device().write(data) == data.size());
}

QString ReadIniString(const QString& path, const QString& section, const QString& key,
                      const QString& default_value) {
  return IniFile::Load(path).Value(section, key, default_value);
}

void WriteIniString(const QString& path, const QString& section, const QString& key, const QString& value) {
  IniFile ini = IniFile::Load(path);
  ini.SetValue(section, key, value);
  ini.Save();
}
