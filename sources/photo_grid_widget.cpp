// Photo grid commands.
#include "sources/photo_grid_widget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "base/guarded_call.h"
#include "base/output_file.h"
#include "imaging/image_io.h"
#include "sources/photo_folder.h"

namespace {

ThumbnailGridLayout PhotoGridLayout() {
  ThumbnailGridLayout layout;
  layout.area = QRect(46, 118, 362, 218);
  layout.cells = {QPoint(51, 143), QPoint(134, 143), QPoint(218, 142), QPoint(302, 142),
                  QPoint(51, 220), QPoint(134, 220), QPoint(218, 220), QPoint(302, 220)};
  layout.first_cell_number = 1;
  layout.hover_frame = QStringLiteral("Back11");
  layout.selection_frame = QStringLiteral("Back1");
  layout.counter = QStringLiteral("Label8");
  layout.counter_rect = QRect(306, 120, 96, 17);
  layout.panel = QStringLiteral("Panel3");
  layout.panel_rect = QRect(46, 123, 360, 173);
  layout.list_view = QStringLiteral("ListView1");
  layout.path_list = QStringLiteral("ListBox1");
  layout.name_label = QStringLiteral("Label4");
  layout.info_label = QStringLiteral("Label5");
  layout.scroll_names = {QStringLiteral("FlatButton6"), QStringLiteral("FlatButton7"),
                         QStringLiteral("Timer3"), QStringLiteral("Timer4")};
  layout.multiple_selection_in_list = true;
  layout.empty_hint = QStringLiteral("No photos in this folder");
  return layout;
}

}  // namespace

PhotoGridWidget::PhotoGridWidget(const Config& config, UserDialogs& dialogs, const ThumbnailCache& cache,
                                 QWidget* parent)
    : ThumbnailGridWidget(PhotoGridLayout(), dialogs, cache, parent), config_(config) {
  BuildLayout();
  Wire();
}

void PhotoGridWidget::BuildLayout() {
  open_ = AddButton(QStringLiteral("PhotoOpenButton"), QStringLiteral("Open"),
                    QStringLiteral("Open picture directory"), QRect(51, 304, 53, 27), QStringLiteral("open"));
  delete_ = AddButton(QStringLiteral("PhotoDeleteButton"), QStringLiteral("Delete"),
                      QStringLiteral("Delete file"), QRect(119, 304, 53, 27), QStringLiteral("delete"));
  up_ = AddButton(QStringLiteral("PhotoUpButton"), QStringLiteral("Up"), QString(), QRect(187, 304, 53, 27),
                  QStringLiteral("up"));
  down_ = AddButton(QStringLiteral("PhotoDownButton"), QStringLiteral("Down"), QString(),
                    QRect(255, 304, 53, 27), QStringLiteral("down"));
  view_ = AddButton(QStringLiteral("PhotoViewButton"), QStringLiteral("View"),
                    QStringLiteral("Change the mode of showing "), QRect(323, 304, 53, 27),
                    QStringLiteral("view"));
  // The header names what the grid shows, left of the counter; the list view's column labels
  // take its place while they are shown.
  folder_label_ = new QLabel(this);
  folder_label_->setObjectName(QStringLiteral("PhotoFolderLabel"));
  folder_label_->setGeometry(Local(QRect(51, 120, 250, 17)));
  folder_label_->setTextFormat(Qt::PlainText);
  // The photo sources, as the template area's Open offers the template categories.
  menu_ = new QMenu(this);
  menu_->setObjectName(QStringLiteral("PhotoSourceMenu"));
  menu_->addAction(QStringLiteral("Photo folder..."))->setObjectName(QStringLiteral("DirItem"));
  menu_->addAction(QStringLiteral("Camera"))->setObjectName(QStringLiteral("CamItem"));
}

void PhotoGridWidget::Wire() {
  connect(open_, &QPushButton::clicked, this,
          [this] { menu_->popup(open_->mapToGlobal(QPoint(open_->width(), 0))); });
  connect(menu_->findChild<QAction*>(QStringLiteral("DirItem")), &QAction::triggered, this,
          [this] { RunGuarded(dialogs_, [this] { Open(); }); });
  connect(menu_->findChild<QAction*>(QStringLiteral("CamItem")), &QAction::triggered, this,
          &PhotoGridWidget::CameraRequested);
  connect(delete_, &QPushButton::clicked, this, [this] { RunGuarded(dialogs_, [this] { Delete(); }); });
  connect(up_, &QPushButton::clicked, this, [this] { RunGuarded(dialogs_, [this] { StepUp(); }); });
  connect(down_, &QPushButton::clicked, this, [this] { RunGuarded(dialogs_, [this] { StepDown(); }); });
  connect(this, &ThumbnailGridWidget::ViewToggled, folder_label_,
          [this](bool list) { folder_label_->setVisible(!list); });
  connect(view_, &QPushButton::clicked, this, [this] {
    ToggleView();
    view_->setProperty("tag", IsListView() ? 1 : 0);
  });
}

void PhotoGridWidget::ScanFolder(const QString& folder) {
  folder_ = folder;
  selection_.clear();
  showing_selection_ = false;
  SetRows(ScanPhotoFolder(folder));
  const QString path = QDir::toNativeSeparators(QDir::cleanPath(folder));
  const QString name = QFileInfo(QDir::cleanPath(folder)).fileName();
  NameInHeader(name.isEmpty() ? path : name, path);
}

void PhotoGridWidget::ShowSelection(const QStringList& photos) {
  // photos may be selection_ itself (the rescan after Delete).
  const QStringList given = photos;
  folder_.clear();
  selection_.clear();
  for (const QString& photo : given)
    if (QFileInfo(photo).isFile()) selection_.append(photo);
  showing_selection_ = true;
  QList<ListRow> rows;
  rows.reserve(selection_.size());
  for (const QString& photo : std::as_const(selection_))
    rows.append({photo, QFileInfo(photo).fileName(), ReadImageSize(photo)});
  SetRows(rows);
  QStringList shown;
  for (const QString& photo : std::as_const(selection_)) shown.append(QDir::toNativeSeparators(photo));
  NameInHeader(QStringLiteral("selection"), shown.join(u'\n'));
}

void PhotoGridWidget::NameInHeader(const QString& text, const QString& tooltip) {
  folder_label_->setText(
      folder_label_->fontMetrics().elidedText(text, Qt::ElideMiddle, folder_label_->width()));
  folder_label_->setToolTip(tooltip);
  folder_label_->setAccessibleName(QStringLiteral("Photos shown: %1").arg(text));
  folder_label_->setAccessibleDescription(tooltip);
}

void PhotoGridWidget::RedrawFromFirstPage() {
  SetPage(0);
  ClearCellPaths();
  DrawPage();
}

void PhotoGridWidget::Open() {
  const std::optional<QString> folder =
      dialogs_.ChooseFolder(QStringLiteral("Please choose directory"), config_.PhotoFolder());
  if (folder) ScanFolder(*folder);
  HideSelectionFrame();
  if (Count() > 0) {
    if (folder) config_.SetPhotoFolder(*folder);
  } else {
    dialogs_.ShowNotice(QStringLiteral("No Image"));
  }
  RedrawFromFirstPage();
  Q_EMIT PhotoCountChanged(Count());
}

void PhotoGridWidget::RemoveItemFiles(const QString& path) { RemoveFile(path); }

void PhotoGridWidget::RescanAfterDelete() {
  if (showing_selection_)
    ShowSelection(selection_);
  else
    ScanFolder(folder_);
  HideSelectionFrame();
  RedrawFromFirstPage();
  Q_EMIT PhotoCountChanged(Count());
}
