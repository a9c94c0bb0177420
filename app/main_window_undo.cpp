// Undo and redo in the main window: the history of the photo on screen, recorded after each edit.
#include "app/main_window.h"
#include "app/preview_widget.h"
#include "edit/tool_pages_widget.h"
#include "styles/template_grid_widget.h"

EditSnapshot MainWindow::Snapshot() const {
  return {state_.edit, state_.style, state_.working_photo, state_.caption_layer, state_.custom_frames};
}

void MainWindow::StartHistory() { history_.Start(Snapshot()); }

void MainWindow::RecordEdit() {
  // No photo, no history: the edits of the start picture are not the user's.
  if (state_.edit.photo_path.isEmpty()) return;
  // A photo taken another way (a batch entry opened, a snapshot) starts its own history here.
  if (history_.PhotoPath() != state_.edit.photo_path) {
    StartHistory();
    return;
  }
  history_.Record(Snapshot());
}

void MainWindow::OnUndo() {
  if (state_.edit.photo_path.isEmpty() || history_.PhotoPath() != state_.edit.photo_path) return;
  // Placing the caption ends first, and a drag of the caption not yet recorded becomes a step.
  if (state_.display_mode == DisplayMode::CaptionEditing) OnCaptionDone();
  history_.Record(Snapshot());
  if (const EditSnapshot* step = history_.Undo()) RestoreSnapshot(*step);
}

void MainWindow::OnRedo() {
  if (state_.edit.photo_path.isEmpty() || history_.PhotoPath() != state_.edit.photo_path) return;
  if (state_.display_mode == DisplayMode::CaptionEditing) OnCaptionDone();
  if (const EditSnapshot* step = history_.Redo()) RestoreSnapshot(*step);
}

void MainWindow::RestoreSnapshot(const EditSnapshot& step) {
  state_.edit = step.edit;
  state_.style = step.style;
  state_.working_photo = step.working_photo;
  state_.custom_frames = step.custom_frames;
  state_.display_mode = DisplayMode::Normal;
  // The knobs and the caption controls show the restored values; the caption layer is the step's.
  ShowEditControlsFor(state_.edit);
  state_.caption_layer = step.caption_layer;
  if (const int row = templates_->IndexOfPath(state_.edit.template_path); row >= 0) {
    templates_->SetSelectedIndex(row);
    templates_->ShowChosenCounter(row);
  }
  preview_->StopFade();
  ShowOutputSize();
  RefreshPreview();
}
