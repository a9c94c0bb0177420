// Full-size rendering into a file.
#include "compose/render_to_file.h"

#include <QFileInfo>

#include "app/lumisto_error.h"
#include "compose/image_buffer.h"
#include "compose/image_io.h"
#include "compose/render_composite.h"

QString TemplateSettingsPath(const QString& template_path) {
  const QFileInfo info(template_path);
  if (info.suffix().compare(QLatin1String("ini"), Qt::CaseInsensitive) == 0) return template_path;
  return info.path() + u'/' + info.completeBaseName() + QStringLiteral(".ini");
}

void RenderToFile(const RenderRequest& request) {
  const QString mime = MimeTypeForFileName(request.output_path);
  if (FindEncoder(mime) < 0)
    throw LumistoError(QStringLiteral("%1: unknown picture type (use .jpg, .png, .bmp, .tif or .gif)")
                           .arg(request.output_path));
  const LoadedImage photo = LoadImage(request.photo_path);
  switch (photo.status) {
    case LoadStatus::Ok:
      break;
    case LoadStatus::Missing:
      throw LumistoError(QStringLiteral("%1: no such photo").arg(request.photo_path));
    case LoadStatus::TooLarge:
      throw LumistoError(QStringLiteral("%1: the photo is too large to open").arg(request.photo_path));
    case LoadStatus::Undecodable:
      throw LumistoError(QStringLiteral("%1: not a picture this program can read").arg(request.photo_path));
  }
  QImage composite = NewImage(photo.image.width(), photo.image.height());
  if (composite.isNull())
    throw LumistoError(QStringLiteral("%1: not enough memory to render the photo").arg(request.photo_path));
  RenderComposite(photo.image, composite, request.style, request.tone);
  QString error;
  if (!EncodeImage(composite, request.output_path, mime, request.quality, &error)) throw LumistoError(error);
}
