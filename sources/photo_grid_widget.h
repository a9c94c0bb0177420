// The photo grid: the shared thumbnail grid with the photo folder's Open and Delete.
#pragma once

#include "base/config.h"
#include "base/user_dialogs.h"
#include "widgets/thumbnail_grid_widget.h"

class PhotoGridWidget : public ThumbnailGridWidget {
  Q_OBJECT

 public:
  PhotoGridWidget(const Config& config, UserDialogs& dialogs, const ThumbnailCache& cache, QWidget* parent);

  // Scans folder into the list (page, cells and counter are the caller's).
  void ScanFolder(const QString& folder);

  // Open: the folder picker, then the new folder's first page ("No Image" when it has no photos;
  // the folder is remembered in Config.ini only when it has some).
  void Open();
  // Delete: after the "Note" question, removes the files of the selected rows and rescans.
  void Delete();

 Q_SIGNALS:
  // The photo count after Open and Delete.
  void PhotoCountChanged(int count);

 private:
  void BuildLayout();
  void Wire();
  void RedrawFromFirstPage();

  const Config& config_;
  UserDialogs& dialogs_;
  QPushButton* open_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* up_ = nullptr;
  QPushButton* down_ = nullptr;
  QPushButton* view_ = nullptr;
};
