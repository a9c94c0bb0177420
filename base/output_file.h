// Writing a file completely or not at all, with one line saying why when it cannot be done.
#pragma once

#include <QFile>
#include <QString>

#include "base/codec_messages.h"

// A file written under a temporary name in the target's folder and renamed into place by Commit.
// The target must be a regular file or a new name in an existing folder: a folder, device, pipe
// or socket is refused before anything is written; a link is followed and its file replaced. The
// temporary name is PartialWriteName's, so a process killed midway leaves one file that says whose
// it is. Failures throw LumistoError "Unable to write to PATH: reason"; an uncommitted file is
// discarded and any old file survives, keeping its permissions when replaced.
// What the encoding library logs meanwhile on this thread is folded into that one line.
class OutputFile {
 public:
  // Checks the target, removes what killed writes to it left (RemoveWriteLeftovers), and opens.
  explicit OutputFile(const QString& path);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  QIODevice& Device() { return file_; }

  // Asks the system to start writing what was written so far to the disk, without waiting, so that
  // Commit's wait for the disk is short when a large file was written over a while.
  void StartWriteBack();

  // Renames the written data into place. encoded is whether the encoder reported success: when it
  // did not, or the data could not all be written, nothing is renamed and the error is thrown.
  void Commit(bool encoded);

  // "Unable to write to PATH: reason" (no reason: without the colon).
  static QString Unable(const QString& path, const QString& reason);

 private:
  QString path_;    // as the caller named it, for messages
  QString target_;  // the file replaced: path_ with links followed
  QFile file_;      // the temporary file
  // What the encoder logs on the way; a failure's message carries it.
  CodecMessages codec_lines_;
  bool done_ = false;
};

// Writes all size bytes, retrying after a short write so that a full disk shows as the device's
// error ("No space left on device") rather than a silent short count. False when any byte failed.
bool WriteAll(QIODevice& device, const char* data, qint64 size);

// Why path cannot be an output (a folder, not a regular file, no such folder), or empty.
QString OutputProblem(const QString& path);

// The name a write to the file `file_name` goes under while process pid on host writes it, n
// counting that process's writes: "NAME.lumisto-partial-PID-N@HOST". Nobody else makes such names.
QString PartialWriteName(const QString& file_name, qint64 pid, int n, const QString& host);

// This machine's name as PartialWriteName takes it (letters, digits, '.', '-' and '_' only).
QString PartialWriteHost();

// Deletes beside path only what a write to it by this program left when its process was killed:
// PartialWriteName's files from this machine whose process is gone. Anything else, the user's
// "out.jpg.Backup" or a write still running in another process or on another machine, stays.
void RemoveWriteLeftovers(const QString& path);

// Deletes the file at path when it exists. Throws LumistoError "Unable to delete NAME: reason"
// when the file system refuses.
void RemoveFile(const QString& path);
