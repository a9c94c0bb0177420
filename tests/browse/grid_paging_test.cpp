// Page and list stepping of the thumbnail grids, and their counters.
#include <QTest>

#include "browse/grid_paging.h"

Q_DECLARE_METATYPE(PageMove)

class GridPagingTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void Down_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("count");
    QTest::addColumn<PageMove>("expected");
    QTest::newRow("eight items: one page") << 0 << 8 << PageMove{0, false};
    QTest::newRow("nine items: second page") << 0 << 9 << PageMove{1, true};
    QTest::newRow("on the last page") << 1 << 9 << PageMove{1, false};
    QTest::newRow("empty list") << 0 << 0 << PageMove{0, false};
    QTest::newRow("left beyond the end by a deletion: back on the last page, drawn")
        << 3 << 9 << PageMove{1, true};
  }
  void Down() {
    QFETCH(int, page);
    QFETCH(int, count);
    QFETCH(PageMove, expected);
    QCOMPARE(PageDown(page, count), expected);
  }

  void Up_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<PageMove>("expected");
    QTest::newRow("first page stays") << 0 << PageMove{0, false};
    QTest::newRow("second page") << 1 << PageMove{0, true};
  }
  void Up() {
    QFETCH(int, page);
    QFETCH(PageMove, expected);
    QCOMPARE(PageUp(page), expected);
  }

  void ListSteps_data() {
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("up");
    QTest::addColumn<int>("down");
    QTest::newRow("none selected") << -1 << 5 << -1 << 0;
    QTest::newRow("first") << 0 << 5 << -1 << 1;
    QTest::newRow("middle") << 2 << 5 << 1 << 3;
    QTest::newRow("last") << 4 << 5 << 3 << -1;
    QTest::newRow("empty") << -1 << 0 << -1 << -1;
  }
  void ListSteps() {
    QFETCH(int, selected);
    QFETCH(int, count);
    QFETCH(int, up);
    QFETCH(int, down);
    QCOMPARE(ListStepUp(selected), up);
    QCOMPARE(ListStepDown(selected, count), down);
  }

  void CellsAndCounters() {
    QCOMPARE(ItemIndex(1, 0), 8);
    QCOMPARE(CellOfItem(9, 1), 1);
    QCOMPARE(CellOfItem(9, 0), -1);
    QCOMPARE(CellOfItem(-1, 0), -1);
    QCOMPARE(CounterText(17), QStringLiteral("17"));
    QCOMPARE(CounterText(2, 17), QStringLiteral("3/17"));
    QCOMPARE(LastPage(0), 0);
    QCOMPARE(LastPage(16), 1);
  }
};

QTEST_GUILESS_MAIN(GridPagingTest)
#include "grid_paging_test.moc"
