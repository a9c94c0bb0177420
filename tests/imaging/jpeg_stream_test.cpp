// Decoding a JPEG or a WebP row by row on its own thread (rows turned into sRGB as they come when the
// photo has a profile): the same pixels and the same verdict on damaged and cut files as a whole
// decode, and the files it leaves to the whole decode.
#include <turbojpeg.h>

#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <random>

#include "imaging/image_fixtures.h"
#include "imaging/jpeg_stream.h"
#include "imaging/row_stream.h"
#include "imaging/webp_writer.h"
#include "support/test_support.h"

namespace {

// Detail everywhere, so a misplaced row or a wrong chroma sample shows.
QImage Noisy(int w, int h, unsigned seed) {
  QImage image(w, h, QImage::Format_RGB32);
  std::mt19937 random(seed);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb((x * 3 + y) & 255, random() % 256, (y * 2) & 255));
  return image;
}

// image as a JPEG with the given chroma subsampling, by TurboJPEG itself.
QByteArray TurboJpeg(const QImage& image, int subsampling) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  tjhandle handle = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const int status = tjCompress2(handle, rgb.constBits(), rgb.width(), static_cast<int>(rgb.bytesPerLine()),
                                 rgb.height(), TJPF_RGB, &jpeg, &size, subsampling, 90, 0);
  QByteArray bytes = status == 0
                         ? QByteArray(reinterpret_cast<const char*>(jpeg), static_cast<qsizetype>(size))
                         : QByteArray();
  tjFree(jpeg);
  tjDestroy(handle);
  return bytes;
}

const QString kAdobeRgb = QStringLiteral("/usr/share/color/icc/compatibleWithAdobeRGB1998.icc");

// jpeg with profile in one APP2 chunk after its SOI.
QByteArray WithJpegProfile(const QByteArray& jpeg, const QByteArray& profile) {
  QByteArray segment = QByteArray("ICC_PROFILE", 12) + char(1) + char(1) + profile;
  const int length = int(segment.size()) + 2;
  segment.prepend(char(length & 0xFF)).prepend(char(length >> 8)).prepend(char(0xE2)).prepend(char(0xFF));
  return jpeg.left(2) + segment + jpeg.mid(2);
}

// webp with its ICC chunk replaced by profile (webpmux, the WebP tools' own).
QByteArray WithWebpProfile(const QByteArray& webp, const QString& profile_path, const QTemporaryDir& dir) {
  const QString in = dir.filePath("mux-in.webp"), out = dir.filePath("mux-out.webp");
  if (!testing_support::WriteFile(in, webp)) return QByteArray();
  if (QProcess::execute("webpmux", {"-set", "icc", profile_path, in, "-o", out}) != 0) return QByteArray();
  return testing_support::ReadFile(out);
}

}  // namespace

class JpegStreamTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString Write(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.filePath(name);
    return testing_support::WriteFile(path, bytes) ? path : QString();
  }

 private Q_SLOTS:
  // Every row, as the whole decode gives it, in sizes that leave partial blocks at the edges.
  void SamePixelsAsTheWholeDecode_data() {
    QTest::addColumn<QByteArray>("jpeg");
    QTest::newRow("4:2:0, odd size") << TurboJpeg(Noisy(37, 23, 1), TJSAMP_420);
    QTest::newRow("4:2:2") << TurboJpeg(Noisy(70, 41, 2), TJSAMP_422);
    QTest::newRow("4:4:4") << TurboJpeg(Noisy(33, 65, 3), TJSAMP_444);
    QTest::newRow("grey") << TurboJpeg(Noisy(50, 30, 4), TJSAMP_GRAY);
    QTest::newRow("Qt's writer, many row runs")
        << image_fixtures::EncodeWithQt(Noisy(300, 517, 5), "jpg", 85);
  }
  void SamePixelsAsTheWholeDecode() {
    QFETCH(QByteArray, jpeg);
    QVERIFY(!jpeg.isEmpty());
    const QString path = Write(QStringLiteral("photo.jpg"), jpeg);
    const LoadedImage whole = LoadImage(path);
    QCOMPARE(whole.status, LoadStatus::Ok);
    // On a thread of its own, and on the caller as it waits.
    for (const bool own_thread : {true, false}) {
      const std::unique_ptr<JpegStream> stream = JpegStream::Start(path, 0, own_thread);
      QVERIFY(stream);
      QVERIFY(stream->WaitForRows(stream->Image().height()));
      QCOMPARE(stream->Finish(), LoadStatus::Ok);
      QCOMPARE(stream->Image().format(), QImage::Format_RGB32);
      QCOMPARE(testing_support::FirstDifference(stream->Image(), whole.image), QString());
    }
  }

  // A stream that holds a few rows fills them over and over: each row, read before it is released,
  // is the whole decode's, and a row is never written over before it is released.
  void HeldRowsAreFilledOverAndOver_data() {
    SamePixelsAsTheWholeDecode_data();
    const QByteArray adobe = testing_support::ReadFile(kAdobeRgb);
    QVERIFY(!adobe.isEmpty());
    // Its rows are converted as they are waited for: never twice, never after they are released.
    QTest::newRow("Adobe RGB profile") << WithJpegProfile(TurboJpeg(Noisy(61, 97, 6), TJSAMP_420), adobe);
  }
  void HeldRowsAreFilledOverAndOver() {
    QFETCH(QByteArray, jpeg);
    const auto run = [&](bool own_thread) {
      const QString path = Write(QStringLiteral("held.jpg"), jpeg);
      const LoadedImage whole = LoadImage(path);
      QCOMPARE(whole.status, LoadStatus::Ok);
      constexpr int kHeld = 19;  // not a whole number of blocks
      const std::unique_ptr<JpegStream> stream = JpegStream::Start(path, kHeld, own_thread);
      QVERIFY(stream);
      const int height = whole.image.height();
      QCOMPARE(stream->Size(), whole.image.size());
      QCOMPARE(stream->Image().height(), std::min(kHeld, height));
      QCOMPARE(stream->HoldsPart(), height > kHeld);
      const qsizetype row_bytes = qsizetype{whole.image.width()} * 4;
      const auto same_row_of = [&](const JpegStream& s, int y) {
        return std::memcmp(s.Image().constScanLine(y % kHeld), whole.image.constScanLine(y), row_bytes) == 0;
      };
      const auto same_row = [&](int y) { return same_row_of(*stream, y); };
      // Nothing released yet: a decoder that ran on would write over the first rows meanwhile.
      QVERIFY(stream->WaitForRows(kHeld));
      QThread::msleep(50);
      for (int y = 0; y < std::min(kHeld, height); ++y) QVERIFY2(same_row(y), qPrintable(QString::number(y)));
      // Then released a few rows at a time, each read first.
      for (int y = 0; y < height; ++y) {
        QVERIFY(stream->WaitForRows(y + 1));
        QVERIFY2(same_row(y), qPrintable(QString::number(y)));
        if (y % 5 == 4) stream->Release(y + 1);
      }
      stream->Release(height);
      QCOMPARE(stream->Finish(), LoadStatus::Ok);
      // Rows released unread are never read: the rows that take their place come out right.
      {
        constexpr int kSkipped = 10;
        const std::unique_ptr<JpegStream> skipping = JpegStream::Start(path, kHeld, own_thread);
        QVERIFY(skipping->WaitForRows(1));
        QVERIFY(same_row_of(*skipping, 0));
        skipping->Release(kSkipped);
        // All the rows that may be held now at once, then one by one.
        const int held_now = std::min(height, kSkipped + kHeld);
        QVERIFY(skipping->WaitForRows(held_now));
        for (int y = kSkipped; y < held_now; ++y)
          QVERIFY2(same_row_of(*skipping, y), qPrintable(QString::number(y)));
        skipping->Release(held_now - 1);
        for (int y = held_now - 1; y < height; ++y) {
          QVERIFY(skipping->WaitForRows(y + 1));
          QVERIFY2(same_row_of(*skipping, y), qPrintable(QString::number(y)));
          if (y % 5 == 4) skipping->Release(y + 1);
        }
        skipping->Release(height);
        QCOMPARE(skipping->Finish(), LoadStatus::Ok);
      }
      // On the caller, rows beyond those that may be written over are refused, never waited for.
      if (!own_thread && height > kHeld) {
        const std::unique_ptr<JpegStream> held = JpegStream::Start(path, kHeld, false);
        QVERIFY(held->WaitForRows(kHeld));
        QVERIFY(!held->WaitForRows(kHeld + 1));
        held->Release(1);
        QVERIFY(held->WaitForRows(kHeld + 1));
      }
    };
    for (const bool own_thread : {true, false}) run(own_thread);
  }

  // WebP photos and photos with a profile stream too: every row as the whole decode gives it,
  // colours converted included.
  void OtherPhotosStreamTheSamePixels_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray adobe = testing_support::ReadFile(kAdobeRgb);
    QVERIFY(!adobe.isEmpty());
    QTest::newRow("WebP lossy") << EncodeWebp(Noisy(301, 203, 9), 80);
    QTest::newRow("WebP lossless") << EncodeWebp(Noisy(97, 131, 10), 100);
    QTest::newRow("WebP, large") << EncodeWebp(Noisy(1200, 900, 11), 90);
    QTest::newRow("JPEG, Adobe RGB profile")
        << WithJpegProfile(TurboJpeg(Noisy(300, 517, 12), TJSAMP_420), adobe);
    QTest::newRow("WebP, Adobe RGB profile")
        << WithWebpProfile(EncodeWebp(Noisy(300, 200, 13), 90), kAdobeRgb, dir_);
  }
  void OtherPhotosStreamTheSamePixels() {
    QFETCH(QByteArray, bytes);
    QVERIFY(!bytes.isEmpty());
    const QString path = Write(QStringLiteral("photo"), bytes);
    const LoadedImage whole = LoadImage(path);
    QCOMPARE(whole.status, LoadStatus::Ok);
    QVERIFY(whole.warning.isEmpty());
    // Waited for all at once, a row at a time (each read as soon as it is there), or not at all.
    for (const int step : {0, 1, -1}) {
      const std::unique_ptr<RowStream> stream = RowStream::Start(path);
      QVERIFY(stream);
      const int height = stream->Image().height();
      if (step == 0) QVERIFY(stream->WaitForRows(height));
      for (int y = 0; step > 0 && y < height; y += step) {
        QVERIFY(stream->WaitForRows(y + step));
        QVERIFY2(std::memcmp(stream->Image().constScanLine(y), whole.image.constScanLine(y),
                             qsizetype{whole.image.width()} * 4) == 0,
                 qPrintable(QStringLiteral("row %1").arg(y)));
      }
      QCOMPARE(stream->Finish(), LoadStatus::Ok);
      QCOMPARE(stream->Image().format(), QImage::Format_RGB32);
      QCOMPARE(testing_support::FirstDifference(stream->Image(), whole.image), QString());
    }
  }

  // A WebP cut short gets the whole decode's verdict.
  void CutWebpJudgedAsWhole_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray lossy = EncodeWebp(Noisy(400, 300, 14), 90);
    const QByteArray lossless = EncodeWebp(Noisy(200, 150, 15), 100);
    QTest::newRow("lossy, cut at two thirds") << lossy.left(lossy.size() * 2 / 3);
    QTest::newRow("lossy, last byte missing") << lossy.chopped(1);
    QTest::newRow("lossless, cut at half") << lossless.left(lossless.size() / 2);
    // Found by the fuzzer: a VP8 chunk too short for what its frame header declares, and bytes past
    // the RIFF size. The whole decode says cut; the incremental decoder said undecodable.
    QTest::newRow("partition past its chunk") << QByteArray::fromHex(
        "524946465e000000574542505650382052000000b003009d012a180010003ed1505650382052000000b06666"
        "6666666666666666666666666666666666666666666666666666666666666666666666666666666666666666"
        "6666666666666666666666666666666666666666666666666666666666666666666666666666666666666603"
        "009d0148de9f12e93840076c942a8000");
  }
  void CutWebpJudgedAsWhole() {
    QFETCH(QByteArray, bytes);
    const QString path = Write(QStringLiteral("cut.webp"), bytes);
    const LoadedImage whole = LoadImage(path);
    QVERIFY(whole.status != LoadStatus::Ok);
    const std::unique_ptr<RowStream> stream = RowStream::Start(path);
    if (!stream) return;  // refused from the header, as LoadImage judged it
    QCOMPARE(stream->Finish(), whole.status);
    QVERIFY(!stream->WaitForRows(stream->Image().height()));
  }

  // What the streams leave to the whole decode: pictures with alpha, animations, and a profile
  // Little CMS refuses (the whole decode says so).
  void OtherPhotosLeftToTheWholeDecode_data() {
    QTest::addColumn<QByteArray>("bytes");
    QImage clear(40, 30, QImage::Format_ARGB32);
    clear.fill(qRgba(10, 20, 30, 128));
    QTest::newRow("WebP with alpha") << EncodeWebp(clear, 90);
    QByteArray broken = testing_support::ReadFile(kAdobeRgb);
    broken.truncate(100);
    QTest::newRow("JPEG, truncated profile")
        << WithJpegProfile(TurboJpeg(Noisy(64, 48, 16), TJSAMP_420), broken);
  }
  void OtherPhotosLeftToTheWholeDecode() {
    QFETCH(QByteArray, bytes);
    QVERIFY(!bytes.isEmpty());
    QVERIFY(!RowStream::Start(Write(QStringLiteral("other"), bytes)));
  }

  // What cannot be decoded top to bottom as stored is left to the whole decode.
  void LeftToTheWholeDecode_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QImage photo = Noisy(64, 48, 6);
    QByteArray progressive;
    {
      QBuffer buffer(&progressive);
      buffer.open(QIODevice::WriteOnly);
      QImageWriter writer(&buffer, "jpg");
      writer.setProgressiveScanWrite(true);
      QVERIFY(writer.write(photo));
    }
    QTest::newRow("progressive") << progressive;
    const QByteArray thumbnail = testing_support::JpegBytes(photo.scaled(16, 12));
    QTest::newRow("turned by its EXIF orientation")
        << testing_support::WithExifThumbnail(testing_support::JpegBytes(photo), thumbnail, 6);
    QTest::newRow("PNG") << image_fixtures::EncodeWithQt(photo, "png");
    QTest::newRow("too short for its size") << testing_support::JpegBytes(photo).left(40);
    QTest::newRow("empty") << QByteArray();
  }
  void LeftToTheWholeDecode() {
    QFETCH(QByteArray, bytes);
    QVERIFY(!JpegStream::Start(Write(QStringLiteral("left.jpg"), bytes)));
  }

  void NotAFileOrMissing() {
    QVERIFY(!JpegStream::Start(dir_.path()));
    QVERIFY(!JpegStream::Start(dir_.filePath(QStringLiteral("nope.jpg"))));
  }

  // A file cut short, or damaged inside its data, gets the whole decode's verdict; the rows that
  // never came are never promised.
  void DamagedFilesJudgedAsWhole_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("all_rows");
    const QByteArray jpeg = TurboJpeg(Noisy(400, 300, 7), TJSAMP_420);
    QTest::newRow("cut at half") << jpeg.left(jpeg.size() / 2) << false;
    QTest::newRow("cut after the last block, before the end marker") << jpeg.chopped(2) << true;
    QByteArray marker = jpeg;
    marker[marker.size() / 2] = char(0xFF);
    marker[marker.size() / 2 + 1] = char(0xD9);  // an end marker in the middle of the data
    QTest::newRow("end marker inside the data") << marker << false;
    QByteArray noise = jpeg;
    for (qsizetype i = jpeg.size() / 3; i < jpeg.size() / 3 + 64; ++i) noise[i] = char(i * 37);
    QTest::newRow("noise inside the data") << noise << true;
    // Damage (all-ones bits, no Huffman code) and a cut after it: the whole decode's verdict too.
    QByteArray ones = jpeg;
    for (qsizetype i = jpeg.size() / 3; i < jpeg.size() / 3 + 64; i += 2) {
      ones[i] = char(0xFF);
      ones[i + 1] = 0;
    }
    QTest::newRow("bad codes inside, then cut") << ones.left(ones.size() * 4 / 5) << true;
    // Entropy data running into an unknown marker: warnings while decoding, then a fatal error at
    // the end marker, after every row.
    QTest::newRow("fatal error after warnings") << QByteArray::fromHex(
                                                       "ffd8ffe000104a46494600010100000100010000ffdb004300030"
                                                       "2020202020302020203030303040604040404040806"
                                                       "06050609080a0a090809090a0c0f0c0a0b0e0b09090d110d0e0f1"
                                                       "01011100a0c12131210130f101010ffdb0043010303"
                                                       "0304030408040408100b090b10101010101010101010101010101"
                                                       "0101010101010101010101010101010101010101010"
                                                       "1010101010101010101010101010ffc00011080008000c0301110"
                                                       "0021101031101ffc400150001010000000000000000"
                                                       "0000000000000008ffc4001810000203000000000000000000000"
                                                       "000000001166391ffc4001601010101000000000000"
                                                       "00000000000000000708ffc400171100030100000000000000000"
                                                       "000000000001863a1ffda000c03010002110311003f"
                                                       "008da7b72d2efeffffffffffffff6e5a16b8e0606ba7ffd9")
                                                << true;
  }
  void DamagedFilesJudgedAsWhole() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, all_rows);
    const QString path = Write(QStringLiteral("damaged.jpg"), bytes);
    const LoadedImage whole = LoadImage(path);
    for (const bool own_thread : {true, false}) {
      const std::unique_ptr<JpegStream> stream = JpegStream::Start(path, 0, own_thread);
      QVERIFY(stream);
      // On the caller, waiting for every row decodes them before the verdict is asked.
      if (!own_thread) QCOMPARE(stream->WaitForRows(300), all_rows && whole.status == LoadStatus::Ok);
      const LoadStatus status = stream->Finish();
      QCOMPARE(status, whole.status);
      if (!all_rows) QVERIFY(!stream->WaitForRows(300));
      if (status == LoadStatus::Ok)
        QCOMPARE(testing_support::FirstDifference(stream->Image(), whole.image), QString());
    }
  }

  // Dropping a stream while it decodes stops the decoder and returns.
  void DroppedWhileDecoding() {
    const QString path = Write(QStringLiteral("large.jpg"), TurboJpeg(Noisy(2000, 1500, 8), TJSAMP_420));
    for (int i = 0; i < 5; ++i) {
      std::unique_ptr<JpegStream> stream = JpegStream::Start(path);
      QVERIFY(stream);
      if (i % 2 == 1) QVERIFY(stream->WaitForRows(1 + i * 100));
      stream.reset();
    }
  }
};

QTEST_MAIN(JpegStreamTest)
#include "jpeg_stream_test.moc"
