// Window moves and title hot spots.
#include "app/title_bar_widget.h"

#include <QMouseEvent>

#include "app/window_shape.h"

namespace {

// The band spans the drag bar and the three hot spots, in window coordinates.
const QRect kBand(17, 14, 765, 33);

QLabel* HotSpot(QWidget* parent, const char* name, int window_x) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  label->setGeometry(window_x - kBand.left(), 21 - kBand.top(), 21, 19);
  label->setCursor(Qt::PointingHandCursor);
  return label;
}

}  // namespace

TitleBarWidget::TitleBarWidget(QWidget* parent) : QWidget(parent) {
  setGeometry(kBand);
  BuildLayout();
}

void TitleBarWidget::BuildLayout() {
  drag_bar_ = new QWidget(this);
  drag_bar_->setObjectName(QStringLiteral("Movebar"));
  drag_bar_->setGeometry(0, 0, 697, 33);
  drag_bar_->installEventFilter(this);
  help_ = HotSpot(this, "Label10", 714);
  minimise_ = HotSpot(this, "Label11", 738);
  close_ = HotSpot(this, "Label12", 761);
  for (QLabel* label : {help_, minimise_, close_}) label->installEventFilter(this);
}

bool TitleBarWidget::eventFilter(QObject* watched, QEvent* event) {
  if (watched == drag_bar_) {
    if (event->type() == QEvent::MouseButtonPress) {
      recorded_ = static_cast<QMouseEvent*>(event)->position().toPoint();
      return true;
    }
    if (event->type() == QEvent::MouseMove) {
      const auto* move = static_cast<QMouseEvent*>(event);
      // Moves without the left button held are no drag.
      if (!(move->buttons() & Qt::LeftButton)) return false;
      QWidget* window = this->window();
      window->move(DraggedWindowPos(window->pos(), recorded_, move->position().toPoint()));
      return true;
    }
    return false;
  }
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == help_) Q_EMIT HelpClicked();
    if (watched == minimise_) Q_EMIT MinimiseClicked();
    if (watched == close_) Q_EMIT CloseClicked();
    return true;
  }
  return false;
}
