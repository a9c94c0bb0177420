// The output formats' size limits, at each limit and one past it, decided without any pixels.
#include <QtTest>

#include "imaging/format_limits.h"
#include "imaging/image_io.h"

class FormatLimitsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void SizesAtAndPastEachLimit_data() {
    QTest::addColumn<QString>("mime");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("problem");  // empty: the size can be written
    // libjpeg's JPEG_MAX_DIMENSION.
    QTest::newRow("JPEG widest") << "image/jpeg" << QSize(65'500, 1) << "";
    QTest::newRow("JPEG tallest") << "image/jpeg" << QSize(1, 65'500) << "";
    QTest::newRow("JPEG too wide") << "image/jpeg" << QSize(65'535, 1)
                                   << "JPEG holds at most 65,500 pixels a side; 65,535 x 1 is too wide";
    QTest::newRow("JPEG too tall") << "image/jpeg" << QSize(1, 65'501)
                                   << "JPEG holds at most 65,500 pixels a side; 1 x 65,501 is too tall";
    // libpng's default user limits, a million columns and rows.
    QTest::newRow("PNG widest") << "image/png" << QSize(1'000'000, 1) << "";
    QTest::newRow("PNG tallest") << "image/png" << QSize(1, 1'000'000) << "";
    QTest::newRow("PNG too wide") << "image/png" << QSize(1'000'001, 1)
                                  << "PNG holds at most 1,000,000 pixels a side; 1,000,001 x 1 is too wide";
    QTest::newRow("PNG too tall") << "image/png" << QSize(1, 250'000'000)
                                  << "PNG holds at most 1,000,000 pixels a side; 1 x 250,000,000 is too tall";
    // GIF's 16-bit logical screen.
    QTest::newRow("GIF widest") << "image/gif" << QSize(65'535, 3'000) << "";
    QTest::newRow("GIF too wide") << "image/gif" << QSize(65'536, 1)
                                  << "GIF holds at most 65,535 pixels a side; 65,536 x 1 is too wide";
    QTest::newRow("GIF too tall") << "image/gif" << QSize(1, 65'536)
                                  << "GIF holds at most 65,535 pixels a side; 1 x 65,536 is too tall";
    // Classic TIFF and BMP address at most 4 GB: 4 bytes a pixel and a kilobyte a row.
    QTest::newRow("TIFF at the ceiling") << "image/tiff" << QSize(20'000, 12'500) << "";
    QTest::newRow("TIFF very wide") << "image/tiff" << QSize(1'000'000'000, 1) << "";
    QTest::newRow("TIFF past 4 GB")
        << "image/tiff" << QSize(40'000, 30'000)
        << "TIFF files hold at most 4,294,967,295 bytes; 40,000 x 30,000 would take more";
    QTest::newRow("TIFF just within 4 GB") << "image/tiff" << QSize(1'000'000, 1'073) << "";
    QTest::newRow("TIFF just past 4 GB")
        << "image/tiff" << QSize(1'000'000, 1'074)
        << "TIFF files hold at most 4,294,967,295 bytes; 1,000,000 x 1,074 would take more";
    QTest::newRow("BMP past 4 GB")
        << "image/bmp" << QSize(40'000, 30'000)
        << "BMP files hold at most 4,294,967,295 bytes; 40,000 x 30,000 would take more";
    QTest::newRow("BMP at the ceiling") << "image/bmp" << QSize(20'000, 12'500) << "";
    // libwebp's 14-bit sides; AV1's 16-bit frame sides.
    QTest::newRow("WebP widest") << "image/webp" << QSize(16'383, 2) << "";
    QTest::newRow("WebP too tall") << "image/webp" << QSize(2, 16'384)
                                   << "WebP holds at most 16,383 pixels a side; 2 x 16,384 is too tall";
    QTest::newRow("AVIF widest") << "image/avif" << QSize(65'536, 2) << "";
    QTest::newRow("AVIF too wide") << "image/avif" << QSize(65'537, 2)
                                   << "AVIF holds at most 65,536 pixels a side; 65,537 x 2 is too wide";
    QTest::newRow("JPEG XL very wide") << "image/jxl" << QSize(250'000'000, 1) << "";
    QTest::newRow("unknown type") << "image/x-none" << QSize(2'000'000'000, 2'000'000'000) << "";
  }
  void SizesAtAndPastEachLimit() {
    QFETCH(QString, mime);
    QFETCH(QSize, size);
    QFETCH(QString, problem);
    QCOMPARE(OutputSizeProblem(size, mime), problem);
  }

  // Every type the encoder table writes has its row, so a format added there cannot go unchecked.
  void EveryEncoderHasLimits() {
    for (const char* mime : {"image/jpeg", "image/bmp", "image/png", "image/tiff", "image/gif", "image/webp",
                             "image/avif", "image/jxl"}) {
      QVERIFY2(FindEncoder(QString::fromLatin1(mime)) >= 0, mime);
      QVERIFY2(FormatLimitsFor(QString::fromLatin1(mime)) != nullptr, mime);
    }
  }

  // An encoder is never handed a size its format cannot hold: nothing is written, the reason named.
  void EncodingRefusesImpossibleSizes() {
    QTemporaryDir dir;
    const QImage wide(65'536, 1, QImage::Format_RGB32);
    QString error;
    QVERIFY(!EncodeImage(wide, dir.filePath("wide.gif"), QStringLiteral("image/gif"), -1, &error));
    QCOMPARE(error,
             QStringLiteral("Unable to write to %1: GIF holds at most 65,535 pixels a side; 65,536 x 1 is "
                            "too wide")
                 .arg(dir.filePath("wide.gif")));
    QVERIFY(QDir(dir.path()).isEmpty());
  }
};

QTEST_MAIN(FormatLimitsTest)
#include "format_limits_test.moc"
