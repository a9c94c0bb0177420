// The preview image `Screen`: shows the fade's surface and reports presses and drags on it.
#pragma once

#include <QImage>
#include <QWidget>

class ScreenView : public QWidget {
  Q_OBJECT

 public:
  explicit ScreenView(QWidget* parent);
  // The picture shown from now on (a shared copy: the caller may go on changing its own).
  void ShowPicture(const QImage& picture);

 Q_SIGNALS:
  void Pressed(QPoint pos, Qt::MouseButtons buttons);
  void Moved(QPoint pos, Qt::MouseButtons buttons);
  // An arrow key while the view has the keyboard: a pixel that way, ten with Shift.
  void ArrowMoved(QPoint delta);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  QImage picture_;
};
