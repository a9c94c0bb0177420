// The tone and caption look options of the render command: what they accept, at both ends of their
// ranges and beyond.
#include <QTest>

#include "app/render_options.h"

Q_DECLARE_METATYPE(CaptionSettings)

class RenderOptionsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void Options_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<float>("c");
    QTest::addColumn<float>("b");
    QTest::addColumn<float>("s");
    const ToneValues k42 = ReadToneKnobs({42, 42, 42});
    const ToneValues ends = ReadToneKnobs({1, 79, 1});
    QTest::newRow("tone") << "--tone"
                          << "1.2,0.1,0.8" << true << 1.2f << 0.1f << 0.8f;
    QTest::newRow("tone, spaces") << "--tone"
                                  << " 1 , -0.5 , 0 " << true << 1.0f << -0.5f << 0.0f;
    QTest::newRow("tone, lowest") << "--tone"
                                  << "0,-10,0" << true << 0.0f << -10.0f << 0.0f;
    QTest::newRow("tone, highest") << "--tone"
                                   << "10,10,10" << true << 10.0f << 10.0f << 10.0f;
    QTest::newRow("tone, contrast too high") << "--tone"
                                             << "10.01,0,1" << false << 0.f << 0.f << 0.f;
    QTest::newRow("tone, negative contrast") << "--tone"
                                             << "-1,0,1" << false << 0.f << 0.f << 0.f;
    QTest::newRow("tone, brightness too low") << "--tone"
                                              << "1,-10.5,1" << false << 0.f << 0.f << 0.f;
    QTest::newRow("tone, negative saturation") << "--tone"
                                               << "1,0,-0.1" << false << 0.f << 0.f << 0.f;
    QTest::newRow("tone, huge") << "--tone"
                                << "2147483647,0,1" << false << 0.f << 0.f << 0.f;
    QTest::newRow("tone, nan") << "--tone"
                               << "nan,0,1" << false << 0.f << 0.f << 0.f;
    QTest::newRow("tone, inf") << "--tone"
                               << "1,inf,1" << false << 0.f << 0.f << 0.f;
    QTest::newRow("tone, comma decimal") << "--tone"
                                         << "1,2;0,1" << false << 0.f << 0.f << 0.f;
    QTest::newRow("tone, two values") << "--tone"
                                      << "1,0" << false << 0.f << 0.f << 0.f;
    QTest::newRow("tone, four values") << "--tone"
                                       << "1,0,1,1" << false << 0.f << 0.f << 0.f;
    QTest::newRow("tone, empty") << "--tone"
                                 << "" << false << 0.f << 0.f << 0.f;
    QTest::newRow("tone, 10 MB") << "--tone" << QString(10 * 1024 * 1024, u'9') << false << 0.f << 0.f << 0.f;
    QTest::newRow("knobs 42") << "--knobs"
                              << "42,42,42" << true << k42.contrast << k42.brightness << k42.saturation;
    QTest::newRow("knobs at the ends")
        << "--knobs"
        << "1,79,1" << true << ends.contrast << ends.brightness << ends.saturation;
    QTest::newRow("knobs, 0") << "--knobs"
                              << "0,42,42" << false << 0.f << 0.f << 0.f;
    QTest::newRow("knobs, 80") << "--knobs"
                               << "42,80,42" << false << 0.f << 0.f << 0.f;
    QTest::newRow("knobs, -1") << "--knobs"
                               << "42,42,-1" << false << 0.f << 0.f << 0.f;
    QTest::newRow("knobs, 2147483647") << "--knobs"
                                       << "2147483647,42,42" << false << 0.f << 0.f << 0.f;
    QTest::newRow("knobs, fraction") << "--knobs"
                                     << "42.5,42,42" << false << 0.f << 0.f << 0.f;
    QTest::newRow("knobs, empty") << "--knobs"
                                  << ",," << false << 0.f << 0.f << 0.f;
  }
  void Options() {
    QFETCH(QString, option);
    QFETCH(QString, value);
    QFETCH(bool, valid);
    QVERIFY(IsToneOption(option));
    QString error;
    const std::optional<ToneValues> tone = ParseToneOption(option, value, &error);
    QCOMPARE(tone.has_value(), valid);
    if (!valid) {
      QVERIFY(error.startsWith(option));
      return;
    }
    QFETCH(float, c);
    QFETCH(float, b);
    QFETCH(float, s);
    QCOMPARE(*tone, (ToneValues{c, b, s}));
  }

  // Each row starts from the window's start caption and gives one option; a refused value leaves
  // the caption as it was.
  void CaptionLook_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<CaptionSettings>("expected");
    const CaptionSettings start;
    const auto with = [&start](auto change) {
      CaptionSettings c = start;
      change(c);
      return c;
    };
    QTest::newRow("style regular") << "--caption-style"
                                   << "regular" << true << start;
    QTest::newRow("style bold") << "--caption-style"
                                << "bold" << true
                                << with([](CaptionSettings& c) { c.style = CaptionStyle::Bold; });
    QTest::newRow("style italic") << "--caption-style"
                                  << "italic" << true
                                  << with([](CaptionSettings& c) { c.style = CaptionStyle::Italic; });
    QTest::newRow("style bold-italic")
        << "--caption-style"
        << "bold-italic" << true << with([](CaptionSettings& c) { c.style = CaptionStyle::BoldItalic; });
    QTest::newRow("style Bold") << "--caption-style"
                                << "Bold" << false << start;
    QTest::newRow("style italic-bold") << "--caption-style"
                                       << "italic-bold" << false << start;
    QTest::newRow("style 1") << "--caption-style"
                             << "1" << false << start;
    QTest::newRow("style empty") << "--caption-style"
                                 << "" << false << start;
    // Colour words are 0x00BBGGRR: red is the low byte.
    QTest::newRow("colour") << "--caption-colour"
                            << "1,2,3" << true << with([](CaptionSettings& c) { c.face_colour = 0x030201; });
    QTest::newRow("colour, lowest") << "--caption-colour"
                                    << "0,0,0" << true << with([](CaptionSettings& c) { c.face_colour = 0; });
    QTest::newRow("colour, highest, spaces") << "--caption-colour"
                                             << " 255 , 255 , 255 " << true << start;
    QTest::newRow("colour, 256") << "--caption-colour"
                                 << "256,0,0" << false << start;
    QTest::newRow("colour, -1") << "--caption-colour"
                                << "0,-1,0" << false << start;
    QTest::newRow("colour, two") << "--caption-colour"
                                 << "0,0" << false << start;
    QTest::newRow("colour, four") << "--caption-colour"
                                  << "0,0,0,0" << false << start;
    QTest::newRow("colour, hex") << "--caption-colour"
                                 << "#FF0000" << false << start;
    QTest::newRow("colour, fraction") << "--caption-colour"
                                      << "1.5,0,0" << false << start;
    QTest::newRow("shadow") << "--caption-shadow"
                            << "10,20,30" << true
                            << with([](CaptionSettings& c) { c.shadow_colour = 0x1E140A; });
    QTest::newRow("shadow, highest") << "--caption-shadow"
                                     << "255,255,255" << true
                                     << with([](CaptionSettings& c) { c.shadow_colour = 0xFFFFFF; });
    QTest::newRow("shadow, 2147483648") << "--caption-shadow"
                                        << "2147483648,0,0" << false << start;
    QTest::newRow("opacity") << "--caption-opacity"
                             << "128,40" << true << with([](CaptionSettings& c) {
                                  c.face_opacity = 128;
                                  c.shadow_opacity = 40;
                                });
    QTest::newRow("opacity, lowest") << "--caption-opacity"
                                     << "0,0" << true << with([](CaptionSettings& c) {
                                          c.face_opacity = 0;
                                          c.shadow_opacity = 0;
                                        });
    QTest::newRow("opacity, highest") << "--caption-opacity"
                                      << "255,255" << true << start;
    QTest::newRow("opacity, 256") << "--caption-opacity"
                                  << "256,0" << false << start;
    QTest::newRow("opacity, -1") << "--caption-opacity"
                                 << "0,-1" << false << start;
    QTest::newRow("opacity, one") << "--caption-opacity"
                                  << "128" << false << start;
    QTest::newRow("opacity, three") << "--caption-opacity"
                                    << "1,2,3" << false << start;
  }
  void CaptionLook() {
    QFETCH(QString, option);
    QFETCH(QString, value);
    QFETCH(bool, valid);
    QFETCH(CaptionSettings, expected);
    QVERIFY(IsCaptionLookOption(option));
    QVERIFY(!IsToneOption(option));
    CaptionSettings caption;
    QString error;
    QCOMPARE(ApplyCaptionLookOption(option, value, caption, &error), valid);
    QVERIFY(caption == expected);
    QCOMPARE(error.isEmpty(), valid);
    if (!valid) QVERIFY(error.startsWith(option));
  }

  void OtherOptionsAreNotTone() {
    QVERIFY(!IsCaptionLookOption(QStringLiteral("--caption")));
    QVERIFY(!IsCaptionLookOption(QStringLiteral("--caption-at")));
    QVERIFY(!IsToneOption(QStringLiteral("--crop")));
    QVERIFY(!IsToneOption(QStringLiteral("--tones")));
  }
};

QTEST_GUILESS_MAIN(RenderOptionsTest)
#include "render_options_test.moc"
