// The preview area.
#include "app/preview_widget.h"

#include "compose/preview.h"
#include "widgets/skin_art.h"

PreviewWidget::PreviewWidget(QWidget* parent, int fade_interval_ms)
    : QWidget(parent), fade_(new ScreenFade(kScreenSize, fade_interval_ms, this)) {
  setObjectName(QStringLiteral("ScrollBox1"));
  resize(kScreenSize);
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  BuildLayout();
  Wire();
}

void PreviewWidget::BuildLayout() {
  screen_ = new ScreenView(this);
  screen_->ShowPicture(fade_->Surface());
  screen_->setObjectName(QStringLiteral("Screen"));
  screen_->setGeometry(QRect(QPoint(0, 0), kScreenSize));
  start_picture_ = new QLabel(this);
  start_picture_->setObjectName(QStringLiteral("Image9"));
  start_picture_->setGeometry(QRect(QPoint(0, 0), kScreenSize));
  start_picture_->setPixmap(QPixmap::fromImage(StartPicture(devicePixelRatioF())));
  // The start picture lets presses through to the preview beneath it.
  start_picture_->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PreviewWidget::Wire() {
  connect(fade_, &ScreenFade::SurfaceChanged, screen_, [this] { screen_->ShowPicture(fade_->Surface()); });
  connect(screen_, &ScreenView::Pressed, this, &PreviewWidget::ScreenPressed);
  connect(screen_, &ScreenView::Moved, this, &PreviewWidget::ScreenMoved);
}

void PreviewWidget::ShowPicture(const QImage& picture) {
  fade_->Stop();
  fade_->Replace(picture);
  fade_->MutableSurface() = picture;
  // The view holds its own shared copy: hand it the new surface, a repaint alone shows the old one.
  screen_->ShowPicture(fade_->Surface());
}

void PreviewWidget::ShowOnScreen(const QImage& composite, DisplayMode mode, const QImage& caption_layer) {
  if (mode == DisplayMode::Normal) {
    // The preview itself changes only with the fade's ticks.
    fade_->Show(ComposeScreenBitmap(composite, caption_layer));
    return;
  }
  fade_->Replace(ComposeScreenBitmap(composite, QImage()));
  DrawOnScreenDirect(fade_->MutableSurface(), composite);
  screen_->ShowPicture(fade_->Surface());
}
