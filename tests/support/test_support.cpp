// Test helpers.
#include "support/test_support.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>
#include <algorithm>
#include <cstdlib>

#include "imaging/image_io.h"

namespace testing_support {

QByteArray WithExifThumbnail(const QByteArray& jpeg, const QByteArray& thumbnail, int orientation,
                             bool big_endian) {
  const int ifd0_entries = orientation > 0 ? 1 : 0;
  const int ifd0 = 8;
  const int ifd1 = ifd0 + 2 + 12 * ifd0_entries + 4;
  const int data = ifd1 + 2 + 2 * 12 + 4;
  QByteArray tiff(data, '\0');
  const auto put16 = [&](int at, quint16 v) {
    big_endian ? qToBigEndian(v, tiff.data() + at) : qToLittleEndian(v, tiff.data() + at);
  };
  const auto put32 = [&](int at, quint32 v) {
    big_endian ? qToBigEndian(v, tiff.data() + at) : qToLittleEndian(v, tiff.data() + at);
  };
  const auto entry = [&](int at, quint16 tag, quint16 type, quint32 value) {
    put16(at, tag);
    put16(at + 2, type);
    put32(at + 4, 1);
    if (type == 3) {
      put16(at + 8, quint16(value));
    } else {
      put32(at + 8, value);
    }
  };
  tiff[0] = tiff[1] = big_endian ? 'M' : 'I';
  put16(2, 42);
  put32(4, ifd0);
  put16(ifd0, quint16(ifd0_entries));
  if (ifd0_entries > 0) entry(ifd0 + 2, 0x0112, 3, quint32(orientation));
  put32(ifd1 - 4, quint32(ifd1));
  put16(ifd1, 2);
  entry(ifd1 + 2, 0x0201, 4, quint32(data));
  entry(ifd1 + 14, 0x0202, 4, quint32(thumbnail.size()));
  put32(ifd1 + 26, 0);
  tiff.append(thumbnail);
  const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
  QByteArray segment("\xFF\xE1", 2);
  segment.append(char((payload.size() + 2) >> 8)).append(char((payload.size() + 2) & 0xFF)).append(payload);
  return jpeg.left(2) + segment + jpeg.mid(2);
}

QByteArray JpegBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPEG", 90);
  return bytes;
}

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
