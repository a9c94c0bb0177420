// The frame style record and its settings section: round trips, conversions and partial reads.
#include <QTemporaryDir>
#include <QtTest>

#include "base/lumisto_error.h"
#include "styles/frame_style.h"
#include "support/test_support.h"

using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

FrameStyle SampleStyle() {
  FrameStyle s;
  for (int i = 0; i < FrameStyle::kSlotCount; ++i) s.Slot(i) = i + 1;
  s.color_draw = s.line_draw = s.frame_include = s.frame_color_text = 1;
  s.frame_draw = s.stroke_draw = s.shadow_draw = s.back_color_text = s.back_draw = 1;
  return s;
}

QString ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const LumistoError& e) {
    return e.Message();
  }
  return QString();
}

}  // namespace

class FrameStyleTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString Path(const QString& name) const { return dir_.filePath(name); }

 private Q_SLOTS:
  void SlotsAreInFileOrder() {
    const auto& slots = FrameStyleSlots();
    QCOMPARE(QString(slots[0].key), QString("BlendOpacity"));
    QCOMPARE(QString(slots[15].key), QString("FrameSize"));
    QCOMPARE(QString(slots[31].key), QString("BackColor"));
    FrameStyle s;
    s.Slot(23) = 5;
    QCOMPARE(s.shadow_size, 5);
  }

  void RoundTrip_data() {
    QTest::addColumn<int>("colour");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("colour_text");
    QTest::newRow("components below 10") << 0x00090807 << 1 << "007,008,009";
    QTest::newRow("components 10 to 99") << 0x00630A0B << 50 << "011,010,099";
    QTest::newRow("components from 100") << 0x00FF64C8 << 0 << "200,100,255";
    QTest::newRow("white, negative size") << 0x00FFFFFF << -17 << "255,255,255";
    QTest::newRow("pure blue, large size") << 0x00FF0000 << 2000000000 << "000,000,255";
  }
  void RoundTrip() {
    QFETCH(int, colour);
    QFETCH(int, size);
    QFETCH(QString, colour_text);
    FrameStyle style = SampleStyle();
    style.back_color = style.line_color = colour;
    style.back_size = style.frame_size = size;
    WriteFrameStyle(Path("round.ini"), style);
    QVERIFY(ReadFile(Path("round.ini")).contains("BackColor=" + colour_text.toLatin1()));
    FrameStyle read;
    ReadFrameStyle(Path("round.ini"), read);
    QCOMPARE(read, style);
    QCOMPARE(StyleColourToText(colour), colour_text);
  }

  void WrittenFileHasTheKeysInSlotOrder() {
    WriteFrameStyle(Path("order.ini"), SampleStyle());
    const QList<QByteArray> lines = ReadFile(Path("order.ini")).trimmed().split('\n');
    QCOMPARE(lines.size(), 34);
    QCOMPARE(lines[0].trimmed(), QByteArray("[Frames]"));
    for (int i = 0; i < FrameStyle::kSlotCount; ++i)
      QVERIFY2(lines[i + 1].startsWith(QByteArray(FrameStyleSlots()[i].key) + '='), lines[i + 1].constData());
    QCOMPARE(lines[33].trimmed(), QByteArray("Scale=0"));
  }

  void ColourText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("colour");
    QTest::addColumn<QString>("error");
    QTest::newRow("padded") << "255,000,000" << 0x0000FF << "";
    QTest::newRow("separators are not read") << "001x002y003" << 0x030201 << "";
    QTest::newRow("999 keeps its low 8 bits") << "999,000,000" << 231 << "";
    QTest::newRow("unpadded black fails") << "0,0,0" << 0 << "'0,0' is not a valid integer value";
    QTest::newRow("short text: empty blue piece") << "255,255" << 0 << "'' is not a valid integer value";
    QTest::newRow("blank") << "" << 0 << "'' is not a valid integer value";
    QTest::newRow("spaces are not digits") << " 12,000,000" << 0 << "' 12' is not a valid integer value";
  }
  void ColourText() {
    QFETCH(QString, text);
    QFETCH(int, colour);
    QFETCH(QString, error);
    int result = -1;
    QCOMPARE(ErrorOf([&] { result = StyleTextToColour(text); }), error);
    if (error.isEmpty()) QCOMPARE(result, colour);
  }

  void TopByteIsDropped() {
    FrameStyle style;
    style.color_color = static_cast<std::int32_t>(0xAB123456);
    WriteFrameStyle(Path("top.ini"), style);
    FrameStyle read;
    ReadFrameStyle(Path("top.ini"), read);
    QCOMPARE(read.color_color, 0x00123456);
  }

  void SwitchKeepsOnlyItsLowByte() {
    QVERIFY(WriteFile(Path("switch.ini"),
                      "[Frames]\nColorDraw=5\nColorColor=000,000,000\nLineColor=000,000,000\n"
                      "FrameColor=000,000,000\nStrokeColor=000,000,000\nShadowColor=000,000,000\n"
                      "BackColor=000,000,000\nLineDraw=0\n"));
    FrameStyle style;
    style.color_draw = 0x0300;  // bits above the low byte are not the switch's: they stay
    style.line_draw = 0x0201;
    ReadFrameStyle(Path("switch.ini"), style);
    QCOMPARE(style.color_draw, 0x0301);
    QCOMPARE(style.line_draw, 0x0200);
    QVERIFY(IsOn(style.color_draw));
    QVERIFY(!IsOn(style.line_draw));
    WriteFrameStyle(Path("switch.ini"), style);
    QCOMPARE(ReadIniValue("switch.ini", "ColorDraw"), QString("1"));
  }

  void SwitchIsOnForAnyValueButZero_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("on");
    QTest::newRow("zero") << "0" << false;
    QTest::newRow("one") << "1" << true;
    QTest::newRow("minus one") << "-1" << true;
    QTest::newRow("most negative") << "-2147483648" << true;
    QTest::newRow("256: the read value is not zero") << "256" << true;
  }
  void SwitchIsOnForAnyValueButZero() {
    QFETCH(QString, text);
    QFETCH(bool, on);
    QVERIFY(WriteFile(Path("sign.ini"), "[Frames]\nShadowDraw=" + text.toUtf8() +
                                            "\nColorColor=000,000,000\nLineColor=000,000,000\n"
                                            "FrameColor=000,000,000\nStrokeColor=000,000,000\n"
                                            "ShadowColor=000,000,000\nBackColor=000,000,000\n"));
    FrameStyle style;
    ReadFrameStyle(Path("sign.ini"), style);
    QCOMPARE(IsOn(style.shadow_draw), on);
    QCOMPARE(IsOn(static_cast<std::int32_t>(text.toLongLong())), (text.toLongLong() & 0xFF) != 0);
  }

  void OtherSectionsAndKeysSurviveAWrite() {
    QVERIFY(WriteFile(Path("extra.ini"), "[Info]\nAuthor=me\n\n[Frames]\nComment=keep me\nBackSize=3\n"));
    WriteFrameStyle(Path("extra.ini"), SampleStyle());
    const QByteArray after = ReadFile(Path("extra.ini"));
    QVERIFY(after.startsWith("[Info]\nAuthor=me\n\n[Frames]\nComment=keep me\nBackSize=31\n"));
    QCOMPARE(after.count("BackSize"), 1);
  }

  void FailedReadStopsAtTheFailingKey() {
    // No colour keys: BlendOpacity, ColorDraw and ColorOpacity are read, ColorColor fails on "0".
    QVERIFY(WriteFile(Path("partial.ini"),
                      "[Frames]\nBlendOpacity=200\nColorDraw=1\nColorOpacity=9\nLineSize=4\n"));
    FrameStyle style = SampleStyle();
    const FrameStyle before = style;
    QCOMPARE(ErrorOf([&] { ReadFrameStyle(Path("partial.ini"), style); }),
             QString("'' is not a valid integer value"));  // the green piece of "0" is empty
    QCOMPARE(style.blend_opacity, 200);
    QCOMPARE(style.color_draw, 1);
    QCOMPARE(style.color_opacity, 9);
    for (int i = 3; i < FrameStyle::kSlotCount; ++i) QCOMPARE(style.Slot(i), before.Slot(i));
  }

  void BadNumberNamesItsText() {
    QVERIFY(WriteFile(Path("bad.ini"), "[Frames]\nBlendOpacity=12a\n"));
    FrameStyle style;
    QCOMPARE(ErrorOf([&] { ReadFrameStyle(Path("bad.ini"), style); }),
             QString("'12a' is not a valid integer value"));
    QVERIFY(WriteFile(Path("big.ini"), "[Frames]\nBlendOpacity=2147483648\n"));
    QCOMPARE(ErrorOf([&] { ReadFrameStyle(Path("big.ini"), style); }),
             QString("'2147483648' is not a valid integer value"));
  }

  // Scale follows the 32 slots: a switch whose absence means pixels, read by the same strict rules.
  void ScaleKey_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QString>("error");
    QTest::newRow("absent: pixels") << QByteArray() << 0 << "";
    QTest::newRow("on") << QByteArray("Scale=1\n") << 1 << "";
    QTest::newRow("5 is on") << QByteArray("Scale=5\n") << 1 << "";
    QTest::newRow("first of two wins") << QByteArray("Scale=0\nScale=1\n") << 0 << "";
    QTest::newRow("not a number") << QByteArray("Scale=yes\n") << 7 << "'yes' is not a valid integer value";
    QTest::newRow("empty") << QByteArray("Scale=\n") << 7 << "'' is not a valid integer value";
  }
  void ScaleKey() {
    QFETCH(QByteArray, line);
    QFETCH(int, scale);
    QFETCH(QString, error);
    WriteFrameStyle(Path("scale.ini"), SampleStyle());
    QByteArray text = ReadFile(Path("scale.ini"));
    text.replace("Scale=0", line.trimmed());
    QVERIFY(WriteFile(Path("scale.ini"), text));
    FrameStyle style = SampleStyle();
    style.scale = 7;
    QCOMPARE(ErrorOf([&] { ReadFrameStyle(Path("scale.ini"), style); }), error);
    QCOMPARE(style.scale, scale);
    FrameStyle expected = SampleStyle();
    expected.scale = style.scale;
    QCOMPARE(style, expected);  // the 32 slots read as before
  }

  void ScaleRoundTrip() {
    FrameStyle style = SampleStyle();
    style.scale = 1;
    WriteFrameStyle(Path("scale_on.ini"), style);
    QCOMPARE(ReadIniValue("scale_on.ini", "Scale"), QString("1"));
    FrameStyle read;
    ReadFrameStyle(Path("scale_on.ini"), read);
    QCOMPARE(read, style);
  }

  // Only the seven sizes grow with the photo; colours, opacities, switches and tiles do not.
  void ScaledStyleMultipliesTheSizes_data() {
    QTest::addColumn<double>("factor");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("scaled");
    QTest::newRow("x 19.05 rounds") << 19.05 << 31 << 591;  // 590.55
    QTest::newRow("x 1 keeps") << 1.0 << 31 << 31;
    QTest::newRow("x 0.5 rounds half away") << 0.5 << 3 << 2;
    QTest::newRow("negative size") << 2.0 << -5 << -10;
    QTest::newRow("beyond 32 bits clamps") << 10.0 << 2147483647 << 2147483647;
    QTest::newRow("below 32 bits clamps") << 10.0 << -2147483647 << -2147483647 - 1;
  }
  void ScaledStyleMultipliesTheSizes() {
    QFETCH(double, factor);
    QFETCH(int, size);
    QFETCH(int, scaled);
    // The seven keys that grow, written out here rather than taken from the record's own table,
    // so that a size marked as fixed there shows.
    const QStringList kSizes = {"LineSize",   "FrameTextSize", "FrameSize", "StrokeSize",
                                "ShadowSize", "BackTextSize",  "BackSize"};
    FrameStyle style = SampleStyle();
    for (const FrameStyleSlot& slot : FrameStyleSlots())
      if (kSizes.contains(QLatin1String(slot.key))) style.*slot.field = size;
    const FrameStyle result = ScaledFrameStyle(style, factor);
    int grown = 0;
    for (const FrameStyleSlot& slot : FrameStyleSlots()) {
      const bool is_size = kSizes.contains(QLatin1String(slot.key));
      grown += is_size;
      QVERIFY2(result.*slot.field == (is_size ? scaled : style.*slot.field), slot.key);
    }
    QCOMPARE(grown, 7);
    QCOMPARE(result.scale, style.scale);
  }

  void FitFactorScalesOnlyWithScaleOn() {
    FrameStyle style = SampleStyle();
    style.frame_size = 30;
    QCOMPARE(FrameStyleForFitFactor(style, 10.0f).frame_size, 30);
    style.scale = 1;
    QCOMPARE(FrameStyleForFitFactor(style, 10.0f).frame_size, 300);
    style.scale = 0x100;  // only the low byte is the switch
    QCOMPARE(FrameStyleForFitFactor(style, 10.0f).frame_size, 30);
  }

  void PercentConversions() {
    QCOMPARE(StoredOpacityFromPercent(100), 255);
    QCOMPARE(StoredOpacityFromPercent(1), 2);
    QCOMPARE(StoredOpacityFromPercent(50), 127);
    QCOMPARE(PercentFromStoredOpacity(255), 100);
    QCOMPARE(PercentFromStoredOpacity(127), 49);
  }

  void ArgbFromColourWord() {
    QCOMPARE(StyleArgb(127, 0x0000FF), 0x7FFF0000u);
    QCOMPARE(StyleArgb(0x1FF, 0x00FF0000), 0xFF0000FFu);  // only the low byte of the opacity
  }

 private:
  QString ReadIniValue(const QString& file, const QString& key) {
    const QList<QByteArray> lines = ReadFile(Path(file)).split('\n');
    for (const QByteArray& line : lines)
      if (line.startsWith(key.toLatin1() + '='))
        return QString::fromLatin1(line.mid(key.size() + 1)).trimmed();
    return QString();
  }
};

QTEST_GUILESS_MAIN(FrameStyleTest)
#include "frame_style_test.moc"
