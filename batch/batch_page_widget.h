// The "Batch" page of the main pages: the batch list with its scroll buttons and commands, laid
// out here; its behaviour comes with the batch list.
#pragma once

#include <QTreeWidget>
#include <QWidget>

class BatchPageWidget : public QWidget {
  Q_OBJECT

 public:
  explicit BatchPageWidget(QWidget* parent);
  QTreeWidget* List() const { return list_; }

 private:
  void BuildLayout();
  QTreeWidget* list_ = nullptr;
};
