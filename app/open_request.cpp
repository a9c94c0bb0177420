// Turning command-line paths into the folder or the selection the window opens.
#include "app/open_request.h"

#include <QDir>
#include <QFileInfo>

#include "base/folder_listing.h"
#include "imaging/image_io.h"
#include "output/render_arguments.h"

namespace {

// A word that a user who meant a file would not type: no folder separator and no extension.
bool LooksLikeAPath(const QString& arg) { return arg.contains(u'/') || arg.contains(u'.'); }

OpenArguments Failed(OpenArguments::Outcome outcome, const QString& message) {
  OpenArguments result;
  result.outcome = outcome;
  result.message = message;
  return result;
}

}  // namespace

OpenArguments ReadOpenArguments(const QStringList& args, const QString& working_folder) {
  if (args.isEmpty()) return Failed(OpenArguments::Outcome::Failure, QStringLiteral("nothing to open"));
  OpenArguments result;
  QString folder;
  QStringList photos;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& arg = args[i];
    const QFileInfo info(QDir(working_folder), arg);
    if (arg.isEmpty() || !info.exists()) {
      if (i == 0 && !LooksLikeAPath(arg))
        return Failed(OpenArguments::Outcome::UnknownCommand,
                      QStringLiteral("unknown command '%1'").arg(Echo(arg)));
      return Failed(OpenArguments::Outcome::Failure, QStringLiteral("no such file: %1").arg(Echo(arg)));
    }
    const QString path = QDir::cleanPath(info.absoluteFilePath());
    if (info.isDir()) {
      if (folder.isEmpty()) folder = path;
    } else if (ReadImageSize(path).isValid()) {
      // Decoded by content: a TIFF named .tif, a JPEG named .jpeg or .JPG, a PNG without extension.
      if (!photos.contains(path)) photos.append(path);
    } else {
      result.warnings.append(QStringLiteral("not a photo: %1").arg(Echo(arg)));
    }
  }
  if (folder.isEmpty() && photos.isEmpty()) {
    result.outcome = OpenArguments::Outcome::Failure;
    result.message = QStringLiteral("nothing to open");
    return result;
  }
  const auto listed_in = [](const QString& photo, const QString& in_folder) {
    return QFileInfo(photo).absolutePath() == in_folder && IsPhotoFileName(QFileInfo(photo).fileName());
  };
  OpenRequest& request = result.request;
  if (!folder.isEmpty()) {
    request.folder = folder;
    for (const QString& photo : std::as_const(photos))
      if (listed_in(photo, folder)) request.photos.append(photo);
    return result;
  }
  const QString first_folder = QFileInfo(photos.first()).absolutePath();
  const bool one_folder = std::all_of(photos.cbegin(), photos.cend(),
                                      [&](const QString& photo) { return listed_in(photo, first_folder); });
  if (one_folder) request.folder = first_folder;
  request.selection = !one_folder;
  request.photos = photos;
  return result;
}

std::optional<OpenRequest> OpenRequestFor(const QStringList& args, const QString& working_folder) {
  const OpenArguments read = ReadOpenArguments(args, working_folder);
  if (read.outcome != OpenArguments::Outcome::Open) return std::nullopt;
  return read.request;
}

QByteArray EncodeOpenRequest(const OpenRequest& request) {
  // One path a line: the kind, the folder (empty for a selection), then the photos. Paths never
  // hold a line break we could not carry: a name with one is refused below on decoding.
  QStringList lines{QStringLiteral("lumisto-open 2"),
                    request.selection ? QStringLiteral("selection") : QStringLiteral("folder"),
                    request.folder};
  lines += request.photos;
  return lines.join(u'\n').toUtf8();
}

std::optional<OpenRequest> DecodeOpenRequest(const QByteArray& message) {
  const QStringList lines = QString::fromUtf8(message).split(u'\n');
  if (lines.size() < 3 || lines[0] != QLatin1String("lumisto-open 2")) return std::nullopt;
  OpenRequest request;
  if (lines[1] == QLatin1String("selection"))
    request.selection = true;
  else if (lines[1] != QLatin1String("folder"))
    return std::nullopt;
  request.folder = lines[2];
  request.photos = lines.mid(3);
  if (request.selection && (!request.folder.isEmpty() || request.photos.isEmpty())) return std::nullopt;
  for (const QString& path : std::as_const(request.photos)) {
    if (path.isEmpty() || !QFileInfo(path).isAbsolute()) return std::nullopt;
    if (!request.selection && (request.folder.isEmpty() || QFileInfo(path).absolutePath() != request.folder))
      return std::nullopt;
  }
  return request;
}
