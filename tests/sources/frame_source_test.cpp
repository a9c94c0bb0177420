// The frame hand-over, the device-free source and its test pattern, and the system's devices.
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <memory>

#include "sources/frame_source.h"
#include "sources/qt_camera_source.h"
#include "sources/synthetic_frame_source.h"

namespace {

QImage Solid(QRgb colour, QSize size = QSize(8, 6)) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

SyntheticFrameSource* Running(SyntheticFrameSource& source) {
  if (!source.Connect()) qFatal("the synthetic device refused");
  source.SetPreview(true);
  return &source;
}

}  // namespace

class FrameSourceTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void MailboxKeepsOnlyTheNewest() {
    FrameMailbox box;
    QVERIFY(!box.Take());
    QVERIFY(box.Put(Solid(qRgb(1, 0, 0))));   // empty: the reader must be told
    QVERIFY(!box.Put(Solid(qRgb(2, 0, 0))));  // already told
    QVERIFY(!box.Put(Solid(qRgb(3, 0, 0))));
    const std::optional<QImage> taken = box.Take();
    QVERIFY(taken);
    QCOMPARE(taken->pixel(0, 0), qRgb(3, 0, 0));
    QVERIFY(!box.Take());
    QVERIFY(box.Put(Solid(qRgb(4, 0, 0))));
  }

  // Frames from the capture thread while the interface thread is busy: one signal, the newest frame.
  void FramesFromAnotherThreadArriveAsTheNewestOne() {
    SyntheticFrameSource source;
    Running(source);
    QSignalSpy arrived(&source, &FrameSource::FrameArrived);
    std::unique_ptr<QThread> producer(QThread::create([&source] {
      for (int i = 1; i <= 200; ++i) source.Push(Solid(qRgb(i, 0, 0)));
    }));
    producer->start();
    QVERIFY(producer->wait(10000));
    QCOMPARE(arrived.size(), 0);  // nothing crosses until the interface thread runs its events
    QTRY_COMPARE(arrived.size(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(arrived.size(), 1);
    QCOMPARE(arrived[0][0].value<QImage>().pixel(0, 0), qRgb(200, 0, 0));
  }

  // The interface thread taking frames while the capture thread delivers them: never an older frame
  // after a newer one, and the last one always arrives.
  void ConcurrentFramesArriveInOrder() {
    SyntheticFrameSource source;
    Running(source);
    constexpr int kFrames = 3000;
    QList<int> seen;
    connect(&source, &FrameSource::FrameArrived, this, [&seen](const QImage& frame) {
      const QRgb pixel = frame.pixel(0, 0);
      seen.append(qRed(pixel) * 256 + qGreen(pixel));
    });
    std::unique_ptr<QThread> producer(QThread::create([&source] {
      for (int i = 1; i <= kFrames; ++i) source.Push(Solid(qRgb(i / 256, i % 256, 0), QSize(1, 1)));
    }));
    producer->start();
    while (!producer->isFinished()) QCoreApplication::processEvents();
    QTRY_VERIFY(!seen.isEmpty() && seen.last() == kFrames);
    for (qsizetype i = 1; i < seen.size(); ++i) QVERIFY(seen[i] > seen[i - 1]);
  }

  void FramesFlowOnlyWhileConnectedAndPreviewing_data() {
    QTest::addColumn<bool>("connect");
    QTest::addColumn<bool>("preview");
    QTest::addColumn<bool>("flows");
    QTest::newRow("off") << false << false << false;
    QTest::newRow("connected, preview off") << true << false << false;
    QTest::newRow("preview without connection") << false << true << false;
    QTest::newRow("connected and previewing") << true << true << true;
  }
  void FramesFlowOnlyWhileConnectedAndPreviewing() {
    QFETCH(bool, connect);
    QFETCH(bool, preview);
    QFETCH(bool, flows);
    SyntheticFrameSource source;
    if (connect) QVERIFY(source.Connect());
    source.SetPreview(preview);
    QSignalSpy arrived(&source, &FrameSource::FrameArrived);
    source.Push(Solid(qRgb(9, 9, 9)));
    QCoreApplication::processEvents();
    QCOMPARE(arrived.size(), flows ? 1 : 0);
  }

  void ConnectFailsWithoutADevice_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<bool>("accepts");
    QTest::newRow("no device") << false << true;
    QTest::newRow("device refuses") << true << false;
  }
  void ConnectFailsWithoutADevice() {
    QFETCH(bool, present);
    QFETCH(bool, accepts);
    SyntheticFrameSource source;
    source.SetDevicePresent(present);
    source.SetConnectAccepted(accepts);
    QVERIFY(!source.Connect());
    QVERIFY(!source.IsConnected());
    source.SetPreview(true);
    QVERIFY(!source.Previewing());
    QVERIFY(source.Formats().isEmpty());
    QCOMPARE(source.CurrentFormat(), -1);
  }

  void LosingTheDeviceDisconnectsAndSaysSoOnce() {
    SyntheticFrameSource source;
    Running(source);
    QSignalSpy lost(&source, &FrameSource::DeviceLost);
    source.LoseDevice();
    source.LoseDevice();
    QCOMPARE(lost.size(), 1);
    QVERIFY(!source.IsConnected());
    QVERIFY(!source.Previewing());
  }

  void FormatIndexHasARange_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("taken");
    QTest::newRow("-1") << -1 << false;
    QTest::newRow("first") << 0 << true;
    QTest::newRow("last") << 1 << true;
    QTest::newRow("one past the last") << 2 << false;
    QTest::newRow("2147483647") << 2147483647 << false;
  }
  void FormatIndexHasARange() {
    QFETCH(int, index);
    QFETCH(bool, taken);
    SyntheticFrameSource source;
    QVERIFY(!source.SetFormat(0));  // nothing to switch before connecting
    QVERIFY(source.Connect());
    QCOMPARE(source.SetFormat(index), taken);
    QCOMPARE(source.CurrentFormat(), taken ? index : 0);
  }

  void FormatsAreDescribedForTheList() {
    QCOMPARE(DescribeCameraFormat({QSize(1280, 720), 30.0f, QStringLiteral("YUYV")}),
             QStringLiteral("1280 x 720, 30 fps, YUYV"));
    QCOMPARE(DescribeCameraFormat({QSize(640, 480), 7.5f, QStringLiteral("NV12")}),
             QStringLiteral("640 x 480, 7.5 fps, NV12"));
  }

  void ThePatternMovesAndHasTheFormatsSize() {
    const QImage first = CameraTestPattern(QSize(320, 180), 0);
    const QImage later = CameraTestPattern(QSize(320, 180), 10);
    QCOMPARE(first.size(), QSize(320, 180));
    QVERIFY(first != later);
    // The marker in the top-left corner is what shows a mirrored picture.
    QCOMPARE(first.pixel(2, 2), qRgb(0, 0, 0));
    QVERIFY(first.pixel(317, 2) != qRgb(0, 0, 0));
    QVERIFY(CameraTestPattern(QSize(0, 0), 3).isNull());
  }

  void ThePatternRunsWhilePreviewing() {
    SyntheticFrameSource source;
    source.SetPatternInterval(5);
    QVERIFY(source.Connect());
    QVERIFY(source.SetFormat(1));
    QSignalSpy arrived(&source, &FrameSource::FrameArrived);
    source.SetPreview(true);
    QTRY_VERIFY(arrived.size() >= 2);
    QCOMPARE(arrived[0][0].value<QImage>().size(), QSize(640, 480));
    source.SetPreview(false);
    QCoreApplication::processEvents();
    const qsizetype count = arrived.size();
    QTest::qWait(30);
    QCOMPARE(arrived.size(), count);
  }

  // The real capture path: on a machine without a camera it finds no device and starts nothing.
  void TheSystemSourceFindsNoDeviceHere() {
    std::unique_ptr<FrameSource> source(NewSystemFrameSource());
    if (source->Connect()) {
      source->Disconnect();
      QSKIP("a camera is attached to this machine");
    }
    QVERIFY(!source->IsConnected());
    QVERIFY(source->Formats().isEmpty());
    QCOMPARE(source->CurrentFormat(), -1);
    QVERIFY(!source->SetFormat(0));
    source->SetPreview(true);  // nothing to start: no crash, no frames
    QSignalSpy arrived(source.get(), &FrameSource::FrameArrived);
    QTest::qWait(50);
    QCOMPARE(arrived.size(), 0);
  }
};

QTEST_MAIN(FrameSourceTest)
#include "frame_source_test.moc"
