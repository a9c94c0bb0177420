// The crop dialog.
#include "edit/crop_dialog.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "base/arrow_keys.h"
#include "base/user_dialogs.h"
#include "edit/crop_geometry.h"
#include "edit/crop_photo.h"

namespace {

// The veil over the part of the photo outside the selection.
constexpr QRgb kVeil = 0x80BEFF96;

constexpr Qt::CursorShape kHandleCursors[8] = {
    Qt::SizeFDiagCursor, Qt::SizeVerCursor,   Qt::SizeBDiagCursor, Qt::SizeHorCursor,
    Qt::SizeHorCursor,   Qt::SizeBDiagCursor, Qt::SizeVerCursor,   Qt::SizeFDiagCursor,
};

// A handle's picture: a small square at the corner or edge of the selection it stands for.
QPixmap HandlePicture(int index) {
  QImage image(kCropHandleSize, kCropHandleSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  const int column = index == 0 || index == 3 || index == 5 ? 0 : index == 1 || index == 6 ? 1 : 2;
  const int row = index <= 2 ? 0 : index <= 4 ? 1 : 2;
  constexpr int kMark = 9;
  const int x = column * (kCropHandleSize - kMark) / 2, y = row * (kCropHandleSize - kMark) / 2;
  QPainter painter(&image);
  painter.fillRect(x, y, kMark, kMark, Qt::white);
  painter.setPen(QColor(0, 120, 0));
  painter.drawRect(x, y, kMark - 1, kMark - 1);
  return QPixmap::fromImage(image);
}

}  // namespace

CropDialog::CropDialog(UserDialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
  setObjectName(QStringLiteral("TCropForm"));
  setWindowTitle(QStringLiteral("Crop"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowTitleHint);
  BuildLayout();
  Wire();
}

void CropDialog::BuildLayout() {
  view_box_ = new QWidget(this);
  view_box_->setObjectName(QStringLiteral("ScrollBox1"));
  // The keyboard reshapes the selection where the mouse would: the view takes the keys.
  view_box_->setFocusPolicy(Qt::StrongFocus);
  view_box_->setAccessibleName(QStringLiteral("Crop selection"));
  view_box_->setAccessibleDescription(
      QStringLiteral("Arrows move the selection, Shift+arrows its right and bottom edges, with Ctrl ten "
                     "pixels at a time; Return keeps it, Escape leaves the photo as it was"));
  view_box_->installEventFilter(this);
  back_ = new QLabel(view_box_);
  back_->setObjectName(QStringLiteral("Back"));
  body_ = new QLabel(view_box_);
  body_->setObjectName(QStringLiteral("Image9"));
  body_->setCursor(Qt::SizeAllCursor);
  body_->installEventFilter(this);
  for (int i = 0; i < 8; ++i) {
    handles_[i] = new QLabel(view_box_);
    handles_[i]->setObjectName(QStringLiteral("Image%1").arg(i + 1));
    handles_[i]->resize(kCropHandleSize, kCropHandleSize);
    handles_[i]->setPixmap(HandlePicture(i));
    handles_[i]->setCursor(kHandleCursors[i]);
    handles_[i]->installEventFilter(this);
  }
  auto* line = new QFrame(this);
  line->setObjectName(QStringLiteral("Bevel1"));
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  line->setGeometry(8, 0, 0, 2);  // placed by Prepare
  auto* original = new QLabel(QStringLiteral("Original:"), this);
  original->setObjectName(QStringLiteral("OriginalCaption"));
  original_ = new QLabel(this);
  original_->setObjectName(QStringLiteral("Label1"));
  auto* current = new QLabel(QStringLiteral("Current:"), this);
  current->setObjectName(QStringLiteral("CurrentCaption"));
  current_ = new QLabel(this);
  current_->setObjectName(QStringLiteral("Label2"));
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setObjectName(QStringLiteral("OkButton"));
  ok_->setDefault(true);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_->setObjectName(QStringLiteral("CancelButton"));
}

void CropDialog::Wire() {
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

bool CropDialog::Prepare(const QString& path, RotateFlipType rotate_flip, const CropRect& stored) {
  std::optional<CropViewPicture> picture = LoadCropView(path, rotate_flip);
  if (!picture) {
    dialogs_.ShowNotice(QStringLiteral("Unable to read %1").arg(QFileInfo(path).fileName()));
    return false;
  }
  view_ = std::move(picture->view);
  oriented_size_ = picture->oriented_size;
  stored_ = stored;
  original_->setText(
      QStringLiteral("%1 x %2").arg(picture->file_size.width()).arg(picture->file_size.height()));

  const QSize view = view_.size();
  // The labels sit in a row of their own above the buttons, each as wide as its longest text and
  // kept to the right; a dialog too narrow for them (a portrait or turned photo) grows to hold them,
  // the view staying centred, so none is cut.
  const QFontMetrics metrics(original_->font());
  const auto width_of = [&metrics](const QString& text) { return metrics.horizontalAdvance(text) + 4; };
  const int caption_w = std::max(width_of(QStringLiteral("Original:")), width_of(QStringLiteral("Current:")));
  const int value_w = std::max(width_of(original_->text()), width_of(QStringLiteral("500 x 500")));
  const int row_w = 2 * caption_w + 2 * value_w + 12;
  QSize dialog = CropDialogSize(view);
  dialog.setWidth(std::max(dialog.width(), row_w + 16));
  setFixedSize(dialog);
  view_box_->setGeometry(QRect(QPoint((dialog.width() - view.width()) / 2 - 3, 8), view));
  back_->setGeometry(QRect(QPoint(0, 0), view));
  // The bottom bar keeps to the bottom-right corner.
  const int bar = dialog.height() - 70;
  findChild<QFrame*>(QStringLiteral("Bevel1"))->setGeometry(8, bar + 8, dialog.width() - 16, 2);
  const int right = dialog.width();
  cancel_->setGeometry(right - 88, dialog.height() - 36, 80, 26);
  ok_->setGeometry(right - 174, dialog.height() - 36, 80, 26);
  int x = right - 8 - row_w;
  const int row_y = bar + 14;
  const int row_h = std::max(18, metrics.height() + 2);
  findChild<QLabel*>(QStringLiteral("OriginalCaption"))->setGeometry(x, row_y, caption_w, row_h);
  original_->setGeometry(x += caption_w, row_y, value_w, row_h);
  findChild<QLabel*>(QStringLiteral("CurrentCaption"))
      ->setGeometry(x += value_w + 12, row_y, caption_w, row_h);
  current_->setGeometry(x + caption_w, row_y, value_w, row_h);

  opened_ = OpeningSelection(stored, oriented_size_, view);
  SetSelection(opened_);
  return true;
}

void CropDialog::showEvent(QShowEvent* event) {
  // Centred on the screen the main window is on, whatever size the photo gave the dialog.
  if (const QScreen* shown_on = parentWidget() != nullptr ? parentWidget()->screen() : screen()) {
    QRect placed = frameGeometry();
    placed.moveCenter(shown_on->availableGeometry().center());
    move(placed.topLeft());
  }
  QDialog::showEvent(event);
  view_box_->setFocus(Qt::ActiveWindowFocusReason);
}

CropRect CropDialog::ChosenCrop() const { return AcceptedCrop(stored_, opened_, selection_, oriented_size_); }

void CropDialog::SetSelection(const QRect& selection) {
  selection_ = selection;
  const auto at = CropHandlePositions(selection);
  for (int i = 0; i < 8; ++i) handles_[i]->move(at[i]);
  body_->setGeometry(selection);
  Redraw();
}

void CropDialog::Redraw() {
  QImage shown = view_.copy();
  {
    QPainter painter(&shown);
    painter.fillRect(shown.rect(), QColor::fromRgba(kVeil));
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(selection_, view_, selection_);
  }
  back_->setPixmap(QPixmap::fromImage(shown));
  const QSize current = CurrentCropLabelSize(stored_, opened_, selection_, oriented_size_);
  current_->setText(QStringLiteral("%1 x %2").arg(current.width()).arg(current.height()));
}

bool CropDialog::MoveWithKey(const QKeyEvent* key) {
  QPoint delta = ArrowKeyStep(key->key());
  if (delta.isNull()) return false;
  if (key->modifiers() & Qt::ControlModifier) delta *= 10;
  // Shift moves the bottom-right handle, as its drag does; otherwise the whole selection moves.
  const std::optional<QRect> moved = key->modifiers() & Qt::ShiftModifier
                                         ? DragCropHandle(selection_, 7, delta, view_.size())
                                         : DragCropBody(selection_, delta, view_.size());
  if (moved) SetSelection(*moved);
  return true;
}

bool CropDialog::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if (watched == view_box_ && type == QEvent::KeyPress && MoveWithKey(static_cast<QKeyEvent*>(event)))
    return true;
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove)
    return QDialog::eventFilter(watched, event);
  int index = -1;
  for (int i = 0; i < 8; ++i)
    if (watched == handles_[i]) index = i;
  if (watched == body_) index = 8;
  if (index < 0) return QDialog::eventFilter(watched, event);
  auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint pos = mouse->position().toPoint();
  if (type == QEvent::MouseButtonPress) {
    drag_start_[index] = pos;
    return true;
  }
  if (!(mouse->buttons() & Qt::LeftButton)) return true;
  // The picture moves with the pointer, so the start point stays under it.
  const QPoint delta = pos - drag_start_[index];
  const std::optional<QRect> moved = index == 8 ? DragCropBody(selection_, delta, view_.size())
                                                : DragCropHandle(selection_, index, delta, view_.size());
  if (moved) SetSelection(*moved);
  return true;
}
