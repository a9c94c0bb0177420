// Test helpers.
#include "support/test_support.h"

#include "imaging/image_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <cstdlib>

namespace testing_support {

namespace {
// The program sets the readers' limits in main; every test program does it before its own main.
[[maybe_unused]] const bool kReaderLimitsSet = (SetImageReaderLimits(), true);
}  // namespace

const TextureList& ShippedTextures() {
  static const TextureList list = TextureList::LoadShipped();
  return list;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ImageDifference CompareImages(const QImage& a, const QImage& b) {
  ImageDifference d;
  if (a.size() != b.size()) {
    d.same_size = false;
    return d;
  }
  const QImage xp = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QImage yp = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QImage x = a.convertToFormat(QImage::Format_ARGB32);
  const QImage y = b.convertToFormat(QImage::Format_ARGB32);
  double total = 0;
  for (int row = 0; row < x.height(); ++row) {
    const auto* pp = reinterpret_cast<const QRgb*>(xp.constScanLine(row));
    const auto* qp = reinterpret_cast<const QRgb*>(yp.constScanLine(row));
    const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
    const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
    for (int col = 0; col < x.width(); ++col) {
      if (d.first.isEmpty() && pp[col] != qp[col]) {
        d.first = QStringLiteral("(%1, %2): %3 against %4")
                      .arg(col)
                      .arg(row)
                      .arg(pp[col], 8, 16)
                      .arg(qp[col], 8, 16);
      }
      const int red = std::abs(qRed(p[col]) - qRed(q[col]));
      const int green = std::abs(qGreen(p[col]) - qGreen(q[col]));
      const int blue = std::abs(qBlue(p[col]) - qBlue(q[col]));
      d.max_channel = std::max({d.max_channel, std::abs(qAlpha(p[col]) - qAlpha(q[col])), red, green, blue});
      total += red + green + blue;
    }
  }
  if (!x.isNull() && x.width() * x.height() > 0) d.mean_rgb = total / (3.0 * x.width() * x.height());
  return d;
}

ProcessResult RunLumisto(const QStringList& args, const QProcessEnvironment& env, int timeout_ms) {
  QProcess process;
  process.setProcessEnvironment(env);
  process.start(QStringLiteral(LUMISTO_EXE), args);
  ProcessResult result;
  if (!process.waitForFinished(timeout_ms)) {
    process.kill();
    process.waitForFinished();
    return result;
  }
  result.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  result.out = process.readAllStandardOutput();
  result.err = process.readAllStandardError();
  return result;
}

}  // namespace testing_support
