// Decoding limits: files cut short in every format, headers that promise more than their data
// holds, and paths that are not regular files.
#include <sys/stat.h>

#include <QBuffer>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "imaging/cmyk_jpeg.h"
#include "imaging/gif_writer.h"
#include "imaging/image_io.h"
#include "support/test_support.h"

Q_DECLARE_METATYPE(LoadStatus)

using testing_support::WriteFile;

namespace {

// Noise compresses badly, so the pixel data fills most of the file and a cut lands inside it.
QImage Noise(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  QRandomGenerator random(7);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, random.generate() | 0xFF000000u);
  return image;
}

QByteArray Encoded(const QImage& image, const char* format, bool progressive = false) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  writer.setProgressiveScanWrite(progressive);
  writer.write(image);
  return bytes;
}

// Qt reads GIF but does not write it: the program's own encoder makes the file.
QByteArray OurGif(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  WriteGif(image, buffer);
  return bytes;
}

QByteArray CmykJpeg(int width, int height) {
  QByteArray cmyk(width * height * 4, '\0');
  QRandomGenerator random(3);
  for (char& c : cmyk) c = static_cast<char>(random.bounded(256));
  return testing_support::CmykJpeg(cmyk, width, height);
}

// A baseline frame header declaring width x height, one scan header and the end marker: no data.
QByteArray EmptyJpeg(int width, int height) {
  QByteArray bytes("\xFF\xD8", 2);
  // Quantisation table 0, all ones.
  bytes.append("\xFF\xDB\x00\x43\x00", 5).append(QByteArray(64, '\x01'));
  bytes.append("\xFF\xC0\x00\x0B\x08", 5);
  bytes.append(char(height >> 8))
      .append(char(height & 0xFF))
      .append(char(width >> 8))
      .append(char(width & 0xFF));
  bytes.append("\x01\x01\x11\x00", 4);
  // Huffman tables: DC 0 and AC 0 with one one-bit code each.
  bytes.append("\xFF\xC4\x00\x14\x00", 5).append("\x01", 1).append(QByteArray(15, '\0')).append('\0');
  bytes.append("\xFF\xC4\x00\x14\x10", 5).append("\x01", 1).append(QByteArray(15, '\0')).append('\0');
  bytes.append("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00", 10);
  bytes.append("\xFF\xD9", 2);
  return bytes;
}

// A 24-bit BMP header for width x height and `data` bytes of pixels.
QByteArray Bmp(int width, int height, int data) {
  QByteArray bytes(54, '\0');
  bytes[0] = 'B';
  bytes[1] = 'M';
  qToLittleEndian<quint32>(54 + data, bytes.data() + 2);
  qToLittleEndian<quint32>(54, bytes.data() + 10);
  qToLittleEndian<quint32>(40, bytes.data() + 14);
  qToLittleEndian<qint32>(width, bytes.data() + 18);
  qToLittleEndian<qint32>(height, bytes.data() + 22);
  qToLittleEndian<quint16>(1, bytes.data() + 26);
  qToLittleEndian<quint16>(24, bytes.data() + 28);
  return bytes + QByteArray(data, '\x40');
}

// A GIF whose screen and only picture are width x height, with a few bytes of picture data.
QByteArray TinyGif(int width, int height) {
  QByteArray bytes("GIF89a", 6);
  const auto put16 = [&bytes](int v) { bytes.append(char(v & 0xFF)).append(char(v >> 8)); };
  put16(width);
  put16(height);
  bytes.append("\x80\x00\x00", 3).append(QByteArray(6, '\0'));  // two-colour global table
  bytes.append('\x2C');
  put16(0);
  put16(0);
  put16(width);
  put16(height);
  bytes.append('\0')
      .append('\x02')
      .append("\x08\x84\x8F\xA9\xCB\xED\x0F\x63\x2B", 9)
      .append('\0')
      .append('\x3B');
  return bytes;
}

// PNG's CRC-32 (the checksums are right, so only the declared lengths are in question).
quint32 Crc32(const QByteArray& bytes) {
  quint32 crc = 0xFFFFFFFFu;
  for (const char c : bytes) {
    crc ^= static_cast<quint8>(c);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return crc ^ 0xFFFFFFFFu;
}

// A chunk with its data and a declared length (the data's own unless given).
QByteArray PngChunk(const char* type, const QByteArray& data, qint64 declared = -1) {
  QByteArray chunk(4, '\0');
  qToBigEndian<quint32>(static_cast<quint32>(declared < 0 ? data.size() : declared), chunk.data());
  const QByteArray body = QByteArray(type, 4) + data;
  QByteArray crc(4, '\0');
  qToBigEndian<quint32>(Crc32(body), crc.data());
  return chunk + body + crc;
}

// A small real PNG with chunks put after its header chunk, or cut at its end.
QByteArray PngWith(const QByteArray& chunks, int cut_end = 0) {
  QByteArray png = Encoded(Noise(8, 8), "png");
  png.insert(8 + 25, chunks);  // the signature, then the 13-byte header chunk
  return png.chopped(cut_end);
}

// A JPEG written progressively, cut in the middle of the Huffman table that follows its first scan:
// libjpeg warns that the data ends early, then fails on the table it reads past the end.
QByteArray ProgressiveCutInATable() {
  const QByteArray whole = Encoded(Noise(160, 120), "jpeg", true);
  const qsizetype first_scan = whole.indexOf("\xFF\xDA");
  const qsizetype table = whole.indexOf("\xFF\xC4", first_scan);
  if (first_scan < 0 || table < 0) return QByteArray();
  return whole.left(table + 8);
}

}  // namespace

class DecodeLimitsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString Path(const QString& name) const { return dir_.filePath(name); }

 private Q_SLOTS:
  void CutFilesAreRefused_data() {
    QTest::addColumn<QByteArray>("whole");
    const QImage noise = Noise(160, 120);
    QTest::newRow("BMP") << Encoded(noise, "bmp");
    QTest::newRow("GIF") << OurGif(noise);
    QTest::newRow("TIFF") << Encoded(noise, "tiff");
    QTest::newRow("baseline JPEG") << Encoded(noise, "jpeg");
    QTest::newRow("progressive JPEG") << Encoded(noise, "jpeg", true);
    QTest::newRow("CMYK JPEG") << CmykJpeg(160, 120);
  }
  void CutFilesAreRefused() {
    QFETCH(QByteArray, whole);
    QVERIFY(whole.size() > 1000);
    const QString path = Path(QStringLiteral("photo.img"));
    QVERIFY(WriteFile(path, whole));
    QCOMPARE(LoadImage(path).status, LoadStatus::Ok);
    for (const double kept : {0.3, 0.6, 0.9}) {
      QVERIFY(WriteFile(path, whole.left(static_cast<qsizetype>(whole.size() * kept))));
      const LoadedImage cut = LoadImage(path);
      QVERIFY2(cut.status == LoadStatus::Truncated, qPrintable(QString::number(int(cut.status))));
      QVERIFY(cut.image.isNull());
      QCOMPARE(LoadImageAtLeast(path, QSize(20, 20)).status, LoadStatus::Truncated);
    }
  }

  void HeadersPromisingMoreThanTheirData_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("JPEG of 15000 x 15000 in 150 bytes") << EmptyJpeg(15000, 15000);
    QTest::newRow("BMP of 1 x 100000000 in 100 KB") << Bmp(1, 100'000'000, 100'000);
    QTest::newRow("GIF of 64064 x 560 in 50 bytes") << TinyGif(64064, 560);
  }
  void HeadersPromisingMoreThanTheirData() {
    QFETCH(QByteArray, bytes);
    const QString path = Path(QStringLiteral("promise.img"));
    QVERIFY(WriteFile(path, bytes));
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::Truncated);
    QVERIFY(loaded.image.isNull());
    QVERIFY(LoadProblem(loaded.status, path).contains(path));
  }

  // A chunk a reader would allocate as declared is refused from the chunk list, before any reader
  // sees the file: a 100-byte file declaring a 1.2 GB text costs nothing. (The test's allocator
  // refuses anything above 256 MB, so a reader that tried would end the test.)
  void PngChunksBeyondTheirLimits_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<LoadStatus>("status");
    const QByteArray text("Comment\0hello", 13);
    QTest::newRow("text declaring 1.2 GB")
        << PngWith(PngChunk("tEXt", text, 1'200'000'000)) << LoadStatus::TooLarge;
    QTest::newRow("compressed text declaring 4 GB")
        << PngWith(PngChunk("zTXt", text, 0xFFFFFFF0)) << LoadStatus::TooLarge;
    QTest::newRow("profile one byte past 8 MB")
        << PngWith(PngChunk("iCCP", text, 8'000'001)) << LoadStatus::TooLarge;
    const QByteArray six_mb(6'000'000, 'a');
    QTest::newRow("three texts of 6 MB")
        << PngWith(PngChunk("iTXt", six_mb) + PngChunk("iTXt", six_mb) + PngChunk("iTXt", six_mb))
        << LoadStatus::TooLarge;
    QTest::newRow("text of 8 MB") << PngWith(PngChunk("tEXt", text + QByteArray(8'000'000 - 13, 'c')))
                                  << LoadStatus::Ok;
    QTest::newRow("palette past the end")
        << PngWith(PngChunk("PLTE", QByteArray(30, 'p'), 768), 0).left(80) << LoadStatus::Truncated;
  }
  void PngChunksBeyondTheirLimits() {
    QFETCH(QByteArray, bytes);
    QFETCH(LoadStatus, status);
    const QString path = Path(QStringLiteral("chunks.png"));
    QVERIFY(WriteFile(path, bytes));
    QCOMPARE(LoadImage(path).status, status);
    QCOMPARE(LoadImageAtLeast(path, QSize(4, 4)).status, status);
    QCOMPARE(ReadImageSize(path).isValid(), status == LoadStatus::Ok);
  }

  // A fatal error refuses the photo whatever warning came before it, in every decode of it.
  void FatalErrorAfterAWarningRefuses() {
    const QByteArray cut = ProgressiveCutInATable();
    QVERIFY(!cut.isEmpty());
    const QString path = Path(QStringLiteral("cut-in-table.jpg"));
    QVERIFY(WriteFile(path, cut));
    QVERIFY(ReadImageSize(path).isValid());  // the frame header is whole
    const LoadedImage whole = LoadImage(path);
    QVERIFY2(whole.status == LoadStatus::Undecodable, qPrintable(QString::number(int(whole.status))));
    QVERIFY(whole.image.isNull());
    QCOMPARE(LoadImageAtLeast(path, QSize(20, 20)).status, LoadStatus::Undecodable);
    QCOMPARE(LoadImageAtLeast(path, QSize(20, 20), ScaledDetail::Thumbnail).status, LoadStatus::Undecodable);
  }

  void NonRegularFilesAreRefusedAtOnce() {
    const QString fifo = Path(QStringLiteral("pipe.jpg"));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Opening a pipe with no writer would block forever: the refusal comes first.
    QCOMPARE(LoadImage(fifo).status, LoadStatus::NotAFile);
    QCOMPARE(LoadImageAtLeast(fifo, QSize(10, 10)).status, LoadStatus::NotAFile);
    QVERIFY(!ReadImageSize(fifo).isValid());
    QCOMPARE(LoadImage(dir_.path()).status, LoadStatus::NotAFile);
    QCOMPARE(LoadProblem(LoadStatus::NotAFile, fifo), fifo + QStringLiteral(": not a regular file"));
  }
};

QTEST_MAIN(DecodeLimitsTest)
#include "decode_limits_test.moc"
