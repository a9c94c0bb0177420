// The custom frames: the window of "1" and the soft line of "2" around the shown photo, in the
// chosen colour and opacity, seen through the frame mask as the live display draws them.
#include <QTest>

#include "edit/custom_frame.h"
#include "edit/frame_mask.h"

namespace {

const QSize kPreview(315, 315);

QImage Blank() {
  QImage image(kPreview, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  return image;
}

// The masked frame the live display lays over the photo.
QImage Masked(CustomFrameShape shape, const CustomFrameSettings& settings, QRect shown) {
  CustomFrames frames{Blank(), Blank(), Blank()};
  DrawCustomFrame(frames, shape, settings, shown);
  ApplyFrameMask(frames.mask, frames.picture, frames.masked);
  return frames.masked;
}

int AlphaAt(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)); }

}  // namespace

class CustomFrameTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void WindowIsInsetFromTheShownPhoto_data() {
    QTest::addColumn<QRect>("shown");
    QTest::addColumn<int>("border");
    QTest::addColumn<int>("opacity");
    // A 16:9 frame shown 315 x 177 from y = 69; the same turned upright; a photo filling the preview.
    QTest::newRow("landscape, 5, opaque") << QRect(0, 69, 315, 177) << 5 << 255;
    QTest::newRow("landscape, 20, half") << QRect(0, 69, 315, 177) << 20 << 128;
    QTest::newRow("portrait, 10, faint") << QRect(69, 0, 177, 315) << 10 << 1;
    QTest::newRow("square, widest border") << QRect(0, 0, 315, 315) << 100 << 200;
  }
  void WindowIsInsetFromTheShownPhoto() {
    QFETCH(QRect, shown);
    QFETCH(int, border);
    QFETCH(int, opacity);
    CustomFrameSettings settings;
    settings.colour = QColor(30, 120, 210);
    settings.border = border;
    settings.opacity = opacity;
    const QImage masked = Masked(CustomFrameShape::Window, settings, shown);
    // The window's first and last pixels on each side, from the shown photo's edges.
    const int left = shown.x() + border;
    const int top = shown.y() + border;
    const int right = shown.x() + shown.width() - 1 - border;
    const int bottom = shown.y() + shown.height() - 1 - border;
    const int cx = shown.x() + shown.width() / 2;
    const int cy = shown.y() + shown.height() / 2;
    QCOMPARE(AlphaAt(masked, left - 1, cy), opacity);
    QCOMPARE(AlphaAt(masked, left, cy), 0);
    QCOMPARE(AlphaAt(masked, right, cy), 0);
    QCOMPARE(AlphaAt(masked, right + 1, cy), opacity);
    QCOMPARE(AlphaAt(masked, cx, top - 1), opacity);
    QCOMPARE(AlphaAt(masked, cx, top), 0);
    QCOMPARE(AlphaAt(masked, cx, bottom), 0);
    QCOMPARE(AlphaAt(masked, cx, bottom + 1), opacity);
    QCOMPARE(AlphaAt(masked, 0, 0), opacity);  // corners and letterbox carry the frame
    const QRgb colour = masked.pixel(left - 1, cy);
    QCOMPARE(qRgb(qRed(colour), qGreen(colour), qBlue(colour)), qRgb(30, 120, 210));
  }

  // Share s of the way in from the edge: rising to full strength at 4 %, gone at 8 %.
  void SoftLineRunsJustInsideTheEdge_data() {
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("strength");  // of 255, for an opaque frame
    // The photo shown 315 x 177 from y = 69: half sizes 157.5 and 88.5.
    QTest::newRow("top edge row, s = 0.0056") << QPoint(157, 69) << 36;
    QTest::newRow("near the top peak, s = 0.0395") << QPoint(157, 72) << 252;
    QTest::newRow("below the top peak, s = 0.0508") << QPoint(157, 73) << 186;
    QTest::newRow("past the line, s = 0.085") << QPoint(157, 76) << 0;
    QTest::newRow("bottom peak") << QPoint(157, 242) << 252;
    QTest::newRow("left side, s = 0.0413") << QPoint(6, 157) << 247;
    QTest::newRow("centre") << QPoint(157, 157) << 0;
    QTest::newRow("letterbox above the photo") << QPoint(157, 60) << 0;
  }
  void SoftLineRunsJustInsideTheEdge() {
    QFETCH(QPoint, at);
    QFETCH(int, strength);
    CustomFrameSettings settings;
    settings.colour = QColor(250, 10, 10);
    const QImage opaque = Masked(CustomFrameShape::SoftLine, settings, QRect(0, 69, 315, 177));
    // One level of rounding either way.
    QVERIFY2(qAbs(AlphaAt(opaque, at.x(), at.y()) - strength) <= 1,
             qPrintable(QString::number(AlphaAt(opaque, at.x(), at.y()))));
    settings.opacity = 100;
    const QImage faint = Masked(CustomFrameShape::SoftLine, settings, QRect(0, 69, 315, 177));
    QVERIFY(qAbs(AlphaAt(faint, at.x(), at.y()) - strength * 100 / 255) <= 1);
    if (strength > 0) {
      const QRgb colour = opaque.pixel(at.x(), at.y());
      QCOMPARE(qRgb(qRed(colour), qGreen(colour), qBlue(colour)), qRgb(250, 10, 10));
    }
  }

  void ValuesAreClampedToTheirRanges_data() {
    QTest::addColumn<int>("border");
    QTest::addColumn<int>("opacity");
    QTest::addColumn<int>("used_border");
    QTest::addColumn<int>("used_opacity");
    QTest::newRow("lowest") << 1 << 1 << 1 << 1;
    QTest::newRow("zero") << 0 << 0 << 1 << 1;
    QTest::newRow("-1") << -1 << -1 << 1 << 1;
    QTest::newRow("highest") << 100 << 255 << 100 << 255;
    QTest::newRow("past the top") << 101 << 256 << 100 << 255;
    QTest::newRow("2147483647") << 2147483647 << 2147483647 << 100 << 255;
  }
  void ValuesAreClampedToTheirRanges() {
    QFETCH(int, border);
    QFETCH(int, opacity);
    QFETCH(int, used_border);
    QFETCH(int, used_opacity);
    CustomFrameSettings settings;
    settings.border = border;
    settings.opacity = opacity;
    const QImage masked = Masked(CustomFrameShape::Window, settings, QRect(0, 0, 315, 315));
    QCOMPARE(AlphaAt(masked, used_border - 1, 157), used_opacity);
    QCOMPARE(AlphaAt(masked, used_border, 157), 0);
  }

  void NoShownPhotoFramesTheWholePreview() {
    CustomFrameSettings settings;
    const QImage masked = Masked(CustomFrameShape::Window, settings, QRect());
    QCOMPARE(AlphaAt(masked, 4, 100), 255);
    QCOMPARE(AlphaAt(masked, 5, 100), 0);
    QCOMPARE(AlphaAt(masked, 309, 100), 0);
    QCOMPARE(AlphaAt(masked, 310, 100), 255);
  }

  // A border wider than half the shown photo leaves no window: the frame covers it all.
  void BorderWiderThanThePhotoLeavesNoWindow() {
    CustomFrameSettings settings;
    settings.border = 100;
    const QImage masked = Masked(CustomFrameShape::Window, settings, QRect(0, 100, 315, 120));
    QCOMPARE(AlphaAt(masked, 157, 160), 255);
  }
};

QTEST_MAIN(CustomFrameTest)
#include "custom_frame_test.moc"
