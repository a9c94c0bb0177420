// Where the print and mail pictures are written, and making sure none is left behind.
#pragma once

#include <QString>

// The folder for this process's mail attachments: <temp>/lumisto-<pid>. The mail program reads an
// attachment after the hand-off returns, so attachments stay until the program exits.
class ScratchFiles {
 public:
  // temp_root: where the per-process folders live (the system's temporary folder in the program).
  explicit ScratchFiles(QString temp_root);
  // Removes this process's folder.
  ~ScratchFiles();
  ScratchFiles(const ScratchFiles&) = delete;
  ScratchFiles& operator=(const ScratchFiles&) = delete;

  // A fresh path "<folder>/<n>/<file_name>" that no earlier call returned; the folders exist.
  QString NewAttachmentPath(const QString& file_name);

  // Deletes the folders of earlier runs whose process is gone (left by a crash).
  void RemoveLeftovers() const;

  const QString& Folder() const { return folder_; }

 private:
  QString root_;
  QString folder_;
  int next_ = 0;
};

// "print.jpg" in the application folder when that folder is writable, else in the temporary folder.
QString PrintFilePath(const QString& app_folder, const QString& temp_folder);
