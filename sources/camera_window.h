// The camera tool window: page "Cam" (Power, Snapshot, Config, the snapshot quality) and page
// "Custom" (the colour and the two custom frames with their border width and opacity).
#pragma once

#include <QColor>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QWidget>

#include "base/user_dialogs.h"

class CameraWindow : public QWidget {
  Q_OBJECT

 public:
  // A tool window of parent (it stays above it); dialogs asks for the colour.
  CameraWindow(UserDialogs& dialogs, QWidget* parent);

  int Quality() const;  // QualityBar, 1..100
  int Border() const;   // TrackBar5, 1..100
  int Opacity() const;  // TrackBar6, 1..255
  QColor Colour() const { return colour_; }
  // Panel5, the black light that is shown while the camera runs.
  void SetRunning(bool running);
  void ShowPage(int index) { pages_->setCurrentIndex(index); }

 Q_SIGNALS:
  void PowerClicked();
  void SnapshotClicked();
  void ConfigClicked();
  void WindowFrameClicked();    // "1"
  void SoftLineFrameClicked();  // "2"
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildLayout();
  void BuildCamPage(QWidget* page);
  void BuildCustomPage(QWidget* page);
  void Wire();
  void ShowCustomValues();

  UserDialogs& dialogs_;
  QColor colour_ = Qt::black;  // ColorDialog3's colour
  QTabWidget* pages_ = nullptr;
  QPushButton* power_ = nullptr;
  QPushButton* snapshot_ = nullptr;
  QPushButton* config_ = nullptr;
  QWidget* light_ = nullptr;
  QSlider* quality_ = nullptr;
  QLabel* quality_value_ = nullptr;
  QPushButton* choose_colour_ = nullptr;
  QPushButton* window_frame_ = nullptr;
  QPushButton* soft_frame_ = nullptr;
  QSlider* border_ = nullptr;
  QSlider* opacity_ = nullptr;
  QLabel* custom_values_ = nullptr;
};
