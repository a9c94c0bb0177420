// Full-size rendering into files: orientation replay, crop, caption placement, output size, failures.
#include <sys/resource.h>

#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <random>

#include "../imaging/format_tools.h"
#include "base/lumisto_error.h"
#include "compose/render_composite.h"
#include "edit/geometric_edits.h"
#include "imaging/image_io.h"
#include "output/render_to_file.h"
#include "support/sample_styles.h"
#include "support/test_support.h"

using testing_support::ShippedTextures;

namespace {

// A photo whose quadrants differ: red top-left, green top-right, blue bottom-left, white bottom-right.
QImage Quadrants(int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool right = x >= w / 2, bottom = y >= h / 2;
      image.setPixel(x, y,
                     !bottom ? (right ? qRgb(0, 255, 0) : qRgb(255, 0, 0))
                             : (right ? qRgb(255, 255, 255) : qRgb(0, 0, 255)));
    }
  return image;
}

// Detail everywhere, so a misplaced sample or a band drawn twice shows.
QImage Noisy(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  std::mt19937 random(7);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb((x * 3 + y) & 255, random() % 256, (y * 2) & 255));
  return image;
}

// Every layer on; the shape and the band's placement vary.
FrameStyle Framed(int sharp, bool include) {
  FrameStyle s = testing_support::EveryEffectStyle();
  s.frame_include = include;
  s.frame_sharp = sharp;
  return s;
}

bool Near(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40 &&
         std::abs(qBlue(a) - qBlue(b)) < 40;
}

}  // namespace

class RenderToFileTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString Path(const QString& name) const { return dir_.filePath(name); }

  RenderRequest Request(const QString& photo, const QString& out) {
    RenderRequest r;
    r.photo_path = Path(photo);
    r.output_path = Path(out);
    r.style.blend_opacity = 255;  // every layer off: the photo itself
    return r;
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(Quadrants(400, 300).save(Path("photo.png")));
    QVERIFY(Quadrants(4000, 3000).save(Path("big.png")));
    QVERIFY(Noisy(640, 480).save(Path("noisy.png")));
    QVERIFY(Noisy(640, 480).save(Path("noisy.jpg"), "jpg", 90));
    QVERIFY(Noisy(2400, 1800).save(Path("large.jpg"), "jpg", 90));
    // The photo's information, which the streamed file carries in its header.
    QVERIFY(QFile::copy(Path("large.jpg"), Path("large-info.jpg")));
    QVERIFY(format_tools::RunTool(
        "exiftool", {"-q", "-overwrite_original", "-Make=Acme", "-Model=TestCam X1", "-GPSLatitude=47.3",
                     "-GPSLatitudeRef=N", "-XMP:Creator=A. Person", "-IPTC:Keywords=holiday",
                     "-Comment=kept apart", Path("large-info.jpg")}));
    const QByteArray jpeg = testing_support::ReadFile(Path("noisy.jpg"));
    QVERIFY(testing_support::WriteFile(Path("cut.jpg"), jpeg.left(jpeg.size() / 2)));
    QVERIFY(testing_support::WriteFile(Path("no-end.jpg"), jpeg.chopped(2)));
    // A streak 5000 times as wide as tall, cut inside its image data.
    QVERIFY(QImage(10'000, 2, QImage::Format_RGB32).save(Path("streak.png")));
    const QByteArray streak = testing_support::ReadFile(Path("streak.png"));
    QVERIFY(testing_support::WriteFile(Path("cut-streak.png"), streak.left(streak.indexOf("IDAT") + 20)));
    QVERIFY(QImage(70'000, 1, QImage::Format_RGB32).save(Path("line.png")));
    const QByteArray line = testing_support::ReadFile(Path("line.png"));
    QVERIFY(testing_support::WriteFile(Path("cut-line.png"), line.left(line.indexOf("IDAT") + 20)));
  }

  // Sizes no output format can hold are refused from the numbers and the photo's header: the photos
  // here are cut, so any decode would fail otherwise, and the output folder stays as it was.
  void ImpossibleSizesAreRefusedBeforeDecoding_data() {
    QTest::addColumn<QString>("photo");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("message");
    QTest::newRow("JPEG too wide")
        << "cut.jpg"
        << "x.jpg" << QSize(65'535, 1)
        << "x.jpg: JPEG holds at most 65,500 pixels a side; 65,535 x 1 is too wide";
    QTest::newRow("PNG too tall")
        << "cut.jpg"
        << "x.png" << QSize(1, 250'000'000)
        << "x.png: PNG holds at most 1,000,000 pixels a side; 1 x 250,000,000 is too tall";
    QTest::newRow("GIF too tall") << "cut.jpg"
                                  << "x.gif" << QSize(10, 70'000)
                                  << "x.gif: GIF holds at most 65,535 pixels a side; 10 x 70,000 is too tall";
    QTest::newRow("PNG too wide in proportion")
        << "cut-streak.png"
        << "x.png" << QSize(-1, 201)
        << "x.png: PNG holds at most 1,000,000 pixels a side; 1,005,000 x "
           "201 is too wide";
    QTest::newRow("JPEG of an unscaled photo too wide")
        << "cut-line.png"
        << "x.jpg" << QSize() << "x.jpg: JPEG holds at most 65,500 pixels a side; 70,000 x 1 is too wide";
    QTest::newRow("above the pixel ceiling in proportion")
        << "cut-streak.png"
        << "x.png" << QSize(-1, 300) << "An output size of 1500000 x 300 is more than 250 million pixels";
  }
  void ImpossibleSizesAreRefusedBeforeDecoding() {
    QFETCH(QString, photo);
    QFETCH(QString, out);
    QFETCH(QSize, size);
    QFETCH(QString, message);
    RenderRequest request = Request(photo, out);
    request.output_size = size;
    const QString expected = message.startsWith(u'x') ? Path(message) : message;
    QCOMPARE(PlannedOutputProblem(request), expected);
    const QStringList before = QDir(dir_.path()).entryList(QDir::Files);
    try {
      RenderToFile(request, ShippedTextures());
      QFAIL("no error");
    } catch (const LumistoError& e) {
      QCOMPARE(e.Message(), expected);
    }
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), before);
  }

  // What can be written plans without a problem, whether or not the photo's header is readable.
  void PossibleSizesPlanWithoutProblem_data() {
    QTest::addColumn<QString>("photo");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QSize>("size");
    QTest::newRow("JPEG at its limit") << "cut.jpg"
                                       << "x.jpg" << QSize(65'500, 1);
    QTest::newRow("PNG at its limit") << "cut.jpg"
                                      << "x.png" << QSize(1, 1'000'000);
    QTest::newRow("photo's own size") << "noisy.jpg"
                                      << "x.gif" << QSize();
    QTest::newRow("missing photo") << "nope.jpg"
                                   << "x.jpg" << QSize(-1, 100);
  }
  void PossibleSizesPlanWithoutProblem() {
    QFETCH(QString, photo);
    QFETCH(QString, out);
    QFETCH(QSize, size);
    RenderRequest request = Request(photo, out);
    request.output_size = size;
    QCOMPARE(PlannedOutputProblem(request), QString());
  }

  // The full-size render makes its effects canvas while the photo decodes and hands it in: the
  // composite is RenderComposite's on the decoded photo, pixel for pixel.
  void FullSizeRenderIsRenderComposite_data() {
    QTest::addColumn<int>("sharp");
    QTest::addColumn<bool>("include");
    for (const int sharp : {0, 1, 2})
      for (const bool include : {true, false})
        QTest::addRow("shape %d, band %s", sharp, include ? "over the photo" : "around it")
            << sharp << include;
  }
  void FullSizeRenderIsRenderComposite() {
    QFETCH(int, sharp);
    QFETCH(bool, include);
    RenderRequest r = Request("noisy.png", "unused.png");
    r.style = Framed(sharp, include);
    const QImage rendered = RenderFullSize(r, ShippedTextures());
    const QImage photo = LoadImage(Path("noisy.png")).image;
    QImage expected(photo.size(), QImage::Format_ARGB32_Premultiplied);
    RenderComposite(photo, expected, r.style, ShippedTextures());
    QCOMPARE(rendered.size(), expected.size());
    QCOMPARE(testing_support::MaxChannelDifference(rendered, expected), 0);
  }

  // A JPEG without an output size is drawn and encoded band by band, caption included; the file
  // is byte for byte the one the finished composite would give.
  void StreamedJpegIsTheSavedComposite_data() {
    QTest::addColumn<int>("sharp");
    QTest::addColumn<bool>("include");
    QTest::addColumn<bool>("turn");
    QTest::addColumn<QRect>("crop");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("photo");
    for (const int sharp : {0, 1, 2})
      for (const bool include : {true, false})
        QTest::addRow("shape %d, band %s", sharp, include ? "over" : "around")
            << sharp << include << false << QRect() << QString() << 24 << 0 << "noisy.png";
    QTest::newRow("caption across bands")
        << 1 << false << false << QRect() << "Lumisto\nframed" << 24 << 1 << "noisy.png";
    QTest::newRow("large italic caption")
        << 2 << true << false << QRect() << "Big & slanted" << 72 << 3 << "noisy.png";
    QTest::newRow("turned, crop inside")
        << 1 << false << true << QRect(33, 41, 301, 377) << QString() << 24 << 0 << "noisy.png";
    QTest::newRow("crop reaching outside")
        << 0 << true << false << QRect(500, 300, 300, 250) << "edge" << 30 << 2 << "noisy.png";
    // A JPEG photo drawn as stored is decoded while the bands above are already drawn and written.
    QTest::newRow("JPEG decoded while drawn")
        << 1 << false << false << QRect() << QString() << 24 << 0 << "noisy.jpg";
    QTest::newRow("large JPEG decoded while drawn, caption")
        << 2 << true << false << QRect() << "Lumisto\nframed" << 24 << 1 << "large.jpg";
    QTest::newRow("JPEG turned: decoded first")
        << 0 << true << true << QRect() << QString() << 24 << 0 << "noisy.jpg";
    QTest::newRow("JPEG with the photo's information")
        << 1 << false << false << QRect() << QString() << 24 << 0 << "large-info.jpg";
  }
  void StreamedJpegIsTheSavedComposite() {
    QFETCH(int, sharp);
    QFETCH(bool, include);
    QFETCH(bool, turn);
    QFETCH(QRect, crop);
    QFETCH(QString, caption);
    QFETCH(int, points);
    QFETCH(int, style);
    QFETCH(QString, photo);
    RenderRequest r = Request(photo, "streamed.jpg");
    r.style = Framed(sharp, include);
    if (turn) RecordGeometricEdit(r.rotate_flip, GeometricEdit::TurnClockwise);
    if (!crop.isNull()) r.crop = CropRect{crop.x(), crop.y(), crop.width(), crop.height()};
    r.caption.text = caption;
    r.caption.font_name = QStringLiteral("DejaVu Sans");
    r.caption.size = points;
    r.caption.style = static_cast<CaptionStyle>(style);
    r.caption.face_opacity = 200;
    r.caption.position = QPointF(30, 100);
    r.quality = 97;
    RenderToFile(r, ShippedTextures());
    QString error;
    QVERIFY(EncodeImage(RenderFullSize(r, ShippedTextures()), Path("whole.jpg"), QStringLiteral("image/jpeg"),
                        r.quality, &error, PhotoMetadata::Read(r.photo_path, r.metadata, nullptr)));
    const QByteArray streamed = testing_support::ReadFile(Path("streamed.jpg"));
    QVERIFY(streamed.size() > 10000);
    QVERIFY(streamed == testing_support::ReadFile(Path("whole.jpg")));
    // The photo's information and the colour profile sit in the streamed header.
    QVERIFY(streamed.left(4096).contains("ICC_PROFILE"));
    if (photo == QLatin1String("large-info.jpg")) QVERIFY(streamed.left(65536).contains("TestCam X1"));
  }

  void PlainRenderKeepsThePhotoSize() {
    RenderToFile(Request("photo.png", "plain.png"), ShippedTextures());
    QImageReader reader(Path("plain.png"));
    QCOMPARE(reader.format(), QByteArray("png"));
    QCOMPARE(reader.size(), QSize(400, 300));
  }

  void TurnAndMirrorComeBeforeCropAndFrame() {
    RenderRequest r = Request("photo.png", "turned.png");
    RecordGeometricEdit(r.rotate_flip, GeometricEdit::TurnClockwise);
    RecordGeometricEdit(r.rotate_flip, GeometricEdit::Mirror);  // rotate-flip code 5
    QCOMPARE(ReplayOrientation(r.rotate_flip) - 1, 5);
    RenderToFile(r, ShippedTextures());
    const QImage out(Path("turned.png"));
    QCOMPARE(out.size(), QSize(300, 400));
    // Turned clockwise red lands top-right, then the mirror brings it back to the left.
    QVERIFY(Near(out.pixel(10, 10), qRgb(255, 0, 0)));
    QVERIFY(Near(out.pixel(290, 10), qRgb(0, 0, 255)));
    QVERIFY(Near(out.pixel(10, 390), qRgb(0, 255, 0)));

    // A crop in pixels of the turned photo, and a frame band drawn over the crop's edge.
    r.crop = CropRect{0, 0, 150, 200};
    r.style.frame_draw = 1;
    r.style.frame_include = 1;
    r.style.frame_size = 10;
    r.style.frame_opacity = 255;
    r.style.frame_color = 0xFFFF00;  // cyan
    r.output_path = Path("turned-crop.png");
    RenderToFile(r, ShippedTextures());
    const QImage cropped(Path("turned-crop.png"));
    QCOMPARE(cropped.size(), QSize(150, 200));
    QVERIFY(Near(cropped.pixel(75, 100), qRgb(255, 0, 0)));
    QVERIFY(Near(cropped.pixel(3, 100), qRgb(0, 255, 255)));
  }

  void CropOfALargePhoto() {
    RenderRequest r = Request("big.png", "crop.bmp");
    r.crop = CropRect{100, 50, 800, 600};
    r.style.back_draw = 1;
    r.style.back_size = 40;  // sizes count in pixels of the crop
    r.style.back_opacity = 255;
    r.style.back_color = 0x000000;
    RenderToFile(r, ShippedTextures());
    QImageReader reader(Path("crop.bmp"));
    QCOMPARE(reader.format(), QByteArray("bmp"));
    const QImage out = reader.read();
    QCOMPARE(out.size(), QSize(800, 600));
    // Margin 40 of 880: the photo starts at 40 x 800 / 880 = 36.4.
    QVERIFY(Near(out.pixel(34, 300), qRgb(0, 0, 0)));
    QVERIFY(Near(out.pixel(39, 300), qRgb(255, 0, 0)));
  }

  void OutputSizeScalesTheFramedPicture() {
    RenderRequest r = Request("big.png", "sized.jpg");
    r.output_size = QSize(1024, 768);
    RenderToFile(r, ShippedTextures());
    QImageReader reader(Path("sized.jpg"));
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    QCOMPARE(reader.size(), QSize(1024, 768));
    r.output_size = QSize(500, 0);  // one side zero: the composite's own size
    r.output_path = Path("unsized.jpg");
    RenderToFile(r, ShippedTextures());
    QCOMPARE(QImageReader(Path("unsized.jpg")).size(), QSize(4000, 3000));
  }

  void CaptionMapping() {
    const float f = 4000.0f / 315.0f;
    const QPointF at = CaptionOrigin(QSize(4000, 3000), QPointF(120, 180), f);
    QCOMPARE(at.x(), double(120 * f));
    QCOMPARE(at.y(), double(180 * f - 500));
    const QPointF portrait = CaptionOrigin(QSize(3000, 4001), QPointF(120, 180), f);
    QCOMPARE(portrait.x(), double(120 * f - 500));  // 1001 / 2 drops the remainder
    QCOMPARE(portrait.y(), double(180 * f));
  }

  void CaptionIsStampedWithItsShadow() {
    QImage photo(315, 315, QImage::Format_ARGB32_Premultiplied);
    photo.fill(Qt::black);
    CaptionSettings caption;
    caption.text = QStringLiteral("█");
    caption.position = QPointF(100, 100);
    StampCaption(photo, caption, 1.0f);
    // The face is white; the grey shadow shows 2 pixels right and below the face's far edge.
    int white = 0, grey = 0;
    for (int y = 95; y < 160; ++y)
      for (int x = 95; x < 160; ++x) {
        const QRgb p = photo.pixel(x, y);
        if (p == qRgb(255, 255, 255)) ++white;
        if (p == qRgb(100, 100, 100)) ++grey;
      }
    QVERIFY(white > 50);
    QVERIFY(grey > 10);
    QCOMPARE(photo.pixel(90, 90), qRgb(0, 0, 0));  // nothing above and left of the position
  }

  void Failures_data() {
    QTest::addColumn<QString>("photo");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing photo") << "nope.jpg"
                                   << "x.png"
                                   << "no such photo";
    QTest::newRow("not a picture") << "garbage.jpg"
                                   << "x.png"
                                   << "not a picture";
    QTest::newRow("unknown extension") << "photo.png"
                                       << "x.heic"
                                       << "unknown picture type";
    QTest::newRow("unwritable folder") << "photo.png"
                                       << "garbage.jpg/x.png"
                                       << "Unable to write to";
    QTest::newRow("unwritable folder, streamed JPEG") << "photo.png"
                                                      << "garbage.jpg/x.jpg"
                                                      << "Unable to write to";
    // A photo decoded while the file is written is judged all the same, to its end marker.
    const QString cut = QStringLiteral("ends before its picture does");
    QTest::newRow("cut photo") << "cut.jpg"
                               << "x.png" << cut;
    QTest::newRow("cut photo, streamed JPEG") << "cut.jpg"
                                              << "x.jpg" << cut;
    QTest::newRow("photo without its end marker, streamed JPEG") << "no-end.jpg"
                                                                 << "x.jpg" << cut;
  }
  // A write that fails midway (the disk full) while the photo is decoded into a window of rows:
  // the render reports it, never waits for bands that will not come, and leaves nothing behind.
  void FullDiskWhileDecodingAWindowOfRows() {
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("full")));
    const QStringList before = QDir(Path("full")).entryList(QDir::Files | QDir::Hidden);
    RenderRequest r = Request("large.jpg", "full/streamed.jpg");
    r.style = Framed(1, false);
    signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 64 * 1024;  // a few bands' worth
    setrlimit(RLIMIT_FSIZE, &limited);
    QString message;
    try {
      RenderToFile(r, ShippedTextures());
    } catch (const LumistoError& e) {
      message = e.Message();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY2(message.startsWith(QStringLiteral("Unable to write to ")), qPrintable(message));
    QCOMPARE(QDir(Path("full")).entryList(QDir::Files | QDir::Hidden), before);
    // With room again the same render is written.
    RenderToFile(r, ShippedTextures());
    QVERIFY(QFileInfo(Path("full/streamed.jpg")).size() > 64 * 1024);
  }

  void Failures() {
    QFETCH(QString, photo);
    QFETCH(QString, out);
    QFETCH(QString, message);
    QVERIFY(testing_support::WriteFile(Path("garbage.jpg"), "this is no picture"));
    const QStringList before = QDir(dir_.path()).entryList(QDir::Files);
    try {
      RenderToFile(Request(photo, out), ShippedTextures());
      QFAIL("no error");
    } catch (const LumistoError& e) {
      QVERIFY2(e.Message().contains(message), qPrintable(e.Message()));
    }
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), before);  // nothing left behind
  }
};

QTEST_MAIN(RenderToFileTest)
#include "render_to_file_test.moc"
