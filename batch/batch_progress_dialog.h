// The progress dialog of a batch save: the file being written, "n of N", a bar and Cancel, while
// the pool renders on its own threads and the window stays responsive.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "batch/batch_run.h"

class BatchProgressDialog : public QDialog {
  Q_OBJECT

 public:
  // Looks at run every interval_ms; each outcome is handed to on_outcome on the window's thread.
  // The dialog accepts itself once every task has its outcome.
  BatchProgressDialog(BatchRun& run, std::function<void(const BatchOutcome&)> on_outcome, QWidget* parent,
                      int interval_ms = 50);

  // Starts the run and shows the dialog until it ends.
  int exec() override;
  // Escape and the close button cancel: the dialog closes once the files in progress are done.
  void reject() override { OnCancel(); }

 private:
  void BuildLayout();
  void Poll();
  void OnCancel();

  BatchRun& run_;
  std::function<void(const BatchOutcome&)> on_outcome_;
  QTimer timer_;
  QLabel* file_ = nullptr;
  QLabel* count_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QPushButton* cancel_ = nullptr;
};
