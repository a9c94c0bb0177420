// A template's settings file and preview picture.
#include "styles/template_files.h"

#include <QDir>
#include <QFileInfo>

#include "base/lumisto_error.h"
#include "imaging/image_io.h"
#include "styles/template_library.h"

void WriteTemplatePicture(const QString& settings_path, const QImage& picture) {
  const QString path = TemplatePicturePath(settings_path);
  QString error;
  if (!EncodeImage(picture, path, QStringLiteral("image/bmp"), 100, &error))
    throw LumistoError(QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(path)));
}

void WriteTemplateFiles(const QString& settings_path, const FrameStyle& style, const QImage& picture) {
  WriteFrameStyle(settings_path, style);
  WriteTemplatePicture(settings_path, picture);
}

QString NewTemplateSettingsPath(const QString& folder, const QString& name) {
  const QString dir = folder.endsWith(u'/') ? folder : folder + u'/';
  return dir + name + QStringLiteral(".ini");
}

NewTemplateProblem CheckNewTemplateName(const QString& folder, const QString& name) {
  if (name.trimmed().isEmpty()) return NewTemplateProblem::kEmptyName;
  if (name == QLatin1String(".") || name == QLatin1String("..") || name.contains(u'/') ||
      name.contains(u'\\') || name.contains(QChar(0)))
    return NewTemplateProblem::kUnsafeName;
  // The grid lists pictures whatever the case of their extension, so Name.JPG is Name's picture too.
  const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
  for (const QFileInfo& file : files) {
    if (file.completeBaseName() != name) continue;
    const QString suffix = file.suffix().toLower();
    if (suffix == QLatin1String("ini") || suffix == QLatin1String("jpg") || suffix == QLatin1String("bmp") ||
        suffix == QLatin1String("png") || suffix == QLatin1String("gif"))
      return NewTemplateProblem::kAlreadyExists;
  }
  return NewTemplateProblem::kNone;
}
