// Mirror and quarter turns: replay, folding of a long history, crop rewrite, resize arithmetic.
#include <QtTest>

#include "edit/geometric_edits.h"
#include "imaging/image_io.h"

namespace {

RotateFlipList ListOf(const QList<int>& codes) {
  RotateFlipList list;
  for (int c : codes) list.Append(static_cast<GeometricEdit>(c));
  return list;
}

RotateFlipList ListOfEdits(const QList<GeometricEdit>& edits) {
  RotateFlipList list;
  for (GeometricEdit e : edits) list.Append(e);
  return list;
}

// A 3 x 2 picture whose six pixels all differ, so every orientation is told apart.
QImage Marked() {
  QImage image(3, 2, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) image.setPixel(x, y, qRgb(40 * x, 100 * y, 7));
  return image;
}

}  // namespace

class GeometricEditsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void Replay_data() {
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<int>("orientation");
    QTest::newRow("nothing") << QList<int>{} << 1;
    QTest::newRow("four clockwise turns") << QList<int>{1, 1, 1, 1} << 1;
    QTest::newRow("mirror then clockwise") << QList<int>{4, 1} << 8;
    QTest::newRow("clockwise then mirror") << QList<int>{1, 4} << 6;
    QTest::newRow("counter-clockwise wraps") << QList<int>{3} << 4;
    QTest::newRow("mirrored counter-clockwise turn is a clockwise one") << QList<int>{4, 3, 4} << 2;
    QTest::newRow("mirrored counter-clockwise wraps") << QList<int>{4, 3, 3, 3, 3} << 5;
  }
  void Replay() {
    QFETCH(QList<int>, codes);
    QFETCH(int, orientation);
    QCOMPARE(ReplayOrientation(ListOf(codes)), orientation);
  }

  // Doing the edits one by one on a picture gives the same pixels as one rotate-flip by the replayed code.
  void ReplayMatchesStepByStep_data() {
    QTest::addColumn<QList<int>>("codes");
    QTest::newRow("cw") << QList<int>{1};
    QTest::newRow("ccw") << QList<int>{3};
    QTest::newRow("mirror") << QList<int>{4};
    QTest::newRow("cw mirror") << QList<int>{1, 4};
    QTest::newRow("mirror cw") << QList<int>{4, 1};
    QTest::newRow("cw cw mirror") << QList<int>{1, 1, 4};
    QTest::newRow("mirror ccw ccw ccw") << QList<int>{4, 3, 3, 3};
    QTest::newRow("long mix") << QList<int>{1, 4, 3, 3, 4, 1, 1, 4, 3};
  }
  void ReplayMatchesStepByStep() {
    QFETCH(QList<int>, codes);
    QImage stepwise = Marked();
    for (int c : codes) QVERIFY(RotateFlip(stepwise, static_cast<RotateFlipType>(c)));
    QImage once = Marked();
    QVERIFY(RotateFlip(once, ReplayedRotateFlip(ListOf(codes))));
    QCOMPARE(once, stepwise);
    QCOMPARE(ReplayOrientation(ListOfEdits(ShortestCodes(ReplayOrientation(ListOf(codes))))),
             ReplayOrientation(ListOf(codes)));
  }

  void FullHistoryFoldsInsteadOfRefusing() {
    RotateFlipList list;
    for (int i = 0; i < RotateFlipList::kCapacity; ++i)
      RecordGeometricEdit(list, i % 3 == 0 ? GeometricEdit::Mirror : GeometricEdit::TurnClockwise);
    QCOMPARE(list.count, RotateFlipList::kCapacity);
    const int before = ReplayOrientation(list);
    RecordGeometricEdit(list, GeometricEdit::TurnClockwise);  // the 99th edit
    QVERIFY(list.count <= 4);
    RotateFlipList expected = ListOfEdits(ShortestCodes(before));
    expected.Append(GeometricEdit::TurnClockwise);
    QCOMPARE(ReplayOrientation(list), ReplayOrientation(expected));
  }

  void CropRewrite_data() {
    QTest::addColumn<GeometricEdit>("code");
    QTest::addColumn<CropRect>("after");
    // Photo 400 x 300, crop (10, 20, 100, 50).
    QTest::newRow("mirror") << GeometricEdit::Mirror << CropRect{290, 20, 100, 50};
    QTest::newRow("counter-clockwise") << GeometricEdit::TurnCounterClockwise << CropRect{20, 290, 50, 100};
    QTest::newRow("clockwise") << GeometricEdit::TurnClockwise << CropRect{230, 10, 50, 100};
  }
  void CropRewrite() {
    QFETCH(GeometricEdit, code);
    QFETCH(CropRect, after);
    QCOMPARE(RewriteCrop(CropRect{10, 20, 100, 50}, code, 400, 300), after);
    QCOMPARE(RewriteCrop(CropRect{}, code, 400, 300), CropRect{});
  }

  // The crop after each edit cuts the same pixels out of the edited photo as the crop before it cut
  // out of the photo, edited the same way: checked on pictures whose pixels name their position.
  void CropFollowsThePixels_data() {
    QTest::addColumn<QList<int>>("codes");
    QTest::newRow("clockwise") << QList<int>{1};
    QTest::newRow("counter-clockwise") << QList<int>{3};
    QTest::newRow("mirror") << QList<int>{4};
    QTest::newRow("clockwise, mirror, counter-clockwise") << QList<int>{1, 4, 3};
    QTest::newRow("two counter-clockwise") << QList<int>{3, 3};
  }
  void CropFollowsThePixels() {
    QFETCH(QList<int>, codes);
    QImage photo(37, 23, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
      for (int x = 0; x < photo.width(); ++x) photo.setPixel(x, y, qRgb(x, y, 0));
    EditState state;
    state.photo_width = photo.width();
    state.photo_height = photo.height();
    state.crop = CropRect{3, 5, 11, 7};
    QImage cut = photo.copy(3, 5, 11, 7);
    for (int code : codes) {
      const auto edit = static_cast<GeometricEdit>(code);
      const auto apply = [edit](const QImage& image) {
        if (edit == GeometricEdit::Mirror) return image.mirrored(true, false);
        return image.transformed(QTransform().rotate(edit == GeometricEdit::TurnClockwise ? 90 : -90));
      };
      photo = apply(photo);
      cut = apply(cut);
      ApplyGeometricEdit(state, edit);
      QCOMPARE(QSize(state.photo_width, state.photo_height), photo.size());
      const CropRect& c = state.crop;
      QCOMPARE(photo.copy(c.x, c.y, c.width, c.height), cut);
    }
  }

  void FourTurnsPutEverythingBack() {
    EditState state;
    state.photo_width = 400;
    state.photo_height = 300;
    state.crop = CropRect{10, 20, 100, 50};
    ApplyGeometricEdit(state, GeometricEdit::TurnClockwise);
    QCOMPARE(state.photo_width, 300);  // a 400 x 300 photo turned once shows 300 x 400
    QCOMPARE(state.photo_height, 400);
    for (int i = 0; i < 3; ++i) ApplyGeometricEdit(state, GeometricEdit::TurnClockwise);
    QCOMPARE(state.crop, (CropRect{10, 20, 100, 50}));
    QCOMPARE(state.photo_width, 400);
    QCOMPARE(ReplayOrientation(state.rotate_flip), 1);
    QCOMPARE(state.mirror_switch, 1);
    ApplyGeometricEdit(state, GeometricEdit::Mirror);
    QCOMPARE(state.mirror_switch, 0);
    QCOMPARE(state.photo_width, 400);
  }

  void Constrain() {
    QCOMPARE(ConstrainedSide(200, 300, 400), 150);
    QCOMPARE(ConstrainedSide(1, 300, 400), 0);
    QCOMPARE(ConstrainedSide(150, 400, 300), 200);
    QCOMPARE(ConstrainedSide(-8, 300, 400), -6);           // truncation toward zero
    QCOMPARE(ConstrainedSide(2000000000, 3, 2), INT_MAX);  // held at the largest size, never wrapped
    QCOMPARE(ConstrainedSide(5, 300, 0), 0);
  }
};

Q_DECLARE_METATYPE(CropRect)
QTEST_MAIN(GeometricEditsTest)
#include "geometric_edits_test.moc"
