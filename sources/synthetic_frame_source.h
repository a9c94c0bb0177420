// A frame source without a device: frames handed in by the caller, or a moving test pattern.
#pragma once

#include <QTimer>

#include "sources/frame_source.h"

// The test pattern's frame number n: colour bars with a white square sweeping across and a dark
// band sweeping down, so motion and mirroring show at a glance. Format_RGB32.
QImage CameraTestPattern(QSize size, int n);

class SyntheticFrameSource : public FrameSource {
  Q_OBJECT

 public:
  // The formats it offers: 1280 x 720 and 640 x 480, 30 fps, RGB32; the first in use.
  explicit SyntheticFrameSource(QObject* parent = nullptr);

  // Whether Connect finds a device (true at start), and whether it accepts (true at start).
  void SetDevicePresent(bool present) { device_present_ = present; }
  void SetConnectAccepted(bool accepted) { connect_accepted_ = accepted; }
  // With a pattern interval, the preview produces CameraTestPattern frames of the current format's
  // size every interval_ms (0: only the frames pushed by hand).
  void SetPatternInterval(int interval_ms) { pattern_interval_ms_ = interval_ms; }

  // Delivers frame as the device would (any thread); dropped unless connected and previewing.
  void Push(const QImage& frame);
  // The device goes away: disconnected, DeviceLost emitted.
  void LoseDevice();

  bool Connect() override;
  void Disconnect() override;
  bool IsConnected() const override { return connected_; }
  void SetPreview(bool on) override;
  QList<CameraFormat> Formats() const override;
  int CurrentFormat() const override { return connected_ ? format_ : -1; }
  bool SetFormat(int index) override;

  int ConnectCount() const { return connect_count_; }
  bool Previewing() const { return previewing_; }

 private:
  void PushPattern();

  QList<CameraFormat> formats_;
  int format_ = 0;
  bool device_present_ = true;
  bool connect_accepted_ = true;
  bool connected_ = false;
  bool previewing_ = false;
  int connect_count_ = 0;
  int pattern_interval_ms_ = 0;
  int pattern_frame_ = 0;
  QTimer pattern_timer_;
};
