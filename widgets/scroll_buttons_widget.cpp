// Scroll-repeat buttons.
#include "widgets/scroll_buttons_widget.h"

#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

// A scroll button keeps its caption ("^" or "ˇ") as its text, for tests and screen readers, but
// shows a filled arrow: the caption characters are barely legible at the strip's 16 pixels.
class ArrowButton : public QPushButton {
 public:
  ArrowButton(const QString& caption, bool up, QWidget* parent) : QPushButton(caption, parent), up_(up) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = QRectF(rect()).center();
    constexpr double kHalfWidth = 4.5;
    constexpr double kHalfHeight = 2.75;
    const double tip = up_ ? -kHalfHeight : kHalfHeight;
    QPainterPath arrow;
    arrow.moveTo(centre + QPointF(0, tip));
    arrow.lineTo(centre + QPointF(kHalfWidth, -tip));
    arrow.lineTo(centre + QPointF(-kHalfWidth, -tip));
    arrow.closeSubpath();
    painter.fillPath(arrow, palette().color(QPalette::ButtonText));
  }

 private:
  bool up_;
};

}  // namespace

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
  up_ = new ArrowButton(QStringLiteral("^"), true, this);
  up_->setObjectName(names.up_button);
  up_->setGeometry(0, 0, width(), 16);
  up_->setFocusPolicy(Qt::NoFocus);
  down_ = new ArrowButton(QStringLiteral("ˇ"), false, this);
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
