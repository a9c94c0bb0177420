// The imaging I/O layer's reading side: decoding by content, EXIF orientation, scaled JPEG decoding,
// the pixel ceiling, damaged files, and rotate-flip.
#include <QtTest>

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>

#include "imaging/cmyk_jpeg.h"
#include "imaging/image_fixtures.h"
#include "imaging/image_io.h"
#include "support/test_support.h"

using namespace image_fixtures;
using testing_support::JpegBytes;
using testing_support::MaxChannelDifference;
using testing_support::WithExifThumbnail;
using testing_support::WriteFile;

namespace {

// A four-colour-component JPEG (stored as YCCK, as print workflows write them) of width x height:
// the left half all 255, the right half cyan ink only, in Adobe's inverted convention.
QByteArray CmykJpeg(int width, int height) {
  QByteArray cmyk(width * height * 4, char(255));
  for (int y = 0; y < height; ++y) {
    for (int x = width / 2; x < width; ++x) cmyk[(y * width + x) * 4] = 0;
  }
  return testing_support::CmykJpeg(cmyk, width, height);
}

// An EXIF APP1 segment whose IFD0 holds one orientation entry.
QByteArray ExifSegment(int orientation, bool big_endian) {
  QByteArray tiff(26, '\0');
  auto put16 = [&](int at, quint16 v) {
    big_endian ? qToBigEndian(v, tiff.data() + at) : qToLittleEndian(v, tiff.data() + at);
  };
  auto put32 = [&](int at, quint32 v) {
    big_endian ? qToBigEndian(v, tiff.data() + at) : qToLittleEndian(v, tiff.data() + at);
  };
  tiff[0] = tiff[1] = big_endian ? 'M' : 'I';
  put16(2, 42);
  put32(4, 8);        // IFD0 right after the header
  put16(8, 1);        // one entry
  put16(10, 0x0112);  // orientation
  put16(12, 3);       // SHORT
  put32(14, 1);
  put16(18, quint16(orientation));
  put32(22, 0);  // no next IFD
  return QByteArray("Exif\0\0", 6) + tiff;
}

// jpeg with an APP1 segment holding payload inserted right after SOI.
QByteArray WithApp1(const QByteArray& jpeg, const QByteArray& payload) {
  QByteArray segment("\xFF\xE1", 2);
  segment.append(char((payload.size() + 2) >> 8)).append(char((payload.size() + 2) & 0xFF)).append(payload);
  return jpeg.left(2) + segment + jpeg.mid(2);
}

// SOI, a baseline frame header of width x height with three components, EOI: a header and no data.
QByteArray JpegHeaderOnly(int width, int height) {
  QByteArray bytes("\xFF\xD8\xFF\xC0\x00\x11\x08", 7);
  bytes.append(char(height >> 8))
      .append(char(height & 0xFF))
      .append(char(width >> 8))
      .append(char(width & 0xFF));
  bytes.append("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01\xFF\xD9", 12);
  return bytes;
}

// A BMP file header and info header for a 24-bit width x height picture, without pixel data.
QByteArray BmpHeaderOnly(int width, int height) {
  QByteArray bytes(54, '\0');
  bytes[0] = 'B';
  bytes[1] = 'M';
  qToLittleEndian<quint32>(54 + quint32(width) * 3 * quint32(height), bytes.data() + 2);
  qToLittleEndian<quint32>(54, bytes.data() + 10);
  qToLittleEndian<quint32>(40, bytes.data() + 14);
  qToLittleEndian<qint32>(width, bytes.data() + 18);
  qToLittleEndian<qint32>(height, bytes.data() + 22);
  qToLittleEndian<quint16>(1, bytes.data() + 26);
  qToLittleEndian<quint16>(24, bytes.data() + 28);
  return bytes;
}

// The picture stored in a file with EXIF orientation n, so that orientation n shows `upright`.
// Built with Qt's own transforms, independent of RotateFlip.
QImage StoredForOrientation(const QImage& upright, int orientation) {
  const auto turned = [&](qreal degrees) { return upright.transformed(QTransform().rotate(degrees)); };
  switch (orientation) {
    case 2:
      return upright.mirrored(true, false);
    case 3:
      return turned(180);
    case 4:
      return upright.mirrored(false, true);
    case 5:
      return turned(90).mirrored(true, false);  // transposed
    case 6:
      return turned(-90);  // shown after a clockwise quarter turn
    case 7:
      return turned(-90).mirrored(true, false);  // transversed
    case 8:
      return turned(90);
    default:
      return upright;
  }
}

}  // namespace

class ImageIoTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString Path(const QString& name) const { return dir_.filePath(name); }

 private Q_SLOTS:
  void DecodesByContent_data() {
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("tolerance");
    QTest::newRow("BMP named .jpg") << QByteArray("bmp") << "bmp.jpg" << 0;
    QTest::newRow("PNG named .gif") << QByteArray("png") << "png.gif" << 0;
    // Flat quadrants at quality 95: the centres stay within a few levels.
    QTest::newRow("JPEG named .png") << QByteArray("jpeg") << "jpeg.png" << 8;
    QTest::newRow("TIFF named .bmp") << QByteArray("tiff") << "tiff.bmp" << 0;
    // Qt writes no GIF: this one comes from the program's own writer (four colours, kept exactly).
    QTest::newRow("GIF without extension") << QByteArray("gif") << "gif" << 0;
  }
  void DecodesByContent() {
    QFETCH(QByteArray, format);
    QFETCH(QString, name);
    QFETCH(int, tolerance);
    if (format == "gif") {
      QVERIFY(EncodeImage(Quadrants(), Path(name), QStringLiteral("image/gif"), 100, nullptr));
    } else {
      QVERIFY(WriteFile(Path(name), EncodeWithQt(Quadrants(), format.constData(), 95)));
    }
    QCOMPARE(ReadImageSize(Path(name)), QSize(64, 32));
    const LoadedImage loaded = LoadImage(Path(name));
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QCOMPARE(loaded.full_size, QSize(64, 32));
    QVERIFY(loaded.image.format() == QImage::Format_RGB32 ||
            loaded.image.format() == QImage::Format_ARGB32_Premultiplied);
    QVERIFY2(QuadrantError(loaded.image) <= tolerance,
             qPrintable(QString::number(QuadrantError(loaded.image))));
  }

  void ExifOrientation_data() {
    QTest::addColumn<int>("orientation");
    QTest::addColumn<bool>("big_endian");
    for (int n = 1; n <= 8; ++n) {
      QTest::addRow("orientation %d, Intel order", n) << n << false;
      QTest::addRow("orientation %d, Motorola order", n) << n << true;
    }
  }
  void ExifOrientation() {
    QFETCH(int, orientation);
    QFETCH(bool, big_endian);
    const QByteArray jpeg = EncodeWithQt(StoredForOrientation(Quadrants(), orientation), "jpeg", 95);
    const QString path = Path(QStringLiteral("exif.jpg"));
    QVERIFY(WriteFile(path, WithApp1(jpeg, ExifSegment(orientation, big_endian))));
    QCOMPARE(ReadImageSize(path), QSize(64, 32));
    const LoadedImage full = LoadImage(path);
    QCOMPARE(full.status, LoadStatus::Ok);
    QCOMPARE(full.image.size(), QSize(64, 32));
    QCOMPARE(full.full_size, QSize(64, 32));
    // Flat, block-aligned quadrants at quality 95: within 8 levels at their centres.
    QVERIFY2(QuadrantError(full.image) <= 8, qPrintable(QString::number(QuadrantError(full.image))));
    // A quarter-scale decode is upright as well, and asked for in upright terms.
    const LoadedImage quarter = LoadImageAtLeast(path, QSize(16, 8));
    QCOMPARE(quarter.image.size(), QSize(16, 8));
    QCOMPARE(quarter.full_size, QSize(64, 32));
    QVERIFY2(QuadrantError(quarter.image) <= 8, qPrintable(QString::number(QuadrantError(quarter.image))));
  }

  void UnusualJpegs() {
    // Progressive scans.
    QByteArray progressive;
    QBuffer buffer(&progressive);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(95);
    writer.setProgressiveScanWrite(true);
    QVERIFY(writer.write(Quadrants()));
    QVERIFY(WriteFile(Path(QStringLiteral("progressive.jpg")), progressive));
    const LoadedImage progressive_loaded = LoadImage(Path(QStringLiteral("progressive.jpg")));
    QCOMPARE(progressive_loaded.status, LoadStatus::Ok);
    QVERIFY(QuadrantError(progressive_loaded.image) <= 8);

    // One grey channel: top half 40, bottom half 200; flat, so within a level or two.
    QImage grey(32, 32, QImage::Format_Grayscale8);
    for (int y = 0; y < 32; ++y) memset(grey.scanLine(y), y < 16 ? 40 : 200, 32);
    QVERIFY(WriteFile(Path(QStringLiteral("grey.jpg")), EncodeWithQt(grey, "jpeg", 95)));
    const LoadedImage grey_loaded = LoadImage(Path(QStringLiteral("grey.jpg")));
    QCOMPARE(grey_loaded.status, LoadStatus::Ok);
    QVERIFY(ColourError(grey_loaded.image.pixel(8, 4), qRgb(40, 40, 40)) <= 2);
    QVERIFY(ColourError(grey_loaded.image.pixel(8, 28), qRgb(200, 200, 200)) <= 2);

    // CMYK, turned upright by its EXIF orientation 6: the white left half ends on top.
    const QString cmyk_path = Path(QStringLiteral("cmyk.jpg"));
    QVERIFY(WriteFile(cmyk_path, WithApp1(CmykJpeg(32, 16), ExifSegment(6, false))));
    QCOMPARE(ReadImageSize(cmyk_path), QSize(16, 32));
    const LoadedImage cmyk = LoadImage(cmyk_path);
    QCOMPARE(cmyk.status, LoadStatus::Ok);
    QCOMPARE(cmyk.image.size(), QSize(16, 32));
    QCOMPARE(cmyk.full_size, QSize(16, 32));
    // Flat halves at quality 95 without chroma subsampling: a few levels. Without a profile of its
    // own the ink goes through the standard press profile, where full cyan is (0, 174, 239).
    QVERIFY(ColourError(cmyk.image.pixel(8, 4), qRgb(255, 255, 255)) <= 8);
    QVERIFY(ColourError(cmyk.image.pixel(8, 28), qRgb(0, 174, 239)) <= 8);
  }

  void DamagedExifIsIgnored_data() {
    QTest::addColumn<QByteArray>("payload");
    const QByteArray good = ExifSegment(6, false);
    QByteArray offset_past_end = good;
    qToLittleEndian<quint32>(0xFFFFFFF0u, offset_past_end.data() + 6 + 4);
    QByteArray count_past_end = good;  // 65535 entries announced, one present, and no orientation
    qToLittleEndian<quint16>(0xFFFF, count_past_end.data() + 6 + 8);
    qToLittleEndian<quint16>(0x0100, count_past_end.data() + 6 + 10);
    QByteArray bad_order = good;
    bad_order[6] = 'X';
    QByteArray value_nine = good;
    qToLittleEndian<quint16>(9, value_nine.data() + 6 + 18);
    QByteArray ascii_type = good;
    qToLittleEndian<quint16>(2, ascii_type.data() + 6 + 12);
    QTest::newRow("IFD offset past the end") << offset_past_end;
    QTest::newRow("entry count past the end") << count_past_end;
    QTest::newRow("unknown byte order") << bad_order;
    QTest::newRow("orientation 9") << value_nine;
    QTest::newRow("orientation stored as text") << ascii_type;
    QTest::newRow("block cut inside the header") << good.left(10);
    QTest::newRow("entry cut in half") << good.left(6 + 16);
  }
  void DamagedExifIsIgnored() {
    QFETCH(QByteArray, payload);
    const QString path = Path(QStringLiteral("damaged_exif.jpg"));
    QVERIFY(WriteFile(path, WithApp1(EncodeWithQt(Quadrants(), "jpeg", 95), payload)));
    QCOMPARE(ReadImageSize(path), QSize(64, 32));
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QVERIFY(QuadrantError(loaded.image) <= 8);
  }

  // A 600 x 400 red photo carrying a thumbnail whose left half is green and right half blue,
  // stored for the orientation; padded thumbnails carry 13 black rows above and below (4:3 around
  // the 3:2 picture, as cameras write them).
  void EmbeddedThumbnail_data() {
    QTest::addColumn<int>("orientation");
    QTest::addColumn<bool>("big_endian");
    QTest::addColumn<bool>("padded");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("upright, Intel order") << 1 << false << false << QSize(160, 107);
    QTest::newRow("upright, Motorola order") << 1 << true << false << QSize(160, 107);
    QTest::newRow("padded 4:3 cut to 3:2") << 1 << false << true << QSize(160, 107);
    QTest::newRow("orientation 6 turns it upright") << 6 << false << false << QSize(107, 160);
    QTest::newRow("orientation 3, padded") << 3 << true << true << QSize(160, 107);
    QTest::newRow("no orientation entry") << 0 << false << false << QSize(160, 107);
  }
  void EmbeddedThumbnail() {
    QFETCH(int, orientation);
    QFETCH(bool, big_endian);
    QFETCH(bool, padded);
    QFETCH(QSize, expected);
    // The upright thumbnail: green in its first half (left, or top when tall), blue in the other.
    const bool tall = expected.height() > expected.width();
    QImage upright(expected, QImage::Format_RGB32);
    for (int y = 0; y < upright.height(); ++y)
      for (int x = 0; x < upright.width(); ++x)
        upright.setPixel(
            x, y,
            (tall ? y < upright.height() / 2 : x < upright.width() / 2) ? qRgb(0, 200, 0) : qRgb(0, 0, 220));
    const int stored_as = orientation == 0 ? 1 : orientation;
    QImage stored_thumbnail = StoredForOrientation(upright, stored_as);
    if (padded) {
      QImage framed(stored_thumbnail.width(), stored_thumbnail.height() + 26, QImage::Format_RGB32);
      framed.fill(Qt::black);
      QPainter(&framed).drawImage(0, 13, stored_thumbnail);
      stored_thumbnail = framed;
    }
    const QSize upright_photo = tall ? QSize(400, 600) : QSize(600, 400);
    QImage photo(upright_photo, QImage::Format_RGB32);
    photo.fill(qRgb(220, 0, 0));
    const QString path = Path(QStringLiteral("camera.jpg"));
    QVERIFY(WriteFile(path, WithExifThumbnail(JpegBytes(StoredForOrientation(photo, stored_as)),
                                              JpegBytes(stored_thumbnail), orientation, big_endian)));
    const LoadedImage loaded = LoadExifThumbnail(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QCOMPARE(loaded.full_size, upright_photo);
    QCOMPARE(loaded.image.size(), expected);
    // Flat halves at quality 90: within 40 levels away from the halves' border.
    const QImage& image = loaded.image;
    const int w = image.width();
    const int h = image.height();
    const QPoint green = tall ? QPoint(w / 2, h / 4) : QPoint(w / 4, h / 2);
    const QPoint blue = tall ? QPoint(w / 2, h * 3 / 4) : QPoint(w * 3 / 4, h / 2);
    QVERIFY(ColourError(image.pixel(green), qRgb(0, 200, 0)) <= 40);
    QVERIFY(ColourError(image.pixel(blue), qRgb(0, 0, 220)) <= 40);
    // No black band is left at any edge.
    for (const QPoint edge : {QPoint(w / 4, 1), QPoint(w / 4, h - 2), QPoint(1, h / 4), QPoint(w - 2, h / 4)})
      QVERIFY2(ColourError(image.pixel(edge), qRgb(0, 0, 0)) > 60,
               qPrintable(QStringLiteral("%1,%2").arg(edge.x()).arg(edge.y())));
  }

  void DamagedOrMissingEmbeddedThumbnail_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<LoadStatus>("status");
    QImage photo(60, 40, QImage::Format_RGB32);
    photo.fill(Qt::red);
    const QByteArray jpeg = JpegBytes(photo);
    const QByteArray thumbnail = JpegBytes(photo.scaled(30, 20));
    const QByteArray good = WithExifThumbnail(jpeg, thumbnail, 1);
    // The thumbnail's length entry is the last value of IFD1, 4 bytes before its data.
    const qsizetype length_at = good.indexOf(thumbnail) - 4 - 4;
    QByteArray too_long = good;
    qToLittleEndian<quint32>(0x7FFFFFF0u, too_long.data() + length_at);
    QByteArray not_jpeg = good;
    not_jpeg[good.indexOf(thumbnail) + 1] = 'X';
    QTest::newRow("none") << jpeg << LoadStatus::Missing;
    QTest::newRow("length past the block") << too_long << LoadStatus::Missing;
    QTest::newRow("not starting with SOI") << not_jpeg << LoadStatus::Missing;
    QTest::newRow("a PNG file") << QByteArray("\x89PNG\r\n\x1a\n") << LoadStatus::Missing;
  }
  void DamagedOrMissingEmbeddedThumbnail() {
    QFETCH(QByteArray, file);
    QFETCH(LoadStatus, status);
    const QString path = Path(QStringLiteral("damaged_thumbnail.jpg"));
    QVERIFY(WriteFile(path, file));
    QCOMPARE(LoadExifThumbnail(path).status, status);
  }

  void ScaledJpegDecode_data() {
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QSize>("at_least");
    QTest::addColumn<QSize>("expected");
    // The photo is 800 x 600 upright; with orientation 6 it is stored as 600 x 800.
    for (int orientation : {1, 6}) {
      QTest::addRow("%d: 190x140 takes 1/4", orientation)
          << orientation << QSize(190, 140) << QSize(200, 150);
      QTest::addRow("%d: 200x150 takes 1/4", orientation)
          << orientation << QSize(200, 150) << QSize(200, 150);
      QTest::addRow("%d: 201x151 takes 1/2", orientation)
          << orientation << QSize(201, 151) << QSize(400, 300);
      QTest::addRow("%d: 100x151 takes 1/2", orientation)
          << orientation << QSize(100, 151) << QSize(400, 300);
      QTest::addRow("%d: 0x0 takes 1/8", orientation) << orientation << QSize(0, 0) << QSize(100, 75);
      QTest::addRow("%d: 401x300 takes all", orientation)
          << orientation << QSize(401, 300) << QSize(800, 600);
      QTest::addRow("%d: beyond the photo", orientation) << orientation << QSize(2000, 10) << QSize(800, 600);
    }
  }
  void ScaledJpegDecode() {
    QFETCH(int, orientation);
    QFETCH(QSize, at_least);
    QFETCH(QSize, expected);
    const QImage upright = Gradient(800, 600);
    const QByteArray jpeg = EncodeWithQt(StoredForOrientation(upright, orientation), "jpeg", 90);
    const QString path = Path(QStringLiteral("scaled.jpg"));
    QVERIFY(WriteFile(path, WithApp1(jpeg, ExifSegment(orientation, false))));
    const LoadedImage loaded = LoadImageAtLeast(path, at_least);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QCOMPARE(loaded.image.size(), expected);
    QCOMPARE(loaded.full_size, QSize(800, 600));
    // Upright: the smooth picture shrunk by Qt and the scaled decode differ only by filtering and
    // compression; a turned or mirrored result would differ by about 200 levels.
    const QImage reference = upright.scaled(expected, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QVERIFY2(MaxChannelDifference(loaded.image, reference) <= 8,
             qPrintable(QString::number(MaxChannelDifference(loaded.image, reference))));
  }

  void PixelCeiling_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<LoadStatus>("status");
    QTest::addColumn<QSize>("full_size");
    // Headers alone: a file the ceiling admits fails later for want of data, proving the decision
    // was made on the header, before any pixel memory was taken.
    QTest::newRow("JPEG of 400 MP") << JpegHeaderOnly(20000, 20000) << LoadStatus::TooLarge
                                    << QSize(20000, 20000);
    QTest::newRow("JPEG one row above")
        << JpegHeaderOnly(25000, 10001) << LoadStatus::TooLarge << QSize(25000, 10001);
    QTest::newRow("JPEG at the ceiling")
        << JpegHeaderOnly(25000, 10000) << LoadStatus::Undecodable << QSize(25000, 10000);
    QTest::newRow("turned JPEG above") << WithApp1(JpegHeaderOnly(10001, 25000), ExifSegment(8, true))
                                       << LoadStatus::TooLarge << QSize(25000, 10001);
    QTest::newRow("BMP of 256 MP") << BmpHeaderOnly(16000, 16000) << LoadStatus::TooLarge
                                   << QSize(16000, 16000);
  }
  void PixelCeiling() {
    QFETCH(QByteArray, bytes);
    QFETCH(LoadStatus, status);
    QFETCH(QSize, full_size);
    const QString path = Path(QStringLiteral("huge.img"));
    QVERIFY(WriteFile(path, bytes));
    QCOMPARE(ReadImageSize(path), full_size);
    for (const LoadedImage& loaded : {LoadImage(path), LoadImageAtLeast(path, QSize(100, 100))}) {
      QCOMPARE(loaded.status, status);
      QVERIFY(loaded.image.isNull());
      if (status == LoadStatus::TooLarge) QCOMPARE(loaded.full_size, full_size);
    }
  }

  void FortyMegapixelPngLoads() {
    // 8000 x 5200 is 166 MB as RGB32, beyond the 128 MB Qt's readers allow by default.
    QImage big(8000, 5200, QImage::Format_RGB32);
    big.fill(qRgb(10, 200, 30));
    const QString path = Path(QStringLiteral("forty.png"));
    QVERIFY(QImageWriter(path, "png").write(big));
    big = QImage();
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QCOMPARE(loaded.image.size(), QSize(8000, 5200));
    QCOMPARE(loaded.image.pixel(7999, 5199), qRgb(10, 200, 30));
  }

  void UndecodableFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<LoadStatus>("status");
    const QByteArray jpeg = EncodeWithQt(Gradient(256, 256), "jpeg", 90);
    const QByteArray png = EncodeWithQt(Gradient(256, 256), "png");
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i) garbage[i] = char((i * 7919) >> 3);
    const LoadStatus bad = LoadStatus::Undecodable, cut = LoadStatus::Truncated;
    QTest::newRow("empty file") << QByteArray() << bad;
    QTest::newRow("text") << QByteArray("not a picture at all\n") << bad;
    QTest::newRow("garbage") << garbage << bad;
    QTest::newRow("JPEG signature then garbage") << QByteArray("\xFF\xD8\xFF", 3) + garbage << bad;
    QTest::newRow("JPEG header without data") << JpegHeaderOnly(640, 480) << bad;
    QTest::newRow("JPEG cut in the middle") << jpeg.left(jpeg.size() / 2) << cut;
    QTest::newRow("JPEG cut inside the header") << jpeg.left(40) << bad;
    QTest::newRow("PNG cut in the middle") << png.left(png.size() / 2) << bad;
    QTest::newRow("BMP header without data") << BmpHeaderOnly(640, 480) << cut;
  }
  void UndecodableFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(LoadStatus, status);
    const QString path = Path(QStringLiteral("broken.jpg"));
    QVERIFY(WriteFile(path, bytes));
    for (const LoadedImage& loaded : {LoadImage(path), LoadImageAtLeast(path, QSize(8, 8))}) {
      QCOMPARE(loaded.status, status);
      QVERIFY(loaded.image.isNull());
    }
  }

  void MissingFile() {
    const QString path = Path(QStringLiteral("nowhere/none.jpg"));
    QCOMPARE(LoadImage(path).status, LoadStatus::Missing);
    QCOMPARE(LoadImageAtLeast(path, QSize(10, 10)).status, LoadStatus::Missing);
    QVERIFY(!ReadImageSize(path).isValid());
    QVERIFY(!ReadImageSize(dir_.path()).isValid());
  }

  void RotateFlip_data() {
    QTest::addColumn<QImage::Format>("format");
    QTest::addColumn<int>("code");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("layout");  // letters a..f of the source below, row by row
    // Source, 3 x 2:  a b c
    //                 d e f
    const QList<std::tuple<int, QSize, QString>> cases = {
        {0, QSize(3, 2), "abcdef"}, {1, QSize(2, 3), "daebfc"}, {2, QSize(3, 2), "fedcba"},
        {3, QSize(2, 3), "cfbead"}, {4, QSize(3, 2), "cbafed"}, {5, QSize(2, 3), "adbecf"},
        {6, QSize(3, 2), "defabc"}, {7, QSize(2, 3), "fcebda"}};
    for (const auto& [format, name] :
         {std::pair{QImage::Format_ARGB32_Premultiplied, "premultiplied"},
          std::pair{QImage::Format_RGB32, "RGB32"}, std::pair{QImage::Format_RGB888, "RGB888"}}) {
      for (const auto& [code, size, layout] : cases) {
        QTest::addRow("%s, code %d", name, code) << format << code << size << layout;
      }
    }
  }
  void RotateFlip() {
    QFETCH(QImage::Format, format);
    QFETCH(int, code);
    QFETCH(QSize, size);
    QFETCH(QString, layout);
    const auto colour = [](QChar letter) {
      const int i = letter.unicode() - 'a';
      return qRgb(10 + i * 40, 200 - i * 30, i * 17);
    };
    QImage image(3, 2, format);
    for (int i = 0; i < 6; ++i) image.setPixel(i % 3, i / 3, colour(QChar('a' + i)));
    QVERIFY(::RotateFlip(image, static_cast<RotateFlipType>(code)));
    QCOMPARE(image.size(), size);
    QCOMPARE(image.format(), format);
    for (int i = 0; i < layout.size(); ++i) {
      QCOMPARE(image.pixel(i % size.width(), i / size.width()), colour(layout[i]));
    }
  }

  void RotateFlipThatCannotAllocateChangesNothing_data() {
    QTest::addColumn<int>("code");
    for (int code : {1, 3, 5, 7}) QTest::addRow("code %d", code) << code;
  }
  void RotateFlipThatCannotAllocateChangesNothing() {
    QFETCH(int, code);
    QImage image(3, 2, QImage::Format_ARGB32_Premultiplied);
    for (int i = 0; i < 6; ++i) image.setPixel(i % 3, i / 3, qRgb(i * 40, 0, 0));
    const QImage before = image.copy();
    const ImageAllocator no_memory = [](int, int, QImage::Format) { return QImage(); };
    QVERIFY(!::RotateFlip(image, static_cast<RotateFlipType>(code), no_memory));
    QCOMPARE(image, before);
    // The turns that need no copy still work without one.
    QVERIFY(::RotateFlip(image, RotateFlipType::Turn180, no_memory));
    QCOMPARE(image.pixel(0, 0), before.pixel(2, 1));
  }

  void RotateFlipMatchesQtAcrossTiles_data() {
    QTest::addColumn<int>("code");
    for (int code = 1; code <= 7; ++code) QTest::addRow("code %d", code) << code;
  }
  void RotateFlipMatchesQtAcrossTiles() {
    QFETCH(int, code);
    // Odd sizes over several tiles, large enough to be split over threads; Qt's exact quarter turns
    // and mirrors as the reference.
    QImage image(701, 451, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, 0xFF000000u | uint(y * image.width() + x));
    }
    QImage expected = image.transformed(QTransform().rotate(90.0 * (code & 3)));
    if (code & 4) expected = expected.mirrored(true, false);
    QVERIFY(::RotateFlip(image, static_cast<RotateFlipType>(code)));
    QCOMPARE(MaxChannelDifference(image, expected), 0);
  }
};

QTEST_GUILESS_MAIN(ImageIoTest)
#include "image_io_test.moc"
