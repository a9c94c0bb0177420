// Batch save planning and summary.
#include "batch/batch_save.h"

#include <QFileInfo>
#include <QSet>
#include <algorithm>

QList<PlannedOutput> PlanOutputs(const QList<BatchEntry>& entries, QList<int> rows, const QString& folder,
                                 const std::function<bool(const QString&)>& exists) {
  // rows may share its buffer with the caller's list: detach before taking iterators, or begin()
  // could copy the buffer after end() was taken from the shared one.
  rows.detach();
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  QList<PlannedOutput> plan;
  QSet<QString> written_earlier;
  for (const int row : rows) {
    if (row < 0 || row >= entries.size()) continue;
    PlannedOutput out;
    out.row = row;
    const QString& name = entries[row].output_name;
    if (const auto problem = OutputNameProblem(name)) {
      out.refusal = *problem;
      plan.append(out);
      continue;
    }
    out.path = folder + u'/' + name;
    out.asks = written_earlier.contains(out.path) || exists(out.path);
    written_earlier.insert(out.path);
    plan.append(out);
  }
  return plan;
}

RenderRequest RequestForEntry(const BatchEntry& entry, const QString& output_path) {
  return RenderRequestFor(entry.edit, entry.style, output_path);
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
