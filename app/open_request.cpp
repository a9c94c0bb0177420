// Turning command-line paths into the folder and photos the window opens.
#include "app/open_request.h"

#include <QDir>
#include <QFileInfo>

#include "base/folder_listing.h"

std::optional<OpenRequest> OpenRequestFor(const QStringList& args, const QString& working_folder) {
  if (args.isEmpty()) return std::nullopt;
  OpenRequest request;
  QStringList photos;
  for (const QString& arg : args) {
    if (arg.isEmpty()) return std::nullopt;
    const QFileInfo info(QDir(working_folder), arg);
    if (info.isDir()) {
      if (request.folder.isEmpty()) request.folder = QDir::cleanPath(info.absoluteFilePath());
    } else if (info.isFile() && IsPhotoFileName(info.fileName())) {
      photos.append(QDir::cleanPath(info.absoluteFilePath()));
    } else {
      return std::nullopt;
    }
  }
  if (request.folder.isEmpty()) request.folder = QFileInfo(photos.first()).absolutePath();
  for (const QString& photo : photos)
    if (QFileInfo(photo).absolutePath() == request.folder && !request.photos.contains(photo))
      request.photos.append(photo);
  return request;
}

QByteArray EncodeOpenRequest(const OpenRequest& request) {
  // One path a line, the folder first; paths never hold a line break we could not carry, since
  // OpenRequestFor found them on disk (a name with a line break is refused below on decoding).
  QStringList lines{QStringLiteral("lumisto-open 1"), request.folder};
  lines += request.photos;
  return lines.join(u'\n').toUtf8();
}

std::optional<OpenRequest> DecodeOpenRequest(const QByteArray& message) {
  const QStringList lines = QString::fromUtf8(message).split(u'\n');
  if (lines.size() < 2 || lines[0] != QLatin1String("lumisto-open 1")) return std::nullopt;
  OpenRequest request;
  request.folder = lines[1];
  request.photos = lines.mid(2);
  for (const QString& path : std::as_const(request.photos))
    if (path.isEmpty() || request.folder.isEmpty() || QFileInfo(path).absolutePath() != request.folder)
      return std::nullopt;
  return request;
}
