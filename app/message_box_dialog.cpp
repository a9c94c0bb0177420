// Message boxes and the folder picker.
#include "app/message_box_dialog.h"

#include <QFileDialog>
#include <QMessageBox>

bool MessageBoxDialog::AskYesNo(const QString& question) {
  return QMessageBox::question(parent_, QStringLiteral("Note"), question, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

void MessageBoxDialog::ShowNotice(const QString& message) {
  QMessageBox::information(parent_, QStringLiteral("Lumisto"), message);
}

void MessageBoxDialog::ShowError(const QString& message) {
  QMessageBox::critical(parent_, QStringLiteral("Lumisto"), message);
}

std::optional<QString> MessageBoxDialog::ChooseFolder(const QString& title, const QString& start_folder) {
  const QString folder =
      QFileDialog::getExistingDirectory(parent_, title, start_folder, QFileDialog::ShowDirsOnly);
  if (folder.isEmpty()) return std::nullopt;
  return folder;
}
