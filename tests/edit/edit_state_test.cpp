// Start values and resets of the edit state, the drag arithmetic of the preview and the frame mask.
#include <QTest>

#include "edit/edit_state.h"
#include "edit/frame_mask.h"
#include "edit/screen_drag.h"

Q_DECLARE_METATYPE(DisplayMode)
Q_DECLARE_METATYPE(Qt::MouseButtons)

class EditStateTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void StartValues() {
    const EditState state;
    QVERIFY(state.photo_path.isEmpty() && state.template_path.isEmpty());
    QCOMPARE(state.fit_factor, 1.0f);
    QCOMPARE(state.rotate_flip.count, 0);
    QCOMPARE(state.rotate_flip.NextSlot(), 1);
    QVERIFY(state.crop.IsEmpty());
    QCOMPARE(state.mirror_switch, 1);
    QCOMPARE(state.photo_offset, QPoint(1, 1));
    QCOMPARE(state.photo_drag_anchor, QPoint(1, 1));
    QCOMPARE(state.contrast, 1.0f);
    QCOMPARE(state.brightness, 0.0f);
    QCOMPARE(state.saturation, 1.0f);
    QVERIFY(state.tone_matrix.IsIdentity());
    QCOMPARE(state.caption.font_name, QStringLiteral("Lato Black"));
    QCOMPARE(state.caption.size, 24);
    QCOMPARE(state.caption.shadow_colour, 0x646464);
    QCOMPARE(state.caption.position, QPointF(120, 180));
    QCOMPARE(state.caption.drag_anchor, QPoint(10, 10));
    QCOMPARE(state.output_width, 0);
  }

  void PhotoResetKeepsCaptionToneValuesAndOutputSize() {
    EditState state;
    state.photo_offset = QPoint(30, 40);
    state.photo_drag_anchor = QPoint(5, 6);
    state.crop = {1, 2, 3, 4};
    QVERIFY(state.rotate_flip.Append(GeometricEdit::Mirror));
    state.tone_matrix.At(0, 0) = 0.5f;
    state.contrast = 1.5f;
    state.caption.text = QStringLiteral("Hello");
    state.mirror_switch = 0;
    state.output_width = 640;
    EditState expected = state;
    expected.photo_offset = QPoint(1, 1);
    expected.photo_drag_anchor = QPoint(1, 1);
    expected.crop = {};
    expected.rotate_flip = {};
    expected.tone_matrix = ToneMatrix::Identity();
    ResetPhotoEdits(state);
    QCOMPARE(state, expected);
  }

  void TemplateResetKeepsCropAndHistory() {
    EditState state;
    state.photo_offset = QPoint(30, 40);
    state.crop = {1, 2, 3, 4};
    QVERIFY(state.rotate_flip.Append(GeometricEdit::TurnClockwise));
    state.tone_matrix.At(0, 0) = 0.5f;
    ResetPlacement(state);
    QCOMPARE(state.photo_offset, QPoint(1, 1));
    QVERIFY(state.tone_matrix.IsIdentity());
    QCOMPARE(state.crop, (CropRect{1, 2, 3, 4}));
    QCOMPARE(state.rotate_flip.count, 1);
  }

  void HistoryRefusesPastItsCapacity() {
    RotateFlipList list;
    for (int i = 0; i < RotateFlipList::kCapacity; ++i)
      QVERIFY(list.Append(i % 2 ? GeometricEdit::TurnClockwise : GeometricEdit::TurnCounterClockwise));
    QCOMPARE(list.NextSlot(), 99);
    QVERIFY(!list.Append(GeometricEdit::Mirror));
    QCOMPARE(list.count, 98);
    QCOMPARE(list.codes[97], GeometricEdit::TurnClockwise);
  }

  void FitFactorIsTheLongerSideOverThePreview() { QCOMPARE(FitFactor(6300, 4000, 315), 20.0f); }

  void PhotoDrag_data() {
    QTest::addColumn<DisplayMode>("mode");
    QTest::addColumn<Qt::MouseButtons>("buttons");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<QPointF>("caption");
    QTest::newRow("normal, left: offset follows the pointer")
        << DisplayMode::Normal << Qt::MouseButtons(Qt::LeftButton) << QPoint(31, -9) << QPointF(120, 180);
    QTest::newRow("normal, right button: nothing")
        << DisplayMode::Normal << Qt::MouseButtons(Qt::RightButton) << QPoint(1, 1) << QPointF(120, 180);
    QTest::newRow("no button: nothing")
        << DisplayMode::Normal << Qt::MouseButtons() << QPoint(1, 1) << QPointF(120, 180);
    QTest::newRow("caption editing moves the caption")
        << DisplayMode::CaptionEditing << Qt::MouseButtons(Qt::LeftButton) << QPoint(1, 1)
        << QPointF(150, 170);
    QTest::newRow("style editor: nothing")
        << DisplayMode::StyleEditor << Qt::MouseButtons(Qt::LeftButton) << QPoint(1, 1) << QPointF(120, 180);
  }
  void PhotoDrag() {
    QFETCH(DisplayMode, mode);
    QFETCH(Qt::MouseButtons, buttons);
    QFETCH(QPoint, offset);
    QFETCH(QPointF, caption);
    EditState state;
    // Press at (100, 200), move to (130, 190): 30 right, 10 up.
    ScreenMouseDown(state, mode, QPoint(100, 200), buttons);
    ScreenMouseMove(state, mode, QPoint(130, 190), buttons);
    QCOMPARE(state.photo_offset, offset);
    QCOMPARE(state.caption.position, caption);
  }

  void DragAnchorsAndWholePixelCaptionMoves() {
    EditState state;
    ScreenMouseDown(state, DisplayMode::Normal, QPoint(50, 60), Qt::LeftButton);
    QCOMPARE(state.photo_drag_anchor, QPoint(49, 59));
    QCOMPARE(ScreenMouseMove(state, DisplayMode::Normal, QPoint(50, 60), Qt::LeftButton), DragChange::None);
    QCOMPARE(ScreenMouseMove(state, DisplayMode::Normal, QPoint(52, 60), Qt::LeftButton),
             DragChange::PhotoOffset);
    QCOMPARE(state.photo_offset, QPoint(3, 1));  // pointer minus anchor

    state.caption.position = QPointF(120.5, 180.25);
    ScreenMouseDown(state, DisplayMode::CaptionEditing, QPoint(130, 190), Qt::LeftButton);
    QCOMPARE(state.caption.drag_anchor, QPoint(9, 9));  // 9.5 and 9.75 truncated
    QCOMPARE(ScreenMouseMove(state, DisplayMode::CaptionEditing, QPoint(140, 190), Qt::LeftButton),
             DragChange::CaptionPosition);
    QCOMPARE(state.caption.position, QPointF(130.5, 180.25));  // the fraction is kept
  }

  // Arrow keys move the caption while it is placed, within 0..the preview's side each way; one
  // dragged beyond only comes back.
  void CaptionArrowMoves_data() {
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QPointF>("to");
    QTest::newRow("a pixel right") << QPointF(120.5, 180) << QPoint(1, 0) << QPointF(121.5, 180);
    QTest::newRow("ten up") << QPointF(120, 180) << QPoint(0, -10) << QPointF(120, 170);
    QTest::newRow("to the left edge") << QPointF(4, 180) << QPoint(-10, 0) << QPointF(0, 180);
    QTest::newRow("at the left edge") << QPointF(0, 180) << QPoint(-1, 0) << QPointF(0, 180);
    QTest::newRow("to the far side") << QPointF(310, 312) << QPoint(10, 10) << QPointF(315, 315);
    QTest::newRow("at the far side") << QPointF(315, 315) << QPoint(1, 1) << QPointF(315, 315);
    QTest::newRow("beyond, going further") << QPointF(-40, 400) << QPoint(-1, 1) << QPointF(-40, 400);
    QTest::newRow("beyond, coming back") << QPointF(-40, 400) << QPoint(10, -10) << QPointF(-30, 390);
  }
  void CaptionArrowMoves() {
    QFETCH(QPointF, from);
    QFETCH(QPoint, delta);
    QFETCH(QPointF, to);
    EditState state;
    state.caption.position = from;
    const DragChange change = ScreenArrowMove(state, DisplayMode::CaptionEditing, delta, QSize(315, 315));
    QCOMPARE(state.caption.position, to);
    QCOMPARE(change, to == from ? DragChange::None : DragChange::CaptionPosition);
    // Not while the caption is not being placed.
    state.caption.position = from;
    QCOMPARE(ScreenArrowMove(state, DisplayMode::Normal, delta, QSize(315, 315)), DragChange::None);
    QCOMPARE(state.caption.position, from);
  }

  void FrameMask_data() {
    QTest::addColumn<int>("mask_green");
    QTest::addColumn<int>("alpha");
    QTest::newRow("green 254 is the alpha") << 254 << 254;
    QTest::newRow("green 0 hides") << 0 << 0;
    QTest::newRow("green 255 keeps the picture's alpha") << 255 << 77;
  }
  void FrameMask() {
    QFETCH(int, mask_green);
    QFETCH(int, alpha);
    QImage mask(4, 3, QImage::Format_ARGB32);
    mask.fill(qRgba(9, mask_green, 9, 255));
    QImage picture(4, 3, QImage::Format_ARGB32);
    picture.fill(qRgba(10, 20, 30, 77));
    QImage masked(4, 3, QImage::Format_ARGB32);
    masked.fill(Qt::transparent);
    ApplyFrameMask(mask, picture, masked);
    QCOMPARE(masked.pixel(2, 1), qRgba(10, 20, 30, alpha));
  }
};

QTEST_GUILESS_MAIN(EditStateTest)
#include "edit_state_test.moc"
