// Where the camera tool window opens: beside the main window, inside the screen, never over the
// main window's minimise and close buttons.
#include <QtTest>

#include "app/tool_placement.h"

class ToolPlacementTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void Places_data() {
    QTest::addColumn<QRect>("desktop");
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QPoint>("expected");
    const QSize main_size(800, 600);
    // The tool window is 400 x 300; the title buttons lie at (714, 21) of the main window, 68 x 19.
    QTest::newRow("room on the right")
        << QRect(0, 0, 1920, 1080) << QRect(QPoint(100, 100), main_size) << QPoint(908, 100);
    QTest::newRow("room on the left only")
        << QRect(0, 0, 1280, 1024) << QRect(QPoint(440, 100), main_size) << QPoint(32, 100);
    QTest::newRow("room below only") << QRect(0, 0, 1024, 1024) << QRect(QPoint(100, 10), main_size)
                                     << QPoint(100, 618);
    QTest::newRow("room above only") << QRect(0, 0, 1024, 1024) << QRect(QPoint(100, 400), main_size)
                                     << QPoint(100, 92);
    // The old placement put it at the screen's right edge over the title buttons.
    QTest::newRow("no room: below the title buttons")
        << QRect(0, 0, 1024, 768) << QRect(QPoint(112, 84), main_size) << QPoint(512, 132);
    QTest::newRow("offset desktop") << QRect(1920, 0, 1280, 1024) << QRect(QPoint(2360, 100), main_size)
                                    << QPoint(1952, 100);
  }
  void Places() {
    QFETCH(QRect, desktop);
    QFETCH(QRect, main);
    QFETCH(QPoint, expected);
    const QSize tool(400, 300);
    const QRect buttons(main.topLeft() + QPoint(714, 21), QSize(68, 19));
    const QPoint place = PlaceToolWindow(main, tool, desktop, buttons);
    QCOMPARE(place, expected);
    QVERIFY(desktop.contains(QRect(place, tool)));
    QVERIFY(!QRect(place, tool).intersects(buttons));
  }

  // A screen smaller than the tool window: its corner stays on the screen.
  void ToolLargerThanTheScreen() {
    const QRect desktop(0, 0, 300, 200);
    const QPoint place =
        PlaceToolWindow(QRect(0, 0, 800, 600), QSize(400, 300), desktop, QRect(714, 21, 68, 19));
    QVERIFY(desktop.contains(place));
  }
};

QTEST_GUILESS_MAIN(ToolPlacementTest)
#include "tool_placement_test.moc"
