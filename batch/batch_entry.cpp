// Batch entries and their store.
#include "batch/batch_entry.h"

#include <QFileInfo>
#include <algorithm>

BatchEntry NeutralBatchEntry(const QString& photo_path, const QString& template_path,
                             const FrameStyle& style) {
  BatchEntry entry;
  entry.output_name = QFileInfo(photo_path).fileName();
  EditState& e = entry.edit;
  e.photo_path = photo_path;
  e.template_path = template_path;
  e.mirror_switch = 1;
  e.photo_offset = QPoint(0, 0);
  e.photo_drag_anchor = QPoint(0, 0);
  e.contrast = 1.0f;
  e.brightness = 0.0f;
  e.saturation = 1.0f;
  // The caption the window and `lumisto render` start with (a white face over a grey shadow), so
  // a caption typed into the entry later looks as it would have on the photo framed by hand.
  e.caption = CaptionSettings{};
  // Not measured yet: a render takes the fit factor from the photo itself.
  e.fit_factor = 0.0f;
  entry.style = style;
  return entry;
}

std::optional<QString> OutputNameProblem(const QString& name) {
  if (name.isEmpty()) return QStringLiteral("An output name cannot be empty.");
  if (name.contains(u'/') || name.contains(u'\\'))
    return QStringLiteral("\"%1\": an output name cannot hold a path separator.").arg(name);
  if (name.contains(QLatin1String("..")))
    return QStringLiteral("\"%1\": an output name cannot hold \"..\".").arg(name);
  for (const QChar c : name)
    if (c.category() == QChar::Other_Control)
      return QStringLiteral("An output name cannot hold control characters.");
  // Half a surrogate pair is no character: on disk it becomes another one, which other names hold.
  if (!name.isValidUtf16()) return QStringLiteral("An output name cannot hold a broken character.");
  // The longest file name the usual file systems take.
  if (name.toUtf8().size() > 255) return QStringLiteral("\"%1\": the output name is too long.").arg(name);
  return std::nullopt;
}

int BatchStore::Append(BatchEntry entry) {
  entries_.append(std::move(entry));
  return Count() - 1;
}

void BatchStore::Replace(QList<BatchEntry> entries) {
  entries_ = std::move(entries);
  current_ = -1;
}

void BatchStore::Store(int row, const EditState& edit, const FrameStyle& style) {
  BatchEntry& entry = entries_[row];
  entry.edit = edit;
  entry.style = style;
}

void BatchStore::Load(int row, EditState& edit, FrameStyle& style) const {
  edit = entries_[row].edit;
  style = entries_[row].style;
}

void BatchStore::Remove(QList<int> rows) {
  // rows may share its buffer with the caller's list: detach before taking iterators, or begin()
  // could copy the buffer after end() was taken from the shared one.
  rows.detach();
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  // From the last to the first, so the rows still to remove keep their numbers.
  for (auto it = rows.crbegin(); it != rows.crend(); ++it) {
    const int row = *it;
    if (row < 0 || row >= Count()) continue;
    entries_.removeAt(row);
    // The editor stays tied to its own entry: it moves up with it, or is untied when it goes.
    if (current_ == row)
      current_ = -1;
    else if (current_ > row)
      --current_;
  }
}
