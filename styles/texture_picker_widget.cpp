// The texture palette.
#include "styles/texture_picker_widget.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include "styles/texture_palette.h"
#include "widgets/skin_colours.h"

namespace {

constexpr int kTileSide = 32;

QPixmap SelectionFramePixmap() {
  QPixmap frame(kPalettePitch, kPalettePitch);
  frame.fill(Qt::transparent);
  QPainter painter(&frame);
  painter.setPen(QPen(QColor(kSkinCaption), 2));
  painter.drawRect(QRect(1, 1, kPalettePitch - 2, kPalettePitch - 2));
  return frame;
}

}  // namespace

TexturePickerWidget::TexturePickerWidget(const TextureList& textures, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("TFrameTextPanel"));
  BuildLayout(textures);
  connect(close_, &QPushButton::clicked, this, &TexturePickerWidget::FormDeactivate);
}

void TexturePickerWidget::BuildLayout(const TextureList& textures) {
  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setGeometry(0, 0, 288, 180);
  panel->setAutoFillBackground(true);
  QPalette look = panel->palette();
  look.setColor(QPalette::Window, QColor(kSkinStrip));
  panel->setPalette(look);

  close_ = new QPushButton(QStringLiteral("X"), panel);
  close_->setObjectName(QStringLiteral("FlatButton1"));
  close_->setGeometry(262, 6, 21, 21);
  close_->setFlat(true);

  scroll_ = new QScrollArea(panel);
  scroll_->setObjectName(QStringLiteral("ScrollBox1"));
  scroll_->setGeometry(6, 5, 252, 169);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll_->setFrameShape(QFrame::NoFrame);
  auto* content = new QWidget;
  content->setObjectName(QStringLiteral("PaletteTiles"));
  const int rows = (textures.Count() + kPaletteColumns - 1) / kPaletteColumns;
  content->resize(kPaletteColumns * kPalettePitch, rows * kPalettePitch);
  for (int j = 0; j < textures.Count(); ++j) {
    auto* tile = new QLabel(content);
    tile->setObjectName(QStringLiteral("Tile%1").arg(j));
    tile->setProperty("tag", j);
    tile->setGeometry(QRect(PaletteTileOrigin(j), QSize(kTileSide, kTileSide)));
    tile->setPixmap(QPixmap::fromImage(textures.Tile(j)));
    tile->setCursor(Qt::PointingHandCursor);
    tile->installEventFilter(this);
    tiles_.append(tile);
  }
  selection_ = new QLabel(content);
  selection_->setObjectName(QStringLiteral("Shape1"));
  selection_->setPixmap(SelectionFramePixmap());
  selection_->resize(kPalettePitch, kPalettePitch);
  // The frame lies over the tiles but lets their clicks through.
  selection_->setAttribute(Qt::WA_TransparentForMouseEvents);
  selection_->hide();
  selection_->raise();
  scroll_->setWidget(content);
  resize(panel->size());
}

void TexturePickerWidget::Open(int tag, QPoint top_left) {
  selection_->hide();
  tag_ = tag;
  move(top_left);
  show();
  raise();
  activateWindow();
}

void TexturePickerWidget::PickTile(int index) {
  if (index < 0 || index >= tiles_.size()) return;
  selection_->move(PaletteTileOrigin(index));
  selection_->show();
  selection_->raise();
  Q_EMIT TilePicked(tag_, index);
}

void TexturePickerWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow()) FormDeactivate();
}

bool TexturePickerWidget::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    const auto* press = static_cast<QMouseEvent*>(event);
    if (press->button() == Qt::LeftButton) {
      PickTile(watched->property("tag").toInt());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}
