// The device-free frame source and its test pattern.
#include "sources/synthetic_frame_source.h"

#include <QPainter>
#include <array>

QImage CameraTestPattern(QSize size, int n) {
  QImage image(size, QImage::Format_RGB32);
  if (image.isNull()) return image;
  static constexpr std::array<QRgb, 7> kBars = {qRgb(192, 192, 192), qRgb(192, 192, 0), qRgb(0, 192, 192),
                                                qRgb(0, 192, 0),     qRgb(192, 0, 192), qRgb(192, 0, 0),
                                                qRgb(0, 0, 192)};
  QPainter painter(&image);
  const int w = size.width();
  const int h = size.height();
  for (int i = 0; i < int(kBars.size()); ++i) {
    const int left = w * i / int(kBars.size());
    const int right = w * (i + 1) / int(kBars.size());
    painter.fillRect(left, 0, right - left, h, QColor(kBars[size_t(i)]));
  }
  // A dark band moving down, a white square moving right (and back from the left edge).
  const int band = std::max(1, h / 12);
  painter.fillRect(0, (n * 3) % std::max(1, h), w, band, QColor(16, 16, 16));
  const int side = std::max(1, h / 4);
  const int x = (n * 8) % std::max(1, w + side) - side;
  painter.fillRect(x, (h - side) / 2, side, side, Qt::white);
  // A black marker in the top-left corner tells the left side from the right in a mirrored view.
  painter.fillRect(0, 0, std::max(1, w / 16), std::max(1, h / 9), Qt::black);
  return image;
}

SyntheticFrameSource::SyntheticFrameSource(QObject* parent)
    : FrameSource(parent),
      formats_{{QSize(1280, 720), 30.0f, QStringLiteral("RGB32")},
               {QSize(640, 480), 30.0f, QStringLiteral("RGB32")}} {
  connect(&pattern_timer_, &QTimer::timeout, this, &SyntheticFrameSource::PushPattern);
}

void SyntheticFrameSource::Push(const QImage& frame) {
  if (connected_ && previewing_) Deliver(frame);
}

void SyntheticFrameSource::LoseDevice() {
  if (!connected_) return;
  Disconnect();
  Q_EMIT DeviceLost(QStringLiteral("The camera was disconnected."));
}

bool SyntheticFrameSource::Connect() {
  if (connected_) return true;
  if (!device_present_ || !connect_accepted_) return false;
  connected_ = true;
  ++connect_count_;
  return true;
}

void SyntheticFrameSource::Disconnect() {
  SetPreview(false);
  connected_ = false;
}

void SyntheticFrameSource::SetPreview(bool on) {
  previewing_ = on && connected_;
  if (previewing_ && pattern_interval_ms_ > 0)
    pattern_timer_.start(pattern_interval_ms_);
  else
    pattern_timer_.stop();
}

QList<CameraFormat> SyntheticFrameSource::Formats() const {
  return connected_ ? formats_ : QList<CameraFormat>();
}

bool SyntheticFrameSource::SetFormat(int index) {
  if (!connected_ || index < 0 || index >= formats_.size()) return false;
  format_ = index;
  return true;
}

void SyntheticFrameSource::PushPattern() {
  Push(CameraTestPattern(formats_[format_].resolution, pattern_frame_++));
}
