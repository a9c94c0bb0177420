// Crop dialog geometry: view and dialog sizes, the opening selection, handles, drags and the crop.
#include <QTest>

#include "edit/crop_geometry.h"

Q_DECLARE_METATYPE(CropRect)

class CropGeometryTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void ViewAndDialog_data() {
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<QSize>("view");
    QTest::addColumn<QSize>("dialog");
    QTest::newRow("1000 x 500") << QSize(1000, 500) << QSize(500, 250) << QSize(520, 336);
    QTest::newRow("500 x 1000 portrait") << QSize(500, 1000) << QSize(250, 500) << QSize(270, 586);
    QTest::newRow("square") << QSize(700, 700) << QSize(500, 500) << QSize(520, 586);
    QTest::newRow("6000 x 4000 truncates") << QSize(6000, 4001) << QSize(500, 333) << QSize(520, 419);
    QTest::newRow("tiny photo grows") << QSize(10, 5) << QSize(500, 250) << QSize(520, 336);
    QTest::newRow("a sliver keeps a pixel") << QSize(2147483647, 1) << QSize(500, 1) << QSize(520, 87);
    QTest::newRow("empty") << QSize(0, 0) << QSize() << QSize();
  }
  void ViewAndDialog() {
    QFETCH(QSize, photo);
    QFETCH(QSize, view);
    QFETCH(QSize, dialog);
    QCOMPARE(CropViewSize(photo), view);
    if (!view.isEmpty()) QCOMPARE(CropDialogSize(view), dialog);
  }

  void ViewOrigin() {
    QCOMPARE(CropViewOrigin(QSize(500, 250)), QPoint(7, 8));  // (520 - 500) / 2 - 3
  }

  void OpeningSelection_data() {
    QTest::addColumn<CropRect>("crop");
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("no crop: whole view") << CropRect{} << QSize(1000, 500) << QRect(0, 0, 500, 250);
    QTest::newRow("crop, each value + 1")
        << CropRect{100, 50, 400, 200} << QSize(1000, 500) << QRect(51, 26, 201, 101);
    QTest::newRow("whole photo stays inside the view")
        << CropRect{0, 0, 1000, 500} << QSize(1000, 500) << QRect(0, 0, 500, 250);
    QTest::newRow("right-hand crop pushed back inside")
        << CropRect{600, 100, 400, 400} << QSize(1000, 500) << QRect(299, 49, 201, 201);
    QTest::newRow("tiny crop grows to a handle")
        << CropRect{10, 10, 4, 4} << QSize(1000, 500) << QRect(6, 6, 32, 32);
    QTest::newRow("huge values") << CropRect{2147483647, 2147483647, 2147483647, 2147483647}
                                 << QSize(1000, 500) << QRect(0, 0, 500, 250);
    QTest::newRow("negative values") << CropRect{-1, -1, -1, 100} << QSize(1000, 500) << QRect(1, 1, 32, 51);
  }
  void OpeningSelection() {
    QFETCH(CropRect, crop);
    QFETCH(QSize, photo);
    QFETCH(QRect, expected);
    QCOMPARE(::OpeningSelection(crop, photo, CropViewSize(photo)), expected);
  }

  void HandlesAroundTheSelection() {
    const auto at = CropHandlePositions(QRect(10, 20, 101, 81));
    // Corners inside the selection, edge middles halfway (toward zero).
    QCOMPARE(at[0], QPoint(10, 20));
    QCOMPARE(at[2], QPoint(10 + 101 - 32, 20));
    QCOMPARE(at[5], QPoint(10, 20 + 81 - 32));
    QCOMPARE(at[7], QPoint(79, 69));
    QCOMPARE(at[1], QPoint(10 + (79 - 10) / 2, 20));
    QCOMPARE(at[3], QPoint(10, 20 + (69 - 20) / 2));
    QCOMPARE(at[4], QPoint(79, 44));
    QCOMPARE(at[6], QPoint(44, 69));
  }

  void HandleDrags_data() {
    QTest::addColumn<int>("handle");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QRect>("expected");  // null: nothing happens
    // Selection (100, 50, 200, 100) in a 500 x 250 view.
    QTest::newRow("top-left both ways") << 0 << QPoint(-10, -5) << QRect(90, 45, 210, 105);
    QTest::newRow("top middle vertical only") << 1 << QPoint(-10, -5) << QRect(100, 45, 200, 105);
    QTest::newRow("top-right") << 2 << QPoint(10, 5) << QRect(100, 55, 210, 95);
    QTest::newRow("left middle horizontal only") << 3 << QPoint(10, 5) << QRect(110, 50, 190, 100);
    QTest::newRow("right middle") << 4 << QPoint(-10, 99) << QRect(100, 50, 190, 100);
    QTest::newRow("bottom-left") << 5 << QPoint(-10, 10) << QRect(90, 50, 210, 110);
    QTest::newRow("bottom middle") << 6 << QPoint(77, 10) << QRect(100, 50, 200, 110);
    QTest::newRow("bottom-right") << 7 << QPoint(10, 10) << QRect(100, 50, 210, 110);
    QTest::newRow("left stops at the view") << 0 << QPoint(-1000, 0) << QRect(0, 50, 300, 100);
    QTest::newRow("left stops a handle from the right") << 3 << QPoint(1000, 0) << QRect(268, 50, 32, 100);
    QTest::newRow("right stops at the view")
        << 7 << QPoint(2147483647, 2147483647) << QRect(100, 50, 400, 200);
    QTest::newRow("right stops a handle from the left") << 4 << QPoint(-1000, 0) << QRect(100, 50, 32, 100);
    QTest::newRow("top stops a handle from the bottom") << 1 << QPoint(0, 1000) << QRect(100, 118, 200, 32);
    QTest::newRow("bottom stops a handle from the top")
        << 6 << QPoint(0, -2147483647) << QRect(100, 50, 200, 32);
    QTest::newRow("edge handle along its edge: nothing") << 1 << QPoint(30, 0) << QRect();
    QTest::newRow("no move") << 7 << QPoint(0, 0) << QRect();
  }
  void HandleDrags() {
    QFETCH(int, handle);
    QFETCH(QPoint, delta);
    QFETCH(QRect, expected);
    const auto moved = DragCropHandle(QRect(100, 50, 200, 100), handle, delta, QSize(500, 250));
    QCOMPARE(moved.value_or(QRect()), expected);
  }

  void HandlesAtTheLimitsCannotMoveOutward() {
    QVERIFY(!DragCropHandle(QRect(0, 0, 500, 250), 0, QPoint(-5, -5), QSize(500, 250)));
    QVERIFY(!DragCropHandle(QRect(0, 0, 500, 250), 7, QPoint(5, 5), QSize(500, 250)));
    QVERIFY(!DragCropHandle(QRect(10, 10, 32, 32), 3, QPoint(5, 0), QSize(500, 250)));
  }

  void BodyDrags_data() {
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("inside") << QPoint(20, -10) << QRect(120, 40, 200, 100);
    QTest::newRow("to the left edge") << QPoint(-500, 0) << QRect(0, 50, 200, 100);
    QTest::newRow("to the bottom-right corner")
        << QPoint(2147483647, 2147483647) << QRect(300, 150, 200, 100);
    QTest::newRow("far up-left") << QPoint(-2147483647, -2147483647) << QRect(0, 0, 200, 100);
    QTest::newRow("nothing") << QPoint(0, 0) << QRect();
  }
  void BodyDrags() {
    QFETCH(QPoint, delta);
    QFETCH(QRect, expected);
    QCOMPARE(DragCropBody(QRect(100, 50, 200, 100), delta, QSize(500, 250)).value_or(QRect()), expected);
    QVERIFY(!DragCropBody(QRect(0, 0, 500, 250), delta, QSize(500, 250)));
  }

  void CropForSelection_data() {
    QTest::addColumn<QRect>("selection");
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<CropRect>("expected");
    QTest::newRow("landscape") << QRect(50, 25, 200, 100) << QSize(1000, 500) << CropRect{100, 50, 400, 200};
    QTest::newRow("portrait uses the height")
        << QRect(10, 20, 100, 200) << QSize(3000, 6000) << CropRect{120, 240, 1200, 2400};
    QTest::newRow("truncates") << QRect(1, 1, 333, 222) << QSize(6000, 4000) << CropRect{12, 12, 3996, 2664};
    QTest::newRow("whole view of 6000 x 4001")
        << QRect(0, 0, 500, 333) << QSize(6000, 4001) << CropRect{0, 0, 6000, 3996};
  }
  void CropForSelection() {
    QFETCH(QRect, selection);
    QFETCH(QSize, photo);
    QFETCH(CropRect, expected);
    QCOMPARE(::CropForSelection(selection, photo), expected);
  }

  void UntouchedOkKeepsTheStoredCrop() {
    const QSize photo(6000, 4000);
    const QSize view = CropViewSize(photo);
    // No crop: the whole oriented photo, to the last pixel.
    const QRect whole = ::OpeningSelection({}, photo, view);
    QCOMPARE(AcceptedCrop({}, whole, whole, photo), (CropRect{0, 0, 6000, 4000}));
    // A stored crop survives any number of untouched round trips.
    CropRect crop{1234, 567, 2345, 1789};
    for (int round = 0; round < 5; ++round) {
      const QRect opened = ::OpeningSelection(crop, photo, view);
      crop = AcceptedCrop(crop, opened, opened, photo);
    }
    QCOMPARE(crop, (CropRect{1234, 567, 2345, 1789}));
    // A changed selection goes through the view arithmetic.
    const QRect opened = ::OpeningSelection(crop, photo, view);
    const QRect moved = *DragCropBody(opened, QPoint(5, 0), view);
    QCOMPARE(AcceptedCrop(crop, opened, moved, photo), ::CropForSelection(moved, photo));
  }
};

QTEST_GUILESS_MAIN(CropGeometryTest)
#include "crop_geometry_test.moc"
