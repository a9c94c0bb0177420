// The title band: the drag bar `Movebar` that moves the window, and the hot spots `Label10`
// (help), `Label11` (minimise) and `Label12` (close).
#pragma once

#include <QLabel>
#include <QWidget>

class TitleBarWidget : public QWidget {
  Q_OBJECT

 public:
  explicit TitleBarWidget(QWidget* parent);

 Q_SIGNALS:
  void HelpClicked();
  void MinimiseClicked();
  void CloseClicked();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildLayout();

  QWidget* drag_bar_ = nullptr;
  QLabel* help_ = nullptr;
  QLabel* minimise_ = nullptr;
  QLabel* close_ = nullptr;
  QPoint recorded_;  // where the last press hit the drag bar, in its coordinates
};
