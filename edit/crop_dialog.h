// The crop dialog `TCropForm`: the oriented photo at a 500-pixel view under a veil, the selection
// shown clear, eight handles to reshape it and its body to move it.
#pragma once

#include <QDialog>
#include <QImage>
#include <QRect>
#include <array>

#include "edit/edit_state.h"
#include "imaging/rotate_flip.h"

class QKeyEvent;
class QLabel;
class QPushButton;
class UserDialogs;

class CropDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CropDialog(UserDialogs& dialogs, QWidget* parent = nullptr);

  // Builds the view of the photo at path turned by rotate_flip with the selection of
  // the stored crop, and sizes the dialog around it. A photo that cannot be decoded is named in a
  // notice and false returned; the dialog is then not to be shown.
  bool Prepare(const QString& path, RotateFlipType rotate_flip, const CropRect& stored);

  // The selection in view pixels, and the crop "OK" stores (valid after Accepted).
  QRect Selection() const { return selection_; }
  CropRect ChosenCrop() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildLayout();
  void Wire();
  void SetSelection(const QRect& selection);
  void Redraw();
  // Arrows move the selection, Shift+arrows its bottom-right corner, Ctrl ten pixels a key; false
  // for other keys.
  bool MoveWithKey(const QKeyEvent* key);

  UserDialogs& dialogs_;
  QWidget* view_box_ = nullptr;  // ScrollBox1
  QLabel* back_ = nullptr;
  QLabel* body_ = nullptr;  // Image9
  std::array<QLabel*, 8> handles_{};
  QLabel* original_ = nullptr;  // Label1
  QLabel* current_ = nullptr;   // Label2
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QImage view_;
  QSize oriented_size_;
  CropRect stored_;
  QRect opened_;
  QRect selection_;
  std::array<QPoint, 9> drag_start_{};  // per handle, then the body
};
