// The shared thumbnail grid: layout, paging, list view and the hot-label events.
#include "widgets/thumbnail_grid_widget.h"

#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

#include "base/lumisto_error.h"
#include "base/user_dialogs.h"
#include "browse/grid_keys.h"
#include "browse/grid_paging.h"
#include "browse/thumbnail_page.h"
#include "widgets/flat_button_widget.h"
#include "widgets/skin_colours.h"

namespace {

constexpr int kHeaderRow = 17;  // the list view's column headers, cut off by the panel's clip

// A thumbnail cell. A cell beyond the end of the list is disabled, yet it must show plain white:
// QLabel would grey its picture out, so the picture is drawn as it is in either state.
class CellImage : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawPixmap(QPoint(0, 0), pixmap());
  }
};

// The hover and selection frames lie behind the cells, one pixel around them. The selection
// frame's colour is kept, but it is three pixels thick (the outer two outside the hot label's
// reach, over the skin) and drawn in the darker border green outside, so it stands out on white
// and from the one-pixel hover frame.
QPixmap OutlineFrame(QColor colour, int thickness) {
  QPixmap pixmap(72 + 2 * (thickness - 1), 72 + 2 * (thickness - 1));
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  for (int ring = 0; ring < thickness; ++ring) {
    painter.setPen(ring == 0 ? colour : QColor(118, 187, 55));
    const int inset = thickness - 1 - ring;
    painter.drawRect(inset, inset, pixmap.width() - 1 - 2 * inset, pixmap.height() - 1 - 2 * inset);
  }
  return pixmap;
}

constexpr int kSelectionThickness = 3;

}  // namespace

ThumbnailGridWidget::ThumbnailGridWidget(const ThumbnailGridLayout& layout, UserDialogs& dialogs,
                                         const ThumbnailCache& cache, QWidget* parent)
    : QWidget(parent),
      dialogs_(dialogs),
      layout_(layout),
      cache_(cache),
      white_cell_(QPixmap::fromImage(DrawThumbnailCell(QImage(), QSize()))),
      placeholder_cell_(QPixmap::fromImage(PlaceholderThumbnailCell())),
      loader_(new ThumbnailLoader(cache, nullptr, this)) {
  setGeometry(layout_.area);
  setFocusPolicy(Qt::StrongFocus);
  BuildLayout();
  Wire();
}

void ThumbnailGridWidget::BuildLayout() {
  // Bottom to top: the frames lie behind the cells, the hot labels over them, the list panel over all.
  hover_frame_ = new QLabel(this);
  hover_frame_->setObjectName(layout_.hover_frame);
  hover_frame_->setPixmap(OutlineFrame(QColor(kSkinCaption), 1));
  hover_frame_->resize(72, 72);
  hover_frame_->hide();
  selection_frame_ = new QLabel(this);
  selection_frame_->setObjectName(layout_.selection_frame);
  selection_frame_->setPixmap(OutlineFrame(QColor(kSkinFace), kSelectionThickness));
  selection_frame_->resize(selection_frame_->pixmap().size());
  selection_frame_->hide();

  QPixmap white(kCellSize);
  white.fill(Qt::white);
  for (int c = 0; c < kCellsPerPage; ++c) {
    QLabel* cell = new CellImage(this);
    cell->setObjectName(QStringLiteral("Image%1").arg(layout_.first_cell_number + c));
    cell->setGeometry(QRect(Local(layout_.cells[static_cast<std::size_t>(c)]), kCellSize));
    cell->setPixmap(white);
    cell->setEnabled(false);
    cells_[static_cast<std::size_t>(c)] = cell;
  }
  for (int c = 0; c < kCellsPerPage; ++c) {
    auto* hot = new HotLabelWidget(c, this);
    hot->setObjectName(QStringLiteral("Hot%1").arg(layout_.first_cell_number + c));
    hot->setGeometry(QRect(Local(layout_.cells[static_cast<std::size_t>(c)]) - QPoint(1, 1), kCellSize));
    hot_labels_[static_cast<std::size_t>(c)] = hot;
  }

  // One line in the middle of the cells when the list is empty.
  empty_hint_ = new QLabel(layout_.empty_hint, this);
  empty_hint_->setObjectName(layout_.panel + QStringLiteral("EmptyHint"));
  empty_hint_->setAlignment(Qt::AlignCenter);
  empty_hint_->setGeometry(QRect(Local(layout_.cells[0]), Local(layout_.cells[7]) + QPoint(69, 69)));
  empty_hint_->hide();

  counter_ = new QLabel(this);
  counter_->setObjectName(layout_.counter);
  counter_->setGeometry(Local(layout_.counter_rect));
  counter_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  const QRect panel_rect = Local(layout_.panel_rect);
  name_label_ = new QLabel(QStringLiteral("Name"), this);
  name_label_->setObjectName(layout_.name_label);
  name_label_->setGeometry(panel_rect.left() + 5, layout_.counter_rect.top() - layout_.area.top(), 120,
                           layout_.counter_rect.height());
  name_label_->hide();
  info_label_ = new QLabel(QStringLiteral("Info"), this);
  info_label_->setObjectName(layout_.info_label);
  info_label_->setGeometry(panel_rect.left() + 5 + layout_.list_width / 2,
                           layout_.counter_rect.top() - layout_.area.top(), 80,
                           layout_.counter_rect.height());
  info_label_->hide();

  // The panel keeps its designed size; a clip hides the header row and the part beyond the list.
  panel_ = new QWidget(this);
  panel_->setObjectName(layout_.panel);
  panel_->setGeometry(panel_rect);
  panel_->setMask(QRegion(0, kHeaderRow, layout_.list_width, panel_rect.height() - kHeaderRow));
  panel_->hide();
  list_ = new QTreeWidget(panel_);
  list_->setObjectName(layout_.list_view);
  list_->setGeometry(0, kHeaderRow, layout_.list_width, panel_rect.height() - kHeaderRow);
  list_->setColumnCount(2);
  list_->setHeaderHidden(true);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setAllColumnsShowFocus(true);
  list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setColumnWidth(0, layout_.list_width / 2);
  list_->setColumnWidth(1, layout_.list_width / 2 - 20);
  // The strip covers the list's own scroll bar at its right edge.
  new ScrollButtonsWidget(list_, layout_.scroll_names,
                          QRect(layout_.list_width - 18, kHeaderRow, 18, panel_rect.height() - kHeaderRow),
                          panel_);

  path_list_ = new QListWidget(this);
  path_list_->setObjectName(layout_.path_list);
  path_list_->hide();
}

void ThumbnailGridWidget::Wire() {
  for (HotLabelWidget* hot : hot_labels_) {
    connect(hot, &HotLabelWidget::Entered, this, &ThumbnailGridWidget::OnHotEnter);
    connect(hot, &HotLabelWidget::Left, hover_frame_, &QLabel::hide);
    connect(hot, &HotLabelWidget::Clicked, this, &ThumbnailGridWidget::OnHotClick);
  }
  connect(list_, &QTreeWidget::clicked, this, &ThumbnailGridWidget::OnListClick);
  connect(loader_, &ThumbnailLoader::CellReady, this, &ThumbnailGridWidget::OnCellReady);
}

QPushButton* ThumbnailGridWidget::AddButton(const QString& name, const QString& caption, const QString& hint,
                                            const QRect& window_rect, const QString& glyph) {
  return AddFlatButton(this, name, caption, hint, Local(window_rect), glyph);
}

void ThumbnailGridWidget::SetRows(const QList<ListRow>& rows) {
  rows_ = rows;
  key_index_ = -1;
  path_list_->clear();
  list_->clear();
  QStringList paths;
  QList<QTreeWidgetItem*> items;
  paths.reserve(rows_.size());
  items.reserve(rows_.size());
  for (const ListRow& row : rows_) {
    paths.append(row.path);
    items.append(new QTreeWidgetItem(QStringList{row.caption, SizeText(row.size)}));
  }
  path_list_->addItems(paths);
  list_->addTopLevelItems(items);
  path_list_->setCurrentRow(-1);
  list_->clearSelection();
  list_->setCurrentItem(nullptr);
}

int ThumbnailGridWidget::IndexOfPath(const QString& path) const {
  if (path.isEmpty()) return -1;
  for (int i = 0; i < Count(); ++i)
    if (rows_[i].path == path) return i;
  return -1;
}

bool ThumbnailGridWidget::RefreshItem(const QString& path) {
  int index = IndexOfPath(path);
  if (index < 0) index = IndexOfPath(QFileInfo(path).absoluteFilePath());
  if (index < 0) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    for (int i = 0; i < Count() && index < 0 && !canonical.isEmpty(); ++i)
      if (QFileInfo(rows_[i].path).canonicalFilePath() == canonical) index = i;
  }
  if (index < 0) return false;
  // The cache's entry is checked against the file's modification time in whole seconds: a file
  // rewritten within the second would keep its old thumbnail.
  if (!cache_.Folder().isEmpty()) QFile::remove(cache_.CacheFilePath(rows_[index].path));
  // The page is drawn again as it stands: the counter keeps saying which item was chosen.
  const QString counter = counter_->text();
  DrawPage();
  counter_->setText(counter);
  return true;
}

void ThumbnailGridWidget::DrawPage() {
  counter_->setText(CounterText(Count()));
  empty_hint_->setVisible(Count() == 0);
  QList<ThumbnailRequest> page;
  QList<ThumbnailRequest> next;
  for (int c = 0; c < kCellsPerPage; ++c) {
    const auto slot = static_cast<std::size_t>(c);
    const int index = ItemIndex(page_, c);
    const bool filled = index < Count();
    cell_paths_[slot] = filled ? rows_[index].path : QString();
    cells_[slot]->setEnabled(filled);
    // Screen readers say the file name of the cell under the pointer or the keyboard's place.
    hot_labels_[slot]->setAccessibleName(filled ? rows_[index].caption : QStringLiteral("empty cell"));
    waiting_[slot] = false;
    if (!filled) {
      cells_[slot]->setPixmap(white_cell_);
      continue;
    }
    const std::optional<ThumbnailCell> known = loader_->Known(rows_[index].path);
    if (known) {
      ShowCell(c, *known);
    } else {
      cells_[slot]->setPixmap(placeholder_cell_);
      waiting_[slot] = true;
      page.append({rows_[index].path, rows_[index].size});
    }
    const int ahead = ItemIndex(page_ + 1, c);
    if (ahead < Count()) next.append({rows_[ahead].path, rows_[ahead].size});
  }
  loader_->Want(page, next);
}

void ThumbnailGridWidget::OnCellReady(const QString& path) {
  // Only cells that show that file now take it: a thumbnail of a page already left is kept for
  // later and painted nowhere.
  for (int c = 0; c < kCellsPerPage; ++c) {
    if (cell_paths_[static_cast<std::size_t>(c)] != path) continue;
    if (const std::optional<ThumbnailCell> known = loader_->Known(path)) ShowCell(c, *known);
  }
}

void ThumbnailGridWidget::ShowCell(int cell, const ThumbnailCell& picture) {
  cells_[static_cast<std::size_t>(cell)]->setPixmap(QPixmap::fromImage(picture.image));
  waiting_[static_cast<std::size_t>(cell)] = false;
  if (!picture.broken) return;
  // The scan read a size from the header, but the file cannot be decoded: its size is unknown.
  const int index = ItemIndex(page_, cell);
  if (index >= Count() || !rows_[index].size.isValid()) return;
  rows_[index].size = QSize();
  if (QTreeWidgetItem* item = list_->topLevelItem(index)) item->setText(1, SizeText(QSize()));
}

void ThumbnailGridWidget::ClearCellPaths() { cell_paths_.fill(QString()); }

void ThumbnailGridWidget::ShowSelectionFrame(int cell) {
  const QPoint outside(kSelectionThickness - 1, kSelectionThickness - 1);
  selection_frame_->move(hot_labels_[static_cast<std::size_t>(cell)]->pos() - outside);
  selection_frame_->show();
}

void ThumbnailGridWidget::HideSelectionFrame() { selection_frame_->hide(); }

int ThumbnailGridWidget::SelectedIndex() const { return path_list_->currentRow(); }

void ThumbnailGridWidget::SetSelectedIndex(int index) {
  path_list_->setCurrentRow(index);
  list_->clearSelection();
  QTreeWidgetItem* item = index >= 0 ? list_->topLevelItem(index) : nullptr;
  if (item == nullptr) {
    list_->setCurrentItem(nullptr);
    return;
  }
  list_->selectionModel()->setCurrentIndex(list_->indexFromItem(item),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  list_->scrollToItem(item);
}

QList<int> ThumbnailGridWidget::SelectedRows() const {
  QList<int> rows;
  for (const QModelIndex& index : list_->selectionModel()->selectedRows()) rows.append(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void ThumbnailGridWidget::SelectRows(const QList<int>& rows) {
  SetSelectedIndex(rows.isEmpty() ? -1 : rows.first());
  for (int row : rows) {
    QTreeWidgetItem* item = list_->topLevelItem(row);
    if (item != nullptr) item->setSelected(true);
  }
}

void ThumbnailGridWidget::ShowChosenCounter(int index) { counter_->setText(CounterText(index, Count())); }

void ThumbnailGridWidget::ToggleView() {
  list_view_mode_ = !list_view_mode_;
  panel_->setVisible(list_view_mode_);
  name_label_->setVisible(list_view_mode_);
  info_label_->setVisible(list_view_mode_);
  Q_EMIT ViewToggled(list_view_mode_);
  if (!layout_.multiple_selection_in_list) return;
  if (list_view_mode_) {
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  } else {
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    // A selection of several rows made in the list would otherwise survive into thumbnail view,
    // where Delete must remove only the current photo.
    SetSelectedIndex(SelectedIndex());
  }
}

void ThumbnailGridWidget::StepUp() {
  if (list_view_mode_) {
    ChooseStep(ListStepUp(SelectedIndex()));
    return;
  }
  const PageMove move = PageUp(page_);
  page_ = move.page;
  if (!move.redraw) return;
  HideSelectionFrame();
  DrawPage();
}

void ThumbnailGridWidget::StepDown() {
  if (list_view_mode_) {
    ChooseStep(ListStepDown(SelectedIndex(), Count()));
    return;
  }
  const PageMove move = PageDown(page_, Count());
  page_ = move.page;
  if (!move.redraw) return;
  HideSelectionFrame();
  DrawPage();
}

void ThumbnailGridWidget::ChooseStep(int index) {
  if (index < 0) return;
  HideSelectionFrame();
  SetSelectedIndex(index);
  Q_EMIT Chosen(index, ChoiceSource::Step);
}

void ThumbnailGridWidget::OnHotEnter(int cell) {
  const auto slot = static_cast<std::size_t>(cell);
  if (!cell_paths_[slot].isEmpty()) {
    hover_frame_->move(hot_labels_[slot]->pos());
    hover_frame_->show();
  } else {
    hover_frame_->hide();
  }
  hot_labels_[slot]->setEnabled(cells_[slot]->isEnabled());
}

void ThumbnailGridWidget::OnHotClick(int cell) {
  HotLabelWidget* hot = hot_labels_[static_cast<std::size_t>(cell)];
  hot->SetPath(cell_paths_[static_cast<std::size_t>(cell)]);
  if (hot->Path().isEmpty()) {
    Q_EMIT EmptyCellClicked();
    return;
  }
  ShowSelectionFrame(cell);
  const int index = ItemIndex(page_, cell);
  key_index_ = index;
  SetSelectedIndex(index);
  Q_EMIT Chosen(index, ChoiceSource::Cell);
}

void ThumbnailGridWidget::keyPressEvent(QKeyEvent* event) {
  // The list view has keys of its own.
  if (list_view_mode_) {
    QWidget::keyPressEvent(event);
    return;
  }
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (key_index_ >= 0 && key_index_ < Count()) OnHotClick(key_index_ - page_ * kCellsPerPage);
    return;
  }
  const int from = key_index_ >= 0 ? key_index_ : SelectedIndex();
  const int target = GridKeyTarget(from, Count(), key);
  if (target < 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  MoveKeyPlace(target);
}

void ThumbnailGridWidget::MoveKeyPlace(int index) {
  key_index_ = index;
  const int page = index / kCellsPerPage;
  if (page != page_) {
    HideSelectionFrame();
    SetPage(page);
    DrawPage();
  }
  OnHotEnter(index - page * kCellsPerPage);
  // Screen readers follow the place: the cell's name is its file name.
  setAccessibleDescription(rows_[index].caption);
}

void ThumbnailGridWidget::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  // The keyboard's place shows as soon as the grid has the keyboard: where it was, else on the
  // current item, else on the first cell of the page.
  if (list_view_mode_ || Count() == 0) return;
  const int place =
      key_index_ >= 0 ? key_index_ : (SelectedIndex() >= 0 ? SelectedIndex() : page_ * kCellsPerPage);
  MoveKeyPlace(std::clamp(place, 0, Count() - 1));
}

void ThumbnailGridWidget::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  if (key_index_ >= 0) hover_frame_->hide();
}

void ThumbnailGridWidget::OnListClick() {
  const QList<int> rows = SelectedRows();
  // Several rows selected serve Delete and the batch add, not a choice.
  if (rows.size() != 1) return;
  path_list_->setCurrentRow(rows.first());
  Q_EMIT Chosen(rows.first(), ChoiceSource::List);
}

void ThumbnailGridWidget::Delete() {
  // Without a current item there is nothing to delete and nothing to ask.
  if (SelectedIndex() < 0) return;
  if (!dialogs_.AskYesNo(QStringLiteral("Are you sure you want to delete it?"))) return;
  const QList<int> rows = SelectedRows();
  // Last to first. A file the system refuses to delete stays: the rescan shows it, and the first
  // refusal is said once the grid shows what is left.
  QStringList paths;
  QString refused;
  for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
    try {
      RemoveItemFiles(rows_[*row].path);
      paths.append(rows_[*row].path);
    } catch (const LumistoError& e) {
      if (refused.isEmpty()) refused = e.Message();
    }
  }
  SetSelectedIndex(-1);
  RescanAfterDelete();
  Q_EMIT Deleted(paths);
  if (!refused.isEmpty()) throw LumistoError(refused);
}
