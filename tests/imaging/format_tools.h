// Sample files made by each format's own command-line tool (heif-enc, avifenc, cwebp, img2webp,
// cjxl, exiftool, tificc): the tests never build them with the code under test.
#pragma once

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtEndian>

namespace format_tools {

// Runs a tool and waits for it; true when it exited with 0. Its output is kept for a failure message.
inline bool RunTool(const QString& program, const QStringList& args, QString* output = nullptr) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, args);
  if (!process.waitForFinished(60000)) {
    process.kill();
    process.waitForFinished();
    return false;
  }
  if (output != nullptr) *output = QString::fromLocal8Bit(process.readAll());
  return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Saves image as a PNG in folder under name and returns the path (empty on failure).
inline QString SavePng(const QImage& image, const QString& folder, const QString& name) {
  const QString path = QDir(folder).filePath(name);
  return image.save(path, "png") ? path : QString();
}

// A picture of flat 32 x 32 patches, six colours in two rows (96 x 64), opaque: lossy codecs keep
// each patch's centre within a few levels.
inline QImage Patches() {
  static const QRgb colours[6] = {qRgb(200, 40, 30),  qRgb(40, 170, 60),   qRgb(30, 60, 190),
                                  qRgb(230, 220, 90), qRgb(120, 120, 120), qRgb(20, 20, 20)};
  QImage image(96, 64, QImage::Format_RGB32);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 96; ++x) image.setPixel(x, y, colours[(y / 32) * 3 + x / 32]);
  return image;
}

// The largest channel difference between the patch centres (8 x 8 middles) of image and Patches().
inline int PatchError(const QImage& image) {
  const QImage expected = Patches();
  if (image.size() != expected.size()) return 1000;
  int worst = 0;
  for (int patch = 0; patch < 6; ++patch) {
    const int x0 = (patch % 3) * 32 + 12, y0 = (patch / 3) * 32 + 12;
    for (int y = y0; y < y0 + 8; ++y)
      for (int x = x0; x < x0 + 8; ++x) {
        const QRgb a = image.pixel(x, y), b = expected.pixel(x, y);
        worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                          std::abs(qBlue(a) - qBlue(b))});
      }
  }
  return worst;
}

// image as a PNG file's bytes, written by Qt.
inline QByteArray PngBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "png");
  return bytes;
}

// png with a chunk of that type and data inserted after its header chunk, CRC and all.
inline QByteArray PngWithChunk(const QByteArray& png, const char* type, const QByteArray& data) {
  quint32 table[256];
  for (quint32 n = 0; n < 256; ++n) {
    quint32 c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  QByteArray chunk = QByteArray(type, 4) + data;
  quint32 crc = 0xFFFFFFFFu;
  for (const char byte : chunk) crc = table[(crc ^ quint8(byte)) & 0xFF] ^ (crc >> 8);
  crc ^= 0xFFFFFFFFu;
  QByteArray whole(4, '\0');
  qToBigEndian(quint32(data.size()), whole.data());
  whole += chunk;
  QByteArray crc_bytes(4, '\0');
  qToBigEndian(crc, crc_bytes.data());
  whole += crc_bytes;
  QByteArray result = png;
  result.insert(8 + 25, whole);  // the signature, then IHDR's 25 bytes
  return result;
}

}  // namespace format_tools
