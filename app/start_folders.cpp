// Checks of the photo folder and the template category folders at start.
#include "app/start_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "base/folder_listing.h"

QString StartFolderProblem(const Config& config) {
  const QString photos = QDir::toNativeSeparators(config.PhotoFolder());
  const QFileInfo photo_folder(config.PhotoFolder());
  QStringList problems;
  if (!photo_folder.exists())
    problems << QStringLiteral("The photo folder %1 does not exist").arg(photos);
  else if (!photo_folder.isDir())
    problems << QStringLiteral("The photo folder %1 is not a folder").arg(photos);
  for (const TemplateCategory category :
       {TemplateCategory::Texture, TemplateCategory::Color, TemplateCategory::Cool}) {
    // A category the configuration does not name has no folder to miss.
    const QString name = config.TemplateFolderName(category);
    if (name.isEmpty() || name == QLatin1String("0")) continue;
    const QString folder = config.TemplateFolder(category);
    const QString shipped = config.ShippedTemplateFolder(category);
    const QString shown = QDir::toNativeSeparators(QDir::cleanPath(folder));
    // Installed, the category's templates may all be the installation's.
    if (!QFileInfo(folder).isDir() && (shipped.isEmpty() || !QFileInfo(shipped).isDir()))
      problems << QStringLiteral("The template folder %1 does not exist").arg(shown);
    else if (category == TemplateCategory::Texture && ListPictures(folder).isEmpty() &&
             (shipped.isEmpty() || ListPictures(shipped).isEmpty()))
      problems << QStringLiteral("The template folder %1 holds no templates").arg(shown);
  }
  return problems.join(u'\n');
}
