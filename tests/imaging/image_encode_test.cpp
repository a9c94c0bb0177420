// The imaging I/O layer's writing side: the five encoders, the encoder table, and writes that fail.
#include <QtTest>

#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>

#include "imaging/image_fixtures.h"
#include "imaging/image_io.h"
#include "imaging/jpeg_codec.h"
#include "support/test_support.h"

using namespace image_fixtures;
using testing_support::MaxChannelDifference;
using testing_support::ReadFile;
using testing_support::WriteFile;

class ImageEncodeTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString Path(const QString& name) const { return dir_.filePath(name); }

 private Q_SLOTS:
  void Encoders_data() {
    QTest::addColumn<QString>("mime");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<int>("tolerance");
    // JPEG at quality 95 with 4:2:0 chroma on a smooth gradient; GIF's 256 dithered colours for
    // 1,536 distinct ones put a pixel at most about one palette step off.
    QTest::newRow("JPEG") << "image/jpeg" << QByteArray("jpeg") << 6;
    QTest::newRow("BMP") << "image/bmp" << QByteArray("bmp") << 0;
    QTest::newRow("PNG") << "image/png" << QByteArray("png") << 0;
    QTest::newRow("TIFF") << "image/tiff" << QByteArray("tiff") << 0;
    QTest::newRow("GIF") << "image/gif" << QByteArray("gif") << 16;
  }
  void Encoders() {
    QFETCH(QString, mime);
    QFETCH(QByteArray, format);
    QFETCH(int, tolerance);
    // Named .dat: the content alone must say what it is. A folder of its own shows that no
    // temporary file is left beside the result.
    const QString folder = Path(QStringLiteral("encoder_") + QString::fromLatin1(format));
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/round_trip.dat");
    QString error;
    QVERIFY(EncodeImage(Gradient(), path, mime, 95, &error));
    QVERIFY(error.isEmpty());
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"round_trip.dat"});
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QCOMPARE(reader.format(), format);
    const QImage read = reader.read();
    QCOMPARE(read.size(), QSize(48, 32));
    // Alpha is compared too: an opaque picture stays opaque.
    QVERIFY2(MaxChannelDifference(read, Gradient()) <= tolerance,
             qPrintable(QString::number(MaxChannelDifference(read, Gradient()))));
  }

  void OpaqueOutputHasNoAlpha_data() {
    QTest::addColumn<QString>("mime");
    QTest::newRow("BMP") << "image/bmp";
    QTest::newRow("PNG") << "image/png";
    QTest::newRow("TIFF") << "image/tiff";
  }
  void OpaqueOutputHasNoAlpha() {
    QFETCH(QString, mime);
    const QString path = Path(QStringLiteral("opaque.dat"));
    QVERIFY(EncodeImage(Gradient(), path, mime, 100, nullptr));  // premultiplied, all alpha 255
    QVERIFY(!QImageReader(path).read().hasAlphaChannel());
  }

  void TransparencyKept_data() {
    QTest::addColumn<QString>("mime");
    QTest::newRow("PNG") << "image/png";
    QTest::newRow("TIFF") << "image/tiff";
    QTest::newRow("GIF") << "image/gif";
  }
  void TransparencyKept() {
    QFETCH(QString, mime);
    QImage image = Gradient();
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < 16; ++x) image.setPixel(x, y, 0);
    }
    const QString path = Path(QStringLiteral("transparent.dat"));
    QVERIFY(EncodeImage(image, path, mime, 100, nullptr));
    const QImage read = QImageReader(path).read().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(qAlpha(read.pixel(3, 5)), 0);
    QCOMPARE(qAlpha(read.pixel(30, 5)), 255);
  }

  void JpegFlattensOntoBlack_data() {
    QTest::addColumn<QImage::Format>("format");
    QTest::newRow("ARGB32") << QImage::Format_ARGB32;
    QTest::newRow("premultiplied") << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("RGBA8888") << QImage::Format_RGBA8888;
  }
  void JpegFlattensOntoBlack() {
    QFETCH(QImage::Format, format);
    QImage image(16, 16, format);
    image.fill(QColor(255, 0, 0, 128));
    const QString path = Path(QStringLiteral("flattened.jpg"));
    QVERIFY(EncodeImage(image, path, QStringLiteral("image/jpeg"), 95, nullptr));
    // Half-opaque red over black is red 128; JPEG keeps a flat block within a few levels.
    QVERIFY(ColourError(QImage(path).pixel(8, 8), qRgb(128, 0, 0)) <= 6);
  }

  void JpegQualityIsUsed() {
    const QImage photo = Gradient(256, 256);
    QVERIFY(EncodeImage(photo, Path(QStringLiteral("q20.jpg")), QStringLiteral("image/jpeg"), 20, nullptr));
    QVERIFY(EncodeImage(photo, Path(QStringLiteral("q100.jpg")), QStringLiteral("image/jpeg"), 100, nullptr));
    QVERIFY(QFileInfo(Path(QStringLiteral("q100.jpg"))).size() >
            2 * QFileInfo(Path(QStringLiteral("q20.jpg"))).size());
  }

  void FindEncoder_data() {
    QTest::addColumn<QString>("mime");
    QTest::addColumn<int>("index");
    QTest::newRow("jpeg") << "image/jpeg" << 0;
    QTest::newRow("bmp") << "image/bmp" << 1;
    QTest::newRow("png") << "image/png" << 2;
    QTest::newRow("tiff") << "image/tiff" << 3;
    QTest::newRow("gif") << "image/gif" << 4;
    QTest::newRow("case differs") << "image/JPEG" << -1;
    QTest::newRow("jpg is no MIME type") << "image/jpg" << -1;
    QTest::newRow("trailing space") << "image/png " << -1;
    QTest::newRow("empty") << "" << -1;
  }
  void FindEncoder() {
    QFETCH(QString, mime);
    QFETCH(int, index);
    QCOMPARE(::FindEncoder(mime), index);
  }

  void MimeTypeForFileName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mime");
    QTest::newRow("jpg") << "/a/photo.jpg"
                         << "image/jpeg";
    QTest::newRow("JPEG upper case") << "PHOTO.JPEG"
                                     << "image/jpeg";
    QTest::newRow("bmp") << "x.bmp"
                         << "image/bmp";
    QTest::newRow("png") << "x.png"
                         << "image/png";
    QTest::newRow("tif") << "x.tif"
                         << "image/tiff";
    QTest::newRow("tiff") << "x.tiff"
                          << "image/tiff";
    QTest::newRow("gif") << "x.gif"
                         << "image/gif";
    QTest::newRow("webp") << "x.webp"
                          << "image/webp";
    QTest::newRow("avif") << "x.AVIF"
                          << "image/avif";
    QTest::newRow("jxl") << "x.jxl"
                         << "image/jxl";
    QTest::newRow("heic (read, not written)") << "x.heic"
                                              << "";
    QTest::newRow("no extension") << "jpg"
                                  << "";
  }
  void MimeTypeForFileName() {
    QFETCH(QString, name);
    QFETCH(QString, mime);
    QCOMPARE(::MimeTypeForFileName(name), mime);
  }

  void FailedWriteLeavesNothing_data() {
    QTest::addColumn<QString>("mime");
    for (const char* mime : {"image/jpeg", "image/bmp", "image/png", "image/tiff", "image/gif"}) {
      QTest::newRow(mime) << QString::fromLatin1(mime);
    }
  }
  void FailedWriteLeavesNothing() {
    QFETCH(QString, mime);
    // The tests run as root, so permissions cannot make a write fail; a plain file as the parent
    // folder does.
    QVERIFY(WriteFile(Path(QStringLiteral("plain")), "x"));
    const QString path = Path(QStringLiteral("plain/out.img"));
    QString error;
    QVERIFY(!EncodeImage(Gradient(), path, mime, 90, &error));
    QCOMPARE(
        error,
        QStringLiteral("Unable to write to %1: %2 is not a folder").arg(path, Path(QStringLiteral("plain"))));
    QVERIFY(!QFileInfo::exists(path));
  }

  void FailedEncodeKeepsEarlierFile() {
    const QString path = Path(QStringLiteral("kept/out.gif"));
    QVERIFY(WriteFile(path, "earlier"));
    // GIF cannot hold a side above 65535 pixels: refused before the encoder is asked.
    QImage too_wide(70000, 1, QImage::Format_ARGB32_Premultiplied);
    too_wide.fill(Qt::red);
    QString error;
    QVERIFY(!EncodeImage(too_wide, path, QStringLiteral("image/gif"), 100, &error));
    QCOMPARE(error,
             QStringLiteral(
                 "Unable to write to %1: GIF holds at most 65,535 pixels a side; 70,000 x 1 is too wide")
                 .arg(path));
    QCOMPARE(ReadFile(path), QByteArray("earlier"));
    QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.gif"});
  }

  // The row writer gives the very bytes of the whole-picture encoder, whatever the bands: a JPEG
  // streamed while it is drawn is the file a save of the finished picture writes.
  void RowWriterMatchesTheWholeEncoder_data() {
    QTest::addColumn<QImage::Format>("format");
    QTest::addColumn<int>("quality");
    QTest::addColumn<int>("band");
    QTest::newRow("opaque, quality 100, bands of 16") << QImage::Format_RGB32 << 100 << 16;
    QTest::newRow("premultiplied, quality 100, bands of 7")
        << QImage::Format_ARGB32_Premultiplied << 100 << 7;
    QTest::newRow("opaque, quality 75, one band") << QImage::Format_RGB32 << 75 << 1000;
    QTest::newRow("premultiplied, quality 40, single rows") << QImage::Format_ARGB32_Premultiplied << 40 << 1;
  }
  void RowWriterMatchesTheWholeEncoder() {
    QFETCH(QImage::Format, format);
    QFETCH(int, quality);
    QFETCH(int, band);
    // Odd sizes: partial chroma blocks at the right and bottom edges; half-transparent pixels too.
    QImage image = Gradient(157, 101).convertToFormat(format);
    if (format == QImage::Format_ARGB32_Premultiplied)
      for (int x = 0; x < 60; ++x) image.setPixel(x, 40, qPremultiply(qRgba(250, 30, 90, 100)));
    QByteArray whole;
    QBuffer whole_buffer(&whole);
    QVERIFY(whole_buffer.open(QIODevice::WriteOnly));
    QVERIFY(EncodeJpeg(image, quality, whole_buffer));
    QByteArray rows;
    QBuffer rows_buffer(&rows);
    QVERIFY(rows_buffer.open(QIODevice::WriteOnly));
    JpegRowWriter writer(rows_buffer, image.width(), image.height(), quality);
    for (int top = 0; top < image.height(); top += band)
      QVERIFY(writer.WriteRows(image.constScanLine(top), image.bytesPerLine(),
                               std::min(band, image.height() - top)));
    QVERIFY(writer.Finish());
    QVERIFY(whole.size() > 1000);
    QCOMPARE(rows, whole);
  }

  void RowWriterFailures() {
    const QImage image = Gradient(40, 40);
    // Output that cannot be written: the failure shows at the latest when the file is ended.
    QBuffer read_only;
    QVERIFY(read_only.open(QIODevice::ReadOnly));
    QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QBuffer): ReadOnly device");
    JpegRowWriter refused(read_only, 40, 40, 90);
    refused.WriteRows(image.constBits(), image.bytesPerLine(), 40);
    QVERIFY(!refused.Finish());
    // More rows than the picture has, or ending it early, is refused rather than written.
    QBuffer out;
    QVERIFY(out.open(QIODevice::WriteOnly));
    JpegRowWriter too_many(out, 40, 20, 90);
    QVERIFY(!too_many.WriteRows(image.constBits(), image.bytesPerLine(), 40));
    JpegRowWriter early(out, 40, 40, 90);
    QVERIFY(early.WriteRows(image.constBits(), image.bytesPerLine(), 20));
    QVERIFY(!early.Finish());
    JpegRowWriter empty(out, 0, 40, 90);
    QVERIFY(!empty.Finish());
  }

  void UnknownTypeWritesNothing() {
    const QString path = Path(QStringLiteral("unknown.heic"));
    QString error;
    QVERIFY(!EncodeImage(Gradient(), path, QStringLiteral("image/heic"), 100, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!error.contains(QLatin1Char('\n')));
    QVERIFY(!QFileInfo::exists(path));
  }
};

QTEST_GUILESS_MAIN(ImageEncodeTest)
#include "image_encode_test.moc"
