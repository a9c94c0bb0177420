// The real executable mending templates: style set, style thumbnail, and the frame scale of render.
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include "compose/style_thumbnail.h"
#include "imaging/image_io.h"
#include "styles/frame_style.h"
#include "support/test_support.h"

using testing_support::MaxChannelDifference;
using testing_support::ReadFile;
using testing_support::RunLumisto;
using testing_support::WriteFile;

namespace {

FrameStyle RedBand(int scale) {
  FrameStyle s;
  s.blend_opacity = 255;
  s.frame_draw = 1;
  s.frame_include = 1;
  s.frame_opacity = 255;
  s.frame_size = 30;
  s.frame_color = 0x0000FF;
  s.scale = scale;
  return s;
}

// Red pixels from the left edge along the middle row.
int BandWidth(const QImage& image) {
  const int y = image.height() / 2;
  int x = 0;
  while (x < image.width() && qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) < 60) ++x;
  return x;
}

}  // namespace

class StyleCommandTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString Path(const QString& name) const { return dir_.filePath(name); }

 private Q_SLOTS:
  void SetChangesOnlyTheNamedKeys() {
    FrameStyle style = RedBand(0);
    style.back_color = 0x00030201;
    WriteFrameStyle(Path("set.ini"), style);
    QByteArray text = ReadFile(Path("set.ini"));
    QVERIFY(WriteFile(Path("set.ini"), "[Note]\nby=hand\n" + text));
    const auto result = RunLumisto({"style", "set", Path("set.ini"), "LineSize=2147483647",
                                    "FrameColor=001,002,255", "Scale=1", "BackDraw=5", "FrameSize=-1"});
    QCOMPARE(result.exit_code, 0);
    QVERIFY(result.err.isEmpty());
    FrameStyle read;
    ReadFrameStyle(Path("set.ini"), read);
    FrameStyle expected = style;
    expected.line_size = 2147483647;
    expected.frame_color = 0x00FF0201;
    expected.scale = 1;
    expected.back_draw = 1;
    expected.frame_size = -1;
    QCOMPARE(read, expected);
    QVERIFY(ReadFile(Path("set.ini")).startsWith("[Note]\nby=hand\n"));
    const auto shown = RunLumisto({"style", "show", Path("set.ini")});
    QVERIFY(shown.out.endsWith("Scale=1\n"));
  }

  void SetMakesAMissingFile() {
    const auto result = RunLumisto({"style", "set", Path("fresh.ini"), "BackSize=4"});
    QCOMPARE(result.exit_code, 0);
    FrameStyle read;
    ReadFrameStyle(Path("fresh.ini"), read);
    FrameStyle expected;
    expected.back_size = 4;
    QCOMPARE(read, expected);
  }

  // Nothing is written unless every pair is good.
  void BadSetLeavesTheFileAlone_data() {
    QTest::addColumn<QStringList>("pairs");
    QTest::addColumn<int>("exit_code");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a number") << QStringList{"LineSize=3", "FrameSize=12a"} << 1
                                  << "lumisto: '12a' is not a valid integer value\n";
    QTest::newRow("beyond 32 bits") << QStringList{"FrameSize=2147483648"} << 1
                                    << "lumisto: '2147483648' is not a valid integer value\n";
    QTest::newRow("empty value") << QStringList{"FrameSize="} << 1
                                 << "lumisto: '' is not a valid integer value\n";
    QTest::newRow("unpadded colour") << QStringList{"BackColor=0,0,0"} << 1
                                     << "lumisto: '0,0' is not a valid integer value\n";
    QTest::newRow("unknown key") << QStringList{"Size=3"} << 2 << "";
    QTest::newRow("no equals sign") << QStringList{"LineSize"} << 2 << "";
    QTest::newRow("no pairs") << QStringList{} << 2 << "";
  }
  void BadSetLeavesTheFileAlone() {
    QFETCH(QStringList, pairs);
    QFETCH(int, exit_code);
    QFETCH(QString, message);
    WriteFrameStyle(Path("keep.ini"), RedBand(0));
    const QByteArray before = ReadFile(Path("keep.ini"));
    const auto result = RunLumisto(QStringList{"style", "set", Path("keep.ini")} + pairs);
    QCOMPARE(result.exit_code, exit_code);
    if (!message.isEmpty()) QCOMPARE(QString::fromUtf8(result.err), message);
    QCOMPARE(ReadFile(Path("keep.ini")), before);
  }

  void SetIntoAMissingFolderFails() {
    const auto result = RunLumisto({"style", "set", Path("no/such.ini"), "LineSize=1"});
    QCOMPARE(result.exit_code, 1);
    QVERIFY(result.err.startsWith("lumisto: Unable to write to"));
  }

  void ThumbnailIsAFreshRenderBesideTheSettings_data() {
    QTest::addColumn<QString>("argument");
    QTest::newRow("settings file") << "Oval.ini";
    QTest::newRow("its picture") << "Oval.png";
  }
  void ThumbnailIsAFreshRenderBesideTheSettings() {
    QFETCH(QString, argument);
    FrameStyle style = RedBand(1);
    style.frame_sharp = 1;
    style.back_draw = 1;
    style.back_size = 6;
    style.back_opacity = 255;
    style.back_color = 0x00808080;
    WriteFrameStyle(Path("Oval.ini"), style);
    QFile::remove(Path("Oval.jpg"));
    const auto result = RunLumisto({"style", "thumbnail", Path(argument)});
    QCOMPARE(result.exit_code, 0);
    const LoadedImage picture = LoadImage(Path("Oval.jpg"));
    QCOMPARE(picture.status, LoadStatus::Ok);
    QCOMPARE(
        MaxChannelDifference(picture.image, RenderStyleThumbnail(style, testing_support::ShippedTextures())),
        0);
  }

  void ThumbnailOfAMissingFileFails() {
    const auto result = RunLumisto({"style", "thumbnail", Path("Ghost.ini")});
    QCOMPARE(result.exit_code, 1);
    QVERIFY(result.err.contains("no file"));
    QVERIFY(!QFileInfo::exists(Path("Ghost.jpg")));
  }

  // A 3000 x 2000 photo: the fit factor is 3000 / 315, so a 30-pixel band becomes 286 pixels.
  void RenderFlagsOverrideTheScale_data() {
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("flag");
    QTest::addColumn<int>("band");
    QTest::newRow("Scale=1") << 1 << "" << 286;
    QTest::newRow("Scale=0") << 0 << "" << 30;
    QTest::newRow("Scale=0 --scale-frames") << 0 << "--scale-frames" << 286;
    QTest::newRow("Scale=1 --pixel-frames") << 1 << "--pixel-frames" << 30;
  }
  void RenderFlagsOverrideTheScale() {
    QFETCH(int, scale);
    QFETCH(QString, flag);
    QFETCH(int, band);
    QImage photo(3000, 2000, QImage::Format_RGB32);
    photo.fill(Qt::green);
    QVERIFY(photo.save(Path("big.png")));
    WriteFrameStyle(Path("band.ini"), RedBand(scale));
    QStringList args{"render", Path("big.png"), Path("band.ini"), Path("out.png")};
    if (!flag.isEmpty()) args << flag;
    const auto result = RunLumisto(args);
    QCOMPARE(result.exit_code, 0);
    const LoadedImage out = LoadImage(Path("out.png"));
    QCOMPARE(out.status, LoadStatus::Ok);
    QVERIFY2(qAbs(BandWidth(out.image) - band) <= 1, qPrintable(QString::number(BandWidth(out.image))));
  }
};

QTEST_GUILESS_MAIN(StyleCommandTest)
#include "style_command_test.moc"
