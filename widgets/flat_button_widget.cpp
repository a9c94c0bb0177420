// The flat button: the styled face from the widget style, the glyph and caption drawn over it.
#include "widgets/flat_button_widget.h"

#include <QFile>
#include <QStyleOptionButton>
#include <QStylePainter>

FlatButtonWidget::FlatButtonWidget(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

void FlatButtonWidget::SetGlyph(const QString& glyph) {
  const QString resource = QStringLiteral(":/skin/button_%1.png").arg(glyph);
  // The resource path lets the icon pick the @2x artwork on dense screens.
  glyph_ = !glyph.isEmpty() && QFile::exists(resource) ? QIcon(resource) : QIcon();
  update();
}

void FlatButtonWidget::paintEvent(QPaintEvent* event) {
  if (glyph_.isNull()) {
    QPushButton::paintEvent(event);
    return;
  }
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  option.icon = QIcon();
  painter.drawControl(QStyle::CE_PushButton, option);

  // Glyph and caption share the 27-pixel height: the glyph two pixels below the top edge, the
  // caption's baseline five above the bottom, so the descenders of "Up" and "Open" clear the border.
  const bool down = isDown() || isChecked();
  const QPoint shift = down ? QPoint(0, 1) : QPoint(0, 0);
  const QRect glyph_rect(QPoint((width() - kGlyphSize.width()) / 2, 2) + shift, kGlyphSize);
  painter.drawPixmap(glyph_rect, glyph_.pixmap(kGlyphSize, devicePixelRatioF()));
  const QFontMetrics metrics = fontMetrics();
  const int baseline = height() - 5 + shift.y();
  const int left = (width() - metrics.horizontalAdvance(text())) / 2;
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
  painter.drawText(QPoint(left, baseline), text());
}

FlatButtonWidget* AddFlatButton(QWidget* parent, const QString& name, const QString& caption,
                                const QString& hint, const QRect& rect, const QString& glyph) {
  auto* button = new FlatButtonWidget(caption, parent);
  button->setObjectName(name);
  button->setGeometry(rect);
  if (!hint.isEmpty()) button->setToolTip(hint);
  if (!glyph.isEmpty()) button->SetGlyph(glyph);
  return button;
}
