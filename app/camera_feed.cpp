// The camera's live display.
#include "app/camera_feed.h"

#include <QPainter>
#include <cmath>

#include "compose/preview.h"

PlacedPhoto PlaceInPreview(const QImage& photo, bool mirror, QSize box) {
  PlacedPhoto placed{QImage(box, QImage::Format_ARGB32_Premultiplied), QRect(QPoint(0, 0), box)};
  placed.image.fill(Qt::transparent);
  if (photo.isNull() || photo.size().isEmpty()) return placed;
  const QSizeF fitted = FittedSize(photo.size(), box);
  const QSize size(std::clamp(int(std::lround(fitted.width())), 1, box.width()),
                   std::clamp(int(std::lround(fitted.height())), 1, box.height()));
  placed.shown = QRect(QPoint((box.width() - size.width()) / 2, (box.height() - size.height()) / 2), size);
  // Scaling first and mirroring the small picture is the cheap order; the result is the same.
  QImage scaled =
      photo.size() == size ? photo : photo.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  if (mirror) scaled = scaled.mirrored(true, false);
  QPainter painter(&placed.image);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(placed.shown.topLeft(), scaled);
  return placed;
}

CameraFeed::CameraFeed(FrameSource& source, MainState& state, std::function<void(const QImage&)> show,
                       int min_frame_interval_ms, QObject* parent)
    : QObject(parent),
      source_(source),
      state_(state),
      show_(std::move(show)),
      min_interval_ms_(std::max(0, min_frame_interval_ms)) {
  pace_timer_.setSingleShot(true);
  connect(&pace_timer_, &QTimer::timeout, this, [this] {
    if (!waiting_.isNull()) TakeFrame(std::exchange(waiting_, QImage()));
  });
  connect(&source_, &FrameSource::FrameArrived, this, &CameraFeed::OnFrameArrived);
  connect(&source_, &FrameSource::DeviceLost, this, &CameraFeed::OnDeviceLost);
}

bool CameraFeed::Power() {
  if (phase_ == Phase::Running) return true;
  if (!source_.Connect()) return false;
  phase_ = Phase::Running;
  composed_ = 0;
  last_frame_ = QImage();
  // Until the first frame the camera's picture is a blank one: white under the frame and caption.
  const PlacedPhoto blank = PlaceInPreview(QImage());
  state_.working_photo = blank.image;
  placed_key_ = state_.working_photo.cacheKey();
  shown_ = blank.shown;
  since_compose_.invalidate();
  Compose();
  source_.SetPreview(true);
  return true;
}

void CameraFeed::Freeze() {
  if (phase_ != Phase::Running) return;
  phase_ = Phase::Frozen;
  pace_timer_.stop();
  waiting_ = QImage();
  source_.SetPreview(false);
  source_.Disconnect();
}

QImage CameraFeed::SnapshotFrame() const {
  return last_mirrored_ ? last_frame_.mirrored(true, false) : last_frame_;
}

QRect CameraFeed::ShownPhoto() const {
  if (state_.working_photo.cacheKey() == placed_key_) return shown_;
  return PlaceInPreview(state_.working_photo).shown;
}

void CameraFeed::DrawFrame(CustomFrameShape shape, const CustomFrameSettings& settings) {
  DrawCustomFrame(state_.custom_frames, shape, settings, ShownPhoto());
  frame_shape_ = shape;
  frame_settings_ = settings;
  frame_mask_key_ = state_.custom_frames.mask.cacheKey();
  Compose();
}

void CameraFeed::Compose() {
  // A working photo that did not come from the camera (a photo of the folder) is fitted into the
  // preview first, so the live display never stretches it out of shape.
  const QImage photo = state_.working_photo.cacheKey() == placed_key_
                           ? state_.working_photo
                           : PlaceInPreview(state_.working_photo).image;
  QImage screen(kScreenSize, QImage::Format_ARGB32_Premultiplied);
  LiveCompositor(screen, state_.custom_frames, photo, state_.edit.photo_offset, state_.edit.tone_matrix,
                 state_.caption_layer, state_.display_mode);
  since_compose_.start();
  show_(screen);
}

void CameraFeed::OnFrameArrived(const QImage& frame) {
  if (phase_ != Phase::Running) return;
  const qint64 elapsed = since_compose_.isValid() ? since_compose_.elapsed() : min_interval_ms_;
  if (elapsed >= min_interval_ms_ && !pace_timer_.isActive()) {
    TakeFrame(frame);
    return;
  }
  // Too soon after the last picture: keep only the newest frame for when the interval is over.
  waiting_ = frame;
  if (!pace_timer_.isActive()) pace_timer_.start(int(std::max<qint64>(1, min_interval_ms_ - elapsed)));
}

void CameraFeed::TakeFrame(const QImage& frame) {
  if (phase_ != Phase::Running) return;
  last_frame_ = frame;
  // Mirror switch 0 shows the camera as a mirror does; each frame is mirrored once, here.
  last_mirrored_ = state_.edit.mirror_switch == 0;
  const PlacedPhoto placed = PlaceInPreview(frame, last_mirrored_);
  state_.working_photo = placed.image;
  placed_key_ = state_.working_photo.cacheKey();
  // The custom frame follows the photo's shown size, unless something else (a template) has
  // replaced it meanwhile.
  const bool reframe = placed.shown != shown_ && frame_mask_key_ != 0 &&
                       state_.custom_frames.mask.cacheKey() == frame_mask_key_;
  shown_ = placed.shown;
  if (reframe) {
    DrawCustomFrame(state_.custom_frames, frame_shape_, frame_settings_, shown_);
    frame_mask_key_ = state_.custom_frames.mask.cacheKey();
  }
  ++composed_;
  Compose();
}

void CameraFeed::OnDeviceLost(const QString& reason) {
  if (phase_ != Phase::Running) return;
  Freeze();
  Q_EMIT Lost(reason);
}
