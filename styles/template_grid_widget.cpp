// Template grid commands.
#include "styles/template_grid_widget.h"

#include <QFileInfo>
#include <QLabel>
#include <QPainter>

#include "base/guarded_call.h"
#include "base/lumisto_error.h"
#include "imaging/image_io.h"
#include "styles/template_library.h"

namespace {

ThumbnailGridLayout TemplateGridLayout() {
  ThumbnailGridLayout layout;
  layout.area = QRect(46, 353, 366, 219);
  layout.cells = {QPoint(51, 380), QPoint(134, 380), QPoint(218, 380), QPoint(302, 380),
                  QPoint(51, 458), QPoint(134, 458), QPoint(218, 458), QPoint(302, 458)};
  layout.first_cell_number = 51;
  layout.hover_frame = QStringLiteral("Back22");
  layout.selection_frame = QStringLiteral("Back2");
  layout.counter = QStringLiteral("Label9");
  layout.counter_rect = QRect(306, 356, 96, 17);
  layout.panel = QStringLiteral("Panel4");
  layout.panel_rect = QRect(46, 360, 363, 173);
  layout.list_view = QStringLiteral("ListView2");
  layout.path_list = QStringLiteral("ListBox2");
  layout.name_label = QStringLiteral("Label6");
  layout.info_label = QStringLiteral("Label7");
  layout.scroll_names = {QStringLiteral("FlatButton18"), QStringLiteral("FlatButton21"),
                         QStringLiteral("Timer5"), QStringLiteral("Timer6")};
  layout.multiple_selection_in_list = false;
  layout.empty_hint = QStringLiteral("No templates in this folder");
  return layout;
}

}  // namespace

TemplateGridWidget::TemplateGridWidget(const Config& config, UserDialogs& dialogs,
                                       const ThumbnailCache& cache, QWidget* parent)
    : ThumbnailGridWidget(TemplateGridLayout(), dialogs, cache, parent), config_(config) {
  BuildLayout();
  Wire();
}

void TemplateGridWidget::BuildLayout() {
  open_ =
      AddButton(QStringLiteral("Button23"), QStringLiteral("Open"), QStringLiteral("Open Template directory"),
                QRect(51, 541, 44, 27), QStringLiteral("open"));
  delete_ = AddButton(QStringLiteral("FlatButton11"), QStringLiteral("Delete"), QString(),
                      QRect(111, 541, 44, 27), QStringLiteral("delete"));
  edit_ = AddButton(QStringLiteral("FlatButton27"), QStringLiteral("Edit"), QString(),
                    QRect(168, 541, 44, 27), QStringLiteral("edit"));
  up_ = AddButton(QStringLiteral("FlatButton9"), QStringLiteral("Up"), QString(), QRect(224, 541, 44, 27),
                  QStringLiteral("up"));
  down_ = AddButton(QStringLiteral("FlatButton8"), QStringLiteral("Down"), QString(), QRect(280, 541, 44, 27),
                    QStringLiteral("down"));
  view_ = AddButton(QStringLiteral("TemplateViewButton"), QStringLiteral("View"), QString(),
                    QRect(336, 541, 44, 27), QStringLiteral("view"));

  menu_ = new QMenu(this);
  menu_->setObjectName(QStringLiteral("PopupMenu1"));
  const char* const kCaptions[] = {"Texture", "Color", "Cool"};
  for (int tag = 1; tag <= 3; ++tag) {
    QAction* item = menu_->addAction(QLatin1String(kCaptions[tag - 1]));
    item->setObjectName(QStringLiteral("Class%1").arg(tag));
    item->setData(tag);
  }
}

void TemplateGridWidget::Wire() {
  connect(open_, &QPushButton::clicked, this,
          [this] { menu_->popup(open_->mapToGlobal(QPoint(open_->width(), 0))); });
  connect(menu_, &QMenu::triggered, this, [this](QAction* item) {
    RunGuarded(dialogs_, [&] { ChooseCategory(static_cast<TemplateCategory>(item->data().toInt())); });
  });
  connect(delete_, &QPushButton::clicked, this, [this] { RunGuarded(dialogs_, [this] { Delete(); }); });
  connect(edit_, &QPushButton::clicked, this, &TemplateGridWidget::EditRequested);
  connect(up_, &QPushButton::clicked, this, [this] { RunGuarded(dialogs_, [this] { StepUp(); }); });
  connect(down_, &QPushButton::clicked, this, [this] { RunGuarded(dialogs_, [this] { StepDown(); }); });
  connect(view_, &QPushButton::clicked, this, [this] {
    ToggleView();
    view_->setProperty("tag", IsListView() ? 1 : 0);
  });
}

void TemplateGridWidget::ScanCategory(TemplateCategory category) {
  SetRows(ScanTemplateFolders(config_.TemplateFolder(category), config_.ShippedTemplateFolder(category)));
}

void TemplateGridWidget::SelectTemplateCategory(TemplateCategory category) {
  ScanCategory(category);
  ClearCellPaths();
  HideSelectionFrame();
  if (Count() == 0) dialogs_.ShowNotice(QStringLiteral("No Image"));
  DrawPage();
}

void TemplateGridWidget::ChooseCategory(TemplateCategory category) {
  SetPage(0);
  SelectTemplateCategory(category);
  category_ = category;
}

void TemplateGridWidget::RemoveItemFiles(const QString& path) {
  // The installation's templates are only read; a user's edited copy goes, and the shipped one
  // shows again.
  if (config_.IsShipped(path))
    throw LumistoError(QStringLiteral("%1 comes with Lumisto and cannot be deleted")
                           .arg(QFileInfo(TemplateSettingsPath(path)).completeBaseName()));
  DeleteTemplateFiles(path);
}

void TemplateGridWidget::RescanAfterDelete() { SelectTemplateCategory(category_); }

int TemplateGridWidget::CurrentGridCell() const {
  const int cell = SelectedIndex() - 8 * Page();
  return SelectedIndex() >= 0 && cell >= 0 && cell < 8 ? cell : -1;
}

void TemplateGridWidget::PaintStyleThumbnail(int cell, const QString& picture_path) {
  auto* label = findChild<QLabel*>(QStringLiteral("Image%1").arg(51 + cell));
  if (!label) return;
  const LoadedImage picture = LoadImage(picture_path);
  if (picture.status != LoadStatus::Ok) return;
  QPixmap pixmap = label->pixmap();
  if (pixmap.isNull()) pixmap = QPixmap(label->size());
  {
    QPainter painter(&pixmap);
    painter.drawImage(QPoint(0, 0), picture.image);
  }
  label->setPixmap(pixmap);
}

void TemplateGridWidget::AppendTemplate(const QString& picture_path, const QString& caption) {
  QList<ListRow> rows = Rows();
  rows.append({picture_path, caption, QSize()});
  SetRows(rows);
  const int index = Count() - 1;
  // The new row has no size text until the next scan reads the picture.
  if (QTreeWidgetItem* item = ListView()->topLevelItem(index)) item->setText(1, QString());
  SetSelectedIndex(index);
  SetPage(index / 8);
  HideSelectionFrame();
  DrawPage();
}
