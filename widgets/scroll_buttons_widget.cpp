// Scroll-repeat buttons.
#include "widgets/scroll_buttons_widget.h"

#include <QScrollBar>

ScrollButtonsWidget::ScrollButtonsWidget(QAbstractScrollArea* list, const Names& names, const QRect& geometry,
                                         QWidget* parent, int repeat_ms)
    : QWidget(parent), list_(list) {
  setGeometry(geometry);
  up_timer_.setParent(this);
  down_timer_.setParent(this);
  up_timer_.setInterval(repeat_ms);
  down_timer_.setInterval(repeat_ms);
  BuildLayout(names);
  Wire();
}

void ScrollButtonsWidget::BuildLayout(const Names& names) {
  up_ = new QPushButton(QStringLiteral("^"), this);
  up_->setObjectName(names.up_button);
  up_->setGeometry(0, 0, width(), 16);
  up_->setFocusPolicy(Qt::NoFocus);
  down_ = new QPushButton(QStringLiteral("ˇ"), this);
  down_->setObjectName(names.down_button);
  down_->setGeometry(0, height() - 16, width(), 16);
  down_->setFocusPolicy(Qt::NoFocus);
  up_timer_.setObjectName(names.up_timer);
  down_timer_.setObjectName(names.down_timer);
}

void ScrollButtonsWidget::Wire() {
  connect(up_, &QPushButton::clicked, this, [this] { Step(-1); });
  connect(down_, &QPushButton::clicked, this, [this] { Step(1); });
  connect(up_, &QPushButton::pressed, &up_timer_, qOverload<>(&QTimer::start));
  connect(up_, &QPushButton::released, &up_timer_, &QTimer::stop);
  connect(down_, &QPushButton::pressed, &down_timer_, qOverload<>(&QTimer::start));
  connect(down_, &QPushButton::released, &down_timer_, &QTimer::stop);
  connect(&up_timer_, &QTimer::timeout, this, [this] { Step(-1); });
  connect(&down_timer_, &QTimer::timeout, this, [this] { Step(1); });
}

void ScrollButtonsWidget::Step(int direction) {
  QScrollBar* bar = list_->verticalScrollBar();
  bar->setValue(bar->value() + direction * kStepPixels);
}
