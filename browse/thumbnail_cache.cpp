// Reading and writing the shared thumbnail cache.
#include "browse/thumbnail_cache.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageWriter>
#include <QTemporaryFile>
#include <QUrl>
#include <algorithm>
#include <array>
#include <cstdio>

#include "imaging/image_io.h"

namespace {

const char* const kUriKey = "Thumb::URI";
const char* const kMTimeKey = "Thumb::MTime";
const char* const kSizeKey = "Thumb::Size";

void AppendBigEndian(QByteArray& out, std::uint32_t value) {
  out.append(static_cast<char>(value >> 24));
  out.append(static_cast<char>(value >> 16));
  out.append(static_cast<char>(value >> 8));
  out.append(static_cast<char>(value));
}

// zlib data without Qt's length prefix; qUncompress grows its buffer beyond the hint as needed.
QByteArray Inflate(const QByteArray& data) {
  QByteArray framed;
  AppendBigEndian(framed, static_cast<std::uint32_t>(data.size() * 4 + 64));
  framed.append(data);
  return qUncompress(framed);
}

std::uint32_t Crc32(const QByteArray& bytes) {
  static const auto kTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
    return table;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const char byte : bytes) crc = kTable[(crc ^ static_cast<std::uint8_t>(byte)) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

// A PNG tEXt chunk: Latin-1 keyword, a zero byte, Latin-1 text, uncompressed. Qt's writer would
// compress long texts into zTXt; the convention asks for plain text chunks.
QByteArray TextChunk(const char* key, const QString& value) {
  QByteArray body("tEXt");
  body.append(key);
  body.append('\0');
  body.append(value.toLatin1());
  QByteArray chunk;
  AppendBigEndian(chunk, static_cast<std::uint32_t>(body.size() - 4));
  chunk.append(body);
  AppendBigEndian(chunk, Crc32(body));
  return chunk;
}

qint64 ModificationTime(const QFileInfo& info) { return info.lastModified().toSecsSinceEpoch(); }

std::uint32_t ReadBigEndian(const QByteArray& bytes, qsizetype at) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData() + at);
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// The text chunks before the pixel data. Qt's reader cannot give keys that contain "::" (it
// splits its text at colons), so the chunks are read here: tEXt, zTXt, and iTXt as the desktop's
// other thumbnailers may write them.
QHash<QByteArray, QString> ReadPngTexts(const QByteArray& png) {
  QHash<QByteArray, QString> texts;
  if (!png.startsWith("\x89PNG\r\n\x1a\n")) return texts;
  qsizetype at = 8;
  while (at + 12 <= png.size()) {
    const qsizetype length = ReadBigEndian(png, at);
    const QByteArray type = png.mid(at + 4, 4);
    if (length > png.size() - at - 12 || type == "IDAT" || type == "IEND") break;
    const QByteArray body = png.mid(at + 8, length);
    at += 12 + length;
    const qsizetype zero = body.indexOf('\0');
    if (zero <= 0) continue;
    const QByteArray key = body.left(zero);
    if (type == "tEXt") {
      texts.insert(key, QString::fromLatin1(body.mid(zero + 1)));
    } else if (type == "zTXt" && body.size() > zero + 2) {
      texts.insert(key, QString::fromLatin1(Inflate(body.mid(zero + 2))));
    } else if (type == "iTXt" && body.size() > zero + 3) {
      const bool compressed = body[zero + 1] != 0;
      const qsizetype language_end = body.indexOf('\0', zero + 3);
      const qsizetype translated_end = language_end < 0 ? -1 : body.indexOf('\0', language_end + 1);
      if (translated_end < 0) continue;
      const QByteArray text = body.mid(translated_end + 1);
      texts.insert(key, QString::fromUtf8(compressed ? Inflate(text) : text));
    }
  }
  return texts;
}

}  // namespace

ThumbnailCache::ThumbnailCache(QString folder) : folder_(std::move(folder)) {}

QString ThumbnailCache::DefaultFolder() {
  QString base = qEnvironmentVariable("XDG_CACHE_HOME");
  if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + QStringLiteral("/.cache");
  return base + QStringLiteral("/thumbnails/normal");
}

QString ThumbnailCache::FileUri(const QString& path) {
  return QString::fromLatin1(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded());
}

QString ThumbnailCache::CacheFilePath(const QString& path) const {
  const QByteArray md5 = QCryptographicHash::hash(FileUri(path).toLatin1(), QCryptographicHash::Md5).toHex();
  return folder_ + u'/' + QString::fromLatin1(md5) + QStringLiteral(".png");
}

QImage ThumbnailCache::Read(const QString& path) const {
  if (folder_.isEmpty()) return QImage();
  const QFileInfo info(path);
  if (!info.exists()) return QImage();
  QFile file(CacheFilePath(path));
  if (!file.open(QIODevice::ReadOnly)) return QImage();
  const QByteArray png = file.readAll();
  const QHash<QByteArray, QString> keys = ReadPngTexts(png);
  if (keys.value(kUriKey) != FileUri(path)) return QImage();
  if (keys.value(kMTimeKey) != QString::number(ModificationTime(info))) return QImage();
  // The time has whole seconds only: a file rewritten within the second it was cached shows by its
  // size (optional in the convention, checked when the entry has it).
  if (keys.contains(kSizeKey) && keys.value(kSizeKey) != QString::number(info.size())) return QImage();
  QImage image = QImage::fromData(png, "png");
  if (image.isNull() || std::max(image.width(), image.height()) > kNormalSize) return QImage();
  return image;
}

bool ThumbnailCache::Write(const QString& path, const QImage& thumbnail, QSize original_size) const {
  if (folder_.isEmpty() || thumbnail.isNull()) return false;
  const QFileInfo info(path);
  if (!info.exists()) return false;
  const QDir dir(folder_);
  if (!dir.exists()) {
    if (!QDir().mkpath(folder_)) return false;
    // The cache may reveal what a user looked at: private folders, as the convention asks.
    QFile::setPermissions(folder_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  }

  QByteArray png;
  {
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(thumbnail)) return false;
  }
  // The signature (8 bytes) and the IHDR chunk (25 bytes) come first; the keys follow them.
  constexpr qsizetype kAfterHeader = 8 + 25;
  if (png.size() <= kAfterHeader) return false;
  QByteArray chunks = TextChunk(kUriKey, FileUri(path));
  chunks.append(TextChunk(kMTimeKey, QString::number(ModificationTime(info))));
  chunks.append(TextChunk(kSizeKey, QString::number(info.size())));
  if (original_size.isValid()) {
    chunks.append(TextChunk("Thumb::Image::Width", QString::number(original_size.width())));
    chunks.append(TextChunk("Thumb::Image::Height", QString::number(original_size.height())));
  }
  chunks.append(TextChunk("Software", QStringLiteral("Lumisto")));
  png.insert(kAfterHeader, chunks);

  // Readers must never see half a file: write a private temporary file beside the target and
  // rename it over the target in one step.
  QTemporaryFile temporary(folder_ + QStringLiteral("/lumisto-XXXXXX.png"));
  if (!temporary.open()) return false;
  if (temporary.write(png) != png.size() || !temporary.flush()) return false;
  temporary.close();
  const QString target = CacheFilePath(path);
  if (std::rename(QFile::encodeName(temporary.fileName()).constData(),
                  QFile::encodeName(target).constData()) != 0)
    return false;
  temporary.setAutoRemove(false);
  return true;
}

QImage LoadThumbnailPicture(const QString& path, const ThumbnailCache& cache) {
  QImage cached = cache.Read(path);
  if (!cached.isNull()) return cached;
  return DecodeThumbnailPicture(path, cache);
}

bool ThumbnailCacheEntry::StoreIn(const ThumbnailCache& cache) const {
  return !path.isEmpty() && cache.Write(path, thumbnail, original_size);
}

QImage DecodeThumbnailPicture(const QString& path, const ThumbnailCache& cache, ThumbnailCacheEntry* later) {
  const QSize normal(ThumbnailCache::kNormalSize, ThumbnailCache::kNormalSize);
  const QSize header_size = ReadImageSize(path);
  if (!header_size.isValid() || header_size.isEmpty()) return QImage();
  // The decoder must cover the thumbnail's longer side only.
  const QSize wanted = header_size.scaled(normal, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
  LoadedImage loaded = LoadImageAtLeast(path, wanted, ScaledDetail::Thumbnail);
  if (loaded.status != LoadStatus::Ok || loaded.image.isNull()) return QImage();
  const QSize original = loaded.full_size.isValid() ? loaded.full_size : loaded.image.size();
  if (original.width() <= ThumbnailCache::kNormalSize && original.height() <= ThumbnailCache::kNormalSize)
    return loaded.image;
  QImage thumbnail = loaded.image.scaled(normal, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  const ThumbnailCacheEntry entry{path, thumbnail, original};
  if (later != nullptr) {
    *later = entry;
  } else {
    entry.StoreIn(cache);
  }
  return thumbnail;
}
