// Helpers shared by the tests: files, images, and running the real executable.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include "styles/texture_list.h"

namespace testing_support {

// Writes bytes to path (creating folders); QFAILs are the caller's business, this returns success.
bool WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

// The shipped texture tiles, cut once for the whole test program.
const TextureList& ShippedTextures();

// An opaque RGB32 picture of one colour, by default the size of a camera frame.
inline QImage SolidFrame(QRgb colour, QSize size = QSize(640, 480)) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

// The pixel with its alpha dropped, for comparing RGB32 words with qRgb values.
inline QRgb Opaque(QRgb pixel) { return qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel)); }

// Whether two pixels' red, green and blue each differ by at most tolerance.
inline bool Near(QRgb a, QRgb b, int tolerance) {
  return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance &&
         qAbs(qBlue(a) - qBlue(b)) <= tolerance;
}

// How two images differ: one pass over both.
struct ImageDifference {
  bool same_size = true;
  int max_channel = 0;    // the largest difference of any channel, unpremultiplied ARGB
  double mean_rgb = 0.0;  // the mean difference of the red, green and blue channels
  QString first;          // the first pixel whose premultiplied words differ, or empty
};
ImageDifference CompareImages(const QImage& a, const QImage& b);

// The largest difference of any channel between two images of equal size (ARGB32, unpremultiplied);
// -1 when the sizes differ.
inline int MaxChannelDifference(const QImage& a, const QImage& b) {
  const ImageDifference d = CompareImages(a, b);
  return d.same_size ? d.max_channel : -1;
}
// The first pixel where two images differ (premultiplied words compared exactly), or an empty string.
inline QString FirstDifference(const QImage& a, const QImage& b) {
  const ImageDifference d = CompareImages(a, b);
  return d.same_size ? d.first : QStringLiteral("sizes differ");
}

// jpeg (a whole JPEG file) with an EXIF block inserted after its SOI, as cameras write it: IFD0
// holds the orientation (1..8; 0 leaves the entry out), IFD1 points at thumbnail (a JPEG file's bytes).
QByteArray WithExifThumbnail(const QByteArray& jpeg, const QByteArray& thumbnail, int orientation,
                             bool big_endian = false);
// image encoded as a JPEG at quality 90.
QByteArray JpegBytes(const QImage& image);

struct ProcessResult {
  int exit_code = -1;
  QByteArray out;
  QByteArray err;
};

// Runs the built lumisto executable with args and waits for it.
ProcessResult RunLumisto(const QStringList& args,
                         const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                         int timeout_ms = 120000);

}  // namespace testing_support
