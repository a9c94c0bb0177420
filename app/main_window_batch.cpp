// The main window's batch list side: adding, editing, deleting and saving batch entries.
#include "app/main_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <numeric>

#include "app/preview_widget.h"
#include "app/toolbar_widget.h"
#include "base/guarded_call.h"
#include "base/lumisto_error.h"
#include "batch/batch_job_file.h"
#include "batch/batch_page_widget.h"
#include "batch/batch_progress_dialog.h"
#include "batch/batch_save.h"
#include "edit/caption_layer.h"
#include "edit/geometric_edits.h"
#include "edit/tone_knobs.h"
#include "edit/tool_pages_widget.h"
#include "imaging/image_io.h"
#include "output/output_commands.h"
#include "sources/photo_grid_widget.h"
#include "styles/template_grid_widget.h"
#include "styles/template_library.h"

void MainWindow::WireBatch() {
  add_batch_ = tools_->findChild<QPushButton*>(QStringLiteral("Batch"));
  connect(add_batch_, &QPushButton::clicked, this, [this] { Guarded([&] { OnAddBatch(); }); });
  connect(batch_, &BatchPageWidget::RowsClicked, this, [this] { Guarded([&] { OnBatchRowsClicked(); }); });
  connect(batch_, &BatchPageWidget::RowDoubleClicked, this,
          [this] { Guarded([&] { OnBatchRowDoubleClicked(); }); });
  connect(batch_, &BatchPageWidget::EditRequested, this, [this] { Guarded([&] { OnBatchEdit(); }); });
  connect(batch_, &BatchPageWidget::BatchSaveRequested, this, [this] { Guarded([&] { OnBatchSave(); }); });
  connect(batch_, &BatchPageWidget::NewEntryRequested, this, &MainWindow::OnNewBatchEntry);
  // The editor is untied from an entry that is gone: the button goes back to adding.
  connect(batch_, &BatchPageWidget::EntriesRemoved, this, [this] {
    if (state_.batch.Current() < 0) SetBatchUpdateMode(false);
  });
  timer7_.setInterval(fade_interval_ms_ * 20);  // one second in the program
  connect(&timer7_, &QTimer::timeout, this, &MainWindow::OnTimer7);
}

void MainWindow::SetBatchUpdateMode(bool on) {
  batch_update_mode_ = on;
  add_batch_->setText(on ? QStringLiteral("Updata") : QStringLiteral("Add Batch"));
}

void MainWindow::OnAddBatch() {
  BatchStore& store = state_.batch;
  if (state_.edit.photo_path.isEmpty() || state_.edit.template_path.isEmpty()) return;
  // Update mode stores into the entry being edited, whatever the grids have selected since.
  if (!batch_update_mode_ || store.Current() < 0) {
    const int photo = photos_->SelectedIndex();
    const int templ = templates_->SelectedIndex();
    if (photo < 0 || templ < 0) return;
    const ListRow& photo_row = photos_->Rows()[photo];
    const ListRow& template_row = templates_->Rows()[templ];
    state_.edit.photo_path = photo_row.path;
    state_.edit.template_path = template_row.path;
    BatchEntry entry;
    entry.output_name = QFileInfo(photo_row.path).fileName();
    entry.frame_name = template_row.caption;
    entry.size_text = SizeText(photo_row.size);
    store.SetCurrent(store.Append(entry));
    batch_->AppendRows(store.Current());
  }
  store.Store(store.Current(), state_.edit, state_.style);
  NameEntryFiles(store.Current());
  batch_->RefreshRow(store.Current());
  SetBatchUpdateMode(false);
  pages_->setCurrentIndex(kBatchPage);
}

void MainWindow::NameEntryFiles(int row) {
  // The Frame and Size columns name the files the entry holds, whichever way they came to it.
  BatchEntry& entry = state_.batch.At(row);
  const int templ = templates_->IndexOfPath(entry.edit.template_path);
  entry.frame_name =
      templ >= 0 ? templates_->Rows()[templ].caption : QFileInfo(entry.edit.template_path).completeBaseName();
  const int photo = photos_->IndexOfPath(entry.edit.photo_path);
  if (photo >= 0) entry.size_text = SizeText(photos_->Rows()[photo].size);
}

void MainWindow::OnNewBatchEntry() {
  // Back to the editor for a new entry: no row is tied to it, and Add Batch appends.
  SetBatchUpdateMode(false);
  state_.batch.SetCurrent(-1);
  batch_->SelectRows({});
  pages_->setCurrentIndex(kSinglPage);
  toolbar_->SetOutputButtonsVisible(false);
  ShowOutputButtonsWhenReady();
}

bool MainWindow::AddSeveralToBatch(int template_index) {
  const QList<int> photo_rows = photos_->SelectedRows();
  if (!dialogs_.AskYesNo(QStringLiteral("Add to batch box?"))) {
    // The template is not taken: the grid goes back to the one in use.
    templates_->SetSelectedIndex(templates_->IndexOfPath(state_.edit.template_path));
    return false;
  }
  const ListRow& template_row = templates_->Rows()[template_index];
  const QString settings = TemplateSettingsPath(template_row.path);
  FrameStyle style;
  if (QFileInfo::exists(settings)) {
    ReadFrameStyle(settings, state_.style);
    style = state_.style;
  } else {
    dialogs_.ShowNotice(QStringLiteral("no file"));
  }
  BatchStore& store = state_.batch;
  const int first = store.Count();
  for (const int row : photo_rows) {
    const ListRow& photo = photos_->Rows()[row];
    BatchEntry entry = NeutralBatchEntry(photo.path, template_row.path, style);
    entry.output_name = QFileInfo(photo.path).fileName();
    entry.frame_name = template_row.caption;
    entry.size_text = SizeText(photo.size);
    store.Append(std::move(entry));
  }
  batch_->AppendRows(first);
  pages_->setCurrentIndex(kBatchPage);
  photos_->SetSelectedIndex(-1);
  photos_->ListView()->clearSelection();
  templates_->SetSelectedIndex(-1);
  templates_->ListView()->clearSelection();
  return true;
}

void MainWindow::OnTemplateChosenOnBatchPage(int template_index) {
  const QList<int> rows = batch_->SelectedRows();
  if (rows.isEmpty()) return;
  const ListRow& template_row = templates_->Rows()[template_index];
  BatchEntry& entry = state_.batch.At(rows.first());
  // The entry's style follows its new template at once, so a batch save frames it as its row says.
  const QString settings = TemplateSettingsPath(template_row.path);
  if (!QFileInfo::exists(settings)) {
    dialogs_.ShowNotice(QStringLiteral("no file"));
    return;
  }
  FrameStyle style = entry.style;
  ReadFrameStyle(settings, style);
  entry.style = style;
  entry.frame_name = template_row.caption;
  entry.edit.template_path = template_row.path;
  batch_->RefreshRow(rows.first());
}

void MainWindow::OnPhotoChosenForBatchEntry(int photo_index) {
  const int current = state_.batch.Current();
  if (current < 0) return;
  const ListRow& photo = photos_->Rows()[photo_index];
  BatchEntry& entry = state_.batch.At(current);
  entry.output_name = QFileInfo(photo.path).fileName();
  entry.size_text = SizeText(photo.size);
  entry.edit.photo_path = photo.path;
  batch_->RefreshRow(current);
}

void MainWindow::OnBatchRowsClicked() {
  const QList<int> rows = batch_->SelectedRows();
  toolbar_->SetOutputButtonsVisible(!rows.isEmpty());
  if (rows.isEmpty()) return;
  // Save, Print and E-mail now deliver this entry.
  state_.batch.SetCurrent(rows.first());
  state_.batch.Load(rows.first(), state_.edit, state_.style);
}

void MainWindow::OnBatchRowDoubleClicked() {
  state_.display_mode = DisplayMode::BatchPreview;
  timer7_.start();
  OnBatchEdit();
}

void MainWindow::OnTimer7() {
  ++timer7_tag_;
  if (timer7_tag_ > 2) {
    state_.display_mode = DisplayMode::Normal;
    timer7_.stop();
  }
}

void MainWindow::OnBatchEdit() {
  const QList<int> rows = batch_->SelectedRows();
  if (rows.size() != 1) return;
  const int row = rows.first();
  const BatchEntry& entry = state_.batch.At(row);
  // Decoded before anything changes: a photo that is gone leaves the editor as it was.
  std::optional<LoadedWorkingPhoto> loaded = LoadEntryWorkingPhoto(entry.edit);
  if (!loaded) {
    dialogs_.ShowNotice(QStringLiteral("Unable to read %1").arg(QFileInfo(entry.edit.photo_path).fileName()));
    return;
  }
  SetBatchUpdateMode(true);
  toolbar_->SetOutputButtonsVisible(true);
  state_.batch.SetCurrent(row);
  state_.batch.Load(row, state_.edit, state_.style);
  state_.edit.photo_width = loaded->photo_size.width();
  state_.edit.photo_height = loaded->photo_size.height();
  state_.edit.fit_factor = FitFactor(state_.edit.photo_width, state_.edit.photo_height, kScreenSize.width());
  state_.working_photo = std::move(loaded->image);
  preview_->HideStartPicture();
  preview_->StopFade();
  const QString settings = TemplateSettingsPath(state_.edit.template_path);
  if (QFileInfo::exists(settings)) {
    ReadFrameStyle(settings, state_.style);
    state_.display_mode = DisplayMode::CaptionEditing;
    RefreshPreview();
    ShowEditControlsFor(state_.edit);
    state_.display_mode = DisplayMode::Normal;
    RefreshPreview();
  } else {
    dialogs_.ShowNotice(QStringLiteral("no file"));
    ShowEditControlsFor(state_.edit);
  }
  pages_->setCurrentIndex(kSinglPage);
}

void MainWindow::ShowEditControlsFor(const EditState& edit) {
  // The knobs go back where the stored tone puts them, and the caption layer is the entry's own.
  // An entry without tone (identity matrix) shows the knobs of a freshly chosen photo.
  if (edit.tone_matrix.IsIdentity())
    tools_->ResetToneKnobs();
  else
    tools_->SetKnobPositions(KnobPositionsForTone(edit.contrast, edit.brightness, edit.saturation));
  tools_->LoadCaptionControls(edit.caption);
  state_.caption_layer = BuildCaptionLayer(edit.caption, edit.fit_factor, kScreenSize);
  ShowOutputSize();
}

void MainWindow::OnBatchSave() {
  BatchStore& store = state_.batch;
  if (store.Count() == 0) return;
  const std::optional<QString> folder =
      dialogs_.ChooseFolder(QStringLiteral("Please choose directory"), batch_folder_);
  if (!folder) return;
  batch_folder_ = *folder;
  QList<int> rows = batch_->SelectedRows();
  if (rows.isEmpty()) {
    rows.resize(store.Count());
    std::iota(rows.begin(), rows.end(), 0);
    batch_->SelectRows(rows);
  }
  // Every check is made and every question asked before the first file is written; the answers
  // hold during the run.
  const QList<PlannedOutput> plan = PlanOutputs(store.Entries(), rows, *folder,
                                                [](const QString& path) { return QFileInfo::exists(path); });
  // An output that is a photo or a template of the list is never written, and neither is
  // anything else of this save: the user mends the names or the folder first.
  QStringList refusals;
  for (const PlannedOutput& p : plan) {
    if (p.clash != InputClash::kNone)
      refusals << QDir::toNativeSeparators(p.clash_text);
    else if (!p.refusal.isEmpty())
      refusals << QStringLiteral("%1: %2").arg(store.At(p.row).output_name, p.refusal);
  }
  if (!refusals.isEmpty()) {
    dialogs_.ShowNotice(QStringLiteral("Nothing was written: an output would replace a file the list reads, "
                                       "or cannot be made.\n") +
                        refusals.join(u'\n'));
    return;
  }
  BatchSummary summary;
  QList<BatchTask> tasks;
  for (const PlannedOutput& p : plan) {
    if (p.asks && !dialogs_.AskYesNoWarning(QStringLiteral("Are you sure you want to cover this file?\n") +
                                            QDir::toNativeSeparators(p.path))) {
      ++summary.skipped;
      batch_->Deselect(p.row);
    } else {
      tasks << BatchTask{p.row, RequestForPlanned(store.At(p.row), p)};
    }
  }
  const TextureList& textures = state_.textures;
  // The photo's information is kept or left out as Config.ini says, as the Save button does.
  const MetadataPolicy policy = config_.OutputMetadata();
  BatchRun run(tasks, DefaultBatchJobs(), [&textures, policy](const RenderRequest& r) {
    RenderRequest request = r;
    request.metadata = policy;
    RenderToFile(request, textures);
  });
  if (!tasks.isEmpty()) {
    BatchProgressDialog progress(
        run,
        [this, &summary](const BatchOutcome& outcome) {
          summary.Add(outcome);
          if (outcome.kind == BatchOutcomeKind::Written) batch_->Deselect(outcome.row);
        },
        this);
    progress.exec();
  }
  dialogs_.ShowNotice(summary.Text());
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Nothing keeps the list between runs but a job file the user saves: say so before it is gone.
  const int count = state_.batch.Count();
  if (count > 0 && !dialogs_.AskYesNo(
                       QStringLiteral("The batch list holds %1 %2, lost when the program closes "
                                      "(\"Save list...\" in the list's menu keeps them). Close all the same?")
                           .arg(count)
                           .arg(count == 1 ? QStringLiteral("entry") : QStringLiteral("entries")))) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}
