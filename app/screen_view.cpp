// Painting and mouse events of the preview image.
#include "app/screen_view.h"

#include <QMouseEvent>
#include <QPainter>

ScreenView::ScreenView(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void ScreenView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), picture_);
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
