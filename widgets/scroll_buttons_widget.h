// The "^" and "ˇ" buttons over a list's own scroll bar, scrolling it while they are held.
#pragma once

#include <QAbstractScrollArea>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

class ScrollButtonsWidget : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kStepPixels = 11;
  static constexpr int kRepeatMs = 60;

  struct Names {
    QString up_button;
    QString down_button;
    QString up_timer;
    QString down_timer;
  };

  // A strip of width x height at its parent's (x, y), acting on list; the timers tick every
  // repeat_ms while a button is held.
  ScrollButtonsWidget(QAbstractScrollArea* list, const Names& names, const QRect& geometry, QWidget* parent,
                      int repeat_ms = kRepeatMs);

  // One step: 11 pixels up (direction -1) or down (+1); the list stops at its ends by itself.
  void Step(int direction);

 private:
  void BuildLayout(const Names& names);
  void Wire();

  QAbstractScrollArea* list_;
  QPushButton* up_ = nullptr;
  QPushButton* down_ = nullptr;
  QTimer up_timer_;
  QTimer down_timer_;
};
