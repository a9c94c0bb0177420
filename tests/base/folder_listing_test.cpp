// Listing order of a folder's pictures, natural name order and size texts.
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "base/folder_listing.h"
#include "sources/photo_folder.h"
#include "support/test_support.h"

using testing_support::WriteFile;

class FolderListingTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void PhotoNamesMatchWithoutCase_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("photo");
    QTest::newRow("jpg") << "a.jpg" << true;
    QTest::newRow("upper case") << "a.JPG" << true;
    QTest::newRow("mixed png") << "b.Png" << true;
    QTest::newRow("gif") << "c.gif" << true;
    QTest::newRow("bmp") << "d.BMP" << true;
    QTest::newRow("jpeg is not a pattern") << "e.jpeg" << false;
    QTest::newRow("settings file") << "Gold.ini" << false;
    QTest::newRow("no extension") << "jpg" << false;
    QTest::newRow("only the extension") << ".jpg" << false;
  }
  void PhotoNamesMatchWithoutCase() {
    QFETCH(QString, name);
    QFETCH(bool, photo);
    QCOMPARE(IsPhotoFileName(name), photo);
  }

  void NaturalOrder_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("number value, not text") << "IMG_2.jpg"
                                            << "IMG_10.jpg";
    QTest::newRow("letters ignore case") << "apple.jpg"
                                         << "Banana.jpg";
    QTest::newRow("shorter prefix first") << "IMG.jpg"
                                          << "IMG_1.jpg";
    QTest::newRow("leading zeros same value, then code units") << "IMG_010.jpg"
                                                               << "IMG_10.jpg";
    QTest::newRow("case tie broken by code units") << "Photo.jpg"
                                                   << "photo.jpg";
    QTest::newRow("long digit runs") << "9999999999999999999998"
                                     << "9999999999999999999999";
    QTest::newRow("digits before letters") << "1a"
                                           << "a1";
  }
  void NaturalOrder() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QVERIFY(NaturalLess(first, second));
    QVERIFY(!NaturalLess(second, first));
    QVERIFY(!NaturalLess(first, first));
  }

  void GroupsInPatternOrderAndNaturalWithinGroup() {
    QTemporaryDir dir;
    const QStringList names = {"z.gif",  "b.png",     "IMG_10.jpg",  "a.bmp",    "IMG_2.JPG",
                               "c.jpeg", "notes.txt", ".hidden.jpg", "IMG_1.jpg"};
    for (const QString& name : names) QVERIFY(WriteFile(dir.filePath(name), "x"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.jpg")));

    QStringList listed;
    QList<PictureGroup> groups;
    for (const ListedPicture& picture : ListPictures(dir.path())) {
      listed << picture.file_name;
      groups << picture.group;
      QCOMPARE(picture.path, dir.path() + u'/' + picture.file_name);
    }
    // .jpeg is no *.jpg; dot files, folders and other extensions are left out.
    QCOMPARE(listed, QStringList({"IMG_1.jpg", "IMG_2.JPG", "IMG_10.jpg", "a.bmp", "b.png", "z.gif"}));
    QCOMPARE(groups, QList<PictureGroup>({PictureGroup::Jpg, PictureGroup::Jpg, PictureGroup::Jpg,
                                          PictureGroup::Bmp, PictureGroup::Png, PictureGroup::Gif}));
  }

  void MissingFolderListsNothing() {
    QVERIFY(ListPictures(QStringLiteral("/nonexistent/lumisto")).isEmpty());
  }

  void PhotoScanReadsSizesFromHeaders() {
    QTemporaryDir dir;
    QImage photo(64, 48, QImage::Format_RGB32);
    photo.fill(Qt::red);
    QVERIFY(photo.save(dir.filePath(QStringLiteral("a.jpg"))));
    QVERIFY(photo.save(dir.filePath(QStringLiteral("b.png"))));
    QVERIFY(WriteFile(dir.filePath(QStringLiteral("broken.jpg")), "not a picture"));

    const QList<ListRow> rows = ScanPhotoFolder(dir.path());
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0].caption, QStringLiteral("a.jpg"));
    QCOMPARE(SizeText(rows[0].size), QStringLiteral("64x48"));
    QCOMPARE(rows[1].caption, QStringLiteral("broken.jpg"));
    QCOMPARE(SizeText(rows[1].size), QStringLiteral("0x0"));
    QCOMPARE(rows[2].caption, QStringLiteral("b.png"));
    QCOMPARE(rows[2].path, dir.filePath(QStringLiteral("b.png")));
  }
};

QTEST_GUILESS_MAIN(FolderListingTest)
#include "folder_listing_test.moc"
