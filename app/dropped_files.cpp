// Sorting and importing what is dropped on the window.
#include "app/dropped_files.h"

#include <QFileInfo>
#include <algorithm>

#include "base/lumisto_error.h"
#include "compose/style_thumbnail.h"
#include "styles/frame_style.h"
#include "styles/template_files.h"

QStringList DroppedLocalPaths(const QList<QUrl>& urls) {
  QStringList paths;
  for (const QUrl& url : urls)
    if (url.isLocalFile()) paths.append(url.toLocalFile());
  return paths;
}

bool AllTemplateSettingsFiles(const QStringList& paths) {
  return !paths.isEmpty() && std::all_of(paths.cbegin(), paths.cend(), [](const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("ini"), Qt::CaseInsensitive) == 0 &&
           QFileInfo(path).isFile();
  });
}

QString ImportedTemplatePath(const QString& dropped, const QString& category_folder) {
  return NewTemplateSettingsPath(category_folder, QFileInfo(dropped).completeBaseName());
}

void ImportTemplate(const QString& dropped, const QString& category_folder, const TextureList& textures) {
  const QString name = QFileInfo(dropped).completeBaseName();
  if (CheckNewTemplateName(category_folder, name) == NewTemplateProblem::kUnsafeName ||
      CheckNewTemplateName(category_folder, name) == NewTemplateProblem::kEmptyName)
    throw LumistoError(QStringLiteral("%1 cannot be a template name").arg(QFileInfo(dropped).fileName()));
  // Read whole before anything is written: a file that does not read changes nothing.
  FrameStyle style;
  ReadFrameStyle(dropped, style);
  const QString target = ImportedTemplatePath(dropped, category_folder);
  // A template replaced gets all 33 frame keys anew, each file written whole or not at all.
  WriteTemplateFiles(target, style, RenderStyleThumbnail(style, textures));
}
