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

// Detail finer than a ratio-1 pixel in rect (even corners and sizes) of a ratio-2 picture: the
// squared spread of grey levels inside each 2 x 2 block. A ratio-1 picture doubled pixel by pixel
// has none; enlarged smoothly, only the blur of its edges; drawn at ratio 2, its edges' own detail.
double FineDetail(const QImage& image, const QRect& rect) {
  double sum = 0;
  for (int y = rect.top(); y + 1 <= rect.bottom(); y += 2)
    for (int x = rect.left(); x + 1 <= rect.right(); x += 2) {
      const int g[4] = {qGray(image.pixel(x, y)), qGray(image.pixel(x + 1, y)), qGray(image.pixel(x, y + 1)),
                        qGray(image.pixel(x + 1, y + 1))};
      const double mean = (g[0] + g[1] + g[2] + g[3]) / 4.0;
      for (const int v : g) sum += (v - mean) * (v - mean);
    }
  return sum;
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

  // Crisp at ratio 2: the buttons and the title band drawn at twice the pixels hold detail finer
  // than a ratio-1 pixel, well beyond the ratio-1 window enlarged (what a window drawn at ratio 1
  // and scaled would show).
  void SharperThanRatioOneEnlarged_data() {
    QTest::addColumn<QString>("control");
    QTest::newRow("mirror button") << "FlatButton13";
    QTest::newRow("caption button") << "FlatButton20";
    QTest::newRow("photo Open button") << "PhotoOpenButton";
    QTest::newRow("template Edit button") << "FlatButton27";
    QTest::newRow("Add Batch button") << "Batch";
    QTest::newRow("title band") << "TitleBarWidget";
  }
  void SharperThanRatioOneEnlarged() {
    QFETCH(QString, control);
    Config config(folder_.Path());
    ScriptedDialogs dialogs;
    ThumbnailCache cache{QString()};
    MainWindow window(config, dialogs, cache, 1);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QWidget* widget = window.findChild<QWidget*>(control);
    if (widget == nullptr)
      for (QWidget* child : window.findChildren<QWidget*>())
        if (QString::fromLatin1(child->metaObject()->className()) == control) widget = child;
    QVERIFY2(widget != nullptr && widget->isVisible(), qPrintable(control));
    const QImage twice = Render(window, 2);
    const QImage enlarged =
        Render(window, 1).scaled(twice.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QRect area(widget->mapTo(&window, QPoint(0, 0)) * 2, widget->size() * 2);
    QVERIFY(twice.rect().contains(area));
    const double sharp = FineDetail(twice, area);
    const double soft = FineDetail(enlarged, area);
    QVERIFY2(sharp > 1.3 * soft, qPrintable(QStringLiteral("%1 against %2").arg(sharp).arg(soft)));
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
