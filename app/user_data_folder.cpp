// Choosing and seeding the user's data folder.
#include "app/user_data_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "app/app_folder.h"
#include "base/lumisto_error.h"

namespace {

[[noreturn]] void CannotWrite(const QString& path) {
  throw LumistoError(QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(path)));
}

// Copies the tree at from into to (which must not exist yet): every folder, and the files but those
// of the folder named skip_files_in (relative to from; its sub-folders are made empty).
void CopyTree(const QString& from, const QString& to, const QString& skip_files_in) {
  if (!QDir().mkpath(to)) CannotWrite(to);
  QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
  const QDir source(from);
  while (it.hasNext()) {
    const QFileInfo info = it.nextFileInfo();
    const QString target = to + u'/' + source.relativeFilePath(info.filePath());
    if (info.isDir()) {
      if (!QDir().mkpath(target)) CannotWrite(target);
    } else if (info.isFile() && !source.relativeFilePath(info.filePath()).startsWith(skip_files_in + u'/')) {
      if (!QFile::copy(info.filePath(), target)) CannotWrite(target);
      // Shipped files may be read-only; the user's copies are the user's to edit.
      QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner | QFile::ReadOwner);
    }
  }
}

}  // namespace

bool IsInstalledFolder(const QString& executable_folder) {
  if (QFileInfo::exists(QDir(executable_folder).filePath(QLatin1String(kInstalledMarker)))) return true;
  return !QFileInfo(executable_folder).isWritable();
}

QString UserDataFolder(const QString& xdg_data_home, const QString& home) {
  const QString base = !xdg_data_home.isEmpty() && QDir::isAbsolutePath(xdg_data_home)
                           ? xdg_data_home
                           : home + QStringLiteral("/.local/share");
  return QDir::cleanPath(base + QStringLiteral("/lumisto"));
}

void SeedUserDataFolder(const QString& shipped, const QString& user) {
  if (!QDir().mkpath(user)) CannotWrite(user);
  const QDir target(user);
  const QString config = target.filePath(QStringLiteral("Config.ini"));
  const QString shipped_config = QDir(shipped).filePath(QStringLiteral("Config.ini"));
  if (!QFileInfo::exists(config) && QFileInfo::exists(shipped_config)) {
    const QString part = config + QStringLiteral(".part");
    QFile::remove(part);
    if (!QFile::copy(shipped_config, part)) CannotWrite(config);
    QFile::setPermissions(part, QFile::permissions(part) | QFile::WriteOwner | QFile::ReadOwner);
    if (!QFile::rename(part, config)) CannotWrite(config);
  }
  const QString data = target.filePath(QStringLiteral("DATA"));
  const QString shipped_data = QDir(shipped).filePath(QStringLiteral("DATA"));
  if (!QFileInfo::exists(data) && QFileInfo(shipped_data).isDir()) {
    const QString part = data + QStringLiteral(".part");
    QDir(part).removeRecursively();  // left by an interrupted first start
    // The templates stay in the installation, which is read in place: the user's folder gets the
    // category folders for the user's own and edited templates.
    CopyTree(shipped_data, part, QStringLiteral("Mask"));
    if (!QDir().rename(part, data)) CannotWrite(data);
  }
}

DataFolders ResolveDataFolders(const QString& home_option, const QString& home_environment,
                               const QString& executable_folder, const QString& xdg_data_home,
                               const QString& home) {
  const QString exe = QDir::cleanPath(QDir(executable_folder).absolutePath());
  if (!home_option.isEmpty() || !home_environment.isEmpty()) {
    const QString folder = ResolveAppFolder(home_option, home_environment, exe);
    return {folder, folder};
  }
  if (!IsInstalledFolder(exe)) return {exe, exe};
  return {UserDataFolder(xdg_data_home, home), exe};
}
