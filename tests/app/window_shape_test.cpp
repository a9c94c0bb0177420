// The window outline from the shape bitmap, and window moves by the drag bar.
#include <QPainter>
#include <QTest>

#include "app/window_shape.h"

namespace {

// 40 x 30, white, with a black 20 x 10 block at (10, 10) holding a white 4 x 2 hole at (18, 14)
// and a separate black pixel at (35, 20) on its own row part.
QImage ShapeBitmap() {
  QImage image(40, 30, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.fillRect(10, 10, 20, 10, Qt::black);
  p.fillRect(18, 14, 4, 2, Qt::white);
  p.end();
  image.setPixel(35, 12, qRgb(1, 2, 3));
  return image;
}

}  // namespace

class WindowShapeTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void Points_data() {
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("inside");
    QTest::newRow("block corner") << QPoint(10, 10) << true;
    QTest::newRow("block far corner") << QPoint(29, 19) << true;
    QTest::newRow("hole") << QPoint(19, 15) << false;
    QTest::newRow("beside the hole") << QPoint(17, 15) << true;
    QTest::newRow("rows above the first drawn row") << QPoint(15, 5) << false;
    QTest::newRow("rows below") << QPoint(15, 25) << false;
    QTest::newRow("left of the block") << QPoint(5, 12) << false;
    QTest::newRow("white gap between block and lone pixel") << QPoint(32, 12) << false;
    QTest::newRow("the lone near-white pixel") << QPoint(35, 12) << true;
  }
  void Points() {
    QFETCH(QPoint, point);
    QFETCH(bool, inside);
    QCOMPARE(ShapeRegion(ShapeBitmap()).contains(point), inside);
  }

  void AreaIsEveryNonWhitePixel() {
    const QRegion region = ShapeRegion(ShapeBitmap());
    qint64 area = 0;
    for (const QRect& rect : region) area += qint64(rect.width()) * rect.height();
    QCOMPARE(area, 20 * 10 - 4 * 2 + 1);
    QVERIFY(ShapeRegion(QImage()).isEmpty());
    // Only red, green and blue are compared: a transparent white pixel is still key colour.
    QImage transparent(3, 3, QImage::Format_ARGB32);
    transparent.fill(qRgba(255, 255, 255, 0));
    QVERIFY(ShapeRegion(transparent).isEmpty());
  }

  void Drag_data() {
    QTest::addColumn<QPoint>("recorded");
    QTest::addColumn<QPoint>("now");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("horizontal only") << QPoint(10, 10) << QPoint(25, 10) << QPoint(115, 50);
    QTest::newRow("both axes") << QPoint(10, 10) << QPoint(5, 30) << QPoint(95, 70);
    QTest::newRow("no move") << QPoint(10, 10) << QPoint(10, 10) << QPoint(100, 50);
  }
  void Drag() {
    QFETCH(QPoint, recorded);
    QFETCH(QPoint, now);
    QFETCH(QPoint, expected);
    QCOMPARE(DraggedWindowPos(QPoint(100, 50), recorded, now), expected);
  }
};

QTEST_MAIN(WindowShapeTest)
#include "window_shape_test.moc"
