// Camera snapshots as JPEG files.
#include "sources/camera_snapshot.h"

#include <QDir>
#include <QFileInfo>

#include "base/lumisto_error.h"
#include "imaging/image_io.h"

namespace {

// More pictures than a camera takes in one second; past it something else fills the folder.
constexpr int kMaxSameSecond = 1000;

}  // namespace

QString SnapshotFileName(const QDateTime& when) {
  return QStringLiteral("Camera %1.jpg").arg(when.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")));
}

QString WriteSnapshot(const QImage& frame, const QString& folder, int quality, const QDateTime& when) {
  if (frame.isNull()) throw LumistoError(QStringLiteral("The camera has not delivered a picture yet"));
  if (quality < kMinSnapshotQuality || quality > kMaxSnapshotQuality)
    throw LumistoError(QStringLiteral("The snapshot quality must be 1 to 100, not %1").arg(quality));
  const QDir dir(folder);
  if (folder.isEmpty() || !QFileInfo(folder).isDir())
    throw LumistoError(QStringLiteral("The photo folder %1 does not exist; the snapshot was not saved")
                           .arg(QDir::toNativeSeparators(folder)));
  const QString name = SnapshotFileName(when);
  const QString base = name.chopped(4);
  QString path = dir.filePath(name);
  // Several snapshots within one second each keep their own file.
  for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n) {
    if (n > kMaxSameSecond)
      throw LumistoError(
          QStringLiteral("Too many snapshots named %1 in %2").arg(name, QDir::toNativeSeparators(folder)));
    path = dir.filePath(QStringLiteral("%1 (%2).jpg").arg(base).arg(n));
  }
  QString error;
  if (!EncodeImage(frame, path, QStringLiteral("image/jpeg"), quality, &error)) throw LumistoError(error);
  return path;
}
