// The batch store: neutral entries, store and load, deleting rows with their snapshots, the
// output-name rule; and the rename-series numbering.
#include <QTest>

#include "batch/batch_entry.h"
#include "batch/rename_series.h"

namespace {

// An entry told apart by n in its texts, edits and style.
BatchEntry Numbered(int n) {
  FrameStyle style;
  style.back_size = n;
  BatchEntry entry =
      NeutralBatchEntry(QStringLiteral("/p/%1.jpg").arg(n), QStringLiteral("/t/%1.jpg").arg(n), style);
  entry.output_name = QStringLiteral("%1.jpg").arg(n);
  entry.edit.photo_offset = QPoint(n, 100 + n);
  entry.edit.contrast = 1.0f + static_cast<float>(n) / 10;
  return entry;
}

QList<int> BackSizes(const BatchStore& store) {
  QList<int> sizes;
  for (const BatchEntry& e : store.Entries()) {
    // Each entry keeps its own style and its own edits.
    if (e.edit.photo_offset.x() != e.style.back_size) return {};
    sizes << e.style.back_size;
  }
  return sizes;
}

}  // namespace

class BatchEntryTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void NeutralEntryHoldsTheNeutralValues() {
    FrameStyle style;
    style.frame_size = 9;
    const BatchEntry e = NeutralBatchEntry(QStringLiteral("/a/p.jpg"), QStringLiteral("/b/t.jpg"), style);
    QCOMPARE(e.edit.photo_path, QStringLiteral("/a/p.jpg"));
    QCOMPARE(e.edit.template_path, QStringLiteral("/b/t.jpg"));
    QCOMPARE(e.style, style);
    QCOMPARE(e.edit.output_width, 0);
    QVERIFY(e.edit.crop.IsEmpty());
    QCOMPARE(e.edit.rotate_flip.count, 0);
    QCOMPARE(e.edit.rotate_flip.NextSlot(), 1);
    QCOMPARE(e.edit.mirror_switch, 1);
    QCOMPARE(e.edit.photo_offset, QPoint(0, 0));
    QCOMPARE(e.edit.photo_drag_anchor, QPoint(0, 0));
    QCOMPARE(e.webcam_view, (std::array<float, 2>{0.0f, 10.0f}));
    QCOMPARE(e.edit.contrast, 1.0f);
    QCOMPARE(e.edit.brightness, 0.0f);
    QCOMPARE(e.edit.saturation, 1.0f);
    QVERIFY(e.edit.tone_matrix.IsIdentity());
    QCOMPARE(e.edit.caption.font_name, CaptionSettings{}.font_name);  // the default caption font
    QCOMPARE(e.edit.caption.size, 24);
    // The colours the window's "Text" page and `lumisto render` start with: a white face over a
    // grey (100, 100, 100) shadow.
    QCOMPARE(e.edit.caption.face_colour, 0xFFFFFF);
    QCOMPARE(e.edit.caption.shadow_colour, 0x646464);
    QCOMPARE(e.edit.caption, CaptionSettings{});
    QVERIFY(e.edit.caption.text.isEmpty());
    QCOMPARE(e.caption_extra, (std::array<float, 2>{2.0f, 2.0f}));
    QCOMPARE(e.edit.caption.position, QPointF(120, 180));
    QCOMPARE(e.edit.caption.drag_anchor, QPoint(10, 10));
  }

  void StoreAndLoadGiveBackOffsetsInTheirOwnFields() {
    BatchStore store;
    store.Append(Numbered(1));
    EditState edit;
    edit.photo_path = QStringLiteral("/x.jpg");
    edit.photo_offset = QPoint(17, -23);
    edit.photo_drag_anchor = QPoint(5, 6);
    FrameStyle style;
    style.shadow_size = 12;
    store.Store(0, edit, style);
    QCOMPARE(store.At(0).output_name, QStringLiteral("1.jpg"));  // the row's texts stay
    EditState loaded;
    FrameStyle loaded_style;
    store.Load(0, loaded, loaded_style);
    QCOMPARE(loaded.photo_offset.x(), 17);
    QCOMPARE(loaded.photo_offset.y(), -23);
    QCOMPARE(loaded, edit);
    QCOMPARE(loaded_style, style);
  }

  void Remove_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QList<int>>("left");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("current_after");
    QTest::newRow("middle of three") << 3 << QList<int>{1} << QList<int>{1, 3} << 2 << 1;
    QTest::newRow("rows 2 and 4 of five") << 5 << QList<int>{3, 1} << QList<int>{1, 3, 5} << 4 << 2;
    QTest::newRow("the current one") << 3 << QList<int>{1} << QList<int>{1, 3} << 1 << -1;
    QTest::newRow("after the current one") << 3 << QList<int>{2} << QList<int>{1, 2} << 0 << 0;
    QTest::newRow("all, twice named") << 2 << QList<int>{0, 1, 1} << QList<int>{} << 0 << -1;
    QTest::newRow("out of range") << 2 << QList<int>{-1, 2} << QList<int>{1, 2} << -1 << -1;
  }
  void Remove() {
    QFETCH(int, count);
    QFETCH(QList<int>, rows);
    QFETCH(QList<int>, left);
    QFETCH(int, current);
    QFETCH(int, current_after);
    BatchStore store;
    for (int n = 1; n <= count; ++n) store.Append(Numbered(n));
    store.SetCurrent(current);
    store.Remove(rows);
    QCOMPARE(BackSizes(store), left);
    QCOMPARE(store.Current(), current_after);
  }

  void RemoveEveryRowOfALongListHeldByTheCaller() {
    BatchStore store;
    for (int n = 1; n <= 2000; ++n) store.Append(Numbered(n));
    QList<int> rows;
    for (int row = 1999; row >= 0; --row) rows << row;
    const QList<int> kept = rows;  // the store's copy shares this buffer
    store.Remove(rows);
    QCOMPARE(store.Count(), 0);
    QCOMPARE(rows, kept);
  }

  void OutputNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
    QTest::newRow("plain") << QStringLiteral("IMG_0012.jpg") << false;
    QTest::newRow("unicode") << QStringLiteral("Ålesund ★.jpg") << false;
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("slash") << QStringLiteral("a/b.jpg") << true;
    QTest::newRow("backslash") << QStringLiteral("a\\b.jpg") << true;
    QTest::newRow("dot dot") << QStringLiteral("..") << true;
    QTest::newRow("dot dot inside") << QStringLiteral("x..jpg") << true;
    QTest::newRow("newline") << QStringLiteral("a\nb.jpg") << true;
    QTest::newRow("255 bytes") << QString(251, u'a') + QStringLiteral(".jpg") << false;
    QTest::newRow("256 bytes") << QString(252, u'a') + QStringLiteral(".jpg") << true;
  }
  void OutputNames() {
    QFETCH(QString, name);
    QFETCH(bool, refused);
    QCOMPARE(OutputNameProblem(name).has_value(), refused);
  }

  void SeriesNumbering_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("000# from 1") << QStringLiteral("000#.jpg") << 1 << 3
                                 << QStringList{"0001.jpg", "0002.jpg", "0003.jpg"};
    QTest::newRow("000# reaches 12") << QStringLiteral("000#.jpg") << 11 << 2
                                     << QStringList{"0011.jpg", "0012.jpg"};
    QTest::newRow("00# from 1") << QStringLiteral("00#.jpg") << 1 << 1 << QStringList{"001.jpg"};
    QTest::newRow("wider than the field")
        << QStringLiteral("IMG_##.png") << 99 << 2 << QStringList{"IMG_99.png", "IMG_100.png"};
    QTest::newRow("last run of #") << QStringLiteral("a#b##.jpg") << 7 << 1 << QStringList{"a#b07.jpg"};
    QTest::newRow("zeros only directly before")
        << QStringLiteral("10#.jpg") << 5 << 1 << QStringList{"105.jpg"};
    QTest::newRow("no #: before the extension")
        << QStringLiteral("holiday.jpg") << 9 << 2 << QStringList{"holiday9.jpg", "holiday10.jpg"};
    QTest::newRow("no # and no extension") << QStringLiteral("shot") << 1 << 1 << QStringList{"shot1"};
    QTest::newRow("largest start") << QStringLiteral("#.jpg") << 9999 << 2
                                   << QStringList{"9999.jpg", "10000.jpg"};
  }
  void SeriesNumbering() {
    QFETCH(QString, pattern);
    QFETCH(int, first);
    QFETCH(int, count);
    QFETCH(QStringList, names);
    QCOMPARE(SeriesNames(pattern, first, count), names);
  }

  void Duplicates() {
    QCOMPARE(FirstDuplicate({"a", "b", "c"}), std::nullopt);
    QCOMPARE(FirstDuplicate({"a", "b", "a", "b"}), std::optional<QString>(QStringLiteral("a")));
    QCOMPARE(FirstDuplicate({}), std::nullopt);
  }
};

QTEST_GUILESS_MAIN(BatchEntryTest)
#include "batch_entry_test.moc"
