// Fade ticks of the preview.
#include "app/screen_fade.h"

#include <QPainter>

ScreenFade::ScreenFade(QSize size, int interval_ms, QObject* parent)
    : QObject(parent), surface_(size, QImage::Format_ARGB32_Premultiplied) {
  surface_.fill(Qt::white);
  timer_.setObjectName(QStringLiteral("Timer2"));
  timer_.setParent(this);
  timer_.setInterval(interval_ms);
  connect(&timer_, &QTimer::timeout, this, &ScreenFade::Tick);
}

void ScreenFade::Show(QImage screen_bitmap) {
  screen_bitmap_ = std::move(screen_bitmap);
  if (!timer_.isActive()) timer_.start();
}

void ScreenFade::Stop() { timer_.stop(); }

void ScreenFade::Tick() {
  const qreal alpha = step_ <= kSteps - 1 ? 0.5 : 1.0;
  {
    QPainter painter(&surface_);
    painter.setOpacity(alpha);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(surface_.rect()), screen_bitmap_, QRectF(screen_bitmap_.rect()));
  }
  const bool finished = step_ >= kSteps;
  if (finished) {
    timer_.stop();
    step_ = 1;
  } else {
    ++step_;
  }
  Q_EMIT SurfaceChanged();
  if (finished) Q_EMIT FadeFinished();
}
