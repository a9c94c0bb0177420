// Hot label events.
#include "widgets/hot_label_widget.h"

#include <QMouseEvent>

HotLabelWidget::HotLabelWidget(int cell, QWidget* parent) : QLabel(parent), cell_(cell) {
  setCursor(Qt::PointingHandCursor);
}

void HotLabelWidget::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  Q_EMIT Entered(cell_);
}

void HotLabelWidget::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  Q_EMIT Left(cell_);
}

void HotLabelWidget::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  // A click is a release of the left button over the label; a disabled label never gets here.
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    Q_EMIT Clicked(cell_);
}
