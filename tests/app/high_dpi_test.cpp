// The window at a device pixel ratio of 2: the same size and shape in device-independent pixels,
// and laid out exactly as at ratio 1 (nothing cut off or moved).
#include <QApplication>
#include <QPainter>
#include <QTest>
#include <cmath>
#include <memory>

#include "app/main_window.h"
#include "app/window_shape.h"
#include "support/app_folder_fixture.h"
#include "support/scripted_dialogs.h"
#include "widgets/skin_art.h"

using testing_support::AppFolderFixture;
using testing_support::ScriptedDialogs;

namespace {

// The window drawn into an image of its size times ratio.
QImage Render(QWidget& window, qreal ratio) {
  QImage image(window.size() * ratio, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::black);
  window.render(&image);
  image.setDevicePixelRatio(1);
  return image;
}

// Mean absolute channel difference of two images of one size.
double MeanDifference(const QImage& a, const QImage& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    }
  return sum / (3.0 * a.width() * a.height());
}

}  // namespace

class HighDpiTest : public QObject {
  Q_OBJECT

 private:
  AppFolderFixture folder_;

 private Q_SLOTS:
  void initTestCase() {
    folder_.WriteConfig(QStringLiteral("A"));
    folder_.AddTemplates(QStringLiteral("A"), 2);
  }

  void LaidOutAsAtRatioOne() {
    Config config(folder_.Path());
    ScriptedDialogs dialogs;
    ThumbnailCache cache{QString()};
    MainWindow window(config, dialogs, cache, 1);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.devicePixelRatioF(), 2.0);
    // The window keeps its size in device-independent pixels, and its shape.
    QCOMPARE(window.size(), QSize(800, 600));
    QCOMPARE(window.mask(), ShapeRegion(SkinShape()));
    const QImage twice = Render(window, 2);
    const QImage once = Render(window, 1);
    QCOMPARE(twice.size(), QSize(1600, 1200));
    // Laid out alike: reduced to ratio 1, the ratio-2 picture is the ratio-1 one up to the
    // rounding of edges and text drawn at another size (a control moved or cut off by even a few
    // pixels gives several times this).
    const QImage reduced = twice.scaled(once.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const double layout = MeanDifference(reduced, once);
    QVERIFY2(layout < 6.0, qPrintable(QString::number(layout)));
  }
};

int main(int argc, char** argv) {
  // Every screen at ratio 2, as on a high-density display.
  qputenv("QT_SCALE_FACTOR", "2");
  QApplication app(argc, argv);
  HighDpiTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "high_dpi_test.moc"
