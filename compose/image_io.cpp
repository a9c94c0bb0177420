// Placeholder decoding and encoding through Qt's readers and writers.
#include "compose/image_io.h"

#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

QSize ReadImageSize(const QString& path) {
  QImageReader reader(path);
  reader.setAutoTransform(true);
  return reader.size();
}

LoadedImage LoadImage(const QString& path) {
  LoadedImage result;
  if (!QFileInfo::exists(path)) return result;
  QImageReader reader(path);
  reader.setAutoTransform(true);
  result.image = reader.read();
  result.status = result.image.isNull() ? LoadStatus::Undecodable : LoadStatus::Ok;
  if (!result.image.isNull()) {
    result.image = result.image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    result.full_size = result.image.size();
  }
  return result;
}

LoadedImage LoadImageAtLeast(const QString& path, QSize) { return LoadImage(path); }

int FindEncoder(const QString& mime_type) {
  static const char* const kTypes[] = {"image/jpeg", "image/bmp", "image/png", "image/tiff", "image/gif"};
  for (int i = 0; i < 5; ++i)
    if (mime_type == QLatin1String(kTypes[i])) return i;
  return -1;
}

QString MimeTypeForFileName(const QString& path) {
  const QString ext = QFileInfo(path).suffix().toLower();
  if (ext == u"jpg" || ext == u"jpeg") return QStringLiteral("image/jpeg");
  if (ext == u"bmp") return QStringLiteral("image/bmp");
  if (ext == u"png") return QStringLiteral("image/png");
  if (ext == u"tif" || ext == u"tiff") return QStringLiteral("image/tiff");
  if (ext == u"gif") return QStringLiteral("image/gif");
  return QString();
}

bool EncodeImage(const QImage& image, const QString& path, const QString& mime_type, int quality,
                 QString* error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    if (error) *error = QStringLiteral("Unable to write to %1").arg(path);
    return false;
  }
  QImageWriter writer(&file, mime_type.mid(6).toLatin1());
  writer.setQuality(quality);
  if (!writer.write(image) || !file.commit()) {
    if (error) *error = QStringLiteral("Unable to write to %1").arg(path);
    return false;
  }
  return true;
}

void RotateFlip(QImage& image, int code) {
  QTransform t;
  t.rotate(90 * (code & 3));
  image = image.transformed(t);
  if (code >= 4) image = image.mirrored(true, false);
}
