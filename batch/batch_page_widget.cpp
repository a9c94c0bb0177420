// The batch page: layout, rows kept in step with the store, and the list's own commands.
#include "batch/batch_page_widget.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include "base/guarded_call.h"
#include "batch/batch_job_file.h"
#include "batch/rename_series_dialog.h"
#include "widgets/flat_button_widget.h"
#include "widgets/scroll_buttons_widget.h"

namespace {

constexpr int kHeaderRow = 17;

// Opens an editor on the first column only: frame and size texts come from the entry.
class OutputNameDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    return index.column() == 0 ? QStyledItemDelegate::createEditor(parent, option, index) : nullptr;
  }
};  // the list's column headers, cut off by the panel's clip

QLabel* Caption(QWidget* parent, const QString& text, QRect rect) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(rect);
  return label;
}

}  // namespace

BatchPageWidget::BatchPageWidget(BatchStore& store, UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent), store_(store), dialogs_(dialogs), job_folder_(QDir::homePath()) {
  setObjectName(QStringLiteral("BatchPage"));
  BuildLayout();
  Wire();
}

void BatchPageWidget::BuildLayout() {
  const QRect panel_rect(20, 30, 340, 400);
  const int list_width = 330;
  const int w = list_width;
  Caption(this, QStringLiteral("Photo Name"), QRect(panel_rect.left() + 4, panel_rect.top(), 110, 17));
  Caption(this, QStringLiteral("Frame Name"),
          QRect(panel_rect.left() + 4 + w / 3 + 10, panel_rect.top(), 110, 17));
  Caption(this, QStringLiteral("Size"),
          QRect(panel_rect.left() + 4 + 2 * (w / 3) + 10, panel_rect.top(), 80, 17));

  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("BatchPanel"));
  panel->setGeometry(panel_rect);
  panel->setMask(QRegion(0, kHeaderRow, list_width, panel_rect.height() - kHeaderRow));
  list_ = new QTreeWidget(panel);
  list_->setObjectName(QStringLiteral("ListView3"));
  list_->setGeometry(0, kHeaderRow, list_width, panel_rect.height() - kHeaderRow);
  list_->setColumnCount(3);
  list_->setHeaderHidden(true);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);  // thousands of rows stay quick to lay out
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  // F2, Rename, or a slow second click on the row alone in the selection (see OnItemClicked) edit the
  // output name; the other columns are not for editing. Qt's own trigger for a click on a selected
  // row would also fire inside a selection of several rows, keep them all selected and edit one.
  list_->setEditTriggers(QAbstractItemView::EditKeyPressed);
  list_->viewport()->installEventFilter(this);
  slow_click_.setSingleShot(true);
  list_->setItemDelegate(new OutputNameDelegate(list_));
  list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->setColumnWidth(0, w / 3 + 10);
  list_->setColumnWidth(1, w / 3);
  list_->setColumnWidth(2, w / 3 - 25);
  // The selection stays visible when the list loses the focus.
  QPalette palette = list_->palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight,
                   palette.color(QPalette::Active, QPalette::Highlight));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   palette.color(QPalette::Active, QPalette::HighlightedText));
  list_->setPalette(palette);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  new ScrollButtonsWidget(list_,
                          {QStringLiteral("FlatButton30"), QStringLiteral("FlatButton31"),
                           QStringLiteral("Timer8"), QStringLiteral("Timer9")},
                          QRect(list_width - 18, kHeaderRow, 18, panel_rect.height() - kHeaderRow), panel);

  menu_ = new QMenu(this);
  menu_->setObjectName(QStringLiteral("BatchListMenu"));
  menu_->addAction(QStringLiteral("Save list..."), this, &BatchPageWidget::SaveList);
  menu_->addAction(QStringLiteral("Open list..."), this, &BatchPageWidget::OpenList);

  const int y = panel_rect.bottom() + 12;
  edit_ = AddFlatButton(this, QStringLiteral("BatchEditButton"), QStringLiteral("Edit"), QString(),
                        QRect(20, y, 60, 27));
  delete_ = AddFlatButton(this, QStringLiteral("FlatButton10"), QStringLiteral("Delete"), QString(),
                          QRect(88, y, 60, 27));
  rename_ = AddFlatButton(this, QStringLiteral("FlatButton12"), QStringLiteral("Rename"), QString(),
                          QRect(156, y, 60, 27));
  save_ = AddFlatButton(this, QStringLiteral("BatchSave"), QStringLiteral("Batch save"), QString(),
                        QRect(224, y, 80, 27));
  new_ = AddFlatButton(this, QStringLiteral("BatchNewButton"), QStringLiteral("New"),
                       QStringLiteral("Back to the photo to make another entry"), QRect(312, y, 48, 27));
}

void BatchPageWidget::Wire() {
  connect(list_, &QTreeWidget::itemClicked, this, &BatchPageWidget::OnItemClicked);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] {
    slow_click_.stop();
    Q_EMIT RowDoubleClicked();
  });
  connect(&slow_click_, &QTimer::timeout, this, [this] {
    // Still the one row selected once the double-click time is over: the click was a slow one.
    const int row = list_->indexOfTopLevelItem(pressed_item_);
    if (row >= 0 && SelectedRows() == QList<int>{row}) list_->editItem(pressed_item_, 0);
  });
  connect(new_, &QPushButton::clicked, this, &BatchPageWidget::NewEntryRequested);
  connect(list_, &QTreeWidget::itemChanged, this, &BatchPageWidget::OnItemChanged);
  connect(list_, &QWidget::customContextMenuRequested, this,
          [this](QPoint pos) { menu_->popup(list_->viewport()->mapToGlobal(pos)); });
  connect(edit_, &QPushButton::clicked, this, &BatchPageWidget::EditRequested);
  connect(delete_, &QPushButton::clicked, this, &BatchPageWidget::Delete);
  connect(rename_, &QPushButton::clicked, this, &BatchPageWidget::Rename);
  connect(save_, &QPushButton::clicked, this, &BatchPageWidget::BatchSaveRequested);
}

bool BatchPageWidget::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_->viewport() && event->type() == QEvent::MouseButtonPress) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    QTreeWidgetItem* item = list_->itemAt(mouse->position().toPoint());
    const int row = list_->indexOfTopLevelItem(item);
    pressed_item_ = item;
    pressed_alone_ = item && mouse->button() == Qt::LeftButton && mouse->modifiers() == Qt::NoModifier &&
                     SelectedRows() == QList<int>{row};
    slow_click_.stop();
  }
  return QWidget::eventFilter(watched, event);
}

void BatchPageWidget::OnItemClicked(QTreeWidgetItem* item, int column) {
  Q_EMIT RowsClicked();
  // A second click on the row that was already alone in the selection, on its output name: edit
  // it once the double-click time shows it was no double click.
  if (item == pressed_item_ && pressed_alone_ && column == 0)
    slow_click_.start(QApplication::doubleClickInterval());
}

void BatchPageWidget::Fill(QTreeWidgetItem* item, const BatchEntry& entry) {
  item->setText(0, entry.output_name);
  item->setText(1, entry.frame_name);
  item->setText(2, entry.size_text);
  item->setFlags(item->flags() | Qt::ItemIsEditable);
  const QString missing = MissingFiles(entry);
  const QBrush brush = missing.isEmpty() ? QBrush() : QBrush(Qt::red);
  for (int column = 0; column < 3; ++column) {
    item->setForeground(column, brush);
    item->setToolTip(column, missing);
  }
}

void BatchPageWidget::AppendRows(int first) {
  filling_ = true;
  QList<QTreeWidgetItem*> items;
  for (int row = first; row < store_.Count(); ++row) {
    auto* item = new QTreeWidgetItem;
    Fill(item, store_.At(row));
    items << item;
  }
  list_->addTopLevelItems(items);
  filling_ = false;
}

void BatchPageWidget::RefreshRow(int row) {
  if (row < 0 || row >= list_->topLevelItemCount()) return;
  filling_ = true;
  Fill(list_->topLevelItem(row), store_.At(row));
  filling_ = false;
}

void BatchPageWidget::ShowAllRows() {
  pressed_item_ = nullptr;
  slow_click_.stop();
  list_->clear();
  AppendRows(0);
}

QList<int> BatchPageWidget::SelectedRows() const {
  QList<int> rows;
  for (const QModelIndex& index : list_->selectionModel()->selectedRows()) rows << index.row();
  // Overlapping selection ranges can name a row twice.
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

void BatchPageWidget::SelectRows(const QList<int>& rows) {
  list_->clearSelection();
  for (const int row : rows)
    if (QTreeWidgetItem* item = list_->topLevelItem(row)) item->setSelected(true);
}

void BatchPageWidget::Deselect(int row) {
  if (QTreeWidgetItem* item = list_->topLevelItem(row)) item->setSelected(false);
}

void BatchPageWidget::Delete() {
  const QList<int> rows = SelectedRows();
  if (rows.isEmpty()) return;
  store_.Remove(rows);
  pressed_item_ = nullptr;
  slow_click_.stop();
  for (auto it = rows.crbegin(); it != rows.crend(); ++it) delete list_->takeTopLevelItem(*it);
  Q_EMIT EntriesRemoved();
}

void BatchPageWidget::Rename() {
  const QList<int> rows = SelectedRows();
  if (rows.isEmpty()) return;
  if (rows.size() < 2) {
    list_->editItem(list_->topLevelItem(rows.first()), 0);
    return;
  }
  if (!rename_dialog_) rename_dialog_ = new RenameSeriesDialog(dialogs_, this);
  QStringList old_names, kept_names;
  for (int row = 0; row < store_.Count(); ++row)
    (rows.contains(row) ? old_names : kept_names) << store_.At(row).output_name;
  rename_dialog_->Prepare(old_names, kept_names);
  if (rename_dialog_->exec() != QDialog::Accepted) return;
  const QStringList names = rename_dialog_->NewNames();
  for (qsizetype i = 0; i < rows.size(); ++i) {
    store_.At(rows[i]).output_name = names[i];
    RefreshRow(rows[i]);
  }
}

void BatchPageWidget::OnItemChanged(QTreeWidgetItem* item, int column) {
  if (filling_ || column != 0) return;
  const int row = list_->indexOfTopLevelItem(item);
  if (row < 0 || row >= store_.Count()) return;
  const QString name = item->text(0);
  if (name == store_.At(row).output_name) return;
  // A name that would write outside the chosen folder, or nowhere, is refused; the old one stays.
  if (const auto problem = OutputNameProblem(name)) {
    RefreshRow(row);
    dialogs_.ShowNotice(*problem);
    return;
  }
  store_.At(row).output_name = name;
}

void BatchPageWidget::SaveList() {
  RunGuarded(dialogs_, [this] {
    const std::optional<QString> path = dialogs_.ChooseJobFile(true, job_folder_);
    if (!path) return;
    job_folder_ = QFileInfo(*path).absolutePath();
    WriteBatchJob(*path, store_.Entries());
  });
}

void BatchPageWidget::OpenList() {
  RunGuarded(dialogs_, [this] {
    const std::optional<QString> path = dialogs_.ChooseJobFile(false, job_folder_);
    if (!path) return;
    job_folder_ = QFileInfo(*path).absolutePath();
    // Read whole before anything changes: a bad file leaves the list as it was.
    QList<BatchEntry> entries = ReadBatchJob(*path);
    if (store_.Count() > 0 && !dialogs_.AskYesNo(QStringLiteral("Replace the batch list with this one?")))
      return;
    store_.Replace(std::move(entries));
    ShowAllRows();
    Q_EMIT EntriesRemoved();
  });
}
