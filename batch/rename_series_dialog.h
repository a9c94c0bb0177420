// The rename-series dialog `TForm2`: a numbered name pattern and a start value give the selected
// rows new output names.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QSpinBox>
#include <QStringList>
#include <QTreeWidget>

#include "base/user_dialogs.h"

class RenameSeriesDialog : public QDialog {
  Q_OBJECT

 public:
  RenameSeriesDialog(UserDialogs& dialogs, QWidget* parent);

  // The rows to rename with their names now, and the names of the rows that keep theirs (a new
  // name may not clash with them).
  void Prepare(const QStringList& old_names, const QStringList& kept_names);
  // The names "New name" shows: one per row of Prepare.
  QStringList NewNames() const;

 private:
  void BuildLayout();
  void Wire();
  void RefreshNewNames();
  void OnOk();

  UserDialogs& dialogs_;
  QStringList kept_names_;
  QComboBox* pattern_ = nullptr;  // ComboBox1
  QSpinBox* first_ = nullptr;     // UpDown1 with its edit Edit1
  QTreeWidget* list_ = nullptr;   // ListView1
};
