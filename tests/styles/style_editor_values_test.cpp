// The style editor's boxes: ranges, the percent rule both ways, and the rebuild of a style.
#include <QtTest>

#include "styles/style_editor_values.h"

namespace {

const StyleEditorBox& Box(const char* name) {
  const StyleEditorBox* box = FindStyleEditorBox(QLatin1String(name));
  Q_ASSERT(box);
  return *box;
}

}  // namespace

class StyleEditorValuesTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void BoxesFollowTheRebuildOrder() {
    QStringList names;
    for (const StyleEditorBox& box : StyleEditorBoxes()) names << QLatin1String(box.name);
    QCOMPARE(names, QStringList({"BlendOpacity", "ColorOpacity", "LineOpacity", "LineSize", "FrameTextSize",
                                 "FrameOpacity", "FrameSize", "StrokeOpacity", "StrokeSize", "ShadowOpacity",
                                 "ShadowSize", "BackTextSize", "BackOpacity", "BackSize"}));
  }

  // The box shows the stored number (an opacity as its percent), whatever the bar's range; only
  // the bar keeps to its range.
  void ShownNumber_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("bar");
    QTest::newRow("opacity 127 shows 49") << "LineOpacity" << 127 << 49 << 49;
    QTest::newRow("opacity 255 shows 100") << "BlendOpacity" << 255 << 100 << 100;
    QTest::newRow("opacity 2 shows 0, bar at 1") << "BlendOpacity" << 2 << 0 << 1;
    QTest::newRow("opacity 0") << "FrameOpacity" << 0 << 0 << 1;
    QTest::newRow("opacity 382 shows 149") << "FrameOpacity" << 382 << 149 << 100;
    QTest::newRow("opacity at the 32-bit top") << "FrameOpacity" << 2147483647 << 842150449 << 100;
    QTest::newRow("opacity at the 32-bit bottom") << "FrameOpacity" << -2147483647 - 1 << -842150450 << 1;
    QTest::newRow("size 30 shows 30") << "FrameSize" << 30 << 30 << 30;
    QTest::newRow("size 50 top") << "BackSize" << 50 << 50 << 50;
    QTest::newRow("size 80 beyond the bar") << "BackSize" << 80 << 80 << 50;
    QTest::newRow("size 0 below the bar") << "LineSize" << 0 << 0 << 1;
    QTest::newRow("size -2147483648") << "LineSize" << -2147483647 - 1 << -2147483647 - 1 << 1;
  }
  void ShownNumber() {
    QFETCH(QString, box);
    QFETCH(int, stored);
    QFETCH(int, shown);
    QFETCH(int, bar);
    QCOMPARE(BoxNumberForStored(Box(box.toLatin1().constData()), stored), shown);
    QCOMPARE(BarPositionForStored(Box(box.toLatin1().constData()), stored), bar);
  }

  void ReadingABox_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");  // -1: no number
    QTest::addColumn<QString>("error");
    QTest::newRow("in range") << "LineSize"
                              << "12" << 12 << "";
    QTest::newRow("bottom") << "LineSize"
                            << "1" << 1 << "";
    QTest::newRow("top") << "BlendOpacity"
                         << "100" << 100 << "";
    QTest::newRow("empty") << "LineSize"
                           << "" << -1 << "'' is not a valid integer value";
    QTest::newRow("letters") << "LineSize"
                             << "1x" << -1 << "'1x' is not a valid integer value";
    QTest::newRow("beyond 32 bits") << "LineSize"
                                    << "2147483648" << -1 << "'2147483648' is not a valid integer value";
    QTest::newRow("150 % is refused") << "BlendOpacity"
                                      << "150" << -1 << "'150' is not between 1 and 100";
    QTest::newRow("0 px is refused") << "LineSize"
                                     << "0" << -1 << "'0' is not between 1 and 50";
    QTest::newRow("51 px is refused") << "LineSize"
                                      << "51" << -1 << "'51' is not between 1 and 50";
    QTest::newRow("-1") << "LineSize"
                        << "-1" << -1 << "'-1' is not between 1 and 50";
    QTest::newRow("32-bit top") << "LineSize"
                                << "2147483647" << -1 << "'2147483647' is not between 1 and 50";
  }
  void ReadingABox() {
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(int, number);
    QFETCH(QString, error);
    const BoxReading reading = ReadStyleEditorBox(Box(box.toLatin1().constData()), text);
    QCOMPARE(reading.number.value_or(-1), number);
    QCOMPARE(reading.error, error);
  }

  // Loading and rebuilding: untouched boxes give every stored value back, also those the percent
  // cannot hold and those outside the bars; a box the user changed is read as typed.
  void LoadThenRebuild_data() {
    QTest::addColumn<int>("box");  // index of the box edited; -1: none
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("slot");  // the slot that box feeds
    QTest::addColumn<int>("stored");
    QTest::newRow("untouched") << -1 << "" << 0 << 255;
    QTest::newRow("line opacity typed 48") << 2 << "48" << 5 << 122;
    QTest::newRow("back size typed 20") << 13 << "20" << 30 << 20;
  }
  void LoadThenRebuild() {
    QFETCH(int, box);
    QFETCH(QString, typed);
    QFETCH(int, slot);
    QFETCH(int, stored);
    FrameStyle style;
    style.blend_opacity = 255;
    style.line_opacity = 127;
    style.line_size = 7;
    style.frame_opacity = 128;
    style.frame_size = 31;
    style.frame_text_size = 24;
    style.back_opacity = 1;  // below the bar
    style.back_size = 80;    // beyond the bar
    style.shadow_size = 0;
    style.back_text_size = 0;
    style.color_opacity = style.stroke_opacity = style.shadow_opacity = 255;
    style.stroke_size = 3;
    style.frame_color = 0x00336699;
    style.frame_draw = 0x0301;  // switches keep only their low byte
    style.frame_sharp = 2;
    style.frame_text = 78;
    style.scale = 1;
    StyleEditorValues values = StyleEditorValuesFromStyle(style);
    QCOMPARE(values.boxes[2], QString("49"));
    QCOMPARE(values.boxes[13], QString("80"));
    QCOMPARE(values.rest.frame_draw, 1);
    if (box >= 0) values.boxes[static_cast<std::size_t>(box)] = typed;
    const RebuiltStyle rebuilt = RebuildStyleFromValues(values);
    QVERIFY2(rebuilt.error.isEmpty(), qPrintable(rebuilt.error));
    FrameStyle expected = style;
    expected.frame_draw = 1;
    expected.Slot(slot) = stored;
    QCOMPARE(*rebuilt.style, expected);
  }

  // A box emptied and typed back to the text it opened with stands for the stored value again.
  void RetypedBoxIsUntouched() {
    FrameStyle style;
    style.line_opacity = 127;
    StyleEditorValues values = StyleEditorValuesFromStyle(style);
    values.boxes[2] = QStringLiteral("49");
    QCOMPARE(RebuildStyleFromValues(values).style->line_opacity, 127);
  }

  void RebuildStopsAtTheFirstBadBoxInOrder() {
    StyleEditorValues values = StyleEditorValuesFromStyle(FrameStyle());
    values.boxes[13] = QString();             // BackSize
    values.boxes[3] = QStringLiteral("abc");  // LineSize, earlier in the order
    const RebuiltStyle rebuilt = RebuildStyleFromValues(values);
    QVERIFY(!rebuilt.style);
    QCOMPARE(rebuilt.error, QString("'abc' is not a valid integer value"));
  }
};

QTEST_GUILESS_MAIN(StyleEditorValuesTest)
#include "style_editor_values_test.moc"
