// The real program on a virtual X screen: the shaped window shows its photo thumbnails.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "app/window_shape.h"
#include "support/app_folder_fixture.h"
#include "support/test_support.h"

using testing_support::AppFolderFixture;
using testing_support::PhotoColour;

namespace {

constexpr QSize kScreen(1024, 768);
constexpr int kPhotos = 5;
const QPoint kCells[kPhotos] = {{51, 143}, {134, 143}, {218, 142}, {302, 142}, {51, 220}};

// A flat colour survives JPEG coding and scaling within a few levels; 24 leaves room for chroma
// subsampling at the colour's edges while still telling the photos apart.
constexpr int kColourTolerance = 24;

// Where the program centres its 800 x 600 window on the screen.
QPoint WindowOrigin() { return QPoint((kScreen.width() - 800) / 2, (kScreen.height() - 600) / 2); }

bool ShowsThumbnails(const QImage& shot) {
  if (shot.size() != kScreen) return false;
  for (int i = 0; i < kPhotos; ++i) {
    const QPoint centre = WindowOrigin() + kCells[i] + QPoint(35, 35);
    if (!testing_support::Near(shot.pixel(centre), PhotoColour(i + 1).rgb(), kColourTolerance)) return false;
  }
  return true;
}

}  // namespace

class WindowScreenshotTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void ShapedWindowShowsItsThumbnails() {
    if (QStandardPaths::findExecutable(QStringLiteral("xvfb-run")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("import")).isEmpty())
      QSKIP("needs xvfb-run and ImageMagick's import");
    AppFolderFixture folder;
    folder.AddPhotos(kPhotos, QSize(400, 300), "jpg");
    QTemporaryDir work;
    const QString shot_path = work.filePath(QStringLiteral("shot.png"));
    const QString stop_path = work.filePath(QStringLiteral("stop"));

    // The script takes a screenshot every fifth of a second until the test has seen what it
    // waits for; the program's window appears whenever it is ready.
    const QString script = QStringLiteral(
        "\"$LUMISTO\" --home \"$APP_HOME\" & pid=$!\n"
        "while [ ! -e \"$STOP\" ] && kill -0 $pid 2>/dev/null; do\n"
        "  import -window root \"$SHOT.part.png\" 2>/dev/null && mv \"$SHOT.part.png\" \"$SHOT\"\n"
        "  sleep 0.2\n"
        "done\n"
        "kill $pid 2>/dev/null; wait $pid 2>/dev/null; exit 0\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the program must open a real window
    env.insert(QStringLiteral("LUMISTO"), QStringLiteral(LUMISTO_EXE));
    env.insert(QStringLiteral("APP_HOME"), folder.Path());
    env.insert(QStringLiteral("SHOT"), shot_path);
    env.insert(QStringLiteral("STOP"), stop_path);
    env.insert(QStringLiteral("XDG_CACHE_HOME"), work.filePath(QStringLiteral("cache")));
    QProcess xvfb;
    xvfb.setProcessEnvironment(env);
    xvfb.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    xvfb.start(QStringLiteral("xvfb-run"),
               {QStringLiteral("-a"), QStringLiteral("-s"),
                QStringLiteral("-screen 0 %1x%2x24").arg(kScreen.width()).arg(kScreen.height()),
                QStringLiteral("sh"), QStringLiteral("-c"), script});
    QVERIFY(xvfb.waitForStarted());

    QImage shot;
    QTRY_VERIFY_WITH_TIMEOUT((shot = QImage(shot_path), ShowsThumbnails(shot)), 90000);
    testing_support::WriteFile(stop_path, "");
    QVERIFY(xvfb.waitForFinished(30000));

    // Outside the shape the screen's own background shows; the skin shows inside it.
    const QRgb root = shot.pixel(5, 5);
    const QImage shape(QStringLiteral(LUMISTO_SOURCE_DIR "/assets/skin/shape.png"));
    QVERIFY(!shape.isNull());
    const QRegion region = ShapeRegion(shape);
    int outside = 0;
    int inside_differs = 0;
    for (int y = 0; y < 600; y += 3) {
      for (int x = 0; x < 800; x += 3) {
        const QRgb pixel = shot.pixel(WindowOrigin() + QPoint(x, y));
        if (!region.contains(QPoint(x, y))) {
          QVERIFY2(pixel == root, qPrintable(QStringLiteral("outside the shape at %1,%2").arg(x).arg(y)));
          ++outside;
        } else if (pixel != root) {
          ++inside_differs;
        }
      }
    }
    QVERIFY(outside > 0);
    QVERIFY(inside_differs > 1000);
  }
};

QTEST_GUILESS_MAIN(WindowScreenshotTest)
#include "window_screenshot_test.moc"
