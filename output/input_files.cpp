// Recognising the files the current edits read.
#include "output/input_files.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include "styles/template_library.h"

bool IsSameFile(const QString& a, const QString& b) {
  if (a.isEmpty() || b.isEmpty()) return false;
  struct stat x {};
  struct stat y {};
  if (stat(QFile::encodeName(a).constData(), &x) != 0 || stat(QFile::encodeName(b).constData(), &y) != 0)
    return false;
  return x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

InputKind InputAt(const EditState& edit, const QString& path) {
  if (IsSameFile(path, edit.photo_path)) return InputKind::Photo;
  if (edit.template_path.isEmpty()) return InputKind::None;
  if (IsSameFile(path, edit.template_path)) return InputKind::TemplatePicture;
  if (IsSameFile(path, TemplateSettingsPath(edit.template_path))) return InputKind::TemplateSettings;
  return InputKind::None;
}

QString ReplaceInputQuestion(InputKind kind) {
  switch (kind) {
    case InputKind::Photo:
      return QStringLiteral(
          "This is the photo being framed. Replace the original photo with the framed picture?");
    case InputKind::TemplatePicture:
      return QStringLiteral(
          "This is the picture of the template in use. Replace the template's picture with the framed "
          "picture?");
    case InputKind::TemplateSettings:
      return QStringLiteral(
          "This is the settings file of the template in use. Replace the template's settings with the "
          "framed picture?");
    case InputKind::None:
      break;
  }
  return QString();
}

QString ReplaceFileQuestion(const QString& path) {
  return QStringLiteral("%1 already exists. Replace it?").arg(QFileInfo(path).fileName());
}
