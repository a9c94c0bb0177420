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

  void ShownNumber_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("shown");
    QTest::newRow("opacity 127 shows 49") << "LineOpacity" << 127 << 49;
    QTest::newRow("opacity 255 shows 100") << "BlendOpacity" << 255 << 100;
    QTest::newRow("opacity 2 shows 1 (0 rounds up to the bar)") << "BlendOpacity" << 2 << 1;
    QTest::newRow("opacity 0 clamps to 1") << "FrameOpacity" << 0 << 1;
    QTest::newRow("opacity 382 clamps to 100") << "FrameOpacity" << 382 << 100;
    QTest::newRow("opacity at the 32-bit top") << "FrameOpacity" << 2147483647 << 100;
    QTest::newRow("opacity -1") << "FrameOpacity" << -1 << 1;
    QTest::newRow("size 30 shows 30") << "FrameSize" << 30 << 30;
    QTest::newRow("size 50 top") << "BackSize" << 50 << 50;
    QTest::newRow("size 51 clamps") << "BackSize" << 51 << 50;
    QTest::newRow("size 0 clamps") << "LineSize" << 0 << 1;
    QTest::newRow("size -2147483648") << "LineSize" << -2147483647 - 1 << 1;
  }
  void ShownNumber() {
    QFETCH(QString, box);
    QFETCH(int, stored);
    QFETCH(int, shown);
    QCOMPARE(BoxNumberForStored(Box(box.toLatin1().constData()), stored), shown);
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

  // Loading and rebuilding: opacities lose what the percent cannot hold, everything else stays.
  void LoadThenRebuild() {
    FrameStyle style;
    style.blend_opacity = 255;
    style.line_opacity = 127;
    style.line_size = 7;
    style.frame_opacity = 128;
    style.frame_size = 31;
    style.frame_text_size = 24;
    style.back_opacity = 1;  // below the bar: shown 1, stored 2
    style.back_size = 60;    // beyond the bar: shown and stored 50
    style.color_opacity = style.stroke_opacity = style.shadow_opacity = 255;
    style.stroke_size = style.shadow_size = style.back_text_size = 3;
    style.frame_color = 0x00336699;
    style.frame_draw = 0x0301;  // switches keep only their low byte
    style.frame_sharp = 2;
    style.frame_text = 78;
    style.scale = 1;
    const StyleEditorValues values = StyleEditorValuesFromStyle(style);
    QCOMPARE(values.boxes[2], QString("49"));
    QCOMPARE(values.rest.frame_draw, 1);
    const RebuiltStyle rebuilt = RebuildStyleFromValues(values);
    QVERIFY(rebuilt.error.isEmpty());
    FrameStyle expected = style;
    expected.line_opacity = 124;   // 49 x 255 / 100
    expected.frame_opacity = 127;  // 128 -> 50 % -> 127
    expected.back_opacity = 2;
    expected.back_size = 50;
    expected.frame_draw = 1;
    QCOMPARE(*rebuilt.style, expected);
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
