// The camera tool window.
#include "sources/camera_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "base/guarded_call.h"

namespace {

QPushButton* AddButton(QWidget* parent, QBoxLayout* row, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  button->setFixedSize(64, 25);
  row->addWidget(button);
  return button;
}

QSlider* AddBar(QWidget* parent, const char* name, int low, int high, int position) {
  auto* bar = new QSlider(Qt::Horizontal, parent);
  bar->setObjectName(QLatin1String(name));
  bar->setRange(low, high);
  bar->setValue(position);
  return bar;
}

}  // namespace

CameraWindow::CameraWindow(UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Tool), dialogs_(dialogs) {
  setObjectName(QStringLiteral("CameraWindow"));
  setWindowTitle(QStringLiteral("Camera"));
  BuildLayout();
  Wire();
}

void CameraWindow::BuildLayout() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("CameraPages"));
  auto* cam = new QWidget(pages_);
  cam->setObjectName(QStringLiteral("CamPage"));
  BuildCamPage(cam);
  pages_->addTab(cam, QStringLiteral("Cam"));
  auto* custom = new QWidget(pages_);
  custom->setObjectName(QStringLiteral("CustomPage"));
  BuildCustomPage(custom);
  pages_->addTab(custom, QStringLiteral("Custom"));
  layout->addWidget(pages_);
  setFixedSize(300, 170);
}

void CameraWindow::BuildCamPage(QWidget* page) {
  auto* column = new QVBoxLayout(page);
  auto* row = new QHBoxLayout();
  power_ = AddButton(page, row, "Button14", QStringLiteral("Power"));
  snapshot_ = AddButton(page, row, "Button15", QStringLiteral("Snapshot"));
  config_ = AddButton(page, row, "Button16", QStringLiteral("Config"));
  light_ = new QWidget(page);
  light_->setObjectName(QStringLiteral("Panel5"));
  light_->setFixedSize(16, 17);
  light_->setAutoFillBackground(true);
  QPalette black = light_->palette();
  black.setColor(QPalette::Window, Qt::black);
  light_->setPalette(black);
  light_->setToolTip(QStringLiteral("The camera is running"));
  light_->hide();
  row->addWidget(light_);
  row->addStretch();
  column->addLayout(row);

  auto* quality_panel = new QWidget(page);
  quality_panel->setObjectName(QStringLiteral("QualityPanel"));
  auto* quality_row = new QHBoxLayout(quality_panel);
  quality_row->setContentsMargins(0, 0, 0, 0);
  auto* caption = new QLabel(QStringLiteral("Quality:"), quality_panel);
  caption->setObjectName(QStringLiteral("QualityCaption"));
  quality_value_ = new QLabel(QStringLiteral("90"), quality_panel);
  quality_value_->setObjectName(QStringLiteral("QualityValue"));
  quality_value_->setMinimumWidth(24);
  quality_ = AddBar(quality_panel, "QualityBar", 1, 100, 90);
  quality_->setToolTip(QStringLiteral("JPEG quality of the snapshots"));
  quality_row->addWidget(caption);
  quality_row->addWidget(quality_value_);
  quality_row->addWidget(quality_, 1);
  column->addWidget(quality_panel);
  column->addStretch();
}

void CameraWindow::BuildCustomPage(QWidget* page) {
  auto* column = new QVBoxLayout(page);
  auto* row = new QHBoxLayout();
  choose_colour_ = AddButton(page, row, "Button17", QStringLiteral("C"));
  choose_colour_->setToolTip(QStringLiteral("Choose the frame's colour"));
  window_frame_ = AddButton(page, row, "Button18", QStringLiteral("1"));
  window_frame_->setToolTip(QStringLiteral("A frame with a window inset by the border width"));
  soft_frame_ = AddButton(page, row, "Button19", QStringLiteral("2"));
  soft_frame_->setToolTip(QStringLiteral("A soft line just inside the photo's edge"));
  row->addStretch();
  column->addLayout(row);
  border_ = AddBar(page, "TrackBar5", 1, 100, 5);
  border_->setToolTip(QStringLiteral("Border width"));
  opacity_ = AddBar(page, "TrackBar6", 1, 255, 255);
  opacity_->setToolTip(QStringLiteral("Opacity"));
  column->addWidget(border_);
  column->addWidget(opacity_);
  custom_values_ = new QLabel(page);
  custom_values_->setObjectName(QStringLiteral("Label3"));
  column->addWidget(custom_values_);
  ShowCustomValues();
}

void CameraWindow::Wire() {
  connect(power_, &QPushButton::clicked, this, &CameraWindow::PowerClicked);
  connect(snapshot_, &QPushButton::clicked, this, &CameraWindow::SnapshotClicked);
  connect(config_, &QPushButton::clicked, this, &CameraWindow::ConfigClicked);
  connect(quality_, &QSlider::valueChanged, quality_value_, qOverload<int>(&QLabel::setNum));
  connect(choose_colour_, &QPushButton::clicked, this, [this] {
    RunGuarded(dialogs_, [this] {
      if (const std::optional<QColor> colour = dialogs_.ChooseColour(colour_)) colour_ = *colour;
      ShowCustomValues();
    });
  });
  connect(window_frame_, &QPushButton::clicked, this, &CameraWindow::WindowFrameClicked);
  connect(soft_frame_, &QPushButton::clicked, this, &CameraWindow::SoftLineFrameClicked);
  connect(border_, &QSlider::valueChanged, this, &CameraWindow::ShowCustomValues);
  connect(opacity_, &QSlider::valueChanged, this, &CameraWindow::ShowCustomValues);
}

void CameraWindow::ShowCustomValues() {
  custom_values_->setText(QStringLiteral("Border %1   Opacity %2   Colour %3")
                              .arg(border_->value())
                              .arg(opacity_->value())
                              .arg(colour_.name()));
}

int CameraWindow::Quality() const { return quality_->value(); }
int CameraWindow::Border() const { return border_->value(); }
int CameraWindow::Opacity() const { return opacity_->value(); }

void CameraWindow::SetRunning(bool running) { light_->setVisible(running); }

void CameraWindow::closeEvent(QCloseEvent* event) {
  Q_EMIT Closed();
  event->accept();
}
