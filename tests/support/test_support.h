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
