// The steps of a batch save that need no widgets: where each entry goes, which outputs need the
// overwrite question, the render tasks, and the closing summary.
#pragma once

#include <QList>
#include <QString>
#include <functional>

#include "batch/batch_entry.h"
#include "batch/batch_run.h"

struct PlannedOutput {
  int row = 0;
  QString path;       // folder + "/" + the entry's output name
  bool asks = false;  // the file exists, or an earlier row of this run writes it
  QString refusal;    // why the entry cannot be written (its output name); empty when it can
};

// The outputs of rows (taken in ascending order) in folder. exists tells whether a file is there
// (QFileInfo::exists in the program).
QList<PlannedOutput> PlanOutputs(const QList<BatchEntry>& entries, QList<int> rows, const QString& folder,
                                 const std::function<bool(const QString&)>& exists);

// The full-size request for an entry written to output_path.
RenderRequest RequestForEntry(const BatchEntry& entry, const QString& output_path);

// The tally of one batch save and its one-line-per-failure text.
struct BatchSummary {
  int written = 0;
  int skipped = 0;  // answered No, or refused before rendering
  int failed = 0;
  int cancelled = 0;
  QStringList failures;  // "<file>: <reason>"

  void Add(const BatchOutcome& outcome);
  // "Batch save: 4 written, 1 skipped, 1 failed." then one line per failure.
  QString Text() const;
};
