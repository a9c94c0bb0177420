// The caption layer of the preview: colours and shadow, scale by the fit factor, empty text, fonts.
#include <QFontInfo>
#include <QTest>

#include "edit/caption_layer.h"

namespace {

constexpr QSize kScreen(315, 315);

// The bounding box of the pixels whose alpha passes threshold; empty when none does.
QRect Coverage(const QImage& image, int threshold = 128) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) > threshold) box |= QRect(x, y, 1, 1);
  return box;
}

// The box of the pixels of exactly that opaque colour.
QRect ColourBox(const QImage& image, QRgb colour) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) == colour) box |= QRect(x, y, 1, 1);
  return box;
}

CaptionSettings Block() {
  CaptionSettings caption;
  caption.font_name = QStringLiteral("DejaVu Sans");
  caption.text = QStringLiteral("\u2588");  // a full block: solid face, solid shadow
  caption.position = QPointF(100, 100);
  return caption;
}

}  // namespace

class CaptionLayerTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void StartColoursWhiteFaceGreyShadowTwoPixelsAway() {
    const QImage layer = BuildCaptionLayer(Block(), 1.0f, kScreen);
    QCOMPARE(layer.size(), kScreen);
    const QRect face = ColourBox(layer, qRgb(255, 255, 255));
    const QRect shadow = ColourBox(layer, qRgb(100, 100, 100));
    QVERIFY(face.width() > 8 && face.height() > 8);
    // The shadow shows below and right of the face, its box the face's moved by (2, 2).
    QCOMPARE(shadow.bottomRight(), face.bottomRight() + QPoint(2, 2));
    QCOMPARE(layer.pixel(face.right() + 2, face.bottom() + 2), qRgb(100, 100, 100));
    QVERIFY(face.left() >= 100 && face.top() >= 100);
  }

  void FitFactorScalesTheCaption_data() {
    QTest::addColumn<float>("fit");
    QTest::newRow("half size") << 2.0f;
    QTest::newRow("quarter size") << 4.0f;
    QTest::newRow("double size (small photo)") << 0.5f;
  }
  void FitFactorScalesTheCaption() {
    QFETCH(float, fit);
    CaptionSettings caption = Block();
    caption.text = QStringLiteral("Lumisto\nframed");
    caption.size = 24;
    caption.position = QPointF(20, 20);
    const QRect natural = Coverage(BuildCaptionLayer(caption, 1.0f, kScreen));
    const QRect scaled = Coverage(BuildCaptionLayer(caption, fit, kScreen));
    // Antialiased edges may gain or lose a pixel on each side.
    QVERIFY2(std::abs(scaled.width() - natural.width() / fit) <= 2,
             qPrintable(QStringLiteral("%1 vs %2").arg(scaled.width()).arg(natural.width())));
    QVERIFY(std::abs(scaled.height() - natural.height() / fit) <= 2);
    QVERIFY(std::abs(scaled.left() - (20 + (natural.left() - 20) / fit)) <= 1);
  }

  void NothingToDraw_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("fit");
    QTest::newRow("empty text") << QString() << 1.0f;
    QTest::newRow("zero fit factor") << QStringLiteral("x") << 0.0f;
    QTest::newRow("negative fit factor") << QStringLiteral("x") << -1.0f;
  }
  void NothingToDraw() {
    QFETCH(QString, text);
    QFETCH(float, fit);
    CaptionSettings caption = Block();
    caption.text = text;
    QVERIFY(Coverage(BuildCaptionLayer(caption, fit, kScreen), 0).isEmpty());
  }

  void SizesOutsideTheRangeAreBroughtIn_data() {
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("pixels");
    QTest::newRow("24 points") << 24 << 32;
    QTest::newRow("zero") << 0 << 1;
    QTest::newRow("negative") << -1 << 1;
    QTest::newRow("largest") << kCaptionMaxPoints << 1333;
    QTest::newRow("2147483647") << 2147483647 << 1333;
  }
  void SizesOutsideTheRangeAreBroughtIn() {
    QFETCH(int, points);
    QFETCH(int, pixels);
    CaptionSettings caption = Block();
    caption.size = points;
    QCOMPARE(CaptionFont(caption).pixelSize(), pixels);
  }

  void StyleSetsBoldAndItalic() {
    CaptionSettings caption;
    const std::pair<CaptionStyle, std::pair<bool, bool>> styles[] = {
        {CaptionStyle::Regular, {false, false}},
        {CaptionStyle::Bold, {true, false}},
        {CaptionStyle::Italic, {false, true}},
        {CaptionStyle::BoldItalic, {true, true}},
    };
    for (const auto& [style, bold_italic] : styles) {
      caption.style = style;
      const QFont font = CaptionFont(caption);
      QCOMPARE(font.bold(), bold_italic.first);
      QCOMPARE(font.italic(), bold_italic.second);
    }
  }

  void FontsResolveToInstalledFamilies() {
    QCOMPARE(CaptionFamilyInUse(QStringLiteral("DejaVu Sans")), QStringLiteral("DejaVu Sans"));
    const QString fallback = CaptionFamilyInUse(QStringLiteral("No Such Family 4711"));
    QVERIFY(!fallback.isEmpty());
    QVERIFY(fallback != QStringLiteral("No Such Family 4711"));
    // The start font is installed by the set-up and is a heavy one.
    const CaptionSettings start;
    QCOMPARE(CaptionFamilyInUse(start.font_name), start.font_name);
    QCOMPARE(QFontInfo(CaptionFont(start)).styleName(), QStringLiteral("Black"));
  }

  void MissingFamilyStillDraws() {
    CaptionSettings caption = Block();
    caption.font_name = QStringLiteral("No Such Family 4711");
    caption.text = QStringLiteral("Hello");
    QVERIFY(!Coverage(BuildCaptionLayer(caption, 1.0f, kScreen)).isEmpty());
  }
};

QTEST_MAIN(CaptionLayerTest)
#include "caption_layer_test.moc"
