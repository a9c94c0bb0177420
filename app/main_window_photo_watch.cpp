// The main window and the photo on disk: another program rewrites, replaces or deletes the photo on
// screen, and the window writes into the folder the grids show.
#include <QFileInfo>

#include "app/main_window.h"
#include "app/preview_widget.h"
#include "app/toolbar_widget.h"
#include "browse/grid_paging.h"
#include "edit/caption_layer.h"
#include "edit/tool_pages_widget.h"
#include "sources/photo_file_watch.h"
#include "sources/photo_grid_widget.h"
#include "styles/template_grid_widget.h"

void MainWindow::WirePhotoWatch() {
  photo_watch_ = new PhotoFileWatch(this);
  connect(photo_watch_, &PhotoFileWatch::Changed, this,
          [this](const QString& path) { Guarded([&] { OnShownPhotoChanged(path); }); });
}

void MainWindow::RefreshWrittenThumbnail(const QString& path) {
  photos_->RefreshItem(path);
  templates_->RefreshItem(path);
}

void MainWindow::LoseShownPhoto() {
  if (state_.display_mode == DisplayMode::CaptionEditing) OnCaptionDone();
  ForgetPhoto(state_);
  // Nothing is chosen any more: a template click must not bring Save back for a photo that is gone.
  photos_->SetSelectedIndex(-1);
  photos_->HideSelectionFrame();
  preview_->StopFade();
  preview_->ShowStartPicture();
  toolbar_->SetOutputButtonsVisible(false);
}

void MainWindow::OnShownPhotoChanged(const QString& path) {
  photos_->RefreshItem(path);
  const QString name = QFileInfo(path).fileName();
  // Empty when the photo was lost before: a file that comes back is taken as chosen anew.
  const bool shown = state_.edit.photo_path == path;
  if (!QFileInfo::exists(path)) {
    if (!shown) return;
    // Save would fail on it: the preview says so rather than showing a photo that is not there.
    LoseShownPhoto();
    dialogs_.ShowNotice(QStringLiteral("The photo %1 is gone: it was deleted or moved away.").arg(name));
    return;
  }
  // A photo of the same size keeps its turns, crop, tone and caption; another size starts afresh,
  // since a crop in the old photo's pixels no longer means the same part.
  std::optional<LoadedWorkingPhoto> same;
  if (shown) {
    same = LoadEntryWorkingPhoto(state_.edit);
    if (same && same->photo_size != QSize(state_.edit.photo_width, state_.edit.photo_height)) same.reset();
  }
  if (same) {
    state_.working_photo = std::move(same->image);
  } else if (!LoadPhotoIntoState(state_, path)) {
    if (shown) LoseShownPhoto();
    dialogs_.ShowNotice(QStringLiteral("Unable to read %1").arg(name));
    return;
  }
  if (!shown) {
    // Back after it was gone: chosen again, as a click on its cell would.
    const int row = photos_->IndexOfPath(path);
    photos_->SetSelectedIndex(row);
    if (const int cell = CellOfItem(row, photos_->Page()); row >= 0 && cell >= 0)
      photos_->ShowSelectionFrame(cell);
  }
  state_.caption_layer = BuildCaptionLayer(state_.edit.caption, state_.edit.fit_factor, kScreenSize);
  preview_->HideStartPicture();
  preview_->StopFade();
  ShowOutputButtonsWhenReady();
  RefreshPreview();
  // While the caption is placed, the picture under it is the new one.
  if (state_.display_mode == DisplayMode::CaptionEditing) {
    caption_backdrop_ = preview_->ShownPicture();
    RebuildCaption();
  }
}
