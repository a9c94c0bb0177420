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

  // Scans folder into the list (page, cells and counter are the caller's); the header names it.
  void ScanFolder(const QString& folder);
  // Lists exactly these photos, from whatever folders, as one set named "selection" in the header
  // (page, cells and counter are the caller's). Photos whose files are gone are left out.
  void ShowSelection(const QStringList& photos);
  // The folder the list shows; empty while it shows a selection.
  const QString& CurrentFolder() const { return folder_; }
  bool ShowsSelection() const { return showing_selection_; }
  // The photos of the selection shown (empty while a folder is shown).
  const QStringList& Selection() const { return selection_; }
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
  // What the grid shows again (the folder, or the selection without the files now gone), from
  // its first page: Delete never switches to another folder.
  void RescanAfterDelete() override;

 private:
  void BuildLayout();
  void Wire();
  void RedrawFromFirstPage();
  void NameInHeader(const QString& text, const QString& tooltip);

  const Config& config_;
  QPushButton* open_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* up_ = nullptr;
  QPushButton* down_ = nullptr;
  QPushButton* view_ = nullptr;
  QMenu* menu_ = nullptr;
  QLabel* folder_label_ = nullptr;
  QString folder_;
  QStringList selection_;
  bool showing_selection_ = false;
};
