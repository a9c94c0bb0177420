// Qt Multimedia capture behind the frame source interface.
#include "sources/qt_camera_source.h"

#include <QCamera>
#include <QCameraDevice>
#include <QCameraFormat>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QVideoFrame>
#include <QVideoFrameFormat>
#include <QVideoSink>
#include <memory>

namespace {

class QtCameraSource : public FrameSource {
  Q_OBJECT

 public:
  explicit QtCameraSource(QObject* parent = nullptr);
  ~QtCameraSource() override;

  // False when the system lists no video input, or the first one fails to start.
  bool Connect() override;
  void Disconnect() override;
  bool IsConnected() const override { return camera_ != nullptr; }
  void SetPreview(bool on) override;
  QList<CameraFormat> Formats() const override;
  int CurrentFormat() const override;
  bool SetFormat(int index) override;

 private:
  void OnInputsChanged();
  void OnCameraError(QCamera::Error error, const QString& text);

  QMediaDevices devices_;
  QCameraDevice device_;
  std::unique_ptr<QCamera> camera_;
  QMediaCaptureSession session_;
  QVideoSink sink_;
};

CameraFormat Describe(const QCameraFormat& format) {
  return {format.resolution(), format.maxFrameRate(),
          QVideoFrameFormat::pixelFormatToString(format.pixelFormat())};
}

}  // namespace

QtCameraSource::QtCameraSource(QObject* parent) : FrameSource(parent) {
  session_.setVideoSink(&sink_);
  // The sink calls from the capture pipeline's own thread: the frame is converted there and only
  // the finished picture crosses to the interface thread, through the mailbox.
  connect(
      &sink_, &QVideoSink::videoFrameChanged, this,
      [this](const QVideoFrame& frame) {
        if (frame.isValid()) Deliver(frame.toImage());
      },
      Qt::DirectConnection);
  connect(&devices_, &QMediaDevices::videoInputsChanged, this, &QtCameraSource::OnInputsChanged);
}

QtCameraSource::~QtCameraSource() {
  Disconnect();
  sink_.disconnect(this);
  session_.setVideoSink(nullptr);
}

bool QtCameraSource::Connect() {
  if (camera_) return true;
  const QList<QCameraDevice> inputs = QMediaDevices::videoInputs();
  if (inputs.isEmpty()) return false;
  device_ = inputs.first();
  camera_ = std::make_unique<QCamera>(device_);
  if (camera_->error() != QCamera::NoError) {
    camera_.reset();
    return false;
  }
  connect(camera_.get(), &QCamera::errorOccurred, this, &QtCameraSource::OnCameraError);
  session_.setCamera(camera_.get());
  return true;
}

void QtCameraSource::Disconnect() {
  if (!camera_) return;
  camera_->stop();
  session_.setCamera(nullptr);
  camera_.reset();
}

void QtCameraSource::SetPreview(bool on) {
  if (!camera_) return;
  if (on)
    camera_->start();
  else
    camera_->stop();
}

QList<CameraFormat> QtCameraSource::Formats() const {
  QList<CameraFormat> formats;
  if (!camera_) return formats;
  for (const QCameraFormat& format : device_.videoFormats()) formats.append(Describe(format));
  return formats;
}

int QtCameraSource::CurrentFormat() const {
  if (!camera_) return -1;
  return int(device_.videoFormats().indexOf(camera_->cameraFormat()));
}

bool QtCameraSource::SetFormat(int index) {
  const QList<QCameraFormat> formats = device_.videoFormats();
  if (!camera_ || index < 0 || index >= formats.size()) return false;
  camera_->setCameraFormat(formats[index]);
  return camera_->cameraFormat() == formats[index];
}

void QtCameraSource::OnInputsChanged() {
  if (!camera_) return;
  for (const QCameraDevice& input : QMediaDevices::videoInputs())
    if (input.id() == device_.id()) return;
  Disconnect();
  Q_EMIT DeviceLost(QStringLiteral("The camera was disconnected."));
}

void QtCameraSource::OnCameraError(QCamera::Error, const QString& text) {
  if (!camera_) return;
  Disconnect();
  Q_EMIT DeviceLost(text.isEmpty() ? QStringLiteral("The camera stopped.") : text);
}

FrameSource* NewSystemFrameSource(QObject* parent) { return new QtCameraSource(parent); }

#include "qt_camera_source.moc"
