// The shared thumbnail cache and the thumbnail cells drawn from it.
#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

#include "browse/thumbnail_cache.h"
#include "browse/thumbnail_page.h"
#include "support/test_support.h"

using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

// A photo whose left half is red and right half blue, so scaling and placement show.
QImage TwoColourPhoto(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, x < width / 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
  return image;
}

// Whether the PNG bytes carry a plain tEXt chunk with that keyword and text.
bool HasTextChunk(const QByteArray& png, const QByteArray& key, const QByteArray& text) {
  return png.contains(QByteArray("tEXt") + key + '\0' + text);
}

}  // namespace

class ThumbnailCacheTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void ThumbnailRectFitsWithWhiteBands_data() {
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRectF>("expected");
    QTest::newRow("wide") << QSize(300, 100) << QRectF(0, 70.0 / 3, 70, 70.0 / 3);
    QTest::newRow("tall") << QSize(100, 300) << QRectF(70.0 / 3, 0, 70.0 / 3, 70);
    QTest::newRow("small square fills the cell") << QSize(35, 35) << QRectF(0, 0, 70, 70);
  }
  void ThumbnailRectFitsWithWhiteBands() {
    QFETCH(QSize, picture);
    QFETCH(QRectF, expected);
    const QRectF rect = ThumbnailRect(picture);
    QVERIFY2(
        qAbs(rect.x() - expected.x()) < 1e-9 && qAbs(rect.y() - expected.y()) < 1e-9 &&
            qAbs(rect.width() - expected.width()) < 1e-9 && qAbs(rect.height() - expected.height()) < 1e-9,
        qPrintable(
            QStringLiteral("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height())));
  }

  void CellKeepsWhiteBandsAroundAWidePicture() {
    const QImage cell = DrawThumbnailCell(TwoColourPhoto(300, 100), QSize(300, 100));
    QCOMPARE(cell.size(), QSize(70, 70));
    QCOMPARE(cell.pixel(35, 5), qRgb(255, 255, 255));   // band above
    QCOMPARE(cell.pixel(35, 65), qRgb(255, 255, 255));  // band below
    QCOMPARE(cell.pixel(10, 35), qRgb(255, 0, 0));
    QCOMPARE(cell.pixel(60, 35), qRgb(0, 0, 255));
    // A cached copy of another size lands in the same place: the geometry follows the original.
    const QImage from_small = DrawThumbnailCell(TwoColourPhoto(128, 43), QSize(300, 100));
    QCOMPARE(from_small.pixel(35, 5), qRgb(255, 255, 255));
    QCOMPARE(from_small.pixel(10, 35), qRgb(255, 0, 0));
    // No picture: the cell stays white.
    QCOMPARE(DrawThumbnailCell(QImage(), QSize()).pixel(35, 35), qRgb(255, 255, 255));
  }

  void WriteThenReadWithTheConventionsKeys() {
    QTemporaryDir dir;
    const QString photo = dir.filePath(QStringLiteral("my photo.jpg"));
    QVERIFY(TwoColourPhoto(600, 400).save(photo));
    const ThumbnailCache cache(dir.filePath(QStringLiteral("cache/thumbnails/normal")));

    QVERIFY(cache.Read(photo).isNull());
    const QImage picture = LoadThumbnailPicture(photo, cache);
    QCOMPARE(picture.size(), QSize(128, 85));

    // The file is named after the MD5 of the URI, which has the space percent-encoded.
    const QString uri = ThumbnailCache::FileUri(photo);
    QVERIFY(uri.startsWith(QStringLiteral("file:///")));
    QVERIFY(uri.endsWith(QStringLiteral("/my%20photo.jpg")));
    const QString md5 =
        QString::fromLatin1(QCryptographicHash::hash(uri.toLatin1(), QCryptographicHash::Md5).toHex());
    QCOMPARE(QFileInfo(cache.CacheFilePath(photo)).fileName(), md5 + QStringLiteral(".png"));

    const QByteArray png = ReadFile(cache.CacheFilePath(photo));
    const QByteArray mtime = QByteArray::number(QFileInfo(photo).lastModified().toSecsSinceEpoch());
    QVERIFY(HasTextChunk(png, "Thumb::URI", uri.toLatin1()));
    QVERIFY(HasTextChunk(png, "Thumb::MTime", mtime));
    QVERIFY(HasTextChunk(png, "Thumb::Image::Width", "600"));
    QVERIFY(HasTextChunk(png, "Thumb::Image::Height", "400"));
    // The file is a valid PNG that a reader decodes, private to the owner, with no temporary left.
    QCOMPARE(QImage::fromData(png, "png").size(), QSize(128, 85));
    QCOMPARE(QFileInfo(cache.CacheFilePath(photo)).permissions() &
                 (QFileDevice::ReadOther | QFileDevice::ReadGroup),
             QFileDevice::Permissions());
    QCOMPARE(QDir(cache.Folder()).entryList(QDir::Files).size(), 1);

    QCOMPARE(cache.Read(photo).size(), QSize(128, 85));
  }

  void StaleOrForeignEntriesAreIgnored() {
    QTemporaryDir dir;
    const QString photo = dir.filePath(QStringLiteral("a.jpg"));
    QVERIFY(TwoColourPhoto(600, 400).save(photo));
    const ThumbnailCache cache(dir.filePath(QStringLiteral("thumbs")));
    QVERIFY(cache.Write(photo, TwoColourPhoto(128, 85), QSize(600, 400)));
    QVERIFY(!cache.Read(photo).isNull());

    // A newer photo file makes the entry stale.
    QFile file(photo);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(10), QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(cache.Read(photo).isNull());

    // So does a file rewritten within the second of its entry (whole seconds only): by its size.
    QVERIFY(cache.Write(photo, TwoColourPhoto(128, 85), QSize(600, 400)));
    const QDateTime when = QFileInfo(photo).lastModified();
    QVERIFY(TwoColourPhoto(300, 200).save(photo));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(when, QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(cache.Read(photo).isNull());

    // An entry written for another file under this file's cache name is not taken either.
    const QString other = dir.filePath(QStringLiteral("b.jpg"));
    QVERIFY(TwoColourPhoto(600, 400).save(other));
    QVERIFY(cache.Write(other, TwoColourPhoto(128, 85), QSize(600, 400)));
    QFile::remove(cache.CacheFilePath(photo));
    QVERIFY(QFile::copy(cache.CacheFilePath(other), cache.CacheFilePath(photo)));
    QVERIFY(cache.Read(photo).isNull());
  }

  void SmallPicturesAreNotCached() {
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("t.png"));
    QVERIFY(TwoColourPhoto(70, 70).save(picture));
    const ThumbnailCache cache(dir.filePath(QStringLiteral("thumbs")));
    QCOMPARE(LoadThumbnailPicture(picture, cache).size(), QSize(70, 70));
    QVERIFY(!QFileInfo::exists(cache.CacheFilePath(picture)));
  }
};

QTEST_MAIN(ThumbnailCacheTest)
#include "thumbnail_cache_test.moc"
