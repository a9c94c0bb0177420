// The caption in the preview and in the saved picture: the same place and size on the photo.
#include <QTest>

#include "compose/preview.h"
#include "edit/caption_layer.h"
#include "edit/edit_state.h"
#include "output/render_to_file.h"

namespace {

QRectF Coverage(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) > 128) box |= QRect(x, y, 1, 1);
  return QRectF(box);
}

}  // namespace

class CaptionPlacementTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void PreviewAndSavedCaptionCoverTheSameShare_data() {
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("style");
    QTest::newRow("landscape") << QSize(1260, 945) << 24 << 0;
    QTest::newRow("portrait, bold italic") << QSize(900, 1575) << 36 << 3;
    QTest::newRow("small photo, enlarged") << QSize(200, 150) << 12 << 1;
  }

  // The preview shows the composite letterboxed into the screen with the caption layer on top;
  // the saved picture has the caption stamped on the full-size composite. Mapped onto the screen,
  // the two captions' boxes agree within a pixel.
  void PreviewAndSavedCaptionCoverTheSameShare() {
    QFETCH(QSize, photo);
    QFETCH(int, points);
    QFETCH(int, style);
    CaptionSettings caption;
    caption.text = QStringLiteral("Two lines\nof caption");
    caption.size = points;
    caption.style = static_cast<CaptionStyle>(style);
    caption.position = QPointF(100, 130);  // inside the photo on every shape below
    const float fit = FitFactor(photo.width(), photo.height(), kScreenSize.width());

    const QRectF preview = Coverage(BuildCaptionLayer(caption, fit, kScreenSize));
    QImage full(photo, QImage::Format_ARGB32_Premultiplied);
    full.fill(Qt::transparent);
    StampCaption(full, caption, fit);
    const QRectF saved = Coverage(full);
    QVERIFY(!preview.isEmpty() && !saved.isEmpty());

    // Full-size pixels onto the screen: divided by the fit factor, shifted by the letterbox.
    const QRectF target = ScreenTargetRect(WorkingPhotoSize(photo, kScreenSize), kScreenSize);
    const auto to_screen = [&](QPointF p) { return target.topLeft() + p / fit; };
    const QPointF top_left = to_screen(saved.topLeft());
    const QPointF bottom_right = to_screen(saved.bottomRight() + QPointF(1, 1));
    // Within a pixel of the coarser of the two pictures: a preview pixel, or, for a photo smaller
    // than the preview, a photo pixel (1 / fit preview pixels), below which the saved glyph edges
    // cannot say where they lie.
    const double tolerance = std::max(1.0, 1.0 / fit);
    const auto near = [tolerance](double a, double b) { return std::abs(a - b) <= tolerance; };
    QVERIFY2(near(top_left.x(), preview.left()) && near(top_left.y(), preview.top()),
             qPrintable(QStringLiteral("saved (%1, %2), preview (%3, %4)")
                            .arg(top_left.x())
                            .arg(top_left.y())
                            .arg(preview.left())
                            .arg(preview.top())));
    QVERIFY2(near(bottom_right.x(), preview.right() + 1) && near(bottom_right.y(), preview.bottom() + 1),
             qPrintable(QStringLiteral("saved (%1, %2), preview (%3, %4)")
                            .arg(bottom_right.x())
                            .arg(bottom_right.y())
                            .arg(preview.right() + 1)
                            .arg(preview.bottom() + 1)));
  }
};

QTEST_MAIN(CaptionPlacementTest)
#include "caption_placement_test.moc"
