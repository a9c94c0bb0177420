// Layout of the batch page.
#include "batch/batch_page_widget.h"

#include <QLabel>

#include "widgets/flat_button_widget.h"
#include "widgets/scroll_buttons_widget.h"

namespace {

constexpr int kHeaderRow = 17;  // the list's column headers, cut off by the panel's clip

QLabel* Caption(QWidget* parent, const QString& text, QRect rect) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(rect);
  return label;
}

}  // namespace

BatchPageWidget::BatchPageWidget(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("BatchPage"));
  BuildLayout();
}

void BatchPageWidget::BuildLayout() {
  const QRect panel_rect(20, 30, 340, 400);
  const int list_width = 330;
  const int w = list_width;
  Caption(this, QStringLiteral("Photo Name"), QRect(panel_rect.left() + 4, panel_rect.top(), 110, 17));
  Caption(this, QStringLiteral("Frame Name"),
          QRect(panel_rect.left() + 4 + w / 3 + 10, panel_rect.top(), 110, 17));
  Caption(this, QStringLiteral("Size"),
          QRect(panel_rect.left() + 4 + 2 * (w / 3) + 10, panel_rect.top(), 80, 17));

  auto* panel = new QWidget(this);
  panel->setObjectName(QStringLiteral("BatchPanel"));
  panel->setGeometry(panel_rect);
  panel->setMask(QRegion(0, kHeaderRow, list_width, panel_rect.height() - kHeaderRow));
  list_ = new QTreeWidget(panel);
  list_->setObjectName(QStringLiteral("ListView3"));
  list_->setGeometry(0, kHeaderRow, list_width, panel_rect.height() - kHeaderRow);
  list_->setColumnCount(3);
  list_->setHeaderHidden(true);
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->setColumnWidth(0, w / 3 + 10);
  list_->setColumnWidth(1, w / 3);
  list_->setColumnWidth(2, w / 3 - 25);
  new ScrollButtonsWidget(list_,
                          {QStringLiteral("FlatButton30"), QStringLiteral("FlatButton31"),
                           QStringLiteral("Timer8"), QStringLiteral("Timer9")},
                          QRect(list_width - 18, kHeaderRow, 18, panel_rect.height() - kHeaderRow), panel);

  const int y = panel_rect.bottom() + 12;
  AddFlatButton(this, QStringLiteral("BatchEditButton"), QStringLiteral("Edit"), QString(),
                QRect(20, y, 60, 27));
  AddFlatButton(this, QStringLiteral("FlatButton10"), QStringLiteral("Delete"), QString(),
                QRect(88, y, 60, 27));
  AddFlatButton(this, QStringLiteral("FlatButton12"), QStringLiteral("Rename"), QString(),
                QRect(156, y, 60, 27));
  AddFlatButton(this, QStringLiteral("BatchSaveButton"), QStringLiteral("Batch save"), QString(),
                QRect(224, y, 80, 27));
}
