// The camera's live display: frames placed into the preview, mirrored once, composed with the
// custom frame and the caption, frozen, lost, and never queued up.
#include <QSignalSpy>
#include <QTest>

#include "app/camera_feed.h"
#include "edit/caption_layer.h"
#include "sources/synthetic_frame_source.h"
#include "support/test_support.h"

using testing_support::Near;
using testing_support::Opaque;
using testing_support::SolidFrame;

namespace {

// A frame whose left half is red and right half blue, so a mirror shows.
QImage Halves(QSize size = QSize(1280, 720)) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(qRgb(220, 0, 0));
  for (int y = 0; y < size.height(); ++y)
    for (int x = size.width() / 2; x < size.width(); ++x) image.setPixel(x, y, qRgb(0, 0, 220));
  return image;
}

struct Rig {
  explicit Rig(int interval_ms = 0)
      : feed(
            source, state,
            [this](const QImage& picture) {
              shown = picture;
              ++shows;
            },
            interval_ms) {}
  // Delivers a frame and lets it cross to the interface thread.
  void Frame(const QImage& frame) {
    source.Push(frame);
    QCoreApplication::processEvents();
  }
  QRgb At(int x, int y) const { return Opaque(shown.pixel(x, y)); }

  SyntheticFrameSource source;
  MainState state;
  QImage shown;
  int shows = 0;
  CameraFeed feed;
};

}  // namespace

class CameraFeedTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void FramesAreFittedIntoThePreview_data() {
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QRect>("shown");
    QTest::newRow("16:9") << QSize(1280, 720) << QRect(0, 69, 315, 177);
    QTest::newRow("upright 9:16") << QSize(720, 1280) << QRect(69, 0, 177, 315);
    QTest::newRow("4:3") << QSize(640, 480) << QRect(0, 39, 315, 236);
    QTest::newRow("square") << QSize(315, 315) << QRect(0, 0, 315, 315);
    QTest::newRow("one pixel high") << QSize(4000, 1) << QRect(0, 157, 315, 1);
    QTest::newRow("nothing") << QSize() << QRect(0, 0, 315, 315);
  }
  void FramesAreFittedIntoThePreview() {
    QFETCH(QSize, frame);
    QFETCH(QRect, shown);
    const PlacedPhoto placed =
        PlaceInPreview(frame.isEmpty() ? QImage() : SolidFrame(qRgb(0, 200, 0), frame));
    QCOMPARE(placed.shown, shown);
    QCOMPARE(placed.image.size(), QSize(315, 315));
    if (frame.isEmpty()) return;
    QCOMPARE(Opaque(placed.image.pixel(shown.center())), qRgb(0, 200, 0));
    if (shown.top() > 0) QCOMPARE(qAlpha(placed.image.pixel(shown.center().x(), shown.top() - 1)), 0);
  }

  void BeforeTheFirstFrameThePreviewIsWhiteWithFrameAndCaption() {
    Rig rig;
    rig.state.edit.caption.text = QStringLiteral("Hi");
    rig.state.edit.caption.position = QPointF(100, 150);
    rig.state.caption_layer = BuildCaptionLayer(rig.state.edit.caption, 1.0f, kScreenSize);
    rig.state.working_photo = SolidFrame(qRgb(0, 200, 0), QSize(313, 208));  // a folder photo before
    QVERIFY(rig.feed.Power());
    // The custom frame drawn before any frame arrived frames the whole preview.
    CustomFrameSettings settings;
    settings.colour = QColor(200, 0, 200);
    rig.feed.DrawFrame(CustomFrameShape::Window, settings);
    QCOMPARE(rig.At(2, 150), qRgb(200, 0, 200));
    QCOMPARE(rig.At(200, 40), qRgb(255, 255, 255));  // the folder photo is gone
    bool caption_seen = false;
    for (int y = 150; y < 200 && !caption_seen; ++y)
      for (int x = 100; x < 160 && !caption_seen; ++x) caption_seen = rig.At(x, y) != qRgb(255, 255, 255);
    QVERIFY(caption_seen);
  }

  // Mirror switch 1 shows frames as delivered, 0 mirrored, and a frame is mirrored only once
  // however often the preview is composed again.
  void MirrorSwitch_data() {
    QTest::addColumn<int>("mirror_switch");
    QTest::addColumn<QRgb>("left");
    QTest::newRow("1: as delivered") << 1 << qRgb(220, 0, 0);
    QTest::newRow("0: mirrored") << 0 << qRgb(0, 0, 220);
  }
  void MirrorSwitch() {
    QFETCH(int, mirror_switch);
    QFETCH(QRgb, left);
    Rig rig;
    rig.state.edit.mirror_switch = mirror_switch;
    rig.state.edit.photo_offset = QPoint(0, 0);
    QVERIFY(rig.feed.Power());
    rig.Frame(Halves());
    QCOMPARE(rig.feed.ComposedFrames(), 1);
    // Scaling blends a few levels at most away from the bands' middles.
    QVERIFY(Near(rig.At(60, 157), left, 2));
    rig.feed.Compose();
    rig.feed.Compose();
    QVERIFY(Near(rig.At(60, 157), left, 2));
    QCOMPARE(Opaque(rig.feed.SnapshotFrame().pixel(10, 10)), left);
  }

  void ThePhotoOffsetShiftsTheLivePicture() {
    Rig rig;
    QVERIFY(rig.feed.Power());
    rig.state.edit.photo_offset = QPoint(20, 0);
    rig.Frame(SolidFrame(qRgb(0, 0, 200), QSize(315, 315)));
    QCOMPARE(rig.At(10, 150), qRgb(255, 255, 255));
    QCOMPARE(rig.At(30, 150), qRgb(0, 0, 200));
  }

  void TheToneReachesTheLivePicture() {
    Rig rig;
    for (int c = 0; c < 3; ++c) rig.state.edit.tone_matrix.At(c, c) = 0.5f;
    QVERIFY(rig.feed.Power());
    rig.Frame(SolidFrame(qRgb(200, 100, 50), QSize(315, 315)));
    QVERIFY(Near(rig.At(150, 150), qRgb(100, 50, 25), 1));
  }

  void CustomFrameFollowsTheShownFrame() {
    Rig rig;
    rig.state.edit.photo_offset = QPoint(0, 0);
    QVERIFY(rig.feed.Power());
    rig.Frame(SolidFrame(qRgb(0, 180, 0), QSize(1280, 720)));
    CustomFrameSettings settings;
    settings.colour = QColor(250, 250, 0);
    rig.feed.DrawFrame(CustomFrameShape::Window, settings);
    QCOMPARE(rig.feed.ShownPhoto(), QRect(0, 69, 315, 177));
    QCOMPARE(rig.At(157, 73), qRgb(250, 250, 0));  // border row inside the photo
    QCOMPARE(rig.At(157, 74), qRgb(0, 180, 0));    // first window row
    QCOMPARE(rig.At(157, 30), qRgb(250, 250, 0));  // letterbox
    // The next frame keeps the frame on top.
    rig.Frame(SolidFrame(qRgb(0, 0, 180), QSize(1280, 720)));
    QCOMPARE(rig.At(157, 73), qRgb(250, 250, 0));
    QCOMPARE(rig.At(157, 74), qRgb(0, 0, 180));
  }

  // A frame chosen before the first picture (or before a format change) moves to the photo's edges.
  void CustomFrameFollowsANewShownSize() {
    Rig rig;
    rig.state.edit.photo_offset = QPoint(0, 0);
    QVERIFY(rig.feed.Power());
    CustomFrameSettings settings;
    settings.colour = QColor(250, 250, 0);
    rig.feed.DrawFrame(CustomFrameShape::Window, settings);
    QCOMPARE(rig.At(157, 30), qRgb(255, 255, 255));  // the window spans the whole blank preview
    rig.Frame(SolidFrame(qRgb(0, 180, 0), QSize(1280, 720)));
    QCOMPARE(rig.At(157, 30), qRgb(250, 250, 0));
    QCOMPARE(rig.At(157, 73), qRgb(250, 250, 0));
    QCOMPARE(rig.At(157, 74), qRgb(0, 180, 0));
    // A template clears the custom frame: another size does not bring it back.
    rig.state.custom_frames = MainState().custom_frames;
    rig.Frame(SolidFrame(qRgb(0, 180, 0), QSize(640, 480)));
    QCOMPARE(rig.At(157, 30), qRgb(255, 255, 255));
  }

  void FolderPhotoKeepsItsShapeUnderACustomFrame() {
    Rig rig;
    rig.state.edit.photo_offset = QPoint(0, 0);
    rig.state.working_photo = SolidFrame(qRgb(0, 180, 0), QSize(313, 208));
    QCOMPARE(rig.feed.ShownPhoto(), QRect(0, 53, 315, 209));
    rig.feed.DrawFrame(CustomFrameShape::Window, CustomFrameSettings());
    QCOMPARE(rig.At(157, 40), qRgb(0, 0, 0));     // letterbox under the black frame
    QCOMPARE(rig.At(157, 100), qRgb(0, 180, 0));  // the photo, not stretched over the letterbox
  }

  void NoDeviceStartsNothing() {
    Rig rig;
    rig.source.SetDevicePresent(false);
    const QImage before = rig.state.working_photo;
    QVERIFY(!rig.feed.Power());
    QCOMPARE(rig.feed.CurrentPhase(), CameraFeed::Phase::Off);
    QVERIFY(!rig.source.Previewing());
    QCOMPARE(rig.shows, 0);
    QCOMPARE(rig.state.working_photo, before);
  }

  void FreezeStopsTheFlowAndKeepsTheLastPicture() {
    Rig rig;
    QVERIFY(rig.feed.Power());
    rig.Frame(SolidFrame(qRgb(10, 20, 30)));
    const QImage last = rig.shown;
    rig.feed.Freeze();
    QCOMPARE(rig.feed.CurrentPhase(), CameraFeed::Phase::Frozen);
    QVERIFY(!rig.source.IsConnected());
    rig.Frame(SolidFrame(qRgb(99, 99, 99)));  // the device would drop it, and so would the feed
    rig.source.Deliver(SolidFrame(qRgb(99, 99, 99)));
    QCoreApplication::processEvents();
    QCOMPARE(rig.shown, last);
    QCOMPARE(rig.feed.ComposedFrames(), 1);
    QCOMPARE(Opaque(rig.feed.SnapshotFrame().pixel(0, 0)), qRgb(10, 20, 30));
    // Power again connects anew.
    QVERIFY(rig.feed.Power());
    QCOMPARE(rig.source.ConnectCount(), 2);
  }

  void ADeviceLostMidStreamStopsCleanlyAndSaysSoOnce() {
    Rig rig;
    QSignalSpy lost(&rig.feed, &CameraFeed::Lost);
    QVERIFY(rig.feed.Power());
    rig.Frame(SolidFrame(qRgb(10, 20, 30)));
    const QImage last = rig.shown;
    rig.source.LoseDevice();
    // A device may report its end more than once (an error, then the device list); one message.
    Q_EMIT rig.source.DeviceLost(QStringLiteral("gone again"));
    QCOMPARE(lost.size(), 1);
    QCOMPARE(rig.feed.CurrentPhase(), CameraFeed::Phase::Frozen);
    QCOMPARE(rig.shown, last);
    QCOMPARE(Opaque(rig.feed.SnapshotFrame().pixel(0, 0)), qRgb(10, 20, 30));
  }

  // Frames faster than the preview is drawn: only the newest is composed.
  void NoQueueBuildsUp() {
    Rig rig;
    QVERIFY(rig.feed.Power());
    for (int i = 1; i <= 30; ++i) rig.source.Push(SolidFrame(qRgb(i, 0, 0), QSize(315, 315)));
    QCoreApplication::processEvents();
    QCOMPARE(rig.feed.ComposedFrames(), 1);
    QCOMPARE(rig.At(150, 150), qRgb(30, 0, 0));
  }

  // At most one picture per interval: a frame too soon waits, and a newer one replaces it.
  void FramesArePacedToTheInterval() {
    Rig rig(60);
    QVERIFY(rig.feed.Power());
    rig.Frame(SolidFrame(qRgb(1, 0, 0), QSize(315, 315)));
    QTRY_COMPARE(rig.feed.ComposedFrames(), 1);
    rig.Frame(SolidFrame(qRgb(2, 0, 0), QSize(315, 315)));
    rig.Frame(SolidFrame(qRgb(3, 0, 0), QSize(315, 315)));
    QCOMPARE(rig.feed.ComposedFrames(), 1);
    QTRY_COMPARE(rig.feed.ComposedFrames(), 2);
    QCOMPARE(rig.At(150, 150), qRgb(3, 0, 0));
    QTest::qWait(100);
    QCOMPARE(rig.feed.ComposedFrames(), 2);
  }
};

QTEST_MAIN(CameraFeedTest)
#include "camera_feed_test.moc"
