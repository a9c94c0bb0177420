// Writing a camera snapshot into the photo folder as a JPEG.
#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>

// The snapshot quality's range, and where the slider starts.
inline constexpr int kMinSnapshotQuality = 1;
inline constexpr int kMaxSnapshotQuality = 100;
inline constexpr int kDefaultSnapshotQuality = 90;

// "Camera YYYY-MM-DD HH-MM-SS.jpg" for the moment when (local time).
QString SnapshotFileName(const QDateTime& when);

// Writes frame as a JPEG of the given quality into folder under SnapshotFileName(when), adding
// " (2)", " (3)", ... before the extension while that name is taken: an earlier picture is never
// overwritten. The file appears whole or not at all. Returns its full path. Throws LumistoError
// when the frame is empty, the quality lies outside 1..100, the folder is missing, or the write
// fails.
QString WriteSnapshot(const QImage& frame, const QString& folder, int quality, const QDateTime& when);
