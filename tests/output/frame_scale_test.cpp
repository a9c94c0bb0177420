// Frames with Scale on look the same in the saved picture as in the preview: the band takes the
// same share of the width, within one preview pixel.
#include <QTemporaryDir>
#include <QtTest>

#include "compose/preview.h"
#include "compose/render_composite.h"
#include "output/render_to_file.h"
#include "styles/frame_style.h"
#include "support/test_support.h"

namespace {

FrameStyle Band(int size, int include) {
  FrameStyle s;
  s.blend_opacity = 255;
  s.frame_draw = 1;
  s.frame_include = include;
  s.frame_opacity = 255;
  s.frame_size = size;
  s.frame_color = 0x0000FF;
  s.back_draw = 1;
  s.back_opacity = 255;
  s.back_size = 8;
  s.back_color = 0x00FF0000;  // a blue margin outside the red band
  s.scale = 1;
  return s;
}

// Red pixels along the middle row, from the first one on.
int BandWidth(const QImage& image) {
  const int y = image.height() / 2;
  const auto red = [&](int x) { return qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) < 60; };
  int x = 0;
  while (x < image.width() && !red(x)) ++x;
  int width = 0;
  while (x + width < image.width() && red(x + width)) ++width;
  return width;
}

}  // namespace

class FrameScaleTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

 private Q_SLOTS:
  void BandShareMatchesThePreview_data() {
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("include");
    QTest::newRow("landscape 3000 x 2000, band over the photo") << QSize(3000, 2000) << 31 << 1;
    QTest::newRow("portrait 1200 x 1800, band around the photo") << QSize(1200, 1800) << 20 << 0;
    QTest::newRow("smaller than the preview") << QSize(200, 150) << 12 << 1;
  }
  void BandShareMatchesThePreview() {
    QFETCH(QSize, photo);
    QFETCH(int, size);
    QFETCH(int, include);
    QImage pixels(photo, QImage::Format_RGB32);
    pixels.fill(Qt::green);
    const QString path = dir_.filePath("photo.png");
    QVERIFY(pixels.save(path));
    const FrameStyle style = Band(size, include);

    const auto working = LoadWorkingPhoto(path);
    QVERIFY(working);
    QImage preview(working->image.size(), QImage::Format_ARGB32_Premultiplied);
    preview.fill(Qt::transparent);
    RenderComposite(working->image, preview, style, testing_support::ShippedTextures());

    RenderRequest request;
    request.photo_path = path;
    request.style = style;
    const QImage full = RenderFullSize(request, testing_support::ShippedTextures());

    const double preview_share = double(BandWidth(preview)) / preview.width();
    const double full_share = double(BandWidth(full)) / full.width();
    QVERIFY(BandWidth(preview) > size / 2);  // the band is there to be measured
    // One pixel of the preview, as a share of its width.
    QVERIFY2(qAbs(preview_share - full_share) * preview.width() <= 1.0,
             qPrintable(QStringLiteral("preview %1, full %2").arg(preview_share).arg(full_share)));
  }

  // A shadowed frame with Scale on, saved at fit factor 4, is the preview enlarged four times in
  // the shadow too: the fade and the corner follow the template's own shadow size. The preview is
  // enlarged smoothly to the saved picture's size and the two compared over every pixel where either
  // shows the shadow, drawn at full opacity (the shipped ones are fainter, so closer still); 6
  // levels of mean difference allow for the enlargement's blur of the preview's one-pixel steps.
  void ShadowMatchesThePreviewEnlarged_data() {
    QTest::addColumn<int>("shadow");
    QTest::addColumn<int>("margin");
    // The shadow and margin sizes of the shipped shadowed templates, and a small shadow.
    QTest::newRow("shadow 8, margin 22") << 8 << 22;
    QTest::newRow("shadow 10, margin 34") << 10 << 34;
    QTest::newRow("shadow 13, margin 39") << 13 << 39;
    QTest::newRow("shadow 5, margin 20") << 5 << 20;
  }
  void ShadowMatchesThePreviewEnlarged() {
    QFETCH(int, shadow);
    QFETCH(int, margin);
    QImage pixels(QSize(1260, 840), QImage::Format_RGB32);  // fit factor 1260 / 315 = 4
    pixels.fill(QColor(40, 160, 40));
    const QString path = dir_.filePath("shadow.png");
    QVERIFY(pixels.save(path));
    FrameStyle style;
    style.blend_opacity = 255;
    style.back_draw = 1;
    style.back_opacity = 255;
    style.back_size = margin;
    style.back_color = 0xFFFFFF;
    style.shadow_draw = 1;
    style.shadow_opacity = 255;
    style.shadow_size = shadow;
    style.shadow_color = 0x000000;
    style.scale = 1;

    const auto working = LoadWorkingPhoto(path);
    QVERIFY(working);
    QImage preview(working->image.size(), QImage::Format_ARGB32_Premultiplied);
    preview.fill(Qt::transparent);
    RenderComposite(working->image, preview, style, testing_support::ShippedTextures());
    RenderRequest request;
    request.photo_path = path;
    request.style = style;
    request.fit_factor = 4.0f;
    const QImage full =
        RenderFullSize(request, testing_support::ShippedTextures()).convertToFormat(QImage::Format_RGB32);
    const QImage enlarged = preview.convertToFormat(QImage::Format_RGB32)
                                .scaled(full.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // The shadow shows on the white margin: a pixel is in it when it is grey in either picture and
    // lies outside the photo (the photo is green, the shadow grey).
    const auto shaded = [](QRgb p) {
      return qRed(p) < 250 && qAbs(qRed(p) - qGreen(p)) < 12 && qAbs(qGreen(p) - qBlue(p)) < 12;
    };
    double sum = 0;
    qint64 count = 0;
    for (int y = 0; y < full.height(); ++y)
      for (int x = 0; x < full.width(); ++x) {
        const QRgb a = full.pixel(x, y), b = enlarged.pixel(x, y);
        if (!shaded(a) && !shaded(b)) continue;
        sum += qAbs(qRed(a) - qRed(b));
        ++count;
      }
    QVERIFY(count > 1000);  // there is a shadow to compare
    const double mean = sum / static_cast<double>(count);
    QVERIFY2(mean <= 6.0,
             qPrintable(QStringLiteral("mean difference %1 over %2 pixels").arg(mean).arg(count)));
  }

  void PixelFramesKeepTheirPixels() {
    QImage pixels(QSize(3000, 2000), QImage::Format_RGB32);
    pixels.fill(Qt::green);
    const QString path = dir_.filePath("pixels.png");
    QVERIFY(pixels.save(path));
    RenderRequest request;
    request.photo_path = path;
    request.style = Band(31, 1);
    request.style.scale = 0;
    QVERIFY(qAbs(BandWidth(RenderFullSize(request, testing_support::ShippedTextures())) - 31) <= 1);
    // The window's fit factor is the one a scaled frame follows.
    request.style.scale = 1;
    request.fit_factor = 2.0f;
    // 62 pixels of band, less the one the band's edge loses to the margin's antialiasing.
    QVERIFY(qAbs(BandWidth(RenderFullSize(request, testing_support::ShippedTextures())) - 62) <= 1);
  }
};

QTEST_GUILESS_MAIN(FrameScaleTest)
#include "frame_scale_test.moc"
