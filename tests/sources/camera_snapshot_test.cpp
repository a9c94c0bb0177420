// Camera snapshots: their names, the JPEG written, the quality's range and refused folders.
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

#include "base/lumisto_error.h"
#include "sources/camera_snapshot.h"

namespace {

const QDateTime kWhen(QDate(2026, 3, 7), QTime(9, 5, 4));

QImage Frame(QSize size = QSize(64, 48)) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(qRgb(200, 40, 40));
  return image;
}

}  // namespace

class CameraSnapshotTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void NameCarriesTheMoment() {
    QCOMPARE(SnapshotFileName(kWhen), QStringLiteral("Camera 2026-03-07 09-05-04.jpg"));
    QCOMPARE(SnapshotFileName(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59))),
             QStringLiteral("Camera 1999-12-31 23-59-59.jpg"));
  }

  void WritesAJpegOfTheFrame() {
    QTemporaryDir dir;
    const QString path = WriteSnapshot(Frame(QSize(64, 48)), dir.path(), 90, kWhen);
    QCOMPARE(path, dir.filePath(QStringLiteral("Camera 2026-03-07 09-05-04.jpg")));
    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    const QImage back = reader.read();
    QCOMPARE(back.size(), QSize(64, 48));
    // JPEG keeps a flat colour within a few levels.
    QVERIFY(qAbs(qRed(back.pixel(30, 20)) - 200) <= 4);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);  // no temporary left
  }

  void SnapshotsOfOneSecondKeepTheirOwnFiles() {
    QTemporaryDir dir;
    const QString first = WriteSnapshot(Frame(), dir.path(), 90, kWhen);
    const qint64 first_size = QFileInfo(first).size();
    const QString second = WriteSnapshot(Frame(QSize(20, 10)), dir.path(), 90, kWhen);
    const QString third = WriteSnapshot(Frame(QSize(20, 10)), dir.path(), 90, kWhen);
    QCOMPARE(QFileInfo(second).fileName(), QStringLiteral("Camera 2026-03-07 09-05-04 (2).jpg"));
    QCOMPARE(QFileInfo(third).fileName(), QStringLiteral("Camera 2026-03-07 09-05-04 (3).jpg"));
    QCOMPARE(QFileInfo(first).size(), first_size);  // the first picture is untouched
  }

  void QualityHasARange_data() {
    QTest::addColumn<int>("quality");
    QTest::addColumn<bool>("written");
    QTest::newRow("-1") << -1 << false;
    QTest::newRow("0") << 0 << false;
    QTest::newRow("1") << 1 << true;
    QTest::newRow("100") << 100 << true;
    QTest::newRow("101") << 101 << false;
    QTest::newRow("2147483647") << 2147483647 << false;
  }
  void QualityHasARange() {
    QFETCH(int, quality);
    QFETCH(bool, written);
    QTemporaryDir dir;
    bool threw = false;
    try {
      WriteSnapshot(Frame(), dir.path(), quality, kWhen);
    } catch (const LumistoError& e) {
      threw = true;
      QVERIFY2(e.Message().contains(QStringLiteral("quality")), qPrintable(e.Message()));
    }
    QCOMPARE(threw, !written);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), written ? 1 : 0);
  }

  void RefusesWithAReason_data() {
    QTest::addColumn<bool>("empty_frame");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no frame yet") << true << QString() << QStringLiteral("not delivered a picture");
    QTest::newRow("missing folder") << false << QStringLiteral("/no/such/folder")
                                    << QStringLiteral("does not exist");
    QTest::newRow("empty folder name")
        << false << QStringLiteral("<empty>") << QStringLiteral("does not exist");
    QTest::newRow("a file, not a folder")
        << false << QStringLiteral("<file>") << QStringLiteral("does not exist");
  }
  void RefusesWithAReason() {
    QFETCH(bool, empty_frame);
    QFETCH(QString, folder);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    if (folder.isEmpty()) folder = dir.path();
    if (folder == QLatin1String("<empty>")) folder.clear();
    if (folder == QLatin1String("<file>")) {
      folder = dir.filePath(QStringLiteral("plain"));
      QFile file(folder);
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    try {
      WriteSnapshot(empty_frame ? QImage() : Frame(), folder, 90, kWhen);
      QFAIL("written");
    } catch (const LumistoError& e) {
      QVERIFY2(e.Message().contains(reason), qPrintable(e.Message()));
    }
  }
};

QTEST_MAIN(CameraSnapshotTest)
#include "camera_snapshot_test.moc"
