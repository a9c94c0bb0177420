// The user dialogs as the desktop's message boxes and folder picker.
#pragma once

#include <QWidget>

#include "base/user_dialogs.h"

class MessageBoxDialog : public UserDialogs {
 public:
  // Boxes are centred over parent (may be null).
  explicit MessageBoxDialog(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  bool AskYesNo(const QString& question) override;
  bool AskYesNoWarning(const QString& question) override;
  void ShowNotice(const QString& message) override;
  void ShowError(const QString& message) override;
  void ShowNote(const QString& message) override;
  void ShowExclamation(const QString& caption, const QString& message) override;
  std::optional<int> ChooseFromList(const QString& title, const QStringList& items, int current) override;
  std::optional<QColor> ChooseColour(const QColor& initial) override;
  std::optional<QString> ChooseFolder(const QString& title, const QString& start_folder) override;
  std::optional<QString> ChooseSaveFile(const QString& start_folder) override;
  std::optional<QString> ChooseSaveFileKeeping(const QString& start_folder, bool* keep_information) override;
  std::optional<QString> ChooseJobFile(bool saving, const QString& start_folder) override;
  bool ConfirmPrint(QPrinter& printer) override;
  bool SetUpPrinter(QPrinter& printer) override;

 private:
  QWidget* parent_;
};
