// Writing a file completely or not at all, with one line saying why when it cannot be done.
#pragma once

#include <QSaveFile>
#include <QString>

#include "base/codec_messages.h"

// A file written under a temporary name in the target's folder and renamed into place by Commit.
// The target must be a regular file or a new name in an existing folder: a folder, device, pipe
// or socket is refused before anything is written. Failures throw LumistoError
// "Unable to write to PATH: reason"; an uncommitted file is discarded and any old file survives.
// What the encoding library logs meanwhile on this thread is folded into that one line.
class OutputFile {
 public:
  // Checks the target, removes leftovers of earlier interrupted writes to it, and opens.
  explicit OutputFile(const QString& path);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  QIODevice& Device() { return file_; }

  // Renames the written data into place. encoded is whether the encoder reported success: when it
  // did not, or the data could not all be written, nothing is renamed and the error is thrown.
  void Commit(bool encoded);

  // "Unable to write to PATH: reason" (no reason: without the colon).
  static QString Unable(const QString& path, const QString& reason);

 private:
  QString path_;
  QSaveFile file_;
  // What the encoder logs on the way; a failure's message carries it.
  CodecMessages codec_lines_;
  bool done_ = false;
};

// Writes all size bytes, retrying after a short write so that a full disk shows as the device's
// error ("No space left on device") rather than a silent short count. False when any byte failed.
bool WriteAll(QIODevice& device, const char* data, qint64 size);

// Why path cannot be an output (a folder, not a regular file, no such folder), or empty.
QString OutputProblem(const QString& path);

// Removes "NAME.XXXXXX" files beside path (six letters or digits after the target's own name):
// the temporary files a killed write leaves where the system offers no nameless ones.
void RemoveWriteLeftovers(const QString& path);

// Deletes the file at path when it exists. Throws LumistoError "Unable to delete NAME: reason"
// when the file system refuses.
void RemoveFile(const QString& path);
