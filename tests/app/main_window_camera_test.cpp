// The camera in the window: the tool window reached from the photo area, Power with and without a
// device, the live preview, Snapshot as a photo of the folder, the custom frames and a lost device.
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/camera_feed.h"
#include "app/main_window.h"
#include "app/preview_widget.h"
#include "output/render_to_file.h"
#include "sources/camera_window.h"
#include "sources/photo_grid_widget.h"
#include "sources/synthetic_frame_source.h"
#include "support/app_folder_fixture.h"
#include "support/scripted_dialogs.h"
#include "support/test_support.h"

using testing_support::AppFolderFixture;
using testing_support::ScriptedDialogs;
using testing_support::ShippedTextures;

using testing_support::Near;
using testing_support::Opaque;
using testing_support::SolidFrame;

namespace {

struct Harness {
  // With fake, the camera pages drive a device-free source; without, the system's devices.
  explicit Harness(bool fake = true)
      : config(folder.Path()),
        cache(QString()),
        window(std::make_unique<MainWindow>(config, dialogs, cache, 1)) {
    folder.WriteConfig(QStringLiteral("A"));
    folder.AddTemplates(QStringLiteral("A"), 1);
    if (fake) {
      source = new SyntheticFrameSource();
      window->SetFrameSource(source);
    }
    window->Photos()->ScanFolder(folder.PhotoFolder());
    window->Photos()->SourceMenu()->findChild<QAction*>(QStringLiteral("CamItem"))->trigger();
  }

  template <typename T = QWidget>
  T* Find(const QString& name) const {
    T* widget = window->findChild<T*>(name);
    if (!widget) qFatal("no control named %s", qPrintable(name));
    return widget;
  }
  void Click(const QString& name) const { QTest::mouseClick(Find(name), Qt::LeftButton); }
  QRgb Preview(int x, int y) const { return Opaque(window->Preview()->ShownPicture().pixel(x, y)); }
  // Delivers a frame and waits until the preview shows it.
  bool Frame(const QImage& frame) {
    const int before = window->Feed()->ComposedFrames();
    source->Push(frame);
    return QTest::qWaitFor([&] { return window->Feed()->ComposedFrames() > before; }, 5000);
  }
  QStringList Snapshots() const {
    return QDir(folder.PhotoFolder()).entryList({QStringLiteral("Camera *.jpg")}, QDir::Files);
  }

  AppFolderFixture folder;
  Config config;
  ScriptedDialogs dialogs;
  ThumbnailCache cache;
  std::unique_ptr<MainWindow> window;
  SyntheticFrameSource* source = nullptr;  // the window's
};

}  // namespace

class MainWindowCameraTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void CameraItemOpensTheToolWindow() {
    Harness h;
    QVERIFY(h.window->Camera() != nullptr);
    QVERIFY(h.window->Camera()->isVisible());
    auto* pages = h.Find<QTabWidget>(QStringLiteral("CameraPages"));
    QCOMPARE(pages->tabText(0), QStringLiteral("Cam"));
    QCOMPARE(pages->tabText(1), QStringLiteral("Custom"));
    // The photo area's menu offers the folder beside the camera.
    const QList<QAction*> items = h.window->Photos()->SourceMenu()->actions();
    QCOMPARE(items.size(), 2);
    QCOMPARE(items[0]->text(), QStringLiteral("Photo folder..."));
    QCOMPARE(items[1]->text(), QStringLiteral("Camera"));
  }

  void BarsHaveTheirRanges_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("start");
    QTest::newRow("quality") << "QualityBar" << 1 << 100 << 90;
    QTest::newRow("border width") << "TrackBar5" << 1 << 100 << 5;
    QTest::newRow("opacity") << "TrackBar6" << 1 << 255 << 255;
  }
  void BarsHaveTheirRanges() {
    QFETCH(QString, name);
    QFETCH(int, low);
    QFETCH(int, high);
    QFETCH(int, start);
    Harness h;
    auto* bar = h.Find<QSlider>(name);
    QCOMPARE(bar->minimum(), low);
    QCOMPARE(bar->maximum(), high);
    QCOMPARE(bar->value(), start);
    bar->setValue(-1);
    QCOMPARE(bar->value(), low);
    bar->setValue(2147483647);
    QCOMPARE(bar->value(), high);
  }

  // The real capture path on a machine without a camera.
  void PowerWithoutADeviceSaysError() {
    Harness h(false);
    h.Click(QStringLiteral("Button14"));
    if (h.dialogs.exclamations.isEmpty() && h.window->Feed()->CurrentPhase() == CameraFeed::Phase::Running)
      QSKIP("a camera is attached to this machine");
    QCOMPARE(h.dialogs.exclamations, QStringList({QStringLiteral("ERROR: ERROR")}));
    QCOMPARE(h.window->Feed()->CurrentPhase(), CameraFeed::Phase::Off);
    QVERIFY(h.Find(QStringLiteral("Panel5"))->isHidden());
    QVERIFY(h.window->Preview()->StartPictureVisible());
    // Snapshot and Config have nothing to act on.
    h.Click(QStringLiteral("Button15"));
    h.Click(QStringLiteral("Button16"));
    QVERIFY(h.dialogs.notices.isEmpty() && h.dialogs.list_offers.isEmpty() && h.dialogs.errors.isEmpty());
  }

  void PowerRefusedSaysError() {
    Harness h;
    h.source->SetConnectAccepted(false);
    h.Click(QStringLiteral("Button14"));
    QCOMPARE(h.dialogs.exclamations, QStringList({QStringLiteral("ERROR: ERROR")}));
    QVERIFY(!h.source->Previewing());
    QVERIFY(h.Find(QStringLiteral("Panel5"))->isHidden());
  }

  void FramesReachThePreview() {
    Harness h;
    h.Click(QStringLiteral("Button14"));
    QVERIFY(h.dialogs.exclamations.isEmpty());
    QVERIFY(!h.Find(QStringLiteral("Panel5"))->isHidden());
    QVERIFY(!h.window->Preview()->StartPictureVisible());
    QCOMPARE(h.Preview(150, 150), qRgb(255, 255, 255));  // white until the first frame
    QVERIFY(h.Frame(SolidFrame(qRgb(30, 90, 200))));
    QCOMPARE(h.Preview(150, 150), qRgb(30, 90, 200));
    QCOMPARE(h.Preview(150, 20), qRgb(255, 255, 255));  // 4:3 letterboxed: white above
    QVERIFY(h.Frame(SolidFrame(qRgb(200, 90, 30))));
    QCOMPARE(h.Preview(150, 150), qRgb(200, 90, 30));
    // What the preview widget paints, not only what it holds.
    const QImage painted = h.window->Preview()->Screen()->grab().toImage();
    QCOMPARE(Opaque(painted.pixel(150, 150)), qRgb(200, 90, 30));
  }

  void ChoosingAFolderPhotoStopsTheCamera() {
    Harness h;
    h.folder.AddPhotos(1, QSize(60, 40));
    h.window->Photos()->ScanFolder(h.folder.PhotoFolder());
    h.Click(QStringLiteral("Button14"));
    QVERIFY(h.Frame(SolidFrame(qRgb(30, 90, 200))));
    Q_EMIT h.window->Photos()->Chosen(0, ChoiceSource::Cell);
    QCOMPARE(h.window->Feed()->CurrentPhase(), CameraFeed::Phase::Frozen);
    QVERIFY(h.Find(QStringLiteral("Panel5"))->isHidden());
    QVERIFY(h.window->State().edit.photo_path.endsWith(QStringLiteral("p01.png")));
    h.source->Push(SolidFrame(qRgb(1, 2, 3)));
    QCoreApplication::processEvents();
    QCOMPARE(h.window->Feed()->ComposedFrames(), 1);
  }

  void SnapshotBecomesAPhotoOfTheFolder() {
    Harness h;
    h.Find<QSlider>(QStringLiteral("QualityBar"))->setValue(100);
    h.Click(QStringLiteral("Button14"));
    QVERIFY(h.Frame(SolidFrame(qRgb(40, 160, 90), QSize(320, 240))));
    const QImage shown = h.window->Preview()->ShownPicture();
    h.Click(QStringLiteral("Button15"));
    QVERIFY(h.dialogs.errors.isEmpty());
    QCOMPARE(h.Snapshots().size(), 1);
    const QString path = h.folder.PhotoFolder() + u'/' + h.Snapshots().first();
    // Frozen: the preview keeps the last picture and later frames are not shown.
    QVERIFY(h.Find(QStringLiteral("Panel5"))->isHidden());
    QCOMPARE(h.window->Feed()->CurrentPhase(), CameraFeed::Phase::Frozen);
    QCOMPARE(h.window->Preview()->ShownPicture(), shown);
    // Listed, chosen, and the photo of the edits.
    const int row = h.window->Photos()->IndexOfPath(path);
    QVERIFY(row >= 0);
    QCOMPARE(h.window->Photos()->SelectedIndex(), row);
    QCOMPARE(h.window->State().edit.photo_path, path);
    QCOMPARE(h.window->State().edit.photo_width, 320);
    QCOMPARE(h.window->State().edit.photo_height, 240);
    // Saved framed like any photo: the full-size render finds the frame's colour in the middle.
    QTemporaryDir out;
    RenderRequest request = RenderRequestFor(h.window->State().edit, h.window->State().style,
                                             out.filePath(QStringLiteral("framed.png")));
    RenderToFile(request, ShippedTextures());
    const QImage framed(request.output_path);
    QVERIFY(!framed.isNull());
    QVERIFY(Near(Opaque(framed.pixel(framed.width() / 2, framed.height() / 2)), qRgb(40, 160, 90), 3));
  }

  void SnapshotBeforeAnyFrameWritesNothing() {
    Harness h;
    h.Click(QStringLiteral("Button14"));
    h.Click(QStringLiteral("Button15"));
    QCOMPARE(h.dialogs.notices, QStringList({QStringLiteral("The camera has not delivered a picture yet")}));
    QVERIFY(h.Snapshots().isEmpty());
    QCOMPARE(h.window->Feed()->CurrentPhase(), CameraFeed::Phase::Frozen);
  }

  void ColourAndWindowFrame() {
    Harness h;
    h.dialogs.colours = {QColor(0, 200, 0)};
    h.Click(QStringLiteral("Button17"));
    QCOMPARE(h.dialogs.colour_requests, QList<QColor>({QColor(Qt::black)}));
    QVERIFY(h.Find<QLabel>(QStringLiteral("Label3"))->text().contains(QStringLiteral("#00c800")));
    h.Find<QSlider>(QStringLiteral("TrackBar5"))->setValue(10);
    h.Click(QStringLiteral("Button14"));
    QVERIFY(h.Frame(SolidFrame(qRgb(200, 0, 0), QSize(1280, 720))));
    h.Click(QStringLiteral("Button18"));
    // The photo is shown 315 x 177 from y = 69 and one pixel shifted by the photo offset (1, 1).
    QCOMPARE(h.Preview(157, 69 + 9), qRgb(0, 200, 0));
    QCOMPARE(h.Preview(157, 69 + 11), qRgb(200, 0, 0));
    QCOMPARE(h.Preview(157, 30), qRgb(0, 200, 0));
    // A cancelled chooser keeps the colour.
    h.Click(QStringLiteral("Button17"));
    QCOMPARE(h.dialogs.colour_requests.last(), QColor(0, 200, 0));
    QCOMPARE(h.window->Camera()->Colour(), QColor(0, 200, 0));
  }

  void SoftLineFrame() {
    Harness h;
    h.dialogs.colours = {QColor(0, 0, 250)};
    h.Click(QStringLiteral("Button17"));
    h.Click(QStringLiteral("Button14"));
    QVERIFY(h.Frame(SolidFrame(qRgb(250, 250, 250), QSize(1280, 720))));
    h.Click(QStringLiteral("Button19"));
    // Strongest 4 % in from the shown photo's top edge (row 72; the frame does not move with the
    // photo offset), none in the middle.
    const QRgb line = h.Preview(157, 72);
    QVERIFY2(qBlue(line) > 240 && qRed(line) < 20, qPrintable(QString::number(line, 16)));
    QCOMPARE(h.Preview(157, 158), qRgb(250, 250, 250));
  }

  void ConfigSwitchesTheFormat() {
    Harness h;
    h.Click(QStringLiteral("Button16"));  // not connected: nothing to list
    QVERIFY(h.dialogs.list_offers.isEmpty());
    h.Click(QStringLiteral("Button14"));
    h.dialogs.list_choices = {1};
    h.Click(QStringLiteral("Button16"));
    QCOMPARE(h.dialogs.list_offers.size(), 1);
    QCOMPARE(h.dialogs.list_offers[0], QStringList({QStringLiteral("1280 x 720, 30 fps, RGB32"),
                                                    QStringLiteral("640 x 480, 30 fps, RGB32")}));
    QCOMPARE(h.source->CurrentFormat(), 1);
    h.Click(QStringLiteral("Button16"));  // cancelled: unchanged
    QCOMPARE(h.source->CurrentFormat(), 1);
  }

  void ALostDeviceStopsAndSaysSoOnce() {
    Harness h;
    h.Click(QStringLiteral("Button14"));
    QVERIFY(h.Frame(SolidFrame(qRgb(30, 90, 200))));
    const QImage shown = h.window->Preview()->ShownPicture();
    h.source->LoseDevice();
    h.source->LoseDevice();
    QCOMPARE(h.dialogs.notices,
             QStringList({QStringLiteral("The camera was disconnected. The last picture is kept.")}));
    QVERIFY(h.Find(QStringLiteral("Panel5"))->isHidden());
    QCOMPARE(h.window->Preview()->ShownPicture(), shown);
    h.Click(QStringLiteral("Button15"));  // nothing running: no snapshot
    QVERIFY(h.Snapshots().isEmpty());
  }

  void ClosingTheToolWindowStopsTheCamera() {
    Harness h;
    h.Click(QStringLiteral("Button14"));
    QVERIFY(h.source->Previewing());
    h.window->Camera()->close();
    QVERIFY(!h.source->IsConnected());
    QCOMPARE(h.window->Feed()->CurrentPhase(), CameraFeed::Phase::Frozen);
  }
};

QTEST_MAIN(MainWindowCameraTest)
#include "main_window_camera_test.moc"
