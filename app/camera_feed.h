// The camera's live display: frames from a frame source placed into the preview, composed with
// the photo offset, the tone, the custom frame and the caption, and frozen by a snapshot.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QTimer>
#include <functional>

#include "app/main_state.h"
#include "edit/custom_frame.h"
#include "sources/frame_source.h"

// A photo fitted into a preview-size transparent picture and centred there; shown is the
// rectangle it covers (the whole preview for an empty photo).
struct PlacedPhoto {
  QImage image;  // Format_ARGB32_Premultiplied, box-sized
  QRect shown;
};
PlacedPhoto PlaceInPreview(const QImage& photo, bool mirror = false, QSize box = kScreenSize);

class CameraFeed : public QObject {
  Q_OBJECT

 public:
  enum class Phase { Off, Running, Frozen };
  // Frames closer together than this are not composed: the newest waits for the rest of the
  // interval (at most 60 pictures a second).
  static constexpr int kMinFrameIntervalMs = 16;

  // show receives every composed preview picture. source and state must outlive the feed.
  CameraFeed(FrameSource& source, MainState& state, std::function<void(const QImage&)> show,
             int min_frame_interval_ms = kMinFrameIntervalMs, QObject* parent = nullptr);

  // Connects the source and starts the frames: the working photo becomes blank and the preview
  // shows white with the custom frame and the caption until the first frame. False, with nothing
  // started, when the source has no device or refuses it.
  bool Power();
  // Stops the frames and lets the device go; the preview and the working photo keep the last
  // picture. Nothing unless running.
  void Freeze();
  Phase CurrentPhase() const { return phase_; }

  // The last frame at full size, mirrored as it was shown; null before the first frame.
  QImage SnapshotFrame() const;
  // Frames composed since Power.
  int ComposedFrames() const { return composed_; }

  // Where the photo is shown in the preview: the last frame's rectangle while the camera's picture
  // is the working photo, otherwise the working photo fitted into the preview.
  QRect ShownPhoto() const;
  // Redraws the custom frame around the shown photo and composes the preview. While it stays in
  // place, a frame shown at another size (the first frame, another format) gets it redrawn.
  void DrawFrame(CustomFrameShape shape, const CustomFrameSettings& settings);
  // Composes the preview from the working photo as it stands.
  void Compose();

 Q_SIGNALS:
  // The device went away while running; the feed is frozen. Emitted once per loss.
  void Lost(const QString& reason);

 private:
  void OnFrameArrived(const QImage& frame);
  void OnDeviceLost(const QString& reason);
  void TakeFrame(const QImage& frame);

  FrameSource& source_;
  MainState& state_;
  std::function<void(const QImage&)> show_;
  int min_interval_ms_;
  Phase phase_ = Phase::Off;
  QImage last_frame_;  // as delivered
  bool last_mirrored_ = false;
  QRect shown_;
  qint64 placed_key_ = 0;  // the working photo this feed placed
  QImage waiting_;         // the newest frame held back by the interval
  QTimer pace_timer_;
  CustomFrameShape frame_shape_ = CustomFrameShape::Window;
  CustomFrameSettings frame_settings_;
  qint64 frame_mask_key_ = 0;  // the mask DrawFrame made; 0: none

  QElapsedTimer since_compose_;
  int composed_ = 0;
};
