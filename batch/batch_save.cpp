// Batch save planning and summary.
#include "batch/batch_save.h"

#include <sys/stat.h>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>

#include "imaging/format_limits.h"
#include "imaging/image_io.h"
#include "output/render_arguments.h"
#include "styles/template_library.h"

namespace {

// A file as the file system knows it: two paths to one file (links, "..", a second spelling) give
// the same identity.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

size_t qHash(const FileIdentity& id, size_t seed = 0) {
  return qHashMulti(seed, static_cast<quint64>(id.device), static_cast<quint64>(id.inode));
}

std::optional<FileIdentity> IdentityOf(const QString& path) {
  struct stat info {};
  if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
  return FileIdentity{info.st_dev, info.st_ino};
}

// Every file the entries read: which rows read each one as their photo, and which are templates.
class RunInputs {
 public:
  explicit RunInputs(const QList<BatchEntry>& entries) {
    QSet<QString> templates_seen;
    for (qsizetype row = 0; row < entries.size(); ++row) {
      const EditState& e = entries[row].edit;
      if (const auto id = IdentityOf(e.photo_path)) photo_rows_[*id].append(static_cast<int>(row));
      if (templates_seen.contains(e.template_path)) continue;
      templates_seen.insert(e.template_path);
      for (const QString& file : {e.template_path, TemplateSettingsPath(e.template_path)})
        if (const auto id = IdentityOf(file)) templates_.insert(*id);
    }
  }

  InputClash Check(const QString& output, int row, QString* text) const {
    const auto id = IdentityOf(output);
    if (!id) return InputClash::kNone;
    const QString shown = QFileInfo(output).filePath();
    if (templates_.contains(*id)) {
      *text = QStringLiteral("%1 is a template the batch reads").arg(shown);
      return InputClash::kOtherInput;
    }
    const auto it = photo_rows_.constFind(*id);
    if (it == photo_rows_.cend()) return InputClash::kNone;
    for (const int reader : *it) {
      if (reader == row) continue;
      *text = QStringLiteral("%1 is the photo of entry %2").arg(shown).arg(reader + 1);
      return InputClash::kOtherInput;
    }
    *text = QStringLiteral("%1 is the photo of its own entry %2").arg(shown).arg(row + 1);
    return InputClash::kOwnPhoto;
  }

 private:
  QHash<FileIdentity, QList<int>> photo_rows_;
  QSet<FileIdentity> templates_;
};

}  // namespace

QList<PlannedOutput> PlanOutputs(const QList<BatchEntry>& entries, QList<int> rows, const QString& folder,
                                 const std::function<bool(const QString&)>& exists) {
  // rows may share its buffer with the caller's list: detach before taking iterators, or begin()
  // could copy the buffer after end() was taken from the shared one.
  rows.detach();
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  const RunInputs inputs(entries);
  QList<PlannedOutput> plan;
  plan.reserve(rows.size());
  // Names as the file system stores them: two texts that encode to the same bytes are one file.
  QSet<QByteArray> written_earlier;
  for (const int row : rows) {
    if (row < 0 || row >= entries.size()) continue;
    PlannedOutput out;
    out.row = row;
    const BatchEntry& entry = entries[row];
    const QString& name = entry.output_name;
    if (const auto problem = OutputNameProblem(name)) {
      out.refusal = *problem;
      plan.append(out);
      continue;
    }
    out.path = folder + u'/' + name;
    const QByteArray on_disk = QFile::encodeName(out.path);
    out.asks = written_earlier.contains(on_disk) || exists(out.path);
    written_earlier.insert(on_disk);
    out.clash = inputs.Check(out.path, row, &out.clash_text);
    const CropCheck crop =
        CheckCrop(QStringLiteral("Crop"), entry.edit.crop, entry.edit.rotate_flip, entry.edit.photo_path);
    out.crop = crop.crop;
    if (crop.outside)
      out.refusal = crop.message;
    else
      out.crop_notice = crop.message;
    // A size the output's format cannot hold is refused now, before any photo is decoded.
    const QSize size(entry.edit.output_width, entry.edit.output_height);
    if (out.refusal.isEmpty() && !size.isEmpty())
      out.refusal = OutputSizeProblem(size, MimeTypeForFileName(out.path));
    plan.append(out);
  }
  return plan;
}

RenderRequest RequestForEntry(const BatchEntry& entry, const QString& output_path) {
  return RenderRequestFor(entry.edit, entry.style, output_path);
}

RenderRequest RequestForPlanned(const BatchEntry& entry, const PlannedOutput& planned) {
  RenderRequest request = RequestForEntry(entry, planned.path);
  request.crop = planned.crop;
  return request;
}

void BatchSummary::Add(const BatchOutcome& outcome) {
  switch (outcome.kind) {
    case BatchOutcomeKind::Written:
      ++written;
      break;
    case BatchOutcomeKind::Failed:
      ++failed;
      failures << QStringLiteral("%1: %2").arg(QFileInfo(outcome.output_path).fileName(), outcome.reason);
      break;
    case BatchOutcomeKind::Cancelled:
      ++cancelled;
      break;
  }
}

QString BatchSummary::Text() const {
  QString text =
      QStringLiteral("Batch save: %1 written, %2 skipped, %3 failed").arg(written).arg(skipped).arg(failed);
  if (cancelled > 0) text += QStringLiteral(", %1 cancelled").arg(cancelled);
  text += u'.';
  for (const QString& line : failures) text += u'\n' + line;
  return text;
}
