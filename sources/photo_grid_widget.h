// The photo grid: the shared thumbnail grid with the photo folder's Open and Delete.
#pragma once

#include <QMenu>

#include "base/config.h"
#include "base/user_dialogs.h"
#include "widgets/thumbnail_grid_widget.h"

class PhotoGridWidget : public ThumbnailGridWidget {
  Q_OBJECT

 public:
  PhotoGridWidget(const Config& config, UserDialogs& dialogs, const ThumbnailCache& cache, QWidget* parent);

  // Scans folder into the list (page, cells and counter are the caller's).
  void ScanFolder(const QString& folder);
  // The folder the list shows.
  const QString& CurrentFolder() const { return folder_; }
  // The Open button's menu: "Photo folder..." (Open) and "Camera" (CameraRequested).
  QMenu* SourceMenu() const { return menu_; }

  // Open: the folder picker, then the new folder's first page ("No Image" when it has no photos;
  // the folder is remembered in Config.ini only when it has some).
  void Open();

 Q_SIGNALS:
  // The photo count after Open and Delete.
  void PhotoCountChanged(int count);
  // The menu's "Camera".
  void CameraRequested();

 protected:
  void RemoveItemFiles(const QString& path) override;
  // The folder from Config.ini again, from its first page.
  void RescanAfterDelete() override;

 private:
  void BuildLayout();
  void Wire();
  void RedrawFromFirstPage();

  const Config& config_;
  QPushButton* open_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* up_ = nullptr;
  QPushButton* down_ = nullptr;
  QPushButton* view_ = nullptr;
  QMenu* menu_ = nullptr;
  QString folder_;
};
