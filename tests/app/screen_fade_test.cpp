// The preview fade: five ticks, shorter after an interruption, a refresh finishing a running fade.
#include <QSignalSpy>
#include <QTest>

#include "app/screen_fade.h"

namespace {

QImage Filled(QColor colour) {
  QImage image(QSize(8, 8), QImage::Format_ARGB32_Premultiplied);
  image.fill(colour);
  return image;
}

}  // namespace

class ScreenFadeTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void FiveTicksBlendHalfwayThenOpaque() {
    ScreenFade fade(QSize(8, 8), 1000);
    fade.Show(Filled(Qt::black));
    QVERIFY(fade.IsRunning());
    // White surface, black picture at half opacity per tick: 50, 75, 87.5, 93.75 per cent covered.
    const QList<int> expected_red = {128, 64, 32, 16, 0};
    for (int tick = 0; tick < 5; ++tick) {
      fade.Tick();
      // Each half-transparent draw rounds by at most one level.
      QVERIFY2(qAbs(qRed(fade.Surface().pixel(3, 3)) - expected_red[tick]) <= 1,
               qPrintable(QString::number(qRed(fade.Surface().pixel(3, 3)))));
    }
    QVERIFY(!fade.IsRunning());
    QCOMPARE(fade.Step(), 1);
  }

  void TimerRunsFiveTicks() {
    ScreenFade fade(QSize(8, 8), 1);
    QSignalSpy ticks(&fade, &ScreenFade::SurfaceChanged);
    QSignalSpy finished(&fade, &ScreenFade::FadeFinished);
    fade.Show(Filled(Qt::black));
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(ticks.count(), 5);
    QCOMPARE(fade.Surface().pixel(0, 0), qRgb(0, 0, 0));
  }

  void InterruptedFadeIsShorterNextTime() {
    ScreenFade fade(QSize(8, 8), 1000);
    fade.Show(Filled(Qt::black));
    fade.Tick();
    fade.Tick();
    fade.Stop();
    QCOMPARE(fade.Step(), 3);
    fade.Show(Filled(Qt::blue));
    int ticks = 0;
    while (fade.IsRunning()) {
      fade.Tick();
      ++ticks;
    }
    QCOMPARE(ticks, 3);
    QCOMPARE(fade.Surface().pixel(0, 0), qRgb(0, 0, 255));
    QCOMPARE(fade.Step(), 1);
  }

  void RefreshDuringAFadeFinishesIt() {
    // The timer is left to wait a minute and the test ticks by hand: a one-millisecond timer could
    // finish the whole first fade before the second picture arrives on a busy machine.
    ScreenFade fade(QSize(8, 8), 60000);
    QSignalSpy finished(&fade, &ScreenFade::FadeFinished);
    fade.Show(Filled(Qt::black));
    fade.Tick();
    fade.Show(Filled(Qt::green));  // the second picture takes over the running fade
    QVERIFY(fade.IsRunning());
    QCOMPARE(fade.Step(), 2);
    int ticks = 1;
    while (fade.IsRunning() && ticks < 10) {
      fade.Tick();
      ++ticks;
    }
    QCOMPARE(ticks, 5);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(fade.Surface().pixel(0, 0), QColor(Qt::green).rgb());
    QCOMPARE(fade.ScreenBitmap().pixel(0, 0), QColor(Qt::green).rgb());
  }

  void TimerIsNamedAndInjectable() {
    ScreenFade fade(QSize(8, 8), 50);
    auto* timer = fade.findChild<QTimer*>(QStringLiteral("Timer2"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 50);
    QVERIFY(!timer->isActive());
  }
};

QTEST_MAIN(ScreenFadeTest)
#include "screen_fade_test.moc"
