// The resize dialog: the output size of saved pictures, optionally keeping the photo's proportions.
#pragma once

#include <QDialog>
#include <QSize>

class QCheckBox;
class QLineEdit;
class QPushButton;
class UserDialogs;

// `TSizeForm`. Prepare() fills the boxes with the photo's size before each showing; OK accepts
// only when both boxes hold whole numbers in range, and ChosenSize() is then the new output size.
// The "Constrain Proportions" tick lives as long as the dialog.
class SizeDialog : public QDialog {
  Q_OBJECT

 public:
  SizeDialog(UserDialogs& dialogs, QWidget* parent = nullptr);

  void Prepare(int photo_width, int photo_height);
  QSize ChosenSize() const { return chosen_; }

 private:
  void BuildLayout();
  void Wire();
  void OnWidthEdited();
  void OnHeightEdited();
  void OnConstrainClicked();
  void OnOk();

  UserDialogs& dialogs_;
  QLineEdit* width_edit_ = nullptr;
  QLineEdit* height_edit_ = nullptr;
  QCheckBox* constrain_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  int start_width_ = 0;
  int start_height_ = 0;
  QSize chosen_;
};
