// The fade that brings each new preview picture into the preview image.
#pragma once

#include <QImage>
#include <QObject>
#include <QTimer>

// Holds the picture prepared for display (the screen bitmap) and the picture the preview shows
// (the surface). Show() starts the fade timer; each tick draws the screen bitmap over the surface,
// half transparent on ticks 1 to 4 and opaque on tick 5, which ends the fade. Stopping keeps the
// step, so a fade interrupted and started again is shorter; a Show() during a fade only replaces
// the bitmap, and the running fade finishes with it.
class ScreenFade : public QObject {
  Q_OBJECT

 public:
  static constexpr int kSteps = 5;
  static constexpr int kDefaultIntervalMs = 50;

  explicit ScreenFade(QSize size, int interval_ms = kDefaultIntervalMs, QObject* parent = nullptr);

  // Replaces the screen bitmap and starts the timer unless it runs already.
  void Show(QImage screen_bitmap);
  // Replaces the screen bitmap without starting the timer (the direct display).
  void Replace(QImage screen_bitmap) { screen_bitmap_ = std::move(screen_bitmap); }
  // Stops the timer; the step stays where it was.
  void Stop();
  bool IsRunning() const { return timer_.isActive(); }
  // The position in the fade sequence, 1..5.
  int Step() const { return step_; }

  // One tick of the timer: draws and advances. Public so that tests can drive a fade tick by tick.
  void Tick();

  // What the preview shows, and the last picture prepared for it.
  const QImage& Surface() const { return surface_; }
  QImage& MutableSurface() { return surface_; }
  const QImage& ScreenBitmap() const { return screen_bitmap_; }

 Q_SIGNALS:
  // The surface changed; the view repaints.
  void SurfaceChanged();
  // The fifth tick has drawn the picture opaque.
  void FadeFinished();

 private:
  QTimer timer_;
  QImage screen_bitmap_;
  QImage surface_;
  int step_ = 1;
};
