// The template grid: the shared thumbnail grid with the category menu, Delete and Edit.
#pragma once

#include <QMenu>

#include "base/config.h"
#include "base/user_dialogs.h"
#include "widgets/thumbnail_grid_widget.h"

class TemplateGridWidget : public ThumbnailGridWidget {
  Q_OBJECT

 public:
  TemplateGridWidget(const Config& config, UserDialogs& dialogs, const ThumbnailCache& cache,
                     QWidget* parent);

  // The category shown.
  TemplateCategory Category() const { return category_; }

  // Scans the folder of category into the list (page, cells and counter are the caller's).
  void ScanCategory(TemplateCategory category);
  // Scans the category's folder and draws the page shown with no cell selected; "No Image" first
  // when the folder has no pictures.
  void SelectTemplateCategory(TemplateCategory category);
  // A category menu item: page 0, the category's templates, and it becomes the current category.
  void ChooseCategory(TemplateCategory category);

  QMenu* CategoryMenu() const { return menu_; }

  // The cell that shows the current template on the page shown (0..7), or -1.
  int CurrentGridCell() const;
  // Paints the picture at picture_path unscaled into cell's top-left corner.
  void PaintStyleThumbnail(int cell, const QString& picture_path);
  // A new template: appended as the last row (caption, no size text), selected, and its page
  // shown with the selection frame hidden, so its cell is the current grid cell.
  void AppendTemplate(const QString& picture_path, const QString& caption);

 Q_SIGNALS:
  // Edit: the style editor is wanted for the current template.
  void EditRequested();

 protected:
  // The picture with its settings file and companion.
  void RemoveItemFiles(const QString& path) override;
  // The current category again; the page stays.
  void RescanAfterDelete() override;

 private:
  void BuildLayout();
  void Wire();

  const Config& config_;
  TemplateCategory category_ = TemplateCategory::Texture;
  QMenu* menu_ = nullptr;
  QPushButton* open_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* edit_ = nullptr;
  QPushButton* up_ = nullptr;
  QPushButton* down_ = nullptr;
  QPushButton* view_ = nullptr;
};
