// Painting and mouse events of the preview image.
#include "app/screen_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "base/arrow_keys.h"

ScreenView::ScreenView(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void ScreenView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), picture_);
  // The keyboard's place: a dotted edge, drawn on the widget only (the picture stays as it is).
  if (hasFocus()) {
    painter.setPen(QPen(QColor(0, 120, 0), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void ScreenView::ShowPicture(const QImage& picture) {
  picture_ = picture;
  update();
}

void ScreenView::mousePressEvent(QMouseEvent* event) {
  Q_EMIT Pressed(event->position().toPoint(), event->buttons());
}

void ScreenView::mouseMoveEvent(QMouseEvent* event) {
  Q_EMIT Moved(event->position().toPoint(), event->buttons());
}

void ScreenView::keyPressEvent(QKeyEvent* event) {
  QPoint delta = ArrowKeyStep(event->key());
  if (delta.isNull()) {
    QWidget::keyPressEvent(event);
    return;
  }
  if (event->modifiers() & Qt::ShiftModifier) delta *= 10;
  Q_EMIT ArrowMoved(delta);
}

void ScreenView::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
}

void ScreenView::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}
