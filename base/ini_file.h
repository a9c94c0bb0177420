// INI files (Config.ini, template settings) read one value at a time and edited in place.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <utility>

// An INI document held as its raw lines. Section and key names compare without regard to
// case; the first matching section and the first matching key in it win; names and values are
// trimmed. Edits change only the line they concern, so every other byte of the file survives.
class IniFile {
 public:
  // The largest settings file read.
  static constexpr qint64 kMaxBytes = 1024 * 1024;

  // Loads the file at path; a missing or unreadable file gives an empty document (an
  // unreadable one is then never overwritten by Save). A UTF-8 byte-order mark at the start is
  // skipped (and kept on Save). Throws LumistoError naming the file when it is larger than
  // max_bytes (kMaxBytes for settings files; batch jobs allow more) or is not a regular file (a
  // pipe would block the read).
  static IniFile Load(const QString& path, qint64 max_bytes = kMaxBytes);
  // An empty document that Save writes to path, replacing whatever file is there.
  static IniFile New(const QString& path);

  const QString& Path() const { return path_; }

  // The value of key in section, or default_value when the section or key is missing.
  QString Value(const QString& section, const QString& key, const QString& default_value) const;

  // Sets key in section: rewrites the key's line, or appends the key to the end of the
  // section, or appends the section to the end of the document.
  void SetValue(const QString& section, const QString& key, const QString& value);

  using KeyValues = QList<std::pair<QString, QString>>;
  struct Section {
    QString name;
    KeyValues values;  // in file order
  };

  // Appends a new section with its keys at the end of the document, without looking for an
  // existing one: for files written whole, where SetValue's search per key would cost too much.
  void AppendSection(const QString& section, const KeyValues& values);
  // Every section in file order with its keys, in one pass over the document; keys before the
  // first section are left out.
  QList<Section> Sections() const;
  // Load(path, max_bytes).Sections(), without the lookup index Load builds for Value and SetValue:
  // for files read whole and never edited (batch jobs of thousands of sections). *cut (when given)
  // tells whether the file's last line ends without a line break.
  static QList<Section> ReadSections(const QString& path, qint64 max_bytes = kMaxBytes, bool* cut = nullptr);

  // ReadSections one section at a time: take receives each section, in file order, as soon as it
  // is read, and may move from it; only that one section is held. *cut is known before the first.
  static void ForEachSection(const QString& path, qint64 max_bytes, bool* cut,
                             const std::function<void(Section&)>& take);

  // The bytes Save writes.
  QByteArray Bytes() const;

  // Replaces the file with the document in one step (temporary file in the same folder, then
  // rename); creates it when missing. Throws LumistoError "Unable to write to <path>".
  void Save() const;

 private:
  struct Line {
    QByteArray text;        // without its terminator
    QByteArray terminator;  // "\n", "\r\n", "\r" or empty for a last line without one
  };
  struct Found {
    qsizetype section_line = -1;  // index of the section header
    qsizetype section_end = -1;   // one past the last line that belongs to the section
    qsizetype key_line = -1;
  };

  // Where each section's first header lies, and its keys' first lines: lookups take constant time
  // however long the file. Names are case-folded.
  struct SectionIndex {
    qsizetype header = -1;
    qsizetype end = -1;
    QHash<QString, qsizetype> keys;
  };

  // The bytes of the file (checked as Load says); empty with *unreadable set when the file exists
  // but cannot be opened.
  static QByteArray ReadBytes(const QString& path, qint64 max_bytes, bool* unreadable);
  // Load without the index.
  static IniFile ReadLines(const QString& path, qint64 max_bytes);
  Found Find(const QString& section, const QString& key) const;
  void BuildIndex();
  QByteArray NewlineStyle() const;

  QString path_;
  QList<Line> lines_;
  QHash<QString, SectionIndex> index_;
  // The folded name of the section the last append indexed: usually the one running to the end.
  QString last_appended_;
  bool byte_order_mark_ = false;
  bool unreadable_ = false;  // the file exists but could not be read: never overwrite it
};

// One-shot helpers in the manner of profile functions: each opens, reads or writes, and closes.
QString ReadIniString(const QString& path, const QString& section, const QString& key,
                      const QString& default_value);
void WriteIniString(const QString& path, const QString& section, const QString& key, const QString& value);
