// The camera side of the main window: the tool window, the live display and the snapshot.
#include <QDateTime>
#include <QFileInfo>
#include <QScreen>
#include <algorithm>

#include "app/camera_feed.h"
#include "app/main_window.h"
#include "app/preview_widget.h"
#include "app/tool_placement.h"
#include "base/lumisto_error.h"
#include "browse/grid_paging.h"
#include "edit/caption_layer.h"
#include "sources/camera_snapshot.h"
#include "sources/camera_window.h"
#include "sources/photo_grid_widget.h"
#include "sources/qt_camera_source.h"
#include "widgets/skin_colours.h"

namespace {

// The window manager's frame around the tool window, unknown before it is first shown: a title bar
// and thin borders, as common desktops draw them.
const QSize kDecorationAllowance(8, 32);

}  // namespace

void MainWindow::WireCamera() {
  connect(photos_, &PhotoGridWidget::CameraRequested, this, &MainWindow::OpenCameraWindow);
  // A photo chosen from the folder takes the preview: the camera stops, or its next frame would
  // cover the photo that Save then writes.
  connect(photos_, &PhotoGridWidget::Chosen, this, [this] {
    if (camera_feed_ == nullptr || camera_feed_->CurrentPhase() != CameraFeed::Phase::Running) return;
    camera_feed_->Freeze();
    if (camera_window_ != nullptr) camera_window_->SetRunning(false);
  });
}

void MainWindow::SetFrameSource(FrameSource* source) {
  if (camera_feed_ != nullptr) {
    camera_feed_->Freeze();
    delete camera_feed_;
    camera_feed_ = nullptr;
  }
  delete camera_source_;
  camera_source_ = source;
  source->setParent(this);
  if (camera_window_ != nullptr) camera_window_->SetRunning(false);
}

CameraFeed& MainWindow::LiveFeed() {
  if (camera_feed_ != nullptr) return *camera_feed_;
  // The real device is looked for only when the camera is first used.
  if (camera_source_ == nullptr) SetFrameSource(NewSystemFrameSource());
  camera_feed_ = new CameraFeed(*camera_source_, state_, [this](const QImage& picture) {
    preview_->HideStartPicture();
    preview_->ShowPicture(picture);
  });
  camera_feed_->setParent(this);
  connect(camera_feed_, &CameraFeed::Lost, this, &MainWindow::OnCameraLost);
  return *camera_feed_;
}

void MainWindow::OpenCameraWindow() {
  if (camera_window_ == nullptr) {
    camera_window_ = new CameraWindow(dialogs_, this);
    camera_window_->setStyleSheet(SkinStyleSheet());
    connect(camera_window_, &CameraWindow::PowerClicked, this,
            [this] { Guarded([this] { OnCameraPower(); }); });
    connect(camera_window_, &CameraWindow::SnapshotClicked, this,
            [this] { Guarded([this] { OnCameraSnapshot(); }); });
    connect(camera_window_, &CameraWindow::ConfigClicked, this,
            [this] { Guarded([this] { OnCameraConfig(); }); });
    connect(camera_window_, &CameraWindow::WindowFrameClicked, this,
            [this] { Guarded([this] { OnCustomFrame(CustomFrameShape::Window); }); });
    connect(camera_window_, &CameraWindow::SoftLineFrameClicked, this,
            [this] { Guarded([this] { OnCustomFrame(CustomFrameShape::SoftLine); }); });
    // Closing the tool window stops the camera; the picture stays in the preview.
    connect(camera_window_, &CameraWindow::Closed, this, [this] {
      if (camera_feed_ != nullptr) camera_feed_->Freeze();
      camera_window_->SetRunning(false);
    });
    // Beside the main window inside the screen; never over the main window's title buttons.
    camera_window_->adjustSize();
    const QSize frame = camera_window_->size() + kDecorationAllowance;
    const QRect desktop =
        screen() != nullptr ? screen()->availableGeometry() : QRect(QPoint(0, 0), QSize(4096, 4096));
    // The help, minimise and close hot spots of the title band, in screen coordinates.
    const QRect title_buttons(mapToGlobal(QPoint(714, 21)), QSize(68, 19));
    camera_window_->move(PlaceToolWindow(frameGeometry(), frame, desktop, title_buttons));
  }
  camera_window_->show();
  camera_window_->raise();
}

void MainWindow::StartCamera() {
  OpenCameraWindow();
  Guarded([this] { OnCameraPower(); });
}

void MainWindow::OnCameraPower() {
  if (!LiveFeed().Power()) {
    dialogs_.ShowExclamation(QStringLiteral("ERROR"), QStringLiteral("ERROR"));
    return;
  }
  preview_->StopFade();
  camera_window_->SetRunning(true);
}

void MainWindow::OnCameraSnapshot() {
  if (camera_feed_ == nullptr || camera_feed_->CurrentPhase() != CameraFeed::Phase::Running) return;
  camera_feed_->Freeze();
  camera_window_->SetRunning(false);
  const QImage frame = camera_feed_->SnapshotFrame();
  if (frame.isNull()) {
    dialogs_.ShowNotice(QStringLiteral("The camera has not delivered a picture yet"));
    return;
  }
  const QString folder = photos_->CurrentFolder();
  const QString path = WriteSnapshot(frame, folder, camera_window_->Quality(), QDateTime::currentDateTime());
  // The snapshot is a photo of the folder from now on: listed, chosen, and what Save renders.
  photos_->ScanFolder(folder);
  photo_count_->setNum(photos_->Count());
  const int row = photos_->IndexOfPath(path);
  if (row >= 0) {
    photos_->SetPage(row / kCellsPerPage);
    photos_->ClearCellPaths();
    photos_->DrawPage();
    photos_->SetSelectedIndex(row);
    photos_->ShowSelectionFrame(CellOfItem(row, photos_->Page()));
    photos_->ShowChosenCounter(row);
  }
  if (!LoadPhotoIntoState(state_, path))
    throw LumistoError(QStringLiteral("Unable to read %1").arg(QFileInfo(path).fileName()));
  state_.caption_layer = BuildCaptionLayer(state_.edit.caption, state_.edit.fit_factor, kScreenSize);
  ShowOutputButtonsWhenReady();
}

void MainWindow::OnCameraConfig() {
  if (camera_source_ == nullptr || !camera_source_->IsConnected()) return;
  const QList<CameraFormat> formats = camera_source_->Formats();
  if (formats.isEmpty()) {
    dialogs_.ShowNotice(QStringLiteral("The camera names no formats to choose from"));
    return;
  }
  QStringList items;
  for (const CameraFormat& format : formats) items.append(DescribeCameraFormat(format));
  const std::optional<int> chosen =
      dialogs_.ChooseFromList(QStringLiteral("Video format"), items, camera_source_->CurrentFormat());
  if (chosen && *chosen != camera_source_->CurrentFormat() && !camera_source_->SetFormat(*chosen))
    dialogs_.ShowNotice(QStringLiteral("The camera refused the format %1").arg(items[*chosen]));
}

void MainWindow::OnCustomFrame(CustomFrameShape shape) {
  CustomFrameSettings settings;
  settings.colour = camera_window_->Colour();
  settings.border = camera_window_->Border();
  settings.opacity = camera_window_->Opacity();
  preview_->StopFade();
  LiveFeed().DrawFrame(shape, settings);
}

void MainWindow::OnCameraLost(const QString& reason) {
  if (camera_window_ != nullptr) camera_window_->SetRunning(false);
  dialogs_.ShowNotice(reason + QStringLiteral(" The last picture is kept."));
}
