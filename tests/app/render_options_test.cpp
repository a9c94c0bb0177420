// The tone options of the render command: what they accept, at both ends of their ranges and beyond.
#include <QTest>

#include "app/render_options.h"

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

  void OtherOptionsAreNotTone() {
    QVERIFY(!IsToneOption(QStringLiteral("--crop")));
    QVERIFY(!IsToneOption(QStringLiteral("--tones")));
  }
};

QTEST_GUILESS_MAIN(RenderOptionsTest)
#include "render_options_test.moc"
