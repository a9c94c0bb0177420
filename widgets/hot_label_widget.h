// The transparent label over a thumbnail cell that takes the mouse for it.
#pragma once

#include <QLabel>

class HotLabelWidget : public QLabel {
  Q_OBJECT

 public:
  // cell is the index 0..7 of the cell it covers (its tag).
  HotLabelWidget(int cell, QWidget* parent);
  int Cell() const { return cell_; }
  // The path of the cell it covers, copied in when the label is clicked.
  const QString& Path() const { return path_; }
  void SetPath(const QString& path) { path_ = path; }

 Q_SIGNALS:
  void Entered(int cell);
  void Left(int cell);
  void Clicked(int cell);

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int cell_;
  QString path_;
};
