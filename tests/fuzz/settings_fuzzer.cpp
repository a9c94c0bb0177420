// Fuzzes the settings-file reader and the frame-style reader with arbitrary file contents.
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>

#include "base/ini_file.h"
#include "base/lumisto_error.h"
#include "styles/frame_style.h"

namespace {

// One file per process, rewritten for every input.
QString InputPath() {
  static const QString path = QStringLiteral("/tmp/lumisto-fuzz-settings-%1.ini").arg(getpid());
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  QFile file(InputPath());
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
  file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  file.close();
  try {
    FrameStyle style;
    ReadFrameStyle(InputPath(), style);
    const IniFile ini = IniFile::Load(InputPath());
    ini.Value(QStringLiteral("Photo"), QStringLiteral("Template"), QString());
  } catch (const LumistoError&) {
    // A refused file is an answer, not a finding.
  }
  return 0;
}
