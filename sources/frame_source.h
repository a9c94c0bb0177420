// A video capture device as the camera page drives it: connect, frames on and off, the newest
// frame handed to the interface thread, and the device's formats.
#pragma once

#include <QImage>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QSize>
#include <QString>
#include <optional>

// One capture format a device offers.
struct CameraFormat {
  QSize resolution;
  float frame_rate = 0.0f;  // frames per second at most
  QString pixel_format;     // as the device names it ("YUYV", "NV12", "RGB32")
  bool operator==(const CameraFormat&) const = default;
};

// "1280 x 720, 30 fps, YUYV": how the format list shows a format.
QString DescribeCameraFormat(const CameraFormat& format);

// Holds at most one frame between a producer thread and the interface thread: a new frame replaces
// one not yet taken, so a slow reader always gets the newest frame and no queue builds up.
class FrameMailbox {
 public:
  // Stores frame; true when the box was empty, so the reader needs telling.
  bool Put(QImage frame);
  // The frame waiting, or nullopt; the box is empty afterwards.
  std::optional<QImage> Take();

 private:
  QMutex mutex_;
  QImage frame_;
  bool full_ = false;
};

class FrameSource : public QObject {
  Q_OBJECT

 public:
  explicit FrameSource(QObject* parent = nullptr) : QObject(parent) {}

  // Connects the first video input. False, with nothing started, when there is no device or it
  // refuses.
  virtual bool Connect() = 0;
  // Stops the frames and lets the device go; nothing when not connected.
  virtual void Disconnect() = 0;
  virtual bool IsConnected() const = 0;
  // Frames flow (FrameArrived) only while the preview is on and the device connected.
  virtual void SetPreview(bool on) = 0;
  // The device's formats (empty when not connected), the one in use (-1: unknown) and switching to
  // another; SetFormat is false when index is out of range or the device refuses.
  virtual QList<CameraFormat> Formats() const = 0;
  virtual int CurrentFormat() const = 0;
  virtual bool SetFormat(int index) = 0;

  // Hands a frame over from any thread: it waits in the mailbox and FrameArrived carries the newest
  // one on this object's thread.
  void Deliver(const QImage& frame);

 Q_SIGNALS:
  // A new frame, on this object's thread.
  void FrameArrived(const QImage& frame);
  // The connected device went away (unplugged, or it stopped with an error).
  void DeviceLost(const QString& reason);

 private:
  void TakeFromMailbox();

  FrameMailbox mailbox_;
};
