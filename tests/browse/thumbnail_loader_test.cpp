// Thumbnail cells from the cheapest source, and the background loader that prepares them.
#include <QDir>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "base/work_pool.h"
#include "browse/thumbnail_loader.h"
#include "browse/thumbnail_page.h"
#include "support/test_support.h"

using testing_support::JpegBytes;
using testing_support::WithExifThumbnail;
using testing_support::WriteFile;

namespace {

QImage Filled(QSize size, QRgb colour) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

// JPEG coding of flat colours stays within a few levels; 24 still tells red from green.
bool Near(QRgb a, QRgb b) {
  return qAbs(qRed(a) - qRed(b)) <= 24 && qAbs(qGreen(a) - qGreen(b)) <= 24 &&
         qAbs(qBlue(a) - qBlue(b)) <= 24;
}

constexpr QRgb kRed = 0xFFDC0000;
constexpr QRgb kGreen = 0xFF00C800;

}  // namespace

class ThumbnailLoaderTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // A red 600 x 400 photo; its embedded thumbnail, if any, is green: the cell's centre tells
  // which one was drawn.
  void CellComesFromTheCheapestSource_data() {
    QTest::addColumn<QSize>("embedded");
    QTest::addColumn<QRgb>("centre");
    QTest::newRow("embedded thumbnail larger than the cell") << QSize(160, 107) << kGreen;
    QTest::newRow("embedded thumbnail exactly covering its place") << QSize(70, 47) << kGreen;
    QTest::newRow("embedded thumbnail smaller than its place") << QSize(60, 40) << kRed;
    QTest::newRow("no embedded thumbnail") << QSize() << kRed;
  }
  void CellComesFromTheCheapestSource() {
    QFETCH(QSize, embedded);
    QFETCH(QRgb, centre);
    QTemporaryDir dir;
    const ThumbnailCache cache(dir.filePath(QStringLiteral("thumbs")));
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    const QByteArray photo = JpegBytes(Filled(QSize(600, 400), kRed));
    QVERIFY(WriteFile(
        path, embedded.isValid() ? WithExifThumbnail(photo, JpegBytes(Filled(embedded, kGreen)), 1) : photo));
    const ThumbnailCell cell = LoadThumbnailCell({path, QSize(600, 400)}, cache);
    QVERIFY(!cell.broken);
    QVERIFY2(Near(cell.image.pixel(35, 35), centre),
             qPrintable(QString::number(cell.image.pixel(35, 35), 16)));
    // The white bands of the fit are there either way (600 x 400 takes 70 x 46.7 at y = 11.7).
    QCOMPARE(cell.image.pixel(35, 5), qRgb(255, 255, 255));
    QCOMPARE(cell.image.pixel(35, 64), qRgb(255, 255, 255));
    // Only a decode stores a cache entry; an embedded thumbnail is as cheap to read again.
    QCOMPARE(QFileInfo::exists(cache.CacheFilePath(path)), centre == kRed);
    // A caller in a hurry gets the entry to store later: the same cell, nothing stored meanwhile.
    QVERIFY(QFile::remove(cache.CacheFilePath(path)) == (centre == kRed));
    ThumbnailCacheEntry later;
    const ThumbnailCell hurried = LoadThumbnailCell({path, QSize(600, 400)}, cache, kCellSize, &later);
    QCOMPARE(hurried.image, cell.image);
    QVERIFY(!QFileInfo::exists(cache.CacheFilePath(path)));
    QCOMPARE(later.StoreIn(cache), centre == kRed);
    QCOMPARE(QFileInfo::exists(cache.CacheFilePath(path)), centre == kRed);
    if (centre == kRed) QCOMPARE(cache.Read(path).size(), later.thumbnail.size());
  }

  void BrokenAndBlankCells_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("broken");
    QByteArray header_only(
        "\xFF\xD8\xFF\xC0\x00\x11\x08\x0F\xA0\x17\x70\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01"
        "\xFF\xD9",
        23);
    QTest::newRow("not a picture") << QByteArray("not a picture") << true;
    QTest::newRow("a JPEG header without data") << header_only << true;
    QTest::newRow("empty file") << QByteArray() << true;
    QTest::newRow("a good PNG") << QByteArray() << false;
  }
  void BrokenAndBlankCells() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, broken);
    QTemporaryDir dir;
    const ThumbnailCache cache(dir.filePath(QStringLiteral("thumbs")));
    const QString path = dir.filePath(QStringLiteral("file.jpg"));
    if (broken) {
      QVERIFY(WriteFile(path, bytes));
    } else {
      QVERIFY(Filled(QSize(50, 50), kGreen).save(path, "png"));
    }
    const ThumbnailCell cell = LoadThumbnailCell({path, QSize(6000, 4000)}, cache);
    QCOMPARE(cell.broken, broken);
    if (broken) QCOMPARE(cell.image, BrokenThumbnailCell());
    // The glyph is visible: some pixels of the cell are neither white nor the placeholder.
    const QImage glyph = BrokenThumbnailCell();
    int marked = 0;
    for (int y = 0; y < glyph.height(); ++y)
      for (int x = 0; x < glyph.width(); ++x) marked += glyph.pixel(x, y) != qRgb(255, 255, 255);
    QVERIFY(marked > 200);
    // An empty path is a white cell, never the glyph.
    const ThumbnailCell blank = LoadThumbnailCell({QString(), QSize()}, cache);
    QVERIFY(!blank.broken);
    QCOMPARE(blank.image, Filled(kCellSize, qRgb(255, 255, 255)));
  }

  // The shown page is prepared, then the page read ahead; everything arrives on this thread.
  void PageThenReadAheadBecomeKnown() {
    QTemporaryDir dir;
    const ThumbnailCache cache(dir.filePath(QStringLiteral("thumbs")));
    QList<ThumbnailRequest> page;
    QList<ThumbnailRequest> ahead;
    for (int i = 0; i < 16; ++i) {
      const QString path = dir.filePath(QStringLiteral("p%1.png").arg(i));
      QVERIFY(Filled(QSize(180, 120), qRgb(10 * i, 100, 200)).save(path));  // above 128: cached
      (i < 8 ? page : ahead).append({path, QSize(180, 120)});
    }
    ThumbnailLoader loader(cache);
    QSignalSpy ready(&loader, &ThumbnailLoader::CellReady);
    loader.Want(page, ahead);
    QVERIFY(!loader.Idle());
    QTRY_VERIFY(loader.Idle());
    QCOMPARE(ready.size(), 16);
    // Idle once the new cache entries, stored after the cells were shown, are in the cache.
    for (const QList<ThumbnailRequest>* list : {&page, &ahead})
      for (const ThumbnailRequest& request : *list)
        QVERIFY(QFileInfo::exists(cache.CacheFilePath(request.path)));
    for (int i = 0; i < 16; ++i) {
      const ThumbnailRequest& request = i < 8 ? page[i] : ahead[i - 8];
      const std::optional<ThumbnailCell> known = loader.Known(request.path);
      QVERIFY(known.has_value());
      QCOMPARE(known->image.pixel(35, 35), qRgb(10 * i, 100, 200));
    }
    // Known cells are not prepared again.
    loader.Want(page, ahead);
    QVERIFY(loader.Idle());
    // A rewritten file is prepared anew.
    QTest::qWait(5);  // a different modification time, to the millisecond
    QVERIFY(Filled(QSize(120, 60), qRgb(255, 255, 0)).save(page[0].path));
    QVERIFY(!loader.Known(page[0].path).has_value());
    loader.Want({page[0]}, {});
    QTRY_VERIFY(loader.Idle());
    QCOMPARE(loader.Known(page[0].path)->image.pixel(35, 35), qRgb(255, 255, 0));
  }

  // A later page replaces the queue: work for the page left that has not started is dropped.
  void ALaterPageDropsTheQueuedWork() {
    QTemporaryDir dir;
    const ThumbnailCache cache(dir.filePath(QStringLiteral("thumbs")));
    QList<ThumbnailRequest> first;
    QList<ThumbnailRequest> second;
    for (int i = 0; i < 40; ++i) {
      const QString path = dir.filePath(QStringLiteral("p%1.png").arg(i));
      QVERIFY(Filled(QSize(400, 300), qRgb(i, 0, 0)).save(path));
      (i < 32 ? first : second).append({path, QSize(400, 300)});
    }
    // The pool's one thread is held busy until both requests are in, so the loader's worker
    // starts only after the second request replaced the first.
    WorkPool pool(1);
    QSemaphore gate;
    pool.Start([&gate] { gate.acquire(); });
    ThumbnailLoader loader(cache, &pool);
    loader.Want(first, {});
    loader.Want(second, {});
    gate.release();
    QTRY_VERIFY(loader.Idle());
    for (const ThumbnailRequest& request : first) QVERIFY(!loader.Known(request.path).has_value());
    for (const ThumbnailRequest& request : second) QVERIFY(loader.Known(request.path).has_value());
  }

  // The loader can go while its work runs: it waits for the cell being prepared and drops the rest.
  void DestroyedWhileWorking() {
    QTemporaryDir dir;
    const ThumbnailCache cache(dir.filePath(QStringLiteral("thumbs")));
    QList<ThumbnailRequest> page;
    for (int i = 0; i < 8; ++i) {
      const QString path = dir.filePath(QStringLiteral("p%1.png").arg(i));
      QVERIFY(Filled(QSize(800, 600), qRgb(0, i, 0)).save(path));
      page.append({path, QSize(800, 600)});
    }
    auto loader = std::make_unique<ThumbnailLoader>(cache);
    loader->Want(page, {});
    loader.reset();
    QTest::qWait(20);  // results posted to the gone loader must be dropped, not delivered
  }
};

QTEST_MAIN(ThumbnailLoaderTest)
#include "thumbnail_loader_test.moc"
