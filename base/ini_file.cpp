// INI document parsing and in-place editing.
#include "base/ini_file.h"

#include <QFile>
#include <QSaveFile>

#include "base/lumisto_error.h"

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

bool SameName(const QByteArray& a, const QString& b) {
  return QString::fromUtf8(a).compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

}  // namespace

IniFile IniFile::Load(const QString& path) {
  IniFile ini;
  ini.path_ = path;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    ini.unreadable_ = file.exists();
    return ini;
  }
  const QByteArray data = file.readAll();
  qsizetype start = 0;
  while (start < data.size()) {
    const qsizetype nl = data.indexOf('\n', start);
    Line line;
    if (nl < 0) {
      line.text = data.mid(start);
      start = data.size();
    } else {
      line.text = data.mid(start, nl - start);
      line.terminator = "\n";
      if (line.text.endsWith('\r')) {
        line.text.chop(1);
        line.terminator = "\r\n";
      }
      start = nl + 1;
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

IniFile::Found IniFile::Find(const QString& section, const QString& key) const {
  Found found;
  for (qsizetype i = 0; i < lines_.size(); ++i) {
    const QByteArray name = SectionName(lines_[i].text);
    if (name.isNull()) continue;
    if (found.section_line >= 0) {
      found.section_end = i;
      break;
    }
    if (SameName(name, section)) found.section_line = i;
  }
  if (found.section_line < 0) return found;
  if (found.section_end < 0) found.section_end = lines_.size();
  for (qsizetype i = found.section_line + 1; i < found.section_end; ++i) {
    QByteArray k;
    if (SplitKey(lines_[i].text, &k, nullptr) && SameName(k, key)) {
      found.key_line = i;
      break;
    }
  }
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
  if (!lines_.isEmpty() && lines_.last().terminator.isEmpty()) lines_.last().terminator = nl;
  if (!lines_.isEmpty() && !lines_.last().text.trimmed().isEmpty()) lines_.append(Line{QByteArray(), nl});
  lines_.append(Line{'[' + section.trimmed().toUtf8() + ']', nl});
  for (const auto& [key, value] : values)
    lines_.append(Line{key.trimmed().toUtf8() + '=' + value.trimmed().toUtf8(), nl});
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

void IniFile::Save() const {
  QByteArray data;
  for (const Line& line : lines_) data += line.text + line.terminator;
  QSaveFile file(path_);
  const bool ok =
      !unreadable_ && file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
  if (!ok) throw LumistoError(QStringLiteral("Unable to write to %1").arg(path_));
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
