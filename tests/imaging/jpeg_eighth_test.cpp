// Thumbnails from the DC coefficients alone: the pixels libjpeg's own 1/8-scale decode gives, over
// the encodings cameras and editors write, and every file it cannot read cleanly left to libjpeg, so
// a damaged or cut file is still judged as before.
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <random>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "imaging/image_io.h"
#include "imaging/jpeg_codec.h"
#include "imaging/jpeg_eighth.h"
#include "support/test_support.h"

namespace {

// How a test file is coded, through libjpeg's own encoder (restart markers, optimised and
// progressive tables and arithmetic coding are out of TurboJPEG's reach).
struct Coding {
  int components = 3;  // 1: grey; 3: YCbCr
  int h = 2;           // the luma's sampling factors (chroma at 1 x 1)
  int v = 2;
  int restart = 0;  // MCUs between restart markers
  bool optimize = false;
  bool progressive = false;
  bool arithmetic = false;
  bool rgb = false;  // RGB coded as is (with Adobe's marker)
  int quality = 90;
};

QByteArray Encode(const QImage& image, const Coding& coding) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(image.width());
  cinfo.image_height = static_cast<JDIMENSION>(image.height());
  cinfo.input_components = coding.components;
  cinfo.in_color_space = coding.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, coding.quality, TRUE);
  if (coding.rgb) jpeg_set_colorspace(&cinfo, JCS_RGB);
  cinfo.comp_info[0].h_samp_factor = coding.h;
  cinfo.comp_info[0].v_samp_factor = coding.v;
  cinfo.restart_interval = static_cast<unsigned>(coding.restart);
  cinfo.optimize_coding = coding.optimize ? TRUE : FALSE;
  cinfo.arith_code = coding.arithmetic ? TRUE : FALSE;
  if (coding.progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  std::vector<unsigned char> row(static_cast<std::size_t>(image.width()) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    const uchar* line = rgb.constScanLine(static_cast<int>(cinfo.next_scanline));
    if (coding.components == 1) {
      for (int x = 0; x < image.width(); ++x) row[static_cast<std::size_t>(x)] = line[3 * x + 1];
    } else {
      std::copy(line, line + row.size(), row.begin());
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  QByteArray bytes(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
  std::free(buffer);
  return bytes;
}

// A photo's worth of detail: smooth colour with noise on top, so most blocks carry many AC
// coefficients and their codes run the whole length range.
QImage Photo(int width, int height, int noise, unsigned seed = 1) {
  QImage image(width, height, QImage::Format_RGB32);
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> jitter(-noise, noise);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int n = jitter(random);
      image.setPixel(
          x, y,
          qRgb(std::clamp(30 + 190 * x / width + n, 0, 255), std::clamp(50 + 160 * y / height - n, 0, 255),
               std::clamp(220 - 150 * (x + y) / (width + height) + n / 2, 0, 255)));
    }
  }
  return image;
}

// libjpeg's own decode at 1/8 scale.
QImage Reference(const QByteArray& jpeg) {
  JpegDecoder decoder(jpeg);
  return decoder.HeaderOk() ? decoder.Decode(decoder.EighthSize()) : QImage();
}

// Where the first marker 0xFF code at or after from starts; -1 when there is none.
// A grey baseline JPEG of `blocks` 8 x 8 blocks in one row, each with the DC difference +2047 and no
// AC coefficients: the running DC passes 16 bits at the 17th block. No encoder writes such a file.
QByteArray GrowingDcJpeg(int blocks) {
  QByteArray bytes("\xFF\xD8", 2);
  bytes.append("\xFF\xDB\x00\x43\x00", 5).append(QByteArray(64, '\x01'));
  const int width = 8 * blocks;
  bytes.append("\xFF\xC0\x00\x0B\x08\x00\x08", 7).append(char(width >> 8)).append(char(width & 0xFF));
  bytes.append("\x01\x01\x11\x00", 4);
  // DC table 0: one code of one bit, for size 11; AC table 0: one code of one bit, end of block.
  bytes.append("\xFF\xC4\x00\x14\x00\x01", 6).append(QByteArray(15, '\0')).append('\x0B');
  bytes.append("\xFF\xC4\x00\x14\x10\x01", 6).append(QByteArray(15, '\0')).append('\0');
  bytes.append("\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00", 10);
  QByteArray bits;
  for (int i = 0; i < blocks; ++i) bits += "0" + QByteArray(11, '1') + "0";
  while (bits.size() % 8 != 0) bits += '1';
  for (qsizetype at = 0; at < bits.size(); at += 8) {
    const char byte = static_cast<char>(bits.mid(at, 8).toUInt(nullptr, 2));
    bytes.append(byte);
    if (byte == '\xFF') bytes.append('\0');  // stuffed
  }
  return bytes.append("\xFF\xD9", 2);
}

qsizetype FindMarker(const QByteArray& bytes, quint8 code, qsizetype from = 2) {
  for (qsizetype i = from; i + 1 < bytes.size(); ++i) {
    if (quint8(bytes[i]) == 0xFF && quint8(bytes[i + 1]) == code) return i;
  }
  return -1;
}

}  // namespace

Q_DECLARE_METATYPE(Coding)

class JpegEighthTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // Grey and unsubsampled colour have nothing to interpolate: every pixel is libjpeg's. Odd sizes
  // leave partial MCUs at the right and bottom.
  void SamePixelsWhereNothingIsInterpolated_data() {
    QTest::addColumn<Coding>("coding");
    QTest::addColumn<QImage>("photo");
    const QImage photo = Photo(203, 141, 60);
    QTest::newRow("grey") << Coding{.components = 1, .h = 1, .v = 1} << photo;
    QTest::newRow("grey, sampled 2 x 2") << Coding{.components = 1, .h = 2, .v = 2} << photo;
    QTest::newRow("4:4:4") << Coding{.h = 1, .v = 1} << photo;
    QTest::newRow("4:4:4, restart every MCU") << Coding{.h = 1, .v = 1, .restart = 1} << photo;
    QTest::newRow("4:4:4, restart every 7, optimised tables")
        << Coding{.h = 1, .v = 1, .restart = 7, .optimize = true} << photo;
    QTest::newRow("grey, quality 100, optimised: codes up to 16 bits")
        << Coding{.components = 1, .h = 1, .v = 1, .optimize = true, .quality = 100} << Photo(320, 240, 120);
    QTest::newRow("4:4:4, quality 100, blocks full to the last coefficient")
        << Coding{.h = 1, .v = 1, .quality = 100} << Photo(96, 64, 127);
    QTest::newRow("one block") << Coding{.h = 1, .v = 1} << Photo(5, 3, 40);
  }
  void SamePixelsWhereNothingIsInterpolated() {
    QFETCH(Coding, coding);
    QFETCH(QImage, photo);
    const QByteArray jpeg = Encode(photo, coding);
    const QImage eighth = DecodeJpegEighth(jpeg);
    QVERIFY(!eighth.isNull());
    QCOMPARE(eighth.format(), QImage::Format_RGB32);
    QCOMPARE(eighth.size(), QSize((photo.width() + 7) / 8, (photo.height() + 7) / 8));
    QCOMPARE(testing_support::FirstDifference(eighth, Reference(jpeg)), QString());
  }

  // Subsampled chroma is repeated where libjpeg interpolates it: on a photo the two stay within a
  // few levels, which a chroma sample taken from the wrong block (a swapped axis, an MCU out of
  // place) would not.
  void CloseToLibjpegWhereChromaIsSubsampled_data() {
    QTest::addColumn<Coding>("coding");
    QTest::newRow("4:2:0") << Coding{.h = 2, .v = 2};
    QTest::newRow("4:2:2") << Coding{.h = 2, .v = 1};
    QTest::newRow("4:4:0") << Coding{.h = 1, .v = 2};
    QTest::newRow("4:1:1") << Coding{.h = 4, .v = 1};
    QTest::newRow("4:2:0, restart every 3 MCUs, optimised") << Coding{.restart = 3, .optimize = true};
  }
  void CloseToLibjpegWhereChromaIsSubsampled() {
    QFETCH(Coding, coding);
    const QImage photo = Photo(611, 397, 30);
    const QByteArray jpeg = Encode(photo, coding);
    const QImage eighth = DecodeJpegEighth(jpeg);
    QVERIFY(!eighth.isNull());
    const int difference = testing_support::MaxChannelDifference(eighth, Reference(jpeg));
    QVERIFY2(difference >= 0 && difference <= 16, qPrintable(QString::number(difference)));
  }

  // Anything but a clean single-scan baseline file goes to libjpeg, which reads it or says what is
  // wrong with it.
  void LeavesTheRestToLibjpeg_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QImage photo = Photo(64, 48, 40);
    const QByteArray clean = Encode(photo, Coding{.restart = 2});
    QVERIFY(!DecodeJpegEighth(clean).isNull());
    QVERIFY(!DecodeJpegEighth(GrowingDcJpeg(16)).isNull());
    QTest::newRow("DC beyond 16 bits") << GrowingDcJpeg(17);
    QTest::newRow("progressive") << Encode(photo, Coding{.progressive = true});
    QTest::newRow("arithmetic coding") << Encode(photo, Coding{.arithmetic = true});
    QTest::newRow("RGB with Adobe's marker") << Encode(photo, Coding{.h = 1, .v = 1, .rgb = true});
    for (const qsizetype cut : {qsizetype(200), clean.size() / 2, clean.size() - 3, clean.size() - 2}) {
      QTest::addRow("cut to %lld bytes", static_cast<long long>(cut)) << clean.left(cut);
    }
    QByteArray renumbered = clean;
    renumbered[FindMarker(clean, 0xD1) + 1] = char(0xD2);
    QTest::newRow("restart markers out of turn") << renumbered;
    QByteArray no_restart = clean;
    no_restart.remove(FindMarker(clean, 0xD0), 2);
    QTest::newRow("a restart marker missing") << no_restart;
    QByteArray no_eoi = clean;
    no_eoi[no_eoi.size() - 1] = char(0xD8);
    QTest::newRow("the scan ends on SOI, not EOI") << no_eoi;
    QByteArray no_tables = clean;
    const qsizetype dht = FindMarker(clean, 0xC4);
    no_tables.remove(dht, 2 + (quint8(clean[dht + 2]) << 8 | quint8(clean[dht + 3])));
    QTest::newRow("a Huffman table missing") << no_tables;
    QByteArray bad_table = clean;
    bad_table[dht + 5] = char(1);  // DC luma: one code of one bit, then five of three bits
    bad_table[dht + 6] = char(0);
    QTest::newRow("a Huffman table whose codes do not fit") << bad_table;
    QByteArray wide = clean;
    const qsizetype sof = FindMarker(clean, 0xC0);
    wide[sof + 7] = char(0xFF);
    wide[sof + 8] = char(0xFF);  // 65535 wide
    QTest::newRow("wider than libjpeg reads") << wide;
    QByteArray twelve_bit = clean;
    twelve_bit[sof + 4] = char(12);
    QTest::newRow("12-bit samples") << twelve_bit;
    QByteArray garbled = clean;
    for (qsizetype i = FindMarker(clean, 0xDA) + 20; i < garbled.size() - 2; i += 3) garbled[i] = char(0xFF);
    QTest::newRow("garbled data") << garbled;
    QTest::newRow("SOI only") << QByteArray("\xFF\xD8", 2);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not a JPEG") << QByteArray(4096, 'x');
  }
  void LeavesTheRestToLibjpeg() {
    QFETCH(QByteArray, bytes);
    QVERIFY(DecodeJpegEighth(bytes).isNull());
  }

  // Through the loader: a thumbnail-sized load takes the DC path, upright, and a file it leaves to
  // libjpeg keeps libjpeg's verdict.
  void ThumbnailLoadsKeepTheVerdictAndTheOrientation() {
    QTemporaryDir dir;
    const QImage photo = Photo(400, 240, 20);
    const QByteArray jpeg = Encode(photo, Coding{.restart = 4});
    const QString turned = dir.filePath(QStringLiteral("turned.jpg"));
    QVERIFY(testing_support::WriteFile(
        turned, testing_support::WithExifThumbnail(jpeg, QByteArray(), /*orientation=*/6)));
    const LoadedImage thumbnail = LoadImageAtLeast(turned, QSize(30, 50), ScaledDetail::Thumbnail);
    const LoadedImage exact = LoadImageAtLeast(turned, QSize(30, 50));
    QCOMPARE(thumbnail.status, LoadStatus::Ok);
    QCOMPARE(thumbnail.full_size, QSize(240, 400));
    QCOMPARE(thumbnail.image.size(), QSize(30, 50));
    QVERIFY(testing_support::MaxChannelDifference(thumbnail.image, exact.image) <= 8);
    // The DC path's own pixels, turned: differences from libjpeg's show it was taken.
    QImage dc = DecodeJpegEighth(jpeg);
    QVERIFY(RotateFlip(dc, RotateFlipType::Turn90));
    QCOMPARE(testing_support::FirstDifference(thumbnail.image, dc), QString());

    const QString cut = dir.filePath(QStringLiteral("cut.jpg"));
    QVERIFY(testing_support::WriteFile(cut, jpeg.left(jpeg.size() * 2 / 3)));
    QCOMPARE(LoadImageAtLeast(cut, QSize(30, 50), ScaledDetail::Thumbnail).status, LoadStatus::Truncated);
    QCOMPARE(LoadImageAtLeast(cut, QSize(30, 50)).status, LoadStatus::Truncated);
  }
};

QTEST_GUILESS_MAIN(JpegEighthTest)
#include "jpeg_eighth_test.moc"
