// The live compositor: shifted photo, masked custom frame and caption over white.
#include <QTest>

#include "edit/live_compositor.h"

Q_DECLARE_METATYPE(DisplayMode)

namespace {

QImage Filled(QSize size, QRgb colour, QImage::Format format = QImage::Format_ARGB32) {
  QImage image(size, format);
  image.fill(colour);
  return image;
}

}  // namespace

class LiveCompositorTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void Layers_data() {
    QTest::addColumn<DisplayMode>("mode");
    QTest::addColumn<bool>("caption_shown");
    QTest::newRow("normal display shows the caption") << DisplayMode::Normal << true;
    QTest::newRow("caption placing leaves it out") << DisplayMode::CaptionEditing << false;
  }
  void Layers() {
    QFETCH(DisplayMode, mode);
    QFETCH(bool, caption_shown);
    const QSize size(20, 20);
    QImage target = Filled(size, qRgb(0, 0, 0), QImage::Format_ARGB32_Premultiplied);
    // The frame picture is blue; its mask lets it through only in the bottom-right corner.
    CustomFrames frames{Filled(size, qRgb(0, 0, 255)), Filled(size, qRgba(0, 0, 0, 255)), Filled(size, 0)};
    for (int y = 15; y < 20; ++y)
      for (int x = 15; x < 20; ++x) frames.mask.setPixel(x, y, qRgba(0, 255, 0, 255));
    QImage caption = Filled(size, qRgba(0, 0, 0, 0), QImage::Format_ARGB32_Premultiplied);
    caption.setPixel(10, 1, qRgb(0, 255, 0));
    // The photo is as large as the target and shifted by (5, 0): its left band is left white.
    const QImage photo = Filled(size, qRgb(255, 0, 0));

    LiveCompositor(target, frames, photo, QPoint(5, 0), ToneMatrix::Identity(), caption, mode);
    QCOMPARE(target.pixel(1, 10), qRgb(255, 255, 255));
    QCOMPARE(target.pixel(10, 10), qRgb(255, 0, 0));
    QCOMPARE(target.pixel(17, 17), qRgb(0, 0, 255));
    QCOMPARE(target.pixel(10, 1), caption_shown ? qRgb(0, 255, 0) : qRgb(255, 0, 0));
  }

  void ToneReachesThePhoto() {
    const QSize size(8, 8);
    QImage target = Filled(size, qRgb(0, 0, 0), QImage::Format_ARGB32_Premultiplied);
    CustomFrames frames{Filled(size, 0), Filled(size, 0), Filled(size, 0)};
    ToneMatrix halve;
    for (int c = 0; c < 3; ++c) halve.At(c, c) = 0.5f;
    LiveCompositor(target, frames, Filled(size, qRgb(200, 100, 50)), QPoint(0, 0), halve, QImage(),
                   DisplayMode::Normal);
    // Rounding of the matrix path may move a channel by one level.
    const QRgb pixel = target.pixel(4, 4);
    QVERIFY2(qAbs(qRed(pixel) - 100) <= 1 && qAbs(qGreen(pixel) - 50) <= 1 && qAbs(qBlue(pixel) - 25) <= 1,
             qPrintable(QString::number(pixel, 16)));
  }
};

QTEST_MAIN(LiveCompositorTest)
#include "live_compositor_test.moc"
