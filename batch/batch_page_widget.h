// The "Batch" page of the main pages: the batch list `ListView3` over the batch store, its scroll
// buttons, and the commands that need only the list (Delete, Rename, the job file menu).
#pragma once

#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

#include "base/user_dialogs.h"
#include "batch/batch_entry.h"

class RenameSeriesDialog;

class BatchPageWidget : public QWidget {
  Q_OBJECT

 public:
  // store holds the entries the rows show; the page keeps the two in step.
  BatchPageWidget(BatchStore& store, UserDialogs& dialogs, QWidget* parent);

  QTreeWidget* List() const { return list_; }
  QMenu* ListMenu() const { return menu_; }
  RenameSeriesDialog* RenameDialog() const { return rename_dialog_; }

  // Adds rows for the store's entries from row first to the end.
  void AppendRows(int first);
  // Shows entry row's texts again (a row whose photo or template file is missing is marked red).
  void RefreshRow(int row);
  // Rebuilds every row from the store.
  void ShowAllRows();

  // The selected rows, ascending.
  QList<int> SelectedRows() const;
  void SelectRows(const QList<int>& rows);
  void Deselect(int row);

  // Delete (`FlatButton10`): removes the selected rows with their entries.
  void Delete();
  // Rename (`FlatButton12`): edits the caption in place for one selected row; the rename-series
  // dialog for several.
  void Rename();
  // "Save list..." and "Open list..." of the list's context menu.
  void SaveList();
  void OpenList();

 Q_SIGNALS:
  // A click on the list (the selection may have changed).
  void RowsClicked();
  void RowDoubleClicked();
  void EditRequested();
  void BatchSaveRequested();
  // New (`BatchNewButton`): back to the editor to make another entry.
  void NewEntryRequested();
  // Rows were removed, or the whole list replaced by a job file.
  void EntriesRemoved();

 private:
  void BuildLayout();
  void Wire();
  void OnItemChanged(QTreeWidgetItem* item, int column);
  void Fill(QTreeWidgetItem* item, const BatchEntry& entry);
  bool eventFilter(QObject* watched, QEvent* event) override;
  void OnItemClicked(QTreeWidgetItem* item, int column);

  BatchStore& store_;
  UserDialogs& dialogs_;
  QTreeWidget* list_ = nullptr;
  QMenu* menu_ = nullptr;
  QPushButton* edit_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* rename_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* new_ = nullptr;
  RenameSeriesDialog* rename_dialog_ = nullptr;
  bool filling_ = false;  // rows being filled from the store: not an edit by the user
  // A slow second click on the row alone in the selection edits its output name: the row pressed
  // last, whether it was alone selected before the press, and the wait for a double click.
  QTreeWidgetItem* pressed_item_ = nullptr;
  bool pressed_alone_ = false;
  QTimer slow_click_;
  QString job_folder_;
};
