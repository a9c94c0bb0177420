// A page of eight thumbnails over a two-column list, the part the photo and template grids share:
// cells, hot labels, hover and selection frames, counter, paging and the list view.
#pragma once

#include <QLabel>
#include <QList>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QWidget>
#include <algorithm>
#include <array>

#include "base/folder_listing.h"
#include "base/user_dialogs.h"
#include "browse/thumbnail_cache.h"
#include "browse/thumbnail_loader.h"
#include "widgets/hot_label_widget.h"
#include "widgets/scroll_buttons_widget.h"

// Names and places of one grid's controls; rectangles and points are in window coordinates.
struct ThumbnailGridLayout {
  QRect area;  // the grid widget itself
  std::array<QPoint, 8> cells;
  int first_cell_number = 1;  // Image1..Image8, or Image51..Image58
  QString hover_frame;
  QString selection_frame;
  QString counter;
  QRect counter_rect;
  QString panel;
  QRect panel_rect;  // the list panel as designed; its header row and right end are cut off
  QString list_view;
  int list_width = 330;
  QString path_list;
  QString name_label;
  QString info_label;
  ScrollButtonsWidget::Names scroll_names;
  bool multiple_selection_in_list = false;
  QString empty_hint;  // shown over the cells when the list is empty
};

// How a choice reached the grid.
enum class ChoiceSource { Cell, List, Step };

class ThumbnailGridWidget : public QWidget {
  Q_OBJECT

 public:
  ThumbnailGridWidget(const ThumbnailGridLayout& layout, UserDialogs& dialogs, const ThumbnailCache& cache,
                      QWidget* parent);

  // A new scan: the path list and the list view hold rows; nothing is selected. The page, the
  // cells, the counter and the frames are left to the caller.
  void SetRows(const QList<ListRow>& rows);
  const QList<ListRow>& Rows() const { return rows_; }
  int Count() const { return static_cast<int>(rows_.size()); }
  int IndexOfPath(const QString& path) const;
  // The file at path was written while the list shows it: its thumbnail in the shared cache is
  // dropped and the page drawn again, so its cell shows the new picture. path may be spelt
  // differently from the list's path (a save dialog's answer). False when the list does not hold it.
  bool RefreshItem(const QString& path);

  int Page() const { return page_; }
  void SetPage(int page) { page_ = page; }
  // The counter shows the count; cells of the page show their thumbnails (a placeholder until a
  // thumbnail is ready, the broken-file glyph for a file that cannot be decoded), cells beyond the
  // end are white and disabled; an empty list shows the hint. Never waits for a decode: the
  // thumbnails are prepared in the background, then the next page's.
  void DrawPage();
  // True while thumbnails of the page or the next one are still being prepared.
  bool ThumbnailsPending() const { return !loader_->Idle(); }
  // The cells of the page still showing the placeholder.
  int CellsWaiting() const { return static_cast<int>(std::count(waiting_.begin(), waiting_.end(), true)); }
  void ClearCellPaths();
  QString CellPath(int cell) const { return cell_paths_[static_cast<std::size_t>(cell)]; }

  void ShowSelectionFrame(int cell);
  void HideSelectionFrame();

  // The current item: the path list's selection (-1 none). Setting it selects the same single
  // row of the list view.
  int SelectedIndex() const;
  void SetSelectedIndex(int index);
  // The rows selected in the list view, ascending.
  QList<int> SelectedRows() const;
  // Selects rows in the list view (the first becomes the current item); out-of-range rows are skipped.
  void SelectRows(const QList<int>& rows);
  // The counter after a choice: "index + 1/count".
  void ShowChosenCounter(int index);

  bool IsListView() const { return list_view_mode_; }
  // View: thumbnails <-> list; the page and the selection stay.
  void ToggleView();
  // Up and Down: paging in thumbnail view, stepping the selection (and choosing) in list view.
  void StepUp();
  void StepDown();

  QTreeWidget* ListView() const { return list_; }

  // The item the keyboard's place is on (-1: none); Return chooses it.
  int KeyIndex() const { return key_index_; }

  // Delete: nothing without a current item; otherwise, after the "Note" question, removes the
  // files of the selected rows from the last to the first, rescans and emits Deleted.
  void Delete();

 Q_SIGNALS:
  // An item became the current one through a cell, the list view or Up/Down in list view.
  void Chosen(int index, ChoiceSource source);
  // A cell without a path was clicked.
  void EmptyCellClicked();
  // Delete removed the items at these paths (their files may have resisted).
  void Deleted(const QStringList& paths);
  // View switched between thumbnails (false) and the list (true).
  void ViewToggled(bool list_view);

 protected:
  // Removes the files of the item at path; throws LumistoError ("Unable to delete NAME: reason")
  // when the system refuses, and the file stays.
  virtual void RemoveItemFiles(const QString& path) = 0;
  // Rescans and redraws after Delete.
  virtual void RescanAfterDelete() = 0;

  // A flat button at its window rectangle, with its objectName, caption, hint and glyph.
  QPushButton* AddButton(const QString& name, const QString& caption, const QString& hint,
                         const QRect& window_rect, const QString& glyph);
  // From window to this widget's coordinates.
  QRect Local(const QRect& window_rect) const { return window_rect.translated(-layout_.area.topLeft()); }
  QPoint Local(const QPoint& window_point) const { return window_point - layout_.area.topLeft(); }

  // The keyboard in thumbnail view: arrows, Page Up and Down, Home and End move the place (shown
  // by the hover frame from the moment the grid has the keyboard, the page following it); Return
  // and Enter choose the item there, as a click.
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

  UserDialogs& dialogs_;

 private:
  void MoveKeyPlace(int index);
  void BuildLayout();
  void Wire();
  void OnHotEnter(int cell);
  void OnHotClick(int cell);
  void OnListClick();
  void ChooseStep(int index);
  void OnCellReady(const QString& path);
  void ShowCell(int cell, const ThumbnailCell& picture);

  ThumbnailGridLayout layout_;
  const ThumbnailCache& cache_;
  QPixmap white_cell_;
  QPixmap placeholder_cell_;
  QList<ListRow> rows_;
  int page_ = 0;
  bool list_view_mode_ = false;
  int key_index_ = -1;
  std::array<QString, 8> cell_paths_;
  std::array<bool, 8> waiting_{};
  std::array<QLabel*, 8> cells_{};
  std::array<HotLabelWidget*, 8> hot_labels_{};
  QLabel* hover_frame_ = nullptr;
  QLabel* selection_frame_ = nullptr;
  QLabel* counter_ = nullptr;
  QLabel* name_label_ = nullptr;
  QLabel* info_label_ = nullptr;
  QWidget* panel_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QListWidget* path_list_ = nullptr;
  QLabel* empty_hint_ = nullptr;
  ThumbnailLoader* loader_ = nullptr;
};
