// The toolbar's delivery commands: Save, Print, Print setup and E-mail.
#pragma once

#include <QPrinter>
#include <QString>
#include <optional>

#include "base/config.h"
#include "base/user_dialogs.h"
#include "edit/edit_state.h"
#include "output/scratch_files.h"
#include "styles/frame_style.h"
#include "styles/texture_list.h"

// Each command renders the current edits at the photo's full size through RenderToFile. Failures
// of the render or the write throw LumistoError for the window's general handler to show.
class OutputCommands {
 public:
  // temp_root: the system's temporary folder (mail attachments, and the print file when the
  // application folder is read-only).
  // textures: the tiles of the renders, kept by the caller for the commands' lifetime.
  OutputCommands(const Config& config, UserDialogs& dialogs, const TextureList& textures, QString temp_root);

  // Asks for a file name and writes the framed photo there in the format its extension names.
  // An existing file is replaced only after a Yes: the photo being framed and the template's files
  // get a question of their own that names them (No leaves them as they are), any other file the
  // general one; a No opens the save dialog again. Returns the path written, nullopt when cancelled.
  std::optional<QString> Save(const EditState& edit, const FrameStyle& style);
  // Renders "print.jpg", shows the print dialog and prints it on one page; the file is removed
  // afterwards whatever happens. "Failure" goes to standard output when the dialog is cancelled.
  // When "print.jpg" in the application folder is one of the edits' own files (the photo being
  // framed), the scratch folder takes the print file instead.
  void Print(const EditState& edit, const FrameStyle& style);
  // The printer and page set-up kept for the next Print; "Failure" on standard output when cancelled.
  void PrintSetup();
  // Renders "mail.jpg" into a folder of this run's own and hands it to the mail program. The file
  // stays until the program ends, since the mail program reads it after the hand-off returns.
  void Email(const EditState& edit, const FrameStyle& style);

  QPrinter& Printer() { return printer_; }
  const ScratchFiles& Scratch() const { return scratch_; }
  // The program the mail goes through; xdg-email unless a test says otherwise.
  void SetMailProgram(const QString& program) { mail_program_ = program; }

 private:
  const Config& config_;
  UserDialogs& dialogs_;
  const TextureList& textures_;
  QString temp_root_;
  ScratchFiles scratch_;
  QPrinter printer_;
  QString save_folder_;
  QString mail_program_ = QStringLiteral("xdg-email");
};
