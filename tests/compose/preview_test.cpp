// The fit rule with its float rounding, the letterbox and the preview-size working photo.
#include <QTemporaryDir>
#include <QTest>

#include "compose/preview.h"
#include "support/test_support.h"

class PreviewTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void WorkingPhotoSizes_data() {
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<QSize>("working");
    QTest::newRow("600x400: float rounding takes two pixels") << QSize(600, 400) << QSize(313, 208);
    QTest::newRow("400x600") << QSize(400, 600) << QSize(208, 313);
    QTest::newRow("315x315: exact scale takes one") << QSize(315, 315) << QSize(314, 314);
    QTest::newRow("1000x1000") << QSize(1000, 1000) << QSize(313, 313);
    QTest::newRow("4000x3000") << QSize(4000, 3000) << QSize(313, 235);
    QTest::newRow("6000x4000: the float rounds down, one pixel") << QSize(6000, 4000) << QSize(314, 209);
    QTest::newRow("very wide keeps one row") << QSize(4000, 10) << QSize(313, 1);
  }
  void WorkingPhotoSizes() {
    QFETCH(QSize, photo);
    QFETCH(QSize, working);
    QCOMPARE(WorkingPhotoSize(photo, kScreenSize), working);
  }

  void ScaleIsAStoredFloat() {
    // 600 / 315 as a float is a hair above the exact quotient, so the fitted width falls below 315.
    QCOMPARE(FitScale(QSize(600, 400), kScreenSize), 1.9047619f);
    QVERIFY(FittedSize(QSize(600, 400), kScreenSize).width() < 315.0);
    QCOMPARE(FitScale(QSize(315, 315), kScreenSize), 1.0f);
    // A portrait picture fits by height.
    QCOMPARE(FitScale(QSize(400, 630), kScreenSize), 2.0f);
  }

  void TargetRects_data() {
    QTest::addColumn<QSize>("composite");
    QTest::addColumn<QRectF>("expected");
    QTest::newRow("313x208 letterboxed") << QSize(313, 208) << QRectF(0, 52.84, 315, 209.33);
    QTest::newRow("208x313 pillarboxed") << QSize(208, 313) << QRectF(52.84, 0, 209.33, 315);
    QTest::newRow("313x313 fills") << QSize(313, 313) << QRectF(0, 0, 315, 315);
  }
  void TargetRects() {
    QFETCH(QSize, composite);
    QFETCH(QRectF, expected);
    const QRectF rect = ScreenTargetRect(composite, kScreenSize);
    // The expectations are given to two decimals.
    QVERIFY2(
        qAbs(rect.x() - expected.x()) < 0.005 && qAbs(rect.y() - expected.y()) < 0.005 &&
            qAbs(rect.width() - expected.width()) < 0.005 && qAbs(rect.height() - expected.height()) < 0.005,
        qPrintable(
            QStringLiteral("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height())));
  }

  void LoadsAPhotoAtPreviewSize() {
    QTemporaryDir dir;
    QImage photo(600, 400, QImage::Format_RGB32);
    photo.fill(QColor(200, 40, 40));
    const QString path = dir.filePath(QStringLiteral("p.png"));
    QVERIFY(photo.save(path));
    const std::optional<LoadedWorkingPhoto> loaded = LoadWorkingPhoto(path);
    QVERIFY(loaded.has_value());
    QCOMPARE(loaded->photo_size, QSize(600, 400));
    QCOMPARE(loaded->image.size(), QSize(313, 208));
    QCOMPARE(loaded->image.pixel(0, 0), qRgb(200, 40, 40));
    QCOMPARE(loaded->image.pixel(312, 207), qRgb(200, 40, 40));
  }

  void UnreadableFilesGiveNothing_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("not a picture") << QByteArray("this is no jpeg");
    QTest::newRow("header only") << QByteArray("\xFF\xD8\xFF\xE0", 4);
  }
  void UnreadableFilesGiveNothing() {
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.jpg"));
    if (!bytes.isEmpty()) QVERIFY(testing_support::WriteFile(path, bytes));
    QVERIFY(!LoadWorkingPhoto(path).has_value());
  }

  void ScreenBitmapIsWhiteAroundTheComposite() {
    QImage composite(313, 208, QImage::Format_ARGB32_Premultiplied);
    composite.fill(Qt::black);
    QImage caption(kScreenSize, QImage::Format_ARGB32_Premultiplied);
    caption.fill(Qt::transparent);
    caption.setPixel(10, 300, qRgb(0, 0, 255));
    const QImage bitmap = ComposeScreenBitmap(composite, caption);
    QCOMPARE(bitmap.size(), kScreenSize);
    QCOMPARE(bitmap.pixel(157, 10), qRgb(255, 255, 255));
    QCOMPARE(bitmap.pixel(157, 157), qRgb(0, 0, 0));
    QCOMPARE(bitmap.pixel(10, 300), qRgb(0, 0, 255));  // the caption lies over the white band

    // The direct display leaves the surface around the composite as it was.
    QImage surface(kScreenSize, QImage::Format_ARGB32_Premultiplied);
    surface.fill(Qt::red);
    DrawOnScreenDirect(surface, composite);
    QCOMPARE(surface.pixel(157, 10), qRgb(255, 0, 0));
    QCOMPARE(surface.pixel(157, 157), qRgb(0, 0, 0));
  }
};

QTEST_MAIN(PreviewTest)
#include "preview_test.moc"
