// Message boxes and the folder picker.
#include "app/message_box_dialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

bool MessageBoxDialog::AskYesNo(const QString& question) {
  return QMessageBox::question(parent_, QStringLiteral("Note"), question, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

bool MessageBoxDialog::AskYesNoWarning(const QString& question) {
  return QMessageBox::warning(parent_, QStringLiteral("Note"), question, QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::No) == QMessageBox::Yes;
}

void MessageBoxDialog::ShowNotice(const QString& message) {
  QMessageBox::information(parent_, QStringLiteral("Lumisto"), message);
}

void MessageBoxDialog::ShowError(const QString& message) {
  QMessageBox::critical(parent_, QStringLiteral("Lumisto"), message);
}

void MessageBoxDialog::ShowNote(const QString& message) {
  QMessageBox::information(parent_, QStringLiteral("Note"), message, QMessageBox::Ok);
}

void MessageBoxDialog::ShowExclamation(const QString& caption, const QString& message) {
  QMessageBox::warning(parent_, caption, message, QMessageBox::Ok);
}

std::optional<int> MessageBoxDialog::ChooseFromList(const QString& title, const QStringList& items,
                                                    int current) {
  bool ok = false;
  const QString item = QInputDialog::getItem(parent_, title, title + QLatin1Char(':'), items,
                                             std::clamp(current, 0, int(items.size()) - 1), false, &ok);
  if (!ok) return std::nullopt;
  const int index = int(items.indexOf(item));
  if (index < 0) return std::nullopt;
  return index;
}

std::optional<QColor> MessageBoxDialog::ChooseColour(const QColor& initial) {
  const QColor colour = QColorDialog::getColor(initial, parent_);
  if (!colour.isValid()) return std::nullopt;
  return colour;
}

std::optional<QString> MessageBoxDialog::ChooseFolder(const QString& title, const QString& start_folder) {
  const QString folder =
      QFileDialog::getExistingDirectory(parent_, title, start_folder, QFileDialog::ShowDirsOnly);
  if (folder.isEmpty()) return std::nullopt;
  return folder;
}

std::optional<QString> MessageBoxDialog::ChooseSaveFile(const QString& start_folder) {
  return ChooseSaveFileKeeping(start_folder, nullptr);
}

std::optional<QString> MessageBoxDialog::ChooseSaveFileKeeping(const QString& start_folder,
                                                               bool* keep_information) {
  QFileDialog dialog(parent_);
  dialog.setObjectName(QStringLiteral("SavePictureDialog1"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDirectory(start_folder);
  const QStringList filters{QStringLiteral("*.jpg"),  QStringLiteral("*.bmp"), QStringLiteral("*.png"),
                            QStringLiteral("*.tif"),  QStringLiteral("*.gif"), QStringLiteral("*.webp"),
                            QStringLiteral("*.avif"), QStringLiteral("*.jxl")};
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(QStringLiteral("jpg"));
  // Save asks itself, with a question that names the photo being framed when it is that one.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  // A name typed without an extension takes the one of the type chosen, not always ".jpg".
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog](const QString& filter) { dialog.setDefaultSuffix(filter.mid(2)); });
  dialog.setSizeGripEnabled(true);
  QCheckBox* keep = nullptr;
  if (keep_information != nullptr) {
    // Qt's own dialog, which can take one more control below its file type row.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
      keep = new QCheckBox(QStringLiteral("Keep photo information (camera, date, place)"), &dialog);
      keep->setObjectName(QStringLiteral("KeepPhotoInformation"));
      keep->setChecked(*keep_information);
      grid->addWidget(keep, grid->rowCount(), 0, 1, grid->columnCount());
    }
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  if (keep != nullptr) *keep_information = keep->isChecked();
  return dialog.selectedFiles().constFirst();
}

std::optional<QString> MessageBoxDialog::ChooseJobFile(bool saving, const QString& start_folder) {
  const QString filter = QStringLiteral("Batch jobs (*.ini)");
  const QString path =
      saving ? QFileDialog::getSaveFileName(parent_, QStringLiteral("Save list"), start_folder, filter)
             : QFileDialog::getOpenFileName(parent_, QStringLiteral("Open list"), start_folder, filter);
  if (path.isEmpty()) return std::nullopt;
  return path;
}

bool MessageBoxDialog::ConfirmPrint(QPrinter& printer) {
  QPrintDialog dialog(&printer, parent_);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  return dialog.exec() == QDialog::Accepted;
}

bool MessageBoxDialog::SetUpPrinter(QPrinter& printer) {
  QPageSetupDialog dialog(&printer, parent_);
  return dialog.exec() == QDialog::Accepted;
}
