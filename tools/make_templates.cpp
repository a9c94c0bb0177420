// Generator of the shipped template library: settings files and preview pictures from definitions.
//
// Usage: make_templates DEFINITIONS ASSETS_DIR
// Each category named in DEFINITIONS (tools/templates.txt) becomes ASSETS_DIR/DATA/Mask/<Category>/, which
// the generator owns: its old pictures and settings files are removed, then every template is written as
// <Name>.ini (the Frames section) and <Name>.jpg (the 70 x 70 preview picture).
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStringList>

#include <cstdio>

#include "base/lumisto_error.h"
#include "imaging/image_io.h"
#include "styles/frame_style.h"
#include "tools/template_definitions.h"

namespace {

void ClearCategoryFolder(QDir folder) {
  const QStringList generated = {QStringLiteral("*.ini"), QStringLiteral("*.jpg"), QStringLiteral("*.bmp"),
                                 QStringLiteral("*.png"), QStringLiteral("*.gif"), QStringLiteral("*.lmz"),
                                 QStringLiteral(".keep")};
  const QStringList old = folder.entryList(generated, QDir::Files | QDir::Hidden);
  for (const QString& name : old)
    if (!folder.remove(name))
      throw LumistoError(QStringLiteral("cannot remove %1").arg(folder.filePath(name)));
}

void Generate(const QString& definitions_path, const QString& assets) {
  QFile file(definitions_path);
  if (!file.open(QIODevice::ReadOnly))
    throw LumistoError(QStringLiteral("cannot read %1").arg(definitions_path));
  const QList<TemplateDefinition> definitions =
      ParseTemplateDefinitions(QString::fromUtf8(file.readAll()), QFileInfo(definitions_path).fileName());

  QStringList categories;
  for (const TemplateDefinition& definition : definitions)
    if (!categories.contains(definition.category)) categories.append(definition.category);
  for (const QString& category : categories) {
    const QString path = assets + QStringLiteral("/DATA/Mask/") + category;
    if (!QDir().mkpath(path)) throw LumistoError(QStringLiteral("cannot create %1").arg(path));
    ClearCategoryFolder(QDir(path));
  }

  for (const TemplateDefinition& definition : definitions) {
    const QString base =
        assets + QStringLiteral("/DATA/Mask/") + definition.category + u'/' + definition.name;
    WriteFrameStyle(base + QStringLiteral(".ini"), definition.style);
    QString error;
    if (!EncodeImage(RenderTemplatePreview(definition.style), base + QStringLiteral(".jpg"),
                     QStringLiteral("image/jpeg"), kTemplatePreviewQuality, &error))
      throw LumistoError(error);
  }
  std::printf("make_templates: %lld templates in %lld categories\n",
              static_cast<long long>(definitions.size()), static_cast<long long>(categories.size()));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);  // image format plug-ins are found through the application
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_templates DEFINITIONS ASSETS_DIR\n");
    return 2;
  }
  try {
    Generate(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
  } catch (const LumistoError& e) {
    std::fprintf(stderr, "make_templates: %s\n", e.what());
    return 1;
  }
  return 0;
}
