// Atomic output files with a reason on failure.
#include "base/output_file.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "base/lumisto_error.h"

QString OutputProblem(const QString& path) {
  const QFileInfo info(path);
  if (info.isDir()) return QStringLiteral("it is a folder");
  if (info.exists() && !info.isFile()) return QStringLiteral("not a regular file");
  const QFileInfo folder(info.absolutePath());
  if (!folder.exists()) return QStringLiteral("no such folder");
  if (!folder.isDir())
    return QStringLiteral("%1 is not a folder").arg(QDir::toNativeSeparators(folder.filePath()));
  return QString();
}

QString OutputFile::Unable(const QString& path, const QString& reason) {
  const QString unable = QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(path));
  return reason.isEmpty() ? unable : unable + QStringLiteral(": ") + reason;
}

OutputFile::OutputFile(const QString& path) : path_(path), file_(path) {
  const QString problem = OutputProblem(path);
  if (!problem.isEmpty()) throw LumistoError(Unable(path, problem));
  RemoveWriteLeftovers(path);
  // Unbuffered: every failed write sets the device's error at once, so the reason is never lost
  // in a buffer flushed later. The encoders hand over large blocks.
  if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
    throw LumistoError(Unable(path, file_.errorString()));
}

OutputFile::~OutputFile() {
  if (!done_) file_.cancelWriting();
}

void OutputFile::Commit(bool encoded) {
  done_ = true;
  // A write error the device recorded explains a failed encoder best; commit reports it too.
  const bool device_failed = file_.error() != QFileDevice::NoError;
  if (!encoded || device_failed) {
    QString reason = device_failed ? file_.errorString() : QStringLiteral("the picture could not be encoded");
    if (const QString codec = codec_lines_.Text(); !codec.isEmpty())
      reason += QStringLiteral(" (") + codec + u')';
    file_.cancelWriting();
    throw LumistoError(Unable(path_, reason));
  }
  if (!file_.commit()) throw LumistoError(Unable(path_, file_.errorString()));
}

bool WriteAll(QIODevice& device, const char* data, qint64 size) {
  while (size > 0) {
    const qint64 written = device.write(data, size);
    if (written <= 0) return false;
    data += written;
    size -= written;
  }
  return true;
}

void RemoveWriteLeftovers(const QString& path) {
  const QFileInfo target(path);
  const QDir folder = target.absoluteDir();
  static const QRegularExpression kSuffix(QStringLiteral("^\\.[A-Za-z0-9]{6}$"));
  const QString prefix = target.fileName();
  const QStringList names =
      folder.entryList({prefix + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden);
  for (const QString& name : names) {
    // Random names mix cases and digits; a lower-case word ("backup") is the user's.
    const QString suffix = name.mid(prefix.size() + 1);
    if (suffix == suffix.toLower() && !suffix.contains(QRegularExpression(QStringLiteral("[0-9]")))) continue;
    if (name.size() == prefix.size() + 7 && name.startsWith(prefix) &&
        kSuffix.match(name.mid(prefix.size())).hasMatch())
      QFile::remove(folder.filePath(name));
  }
}

void RemoveFile(const QString& path) {
  QFile file(path);
  if (!file.exists() || file.remove()) return;
  throw LumistoError(
      QStringLiteral("Unable to delete %1: %2").arg(QFileInfo(path).fileName(), file.errorString()));
}
