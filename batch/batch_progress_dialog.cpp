// The batch save progress dialog.
#include "batch/batch_progress_dialog.h"

#include <QFileInfo>

BatchProgressDialog::BatchProgressDialog(BatchRun& run, std::function<void(const BatchOutcome&)> on_outcome,
                                         QWidget* parent, int interval_ms)
    : QDialog(parent), run_(run), on_outcome_(std::move(on_outcome)) {
  setObjectName(QStringLiteral("BatchProgress"));
  setWindowTitle(QStringLiteral("Batch save"));
  setModal(true);
  BuildLayout();
  timer_.setInterval(interval_ms);
  connect(&timer_, &QTimer::timeout, this, &BatchProgressDialog::Poll);
}

void BatchProgressDialog::BuildLayout() {
  setFixedSize(340, 120);
  file_ = new QLabel(this);
  file_->setObjectName(QStringLiteral("BatchProgressFile"));
  file_->setGeometry(12, 10, 316, 20);
  count_ = new QLabel(this);
  count_->setObjectName(QStringLiteral("BatchProgressCount"));
  count_->setGeometry(12, 32, 316, 20);
  bar_ = new QProgressBar(this);
  bar_->setObjectName(QStringLiteral("BatchProgressBar"));
  bar_->setGeometry(12, 56, 316, 18);
  bar_->setRange(0, std::max(1, run_.Total()));
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_->setObjectName(QStringLiteral("BatchProgressCancel"));
  cancel_->setGeometry(253, 84, 75, 25);
  connect(cancel_, &QPushButton::clicked, this, &BatchProgressDialog::OnCancel);
}

int BatchProgressDialog::exec() {
  run_.Start();
  // The first look comes from inside the dialog's own loop, so a run that ends at once still
  // closes the dialog.
  timer_.start();
  const int result = QDialog::exec();
  timer_.stop();
  return result;
}

void BatchProgressDialog::Poll() {
  for (const BatchOutcome& outcome : run_.TakeNewOutcomes()) on_outcome_(outcome);
  const int done = run_.Done();
  const QStringList now = run_.InProgress();
  file_->setText(now.isEmpty() ? QString() : QFileInfo(now.first()).fileName());
  count_->setText(QStringLiteral("%1 of %2").arg(std::min(done + 1, run_.Total())).arg(run_.Total()));
  bar_->setValue(done);
  if (run_.Finished()) {
    for (const BatchOutcome& outcome : run_.TakeNewOutcomes()) on_outcome_(outcome);
    timer_.stop();
    QDialog::accept();
  }
}

void BatchProgressDialog::OnCancel() {
  // The files being written are finished; nothing new starts.
  run_.Cancel();
  cancel_->setEnabled(false);
  cancel_->setText(QStringLiteral("Stopping"));
}
