// Atomic output files with a reason on failure.
#include "base/output_file.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

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

namespace {

// Counts this process's writes, so that threads writing at once never share a temporary name.
std::atomic<int> next_write{0};

bool ProcessAlive(qint64 pid) {
  // EPERM: a process of another user holds the number, so it lives.
  return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// The file a write to path replaces: links are followed, as an editor saving through a link does.
QString FollowLinks(const QString& path) {
  const QFileInfo info(path);
  if (!info.isSymLink()) return path;
  const QString canonical = info.canonicalFilePath();
  return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

QString Reason(int error_number) { return QString::fromLocal8Bit(strerror(error_number)); }

}  // namespace

QString PartialWriteHost() {
  QString host = QSysInfo::machineHostName();
  for (QChar& c : host)
    if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'.' && c != u'-' && c != u'_') c = u'_';
  return host.isEmpty() ? QStringLiteral("localhost") : host;
}

QString PartialWriteName(const QString& file_name, qint64 pid, int n, const QString& host) {
  const QString tail = QStringLiteral(".lumisto-partial-%1-%2@%3").arg(pid).arg(n).arg(host);
  // A name near the system's 255-byte limit gives up its end, never the mark that proves whose it is.
  QString name = file_name;
  while (!name.isEmpty() && QFile::encodeName(name + tail).size() > 255) name.chop(1);
  return name + tail;
}

OutputFile::OutputFile(const QString& path) : path_(path), target_(FollowLinks(path)) {
  const QString problem = OutputProblem(path);
  if (!problem.isEmpty()) throw LumistoError(Unable(path, problem));
  RemoveWriteLeftovers(target_);
  const QFileInfo target(target_);
  const QString folder = target.absolutePath();
  const qint64 pid = QCoreApplication::applicationPid();
  const QString host = PartialWriteHost();
  // A name taken (a number of an earlier process that died, now ours) is passed over for the next.
  for (int attempt = 0; attempt < 100; ++attempt) {
    file_.setFileName(QDir(folder).filePath(PartialWriteName(target.fileName(), pid, next_write++, host)));
    // Unbuffered: every failed write sets the device's error at once, so the reason is never lost
    // in a buffer flushed later. The encoders hand over large blocks.
    if (file_.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) break;
    if (!file_.exists()) throw LumistoError(Unable(path, file_.errorString()));
  }
  if (!file_.isOpen()) throw LumistoError(Unable(path, file_.errorString()));
  // A replaced file keeps who may read it.
  if (target.exists()) file_.setPermissions(target.permissions());
}

OutputFile::~OutputFile() {
  if (done_) return;
  file_.close();
  file_.remove();
}

void OutputFile::StartWriteBack() {
  if (file_.isOpen()) sync_file_range(file_.handle(), 0, 0, SYNC_FILE_RANGE_WRITE);
}

void OutputFile::Commit(bool encoded) {
  done_ = true;
  // A write error the device recorded explains a failed encoder best; commit reports it too.
  const bool device_failed = file_.error() != QFileDevice::NoError;
  const auto discard = [this] {
    file_.close();
    file_.remove();
  };
  if (!encoded || device_failed) {
    QString reason = device_failed ? file_.errorString() : QStringLiteral("the picture could not be encoded");
    if (const QString codec = codec_lines_.Text(); !codec.isEmpty())
      reason += QStringLiteral(" (") + codec + u')';
    discard();
    throw LumistoError(Unable(path_, reason));
  }
  // On the disk before it takes the old file's place: a power cut leaves the old file or the new.
  if (fsync(file_.handle()) != 0) {
    const int error_number = errno;
    discard();
    throw LumistoError(Unable(path_, Reason(error_number)));
  }
  file_.close();
  if (std::rename(QFile::encodeName(file_.fileName()).constData(), QFile::encodeName(target_).constData()) !=
      0) {
    const int error_number = errno;
    file_.remove();
    throw LumistoError(Unable(path_, Reason(error_number)));
  }
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
  const QString host = PartialWriteHost();
  const qint64 own_pid = QCoreApplication::applicationPid();
  static const QRegularExpression kMark(
      QStringLiteral("^.*\\.lumisto-partial-([0-9]{1,18})-([0-9]{1,10})@([A-Za-z0-9._-]+)$"));
  const QStringList names =
      folder.entryList({QStringLiteral("*.lumisto-partial-*")}, QDir::Files | QDir::Hidden | QDir::System);
  for (const QString& name : names) {
    const QRegularExpressionMatch match = kMark.match(name);
    if (!match.hasMatch() || match.captured(3) != host) continue;
    const qint64 pid = match.captured(1).toLongLong();
    const int n = match.captured(2).toInt();
    // Exactly the name that process made for this target, and that process is gone.
    if (name != PartialWriteName(target.fileName(), pid, n, host)) continue;
    if (pid == own_pid || ProcessAlive(pid)) continue;
    QFile::remove(folder.filePath(name));
  }
}

void RemoveFile(const QString& path) {
  QFile file(path);
  if (!file.exists() || file.remove()) return;
  throw LumistoError(
      QStringLiteral("Unable to delete %1: %2").arg(QFileInfo(path).fileName(), file.errorString()));
}
