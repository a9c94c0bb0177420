// The preview image `Screen`: shows the fade's surface and reports presses and drags on it.
#pragma once

#include <QImage>
#include <QWidget>

class ScreenView : public QWidget {
  Q_OBJECT

 public:
  // Shows *surface (owned elsewhere, kept alive while the view lives).
  ScreenView(const QImage* surface, QWidget* parent);

 Q_SIGNALS:
  void Pressed(QPoint pos, Qt::MouseButtons buttons);
  void Moved(QPoint pos, Qt::MouseButtons buttons);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  const QImage* surface_;
};
