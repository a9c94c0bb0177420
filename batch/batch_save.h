// The steps of a batch save that need no widgets: where each entry goes, which outputs need the
// overwrite question, which would destroy an input, the render tasks, and the closing summary.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "batch/batch_entry.h"
#include "batch/batch_run.h"

// How an output stands to the files the entries of the run read.
enum class InputClash {
  kNone,
  kOwnPhoto,    // it is this entry's photo and no other entry reads it: written only when forced
  kOtherInput,  // it is another entry's photo, or the template of any entry: never written
};

struct PlannedOutput {
  int row = 0;
  QString path;       // folder + "/" + the entry's output name
  bool asks = false;  // the file exists, or an earlier row of this run writes it
  QString refusal;    // why the entry cannot be written (its output name, its crop); empty when it can
  InputClash clash = InputClash::kNone;
  QString clash_text;   // "<path> is the photo of entry 3", for a clash
  CropRect crop;        // the entry's crop, cut to its photo when it reached past it
  QString crop_notice;  // what the crop was cut to, or empty
};

// The outputs of rows (taken in ascending order) in folder. exists tells whether a file is there
// (QFileInfo::exists in the program). Output names are compared in the form the file system
// stores them, so two names that land on one file are one output. Every output that is already a
// file is compared with the photos and templates (picture and settings file) of all entries, by
// the file itself (links included). Each entry's crop is checked against its photo as the render
// command checks its --crop: wholly outside is a refusal, partly outside is cut.
QList<PlannedOutput> PlanOutputs(const QList<BatchEntry>& entries, QList<int> rows, const QString& folder,
                                 const std::function<bool(const QString&)>& exists);

// The full-size request for an entry written to output_path.
RenderRequest RequestForEntry(const BatchEntry& entry, const QString& output_path);
// The request for a planned output: its path, and its crop as planned.
RenderRequest RequestForPlanned(const BatchEntry& entry, const PlannedOutput& planned);

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
