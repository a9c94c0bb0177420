// Scratch files for printing and mailing.
#include "output/scratch_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <signal.h>
#include <unistd.h>

namespace {
const QString kPrefix = QStringLiteral("lumisto-");

bool ProcessAlive(qint64 pid) { return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }
}  // namespace

ScratchFiles::ScratchFiles(QString temp_root)
    : root_(std::move(temp_root)), folder_(QDir(root_).filePath(kPrefix + QString::number(getpid()))) {}

ScratchFiles::~ScratchFiles() { QDir(folder_).removeRecursively(); }

QString ScratchFiles::NewAttachmentPath(const QString& file_name) {
  const QString folder = QDir(folder_).filePath(QString::number(++next_));
  QDir().mkpath(folder);
  return QDir(folder).filePath(file_name);
}

void ScratchFiles::RemoveLeftovers() const {
  const QDir root(root_);
  const QStringList names = root.entryList({kPrefix + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& name : names) {
    bool ok = false;
    const qint64 pid = name.mid(kPrefix.size()).toLongLong(&ok);
    if (ok && pid != getpid() && !ProcessAlive(pid)) QDir(root.filePath(name)).removeRecursively();
  }
}

QString PrintFilePath(const QString& app_folder, const QString& temp_folder) {
  const QFileInfo app(app_folder);
  const QString folder = app.isDir() && app.isWritable() ? app_folder : temp_folder;
  return QDir(folder).filePath(QStringLiteral("print.jpg"));
}
