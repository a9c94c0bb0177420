// Checks of the photo folder and the template category folders at start.
#include "app/start_folders.h"

#include <QDir>
#include <QFileInfo>

#include "base/folder_listing.h"

QString StartFolderProblem(const Config& config) {
  const QString photos = QDir::toNativeSeparators(config.PhotoFolder());
  const QFileInfo photo_folder(config.PhotoFolder());
  if (!photo_folder.exists()) return QStringLiteral("The photo folder %1 does not exist").arg(photos);
  if (!photo_folder.isDir()) return QStringLiteral("The photo folder %1 is not a folder").arg(photos);
  for (const TemplateCategory category :
       {TemplateCategory::Texture, TemplateCategory::Color, TemplateCategory::Cool}) {
    const QString folder = config.TemplateFolder(category);
    const QString shown = QDir::toNativeSeparators(QDir::cleanPath(folder));
    if (!QFileInfo(folder).isDir()) return QStringLiteral("The template folder %1 does not exist").arg(shown);
    if (ListPictures(folder).isEmpty())
      return QStringLiteral("The template folder %1 holds no templates").arg(shown);
  }
  return QString();
}
