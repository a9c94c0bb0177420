// `lumisto render` with the new formats and the photo's information: every format in and out,
// EXIF, XMP and IPTC carried over and set right, --strip-location and --strip-metadata, and
// information too big or too broken to keep never failing the render.
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

#include "../imaging/format_tools.h"
#include "imaging/image_io.h"
#include "support/test_support.h"

using format_tools::RunTool;
using testing_support::RunLumisto;

namespace {

const QString kTemplate = QStringLiteral(LUMISTO_SOURCE_DIR "/assets/DATA/Mask/Color/Black Edge.ini");

// A 120 x 80 photo of smooth gradients: every codec keeps it within a few levels.
QImage Gradient() {
  QImage image(120, 80, QImage::Format_RGB32);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x) image.setPixel(x, y, qRgb(40 + x, 60 + y * 2, 200 - x));
  return image;
}

// exiftool's values of the tags (-s3 -n: numbers as stored), one line each, "-" for a missing one.
QStringList Tags(const QString& path, const QStringList& tags) {
  QStringList args{"-s3", "-n", "-f"};
  for (const QString& tag : tags) args << "-" + tag;
  args << path;
  QString output;
  if (!RunTool("exiftool", args, &output)) return {};
  return output.trimmed().split('\n');
}

// A JPEG photo with what a camera records, stored turned (orientation 6, a quarter turn clockwise
// to show it upright), and an embedded thumbnail.
QString CameraPhoto(const QTemporaryDir& dir) {
  const QString path = dir.filePath("camera.jpg");
  if (!testing_support::WriteFile(path, testing_support::JpegBytes(Gradient()))) return QString();
  const QString thumb = dir.filePath("thumb.jpg");
  testing_support::WriteFile(thumb, testing_support::JpegBytes(Gradient().scaled(30, 20)));
  const bool tagged = RunTool(
      "exiftool", {"-q", "-overwrite_original", "-Make=Acme", "-Model=TestCam X1", "-LensModel=Acme 35mm",
                   "-ExposureTime=1/250", "-DateTimeOriginal=2021:05:06 07:08:09", "-GPSLatitude=48.5",
                   "-GPSLatitudeRef=N", "-GPSLongitude=9.25", "-GPSLongitudeRef=E", "-Orientation#=6",
                   "-Copyright=Jo Doe", "-XMP-dc:Description=At the lake", "-IPTC:Keywords=lake",
                   "-ThumbnailImage<=" + thumb, path});
  return tagged ? path : QString();
}

}  // namespace

class PhotoInformationTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void everyFormatRendersAlike_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("name");
    QTest::newRow("HEIC") << "heif-enc" << QStringList{"-q", "95", "%IN%", "-o", "%OUT%"} << "photo.heic";
    QTest::newRow("AVIF") << "avifenc" << QStringList{"--min", "0", "--max", "8", "%IN%", "%OUT%"}
                          << "photo.avif";
    QTest::newRow("WebP") << "cwebp" << QStringList{"-q", "95", "%IN%", "-o", "%OUT%"} << "photo.webp";
    QTest::newRow("JPEG XL") << "cjxl" << QStringList{"-d", "0.5", "%IN%", "%OUT%"} << "photo.jxl";
  }
  void everyFormatRendersAlike() {
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString png = format_tools::SavePng(Gradient(), dir.path(), "photo.png");
    const QString path = dir.filePath(name);
    for (QString& arg : args) arg.replace("%IN%", png).replace("%OUT%", path);
    QVERIFY(RunTool(tool, args));
    const QString from_png = dir.filePath("from-png.png"), from_format = dir.filePath("from-format.png");
    QCOMPARE(RunLumisto({"render", png, kTemplate, from_png}).exit_code, 0);
    const auto result = RunLumisto({"render", path, kTemplate, from_format});
    QVERIFY2(result.exit_code == 0, result.err.constData());
    // The codec's own loss on this photo bounds the difference of the framed pictures (the frame is
    // drawn alike; the photo is resampled alike, which cannot add to the largest difference).
    const int codec_loss = testing_support::MaxChannelDifference(LoadImage(path).image, LoadImage(png).image);
    QVERIFY(codec_loss >= 0 && codec_loss <= 8);
    const int framed = testing_support::MaxChannelDifference(QImage(from_format), QImage(from_png));
    QVERIFY2(framed >= 0 && framed <= codec_loss + 1,
             qPrintable(QStringLiteral("%1 > %2").arg(framed).arg(codec_loss)));
  }

  void outputsReadBackInTheirOwnTools_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("quality");
    QTest::newRow("WebP lossless") << "out.webp"
                                   << "dwebp" << QStringList{};
    QTest::newRow("WebP lossy") << "out.webp"
                                << "dwebp" << QStringList{"--quality", "80"};
    QTest::newRow("AVIF") << "out.avif"
                          << "avifdec" << QStringList{"--quality", "80"};
    QTest::newRow("JPEG XL lossless") << "out.jxl"
                                      << "djxl" << QStringList{};
    QTest::newRow("JPEG XL lossy") << "out.jxl"
                                   << "djxl" << QStringList{"--quality", "80"};
  }
  void outputsReadBackInTheirOwnTools() {
    QFETCH(QString, name);
    QFETCH(QString, tool);
    QFETCH(QStringList, quality);
    QTemporaryDir dir;
    const QString png = format_tools::SavePng(Gradient(), dir.path(), "photo.png");
    const QString out = dir.filePath(name);
    const auto result = RunLumisto(QStringList{"render", png, kTemplate, out} + quality);
    QVERIFY2(result.exit_code == 0, result.err.constData());
    QVERIFY(result.err.isEmpty());  // --quality is taken, not warned about
    const QString decoded = dir.filePath("decoded.png");
    QString output;
    QVERIFY2(RunTool(tool, tool == u"dwebp" ? QStringList{out, "-o", decoded} : QStringList{out, decoded},
                     &output),
             qPrintable(output));
    // The tool's pixels are ours: exactly for the lossless files (quality 100 by default); lossy ones
    // differ where decoders interpolate chroma differently (libheif and libavif by about a level
    // on average at the frame's sharp edges).
    const QImage ours = LoadImage(out).image, theirs(decoded);
    const testing_support::ImageDifference difference = testing_support::CompareImages(ours, theirs);
    QVERIFY(difference.same_size);
    if (quality.isEmpty())
      QCOMPARE(difference.max_channel, 0);
    else
      QVERIFY2(difference.mean_rgb <= 2.0, qPrintable(QString::number(difference.mean_rgb)));
  }

  void keepsThePhotosInformation_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("keywords");
    QTest::newRow("JPEG") << "out.jpg"
                          << "lake";
    QTest::newRow("PNG") << "out.png"
                         << "lake";
    QTest::newRow("TIFF") << "out.tif"
                          << "lake";
    // WebP, AVIF and JPEG XL hold EXIF and XMP but no IPTC block.
    QTest::newRow("WebP") << "out.webp"
                          << "-";
    QTest::newRow("AVIF") << "out.avif"
                          << "-";
    QTest::newRow("JPEG XL") << "out.jxl"
                             << "-";
  }
  void keepsThePhotosInformation() {
    QFETCH(QString, name);
    QFETCH(QString, keywords);
    QTemporaryDir dir;
    const QString photo = CameraPhoto(dir);
    QVERIFY(!photo.isEmpty());
    const QString out = dir.filePath(name);
    const auto result = RunLumisto({"render", photo, kTemplate, out, "--size", "300"});
    QVERIFY2(result.exit_code == 0, result.err.constData());
    const QSize size = ReadImageSize(out);
    QCOMPARE(size.width(), 300);
    const QStringList tags = Tags(out, {"DateTimeOriginal", "Model", "LensModel", "ExposureTime",
                                        "GPSLatitude", "Copyright", "Description", "Keywords", "Orientation",
                                        "ExifImageWidth", "ExifImageHeight", "Software", "ThumbnailImage"});
    QCOMPARE(tags, (QStringList{"2021:05:06 07:08:09", "TestCam X1", "Acme 35mm", "0.004", "48.5", "Jo Doe",
                                "At the lake", keywords, "1", QString::number(size.width()),
                                QString::number(size.height()), "Lumisto", "-"}));
  }

  // render and the command line's batch alike; the batch keeps everything when not told otherwise.
  void stripOptions_data() {
    QTest::addColumn<bool>("batch");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("expected");
    const QStringList no_gps = {"TestCam X1", "-", "-", "-", "lake"};
    const QStringList none = {"-", "-", "-", "-", "-"};
    QTest::newRow("render --strip-location") << false << QStringList{"--strip-location"} << no_gps;
    QTest::newRow("render --strip-metadata") << false << QStringList{"--strip-metadata"} << none;
    QTest::newRow("render, both") << false << QStringList{"--strip-location", "--strip-metadata"} << none;
    QTest::newRow("batch --strip-location") << true << QStringList{"--strip-location"} << no_gps;
    QTest::newRow("batch --strip-metadata") << true << QStringList{"--strip-metadata"} << none;
    QTest::newRow("batch, both") << true << QStringList{"--strip-metadata", "--strip-location"} << none;
    QTest::newRow("batch keeps") << true << QStringList{} << QStringList{};
  }
  void stripOptions() {
    QFETCH(bool, batch);
    QFETCH(QStringList, options);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    const QString photo = CameraPhoto(dir);
    QVERIFY(!photo.isEmpty());
    QString out = dir.filePath("out.jpg");
    if (batch) {
      const QString job = dir.filePath("job.lbj");
      const auto added = RunLumisto({"batch", "add", job, "--template", kTemplate, photo});
      QVERIFY2(added.exit_code == 0, added.err.constData());
      const auto result = RunLumisto(QStringList{"batch", job, "--out", dir.filePath("framed")} + options);
      QVERIFY2(result.exit_code == 0, result.err.constData());
      out = dir.filePath("framed/" + QFileInfo(photo).fileName());
      QVERIFY(QFileInfo::exists(out));
    } else {
      QCOMPARE(RunLumisto(QStringList{"render", photo, kTemplate, out} + options).exit_code, 0);
    }
    QString all;
    QVERIFY(RunTool("exiftool", {"-s", "-a", "-G1", out}, &all));
    if (expected.isEmpty()) {
      // Kept: the camera, the place and the keywords.
      QCOMPARE(Tags(out, {"Model", "Keywords"}), (QStringList{"TestCam X1", "lake"}));
      QVERIFY2(all.contains("GPSLatitude"), qPrintable(all));
      return;
    }
    QCOMPARE(Tags(out, {"Model", "GPSLatitude", "GPSLongitude", "GPSPosition", "Keywords"}), expected);
    QVERIFY2(!all.contains("GPS"), qPrintable(all));
  }

  void informationTooLargeForTheOutputIsCut() {
    // Far more than a JPEG segment holds (64 KB): a TIFF photo with a description of 50 MB.
    QTemporaryDir dir;
    const QString photo = dir.filePath("photo.tif");
    QVERIFY(Gradient().save(photo, "tiff"));
    const QString text = dir.filePath("description.txt");
    QVERIFY(testing_support::WriteFile(text, QByteArray(50 << 20, 'a')));
    QVERIFY(RunTool("exiftool",
                    {"-q", "-overwrite_original", "-Model=TestCam X1", "-ImageDescription<=" + text, photo}));
    const QString out = dir.filePath("out.jpg");
    const auto result = RunLumisto({"render", photo, kTemplate, out});
    QVERIFY2(result.exit_code == 0, result.err.constData());
    // The oversized entry is left out, the rest kept.
    QCOMPARE(Tags(out, {"Model", "ImageDescription", "Software"}),
             (QStringList{"TestCam X1", "-", "Lumisto"}));
  }

  void unreadableInformationNeverFailsTheRender() {
    // An APP1 EXIF segment whose TIFF block is noise.
    QByteArray jpeg = testing_support::JpegBytes(Gradient());
    QByteArray noise(
        "\xFF\xE1\x01\x08"
        "Exif\0\0",
        10);
    for (int i = 0; i < 256; ++i) noise.append(char(i * 37 + 11));
    jpeg.insert(2, noise);
    QTemporaryDir dir;
    const QString photo = dir.filePath("photo.jpg");
    QVERIFY(testing_support::WriteFile(photo, jpeg));
    for (const QString& name :
         {QStringLiteral("out.jpg"), QStringLiteral("out.png"), QStringLiteral("out.webp")}) {
      const QString out = dir.filePath(name);
      const auto result = RunLumisto({"render", photo, kTemplate, out});
      QVERIFY2(result.exit_code == 0, result.err.constData());
      QVERIFY(!LoadImage(out).image.isNull());
    }
  }
};

QTEST_GUILESS_MAIN(PhotoInformationTest)
#include "photo_information_test.moc"
