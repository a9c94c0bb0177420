// The resize dialog: the output size of saved pictures, optionally keeping the photo's proportions.
#pragma once

#include <QDialog>
#include <QSize>

class QCheckBox;
class QLineEdit;
class QPushButton;
class UserDialogs;

// `TSizeForm`. Prepare() fills the boxes before each showing: with the output size when one is
// set, otherwise with the picture's size (the turned photo, or its crop), whose shape the
// "Constrain Proportions" tick keeps. OK accepts only when both boxes hold whole numbers in range,
// and ChosenSize() is then the new output size; 0 x 0 (no output size) after "Original size", or
// after OK on the picture's own size while none was set. The tick lives as long as the dialog.
class SizeDialog : public QDialog {
  Q_OBJECT

 public:
  SizeDialog(UserDialogs& dialogs, QWidget* parent = nullptr);

  // picture: the size the composite has; output: the output size set, or 0 x 0 for none.
  void Prepare(QSize picture, QSize output = QSize(0, 0));
  void Prepare(int photo_width, int photo_height) { Prepare(QSize(photo_width, photo_height)); }
  QSize ChosenSize() const { return chosen_; }

 private:
  void BuildLayout();
  void Wire();
  void OnWidthEdited();
  void OnHeightEdited();
  void OnConstrainClicked();
  void OnOk();
  void OnOriginalSize();

  UserDialogs& dialogs_;
  QLineEdit* width_edit_ = nullptr;
  QLineEdit* height_edit_ = nullptr;
  QCheckBox* constrain_ = nullptr;
  QPushButton* original_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  int start_width_ = 0;
  int start_height_ = 0;
  bool output_set_ = false;
  QSize chosen_;
};
