// The resize dialog.
#include "edit/size_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/guarded_call.h"
#include "base/lumisto_error.h"
#include "base/strict_int.h"
#include "base/user_dialogs.h"
#include "edit/geometric_edits.h"
#include "imaging/image_io.h"

SizeDialog::SizeDialog(UserDialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
  setObjectName(QStringLiteral("TSizeForm"));
  setWindowTitle(QStringLiteral("SizeForm"));
  BuildLayout();
  Wire();
}

void SizeDialog::BuildLayout() {
  setFixedSize(301, 97);
  width_edit_ = new QLineEdit(this);
  width_edit_->setObjectName(QStringLiteral("Edit1"));
  width_edit_->setGeometry(16, 12, 110, 22);
  width_edit_->setAccessibleName(QStringLiteral("Width"));
  auto* times = new QLabel(QStringLiteral("x"), this);
  times->setGeometry(140, 14, 12, 18);
  height_edit_ = new QLineEdit(this);
  height_edit_->setObjectName(QStringLiteral("Edit2"));
  height_edit_->setGeometry(160, 12, 110, 22);
  height_edit_->setAccessibleName(QStringLiteral("Height"));
  // The keyboard starts in the width.
  width_edit_->setFocus();
  constrain_ = new QCheckBox(QStringLiteral("Constrain Proportions"), this);
  constrain_->setObjectName(QStringLiteral("CheckBox1"));
  constrain_->setGeometry(16, 40, 200, 20);
  original_ = new QPushButton(QStringLiteral("Original size"), this);
  original_->setObjectName(QStringLiteral("OriginalSizeButton"));
  original_->setToolTip(QStringLiteral("Save at the framed picture's own size"));
  original_->setGeometry(16, 66, 92, 25);
  original_->setAutoDefault(false);
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setObjectName(QStringLiteral("OkButton"));
  ok_->setGeometry(116, 66, 75, 25);
  ok_->setDefault(true);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_->setObjectName(QStringLiteral("CancelButton"));
  cancel_->setGeometry(200, 66, 75, 25);
}

void SizeDialog::Wire() {
  // Only what the user types recomputes the other box: a key that moves the focus (Tab,
  // Shift+Tab) or the caret changes no text, and text set here changes nothing either.
  connect(width_edit_, &QLineEdit::textEdited, this, &SizeDialog::OnWidthEdited);
  connect(height_edit_, &QLineEdit::textEdited, this, &SizeDialog::OnHeightEdited);
  connect(constrain_, &QCheckBox::clicked, this, &SizeDialog::OnConstrainClicked);
  connect(original_, &QPushButton::clicked, this, &SizeDialog::OnOriginalSize);
  connect(ok_, &QPushButton::clicked, this, &SizeDialog::OnOk);
  connect(cancel_, &QPushButton::clicked, this, &SizeDialog::reject);
}

void SizeDialog::Prepare(QSize picture, QSize output) {
  start_width_ = picture.width();
  start_height_ = picture.height();
  output_set_ = output.width() != 0 && output.height() != 0;
  const QSize shown = output_set_ ? output : picture;
  width_edit_->setText(QString::number(shown.width()));
  height_edit_->setText(QString::number(shown.height()));
  chosen_ = QSize();
}

void SizeDialog::OnWidthEdited() {
  if (!constrain_->isChecked()) return;
  RunGuarded(dialogs_, [this] {
    height_edit_->setText(
        QString::number(ConstrainedSide(StrictToInt(width_edit_->text()), start_height_, start_width_)));
  });
}

void SizeDialog::OnHeightEdited() {
  if (!constrain_->isChecked()) return;
  RunGuarded(dialogs_, [this] {
    width_edit_->setText(
        QString::number(ConstrainedSide(StrictToInt(height_edit_->text()), start_width_, start_height_)));
  });
}

void SizeDialog::OnConstrainClicked() {
  if (constrain_->isChecked()) OnWidthEdited();
}

void SizeDialog::OnOk() {
  // Both numbers are read before either is kept, so a bad height never leaves half a size behind.
  RunGuarded(dialogs_, [this] {
    const int width = StrictToInt(width_edit_->text());
    const int height = StrictToInt(height_edit_->text());
    if (width < 0 || height < 0)
      throw LumistoError(QStringLiteral("The size cannot be negative (0 keeps the picture's own size)."));
    // The largest output picture: the same ceiling as for photos that are opened.
    if (static_cast<qint64>(width) * height > kMaxImagePixels)
      throw LumistoError(QStringLiteral("%1 x %2 is too large for a picture.").arg(width).arg(height));
    // OK on the picture's own size, with no output size set, sets none: nothing changes, and the
    // next photo keeps its own size too.
    const bool own_size = width == start_width_ && height == start_height_;
    chosen_ = own_size && !output_set_ ? QSize(0, 0) : QSize(width, height);
    accept();
  });
}

void SizeDialog::OnOriginalSize() {
  chosen_ = QSize(0, 0);
  accept();
}
