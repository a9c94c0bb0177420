// Template folder scan, settings-file names and deletion.
#include "styles/template_library.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

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

namespace {

QList<ListRow> RowsOf(const QList<ListedPicture>& pictures) {
  QList<ListRow> rows;
  rows.reserve(pictures.size());
  for (const ListedPicture& picture : pictures)
    rows.append(
        {picture.path, TemplateCaption(picture.file_name, picture.group), ReadImageSize(picture.path)});
  return rows;
}

}  // namespace

QList<ListRow> ScanTemplateFolder(const QString& folder) { return RowsOf(ListPictures(folder)); }

QList<ListRow> ScanTemplateFolders(const QString& user, const QString& shipped) {
  QList<ListedPicture> pictures = ListPictures(user);
  if (shipped.isEmpty()) return RowsOf(pictures);
  // One settings file is one template, whatever its picture's type.
  const auto settings_name = [](const ListedPicture& picture) {
    return QFileInfo(TemplateSettingsPath(picture.path)).fileName();
  };
  QSet<QString> own;
  for (const ListedPicture& picture : pictures) own.insert(settings_name(picture));
  for (const ListedPicture& picture : ListPictures(shipped))
    if (!own.contains(settings_name(picture))) pictures.append(picture);
  std::stable_sort(pictures.begin(), pictures.end(), [](const ListedPicture& x, const ListedPicture& y) {
    if (x.group != y.group) return x.group < y.group;
    return NaturalLess(x.file_name, y.file_name);
  });
  return RowsOf(pictures);
}

void DeleteTemplateFiles(const QString& picture_path) {
  RemoveFile(picture_path);
  RemoveFile(WithExtension(picture_path, QLatin1String(".lmz")));
  RemoveFile(TemplateSettingsPath(picture_path));
}
