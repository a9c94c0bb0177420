// The rename-series dialog.
#include "batch/rename_series_dialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "batch/batch_entry.h"
#include "batch/rename_series.h"

RenameSeriesDialog::RenameSeriesDialog(UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), dialogs_(dialogs) {
  setObjectName(QStringLiteral("TForm2"));
  setWindowTitle(QStringLiteral("Raname series"));
  setFixedSize(335, 391);
  BuildLayout();
  Wire();
}

void RenameSeriesDialog::BuildLayout() {
  auto* text = new QLabel(QStringLiteral("Specify a template to use for renaming files.\n\n"
                                         "*Use #'s to specify positions used by numeric enumerator."),
                          this);
  text->setObjectName(QStringLiteral("Label1"));
  text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  text->setWordWrap(true);
  text->setGeometry(8, 8, 319, 56);

  auto* template_label = new QLabel(QStringLiteral("Template:"), this);
  template_label->setGeometry(8, 74, 60, 21);
  pattern_ = new QComboBox(this);
  pattern_->setObjectName(QStringLiteral("ComboBox1"));
  pattern_->setEditable(true);
  pattern_->addItems({QStringLiteral("00#.jpg"), QStringLiteral("000#.jpg")});
  pattern_->setCurrentIndex(1);
  pattern_->setGeometry(72, 74, 150, 21);

  auto* start_label = new QLabel(QStringLiteral("Start at:"), this);
  start_label->setGeometry(8, 104, 60, 21);
  first_ = new QSpinBox(this);
  first_->setObjectName(QStringLiteral("UpDown1"));
  first_->findChild<QLineEdit*>()->setObjectName(QStringLiteral("Edit1"));
  first_->setRange(kSeriesFirstMin, kSeriesFirstMax);
  first_->setValue(1);
  first_->setWrapping(false);
  first_->setGeometry(72, 104, 80, 21);

  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("ListView1"));
  list_->setHeaderLabels({QStringLiteral("Old name"), QStringLiteral("New name")});
  list_->header()->setSectionsClickable(false);
  list_->setRootIsDecorated(false);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setSelectionMode(QAbstractItemView::NoSelection);
  list_->setGeometry(8, 134, 319, 212);
  list_->setColumnWidth(0, list_->width() / 2);
  list_->setColumnWidth(1, list_->width() / 2);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OkButton"));
  ok->setDefault(true);
  ok->setGeometry(160, 356, 75, 25);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("CancelButton"));
  cancel->setGeometry(244, 356, 75, 25);
  connect(ok, &QPushButton::clicked, this, &RenameSeriesDialog::OnOk);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void RenameSeriesDialog::Wire() {
  connect(pattern_, &QComboBox::editTextChanged, this, &RenameSeriesDialog::RefreshNewNames);
  connect(first_, &QSpinBox::valueChanged, this, &RenameSeriesDialog::RefreshNewNames);
}

void RenameSeriesDialog::Prepare(const QStringList& old_names, const QStringList& kept_names) {
  kept_names_ = kept_names;
  list_->clear();
  QList<QTreeWidgetItem*> items;
  for (const QString& name : old_names) items << new QTreeWidgetItem(QStringList{name, QString()});
  list_->addTopLevelItems(items);
  RefreshNewNames();
}

void RenameSeriesDialog::RefreshNewNames() {
  const QStringList names = SeriesNames(pattern_->currentText(), first_->value(), list_->topLevelItemCount());
  for (int i = 0; i < list_->topLevelItemCount(); ++i) list_->topLevelItem(i)->setText(1, names[i]);
}

QStringList RenameSeriesDialog::NewNames() const {
  QStringList names;
  for (int i = 0; i < list_->topLevelItemCount(); ++i) names << list_->topLevelItem(i)->text(1);
  return names;
}

void RenameSeriesDialog::OnOk() {
  const QStringList names = NewNames();
  for (const QString& name : names) {
    if (const auto problem = OutputNameProblem(name)) {
      dialogs_.ShowNotice(*problem);
      return;
    }
  }
  if (const auto clash = FirstDuplicate(names + kept_names_)) {
    dialogs_.ShowNotice(QStringLiteral("Two rows would be written as \"%1\".").arg(*clash));
    return;
  }
  accept();
}
