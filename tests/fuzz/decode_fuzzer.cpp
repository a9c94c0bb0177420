// Fuzzes decoding by content: every reader the program hands a photo to, whole and reduced.
#include <unistd.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "imaging/image_io.h"

namespace {

QString InputPath() {
  static const QString path = QStringLiteral("/tmp/lumisto-fuzz-decode-%1.img").arg(getpid());
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // Qt finds its image format plug-ins through the application object.
  static QCoreApplication app(*argc, *argv);
  SetImageReaderLimits();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QFile file(InputPath());
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
  file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  file.close();
  ReadImageSize(InputPath());
  LoadImage(InputPath());
  LoadImageAtLeast(InputPath(), QSize(40, 40));
  return 0;
}
