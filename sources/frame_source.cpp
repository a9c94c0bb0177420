// The frame hand-over between the capture thread and the interface thread.
#include "sources/frame_source.h"

#include <QMetaObject>
#include <QMutexLocker>

QString DescribeCameraFormat(const CameraFormat& format) {
  return QStringLiteral("%1 x %2, %3 fps, %4")
      .arg(format.resolution.width())
      .arg(format.resolution.height())
      .arg(double(format.frame_rate), 0, 'g', 4)
      .arg(format.pixel_format);
}

bool FrameMailbox::Put(QImage frame) {
  const QMutexLocker lock(&mutex_);
  const bool was_empty = !full_;
  frame_ = std::move(frame);
  full_ = true;
  return was_empty;
}

std::optional<QImage> FrameMailbox::Take() {
  const QMutexLocker lock(&mutex_);
  if (!full_) return std::nullopt;
  full_ = false;
  return std::exchange(frame_, QImage());
}

void FrameSource::Deliver(const QImage& frame) {
  if (frame.isNull()) return;
  // Only the first frame into an empty box posts a call; later ones replace it until it is taken.
  if (mailbox_.Put(frame))
    QMetaObject::invokeMethod(this, &FrameSource::TakeFromMailbox, Qt::QueuedConnection);
}

void FrameSource::TakeFromMailbox() {
  if (std::optional<QImage> frame = mailbox_.Take()) Q_EMIT FrameArrived(*frame);
}
