// Template folder scan, settings-file names and deletion.
#include "styles/template_library.h"

#include <QFile>

#include "base/output_file.h"
#include "imaging/image_io.h"

namespace {

QString WithExtension(const QString& path, QLatin1String extension) {
  const qsizetype dot = path.lastIndexOf(u'.');
  const qsizetype slash = path.lastIndexOf(u'/');
  // A dot inside a folder name is not an extension.
  return (dot > slash ? path.left(dot) : path) + extension;
}

}  // namespace

QString TemplateCaption(const QString& file_name, PictureGroup group) {
  if (group != PictureGroup::Jpg) return file_name;
  return file_name.left(file_name.size() - 4) + u' ';
}

QString TemplateSettingsPath(const QString& picture_path) {
  return WithExtension(picture_path, QLatin1String(".ini"));
}

QString TemplatePicturePath(const QString& settings_path) {
  return WithExtension(settings_path, QLatin1String(".jpg"));
}

QList<ListRow> ScanTemplateFolder(const QString& folder) {
  QList<ListRow> rows;
  const QList<ListedPicture> pictures = ListPictures(folder);
  rows.reserve(pictures.size());
  for (const ListedPicture& picture : pictures)
    rows.append(
        {picture.path, TemplateCaption(picture.file_name, picture.group), ReadImageSize(picture.path)});
  return rows;
}

void DeleteTemplateFiles(const QString& picture_path) {
  RemoveFile(picture_path);
  RemoveFile(WithExtension(picture_path, QLatin1String(".lmz")));
  RemoveFile(TemplateSettingsPath(picture_path));
}
