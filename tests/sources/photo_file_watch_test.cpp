// The watch on the photo's file: what other programs do to it is reported once it is over.
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "sources/photo_file_watch.h"
#include "support/test_support.h"

using testing_support::ReadFile;
using testing_support::WriteFile;

class PhotoFileWatchTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void ReportsWhatHappensToTheFile_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("exists_after");
    QTest::newRow("rewritten in place") << "rewrite" << true;
    QTest::newRow("replaced by a file renamed over it") << "rename" << true;
    QTest::newRow("deleted") << "delete" << false;
    QTest::newRow("deleted and made again") << "recreate" << true;
  }
  void ReportsWhatHappensToTheFile() {
    QFETCH(QString, action);
    QFETCH(bool, exists_after);
    QTemporaryDir dir;
    const QString photo = dir.filePath(QStringLiteral("photo.jpg"));
    QVERIFY(WriteFile(photo, "first"));
    PhotoFileWatch watch(nullptr, 1);
    watch.Watch(photo);
    QSignalSpy changed(&watch, &PhotoFileWatch::Changed);
    if (action == QLatin1String("rewrite")) {
      QFile file(photo);
      QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
      file.write("second, longer");
    } else if (action == QLatin1String("rename")) {
      QVERIFY(WriteFile(dir.filePath(QStringLiteral("part")), "second"));
      QVERIFY(std::rename(QFile::encodeName(dir.filePath(QStringLiteral("part"))).constData(),
                          QFile::encodeName(photo).constData()) == 0);
    } else if (action == QLatin1String("delete")) {
      QVERIFY(QFile::remove(photo));
    } else {
      QVERIFY(QFile::remove(photo));
      QVERIFY(WriteFile(photo, "second"));
    }
    QTRY_VERIFY(changed.count() >= 1);
    QCOMPARE(changed.first().first().toString(), photo);
    QCOMPARE(QFile::exists(photo), exists_after);

    // Still watched: the next change is reported too, also for a file that came in by a rename.
    const int seen = int(changed.count());
    QVERIFY(WriteFile(photo, "third and last"));
    QTRY_VERIFY(changed.count() > seen);
  }

  void AnotherPathEndsTheOldWatch() {
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("a.jpg"));
    const QString second = dir.filePath(QStringLiteral("b.jpg"));
    QVERIFY(WriteFile(first, "a"));
    QVERIFY(WriteFile(second, "b"));
    PhotoFileWatch watch(nullptr, 1);
    watch.Watch(first);
    watch.Watch(second);
    QSignalSpy changed(&watch, &PhotoFileWatch::Changed);
    // The first file changes first, then the second: only the second is reported.
    QVERIFY(WriteFile(first, "a, rewritten"));
    QVERIFY(WriteFile(second, "b, rewritten"));
    QTRY_VERIFY(!changed.isEmpty());
    for (const QList<QVariant>& report : changed) QCOMPARE(report.first().toString(), second);
    // An empty path stops watching.
    watch.Watch(QString());
    QCOMPARE(watch.Path(), QString());
  }
};

QTEST_GUILESS_MAIN(PhotoFileWatchTest)
#include "photo_file_watch_test.moc"
