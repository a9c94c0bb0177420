// The questions, notices and folder picker the program shows, behind one interface so that tests
// can answer them without a screen.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

class QPrinter;

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;

  // A question titled "Note" with the buttons Yes and No; true only for Yes.
  virtual bool AskYesNo(const QString& question) = 0;
  // The same question with a warning icon, for answers that destroy something (overwriting a file).
  virtual bool AskYesNoWarning(const QString& question) { return AskYesNo(question); }
  // A short notice such as "No Image" or "no file".
  virtual void ShowNotice(const QString& message) = 0;
  // A notice titled "Note" with an OK button.
  virtual void ShowNote(const QString& message) = 0;
  // The colour chooser opening at initial; the chosen colour, or nullopt when cancelled.
  virtual std::optional<QColor> ChooseColour(const QColor& initial) = 0;
  // An error that ended a command; the program goes on.
  virtual void ShowError(const QString& message) = 0;
  // A message box titled caption with the exclamation icon and an OK button.
  virtual void ShowExclamation(const QString& caption, const QString& message) = 0;
  // A choice of one of items (at least one), titled title, opening on current; the index chosen, or
  // nullopt when cancelled.
  virtual std::optional<int> ChooseFromList(const QString& title, const QStringList& items, int current) = 0;
  // A folder picker titled title, opening at start_folder; nullopt when cancelled.
  virtual std::optional<QString> ChooseFolder(const QString& title, const QString& start_folder) = 0;
  // The save dialog offering "*.jpg", "*.bmp", "*.png", "*.tif", "*.gif", "*.webp", "*.avif" and
  // "*.jxl". It does not ask before overwriting: the caller knows which question fits the file. The
  // chosen path, or nullopt when cancelled.
  virtual std::optional<QString> ChooseSaveFile(const QString& start_folder) = 0;
  // The save dialog with the check box "Keep photo information (camera, date, place)", ticked as
  // *keep_information says; the choice is left there when a path is chosen. Dialogs without the box
  // ask as ChooseSaveFile does and leave *keep_information as it was.
  virtual std::optional<QString> ChooseSaveFileKeeping(const QString& start_folder,
                                                       bool* /*keep_information*/) {
    return ChooseSaveFile(start_folder);
  }
  // A batch job file (*.ini) to write (saving, asking before overwriting) or to read; nullopt when
  // cancelled.
  virtual std::optional<QString> ChooseJobFile(bool saving, const QString& start_folder) = 0;
  // The print dialog for printer, which keeps the choices; false when cancelled.
  virtual bool ConfirmPrint(QPrinter& printer) = 0;
  // The printer and page set-up for printer; false when cancelled.
  virtual bool SetUpPrinter(QPrinter& printer) = 0;
};
