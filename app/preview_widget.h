// The preview area `ScrollBox1`: the preview image with its fade and the start picture over it.
#pragma once

#include <QLabel>
#include <QWidget>

#include "app/screen_fade.h"
#include "app/screen_view.h"
#include "compose/display_mode.h"

class PreviewWidget : public QWidget {
  Q_OBJECT

 public:
  // fade_interval_ms is the fade timer's interval (50 in the program; tests use less).
  explicit PreviewWidget(QWidget* parent, int fade_interval_ms = ScreenFade::kDefaultIntervalMs);

  // Shows a composite: letterboxed on white, with the caption layer and faded in for the
  // normal display; drawn straight onto the preview otherwise.
  void ShowOnScreen(const QImage& composite, DisplayMode mode, const QImage& caption_layer);
  void StopFade() { fade_->Stop(); }
  // What the preview shows now, and showing a picture straight away (no fade, no caption).
  const QImage& ShownPicture() const { return fade_->Surface(); }
  void ShowPicture(const QImage& picture);

  bool StartPictureVisible() const { return !start_picture_->isHidden(); }
  void HideStartPicture() { start_picture_->hide(); }
  void ShowStartPicture() { start_picture_->show(); }

  const ScreenFade& Fade() const { return *fade_; }
  ScreenView* Screen() const { return screen_; }

 Q_SIGNALS:
  void ScreenPressed(QPoint pos, Qt::MouseButtons buttons);
  void ScreenMoved(QPoint pos, Qt::MouseButtons buttons);

 private:
  void BuildLayout();
  void Wire();

  ScreenFade* fade_;
  ScreenView* screen_ = nullptr;
  QLabel* start_picture_ = nullptr;
};
