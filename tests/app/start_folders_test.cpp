// The start-up check of the photo folder and the template category folders.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "app/start_folders.h"
#include "support/test_support.h"

using testing_support::WriteFile;

class StartFoldersTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void Problems_data() {
    QTest::addColumn<QString>("removed");  // relative to the application folder; empty: nothing
    QTest::addColumn<QString>("message");  // after the application folder's path
    QTest::newRow("everything there") << ""
                                      << "";
    QTest::newRow("photo folder missing") << "DATA/Photo"
                                          << "The photo folder %1/DATA/Photo does not exist";
    QTest::newRow("category missing") << "DATA/Mask/Color"
                                      << "The template folder %1/DATA/Mask/Color does not exist";
    QTest::newRow("category without pictures") << "DATA/Mask/Cool/Ice.jpg"
                                               << "The template folder %1/DATA/Mask/Cool holds no templates";
  }
  void Problems() {
    QFETCH(QString, removed);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(
        WriteFile(dir.filePath("Config.ini"),
                  "[Photo]\nTemplate=0\n[Template]\nTemplate1=Texture\nTemplate2=Color\nTemplate3=Cool\n"));
    QVERIFY(QDir(dir.path()).mkpath("DATA/Photo"));
    for (const char* name : {"Texture/Wood.jpg", "Color/Red.jpg", "Cool/Ice.jpg"})
      QVERIFY(WriteFile(dir.filePath(QStringLiteral("DATA/Mask/") + name), "picture"));
    QVERIFY(WriteFile(dir.filePath("DATA/Mask/Cool/Ice.ini"), "[Frames]\n"));
    if (!removed.isEmpty()) {
      const QString path = dir.filePath(removed);
      QVERIFY(QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path));
    }
    const QString expected = message.isEmpty() ? QString() : message.arg(dir.path());
    QCOMPARE(StartFolderProblem(Config(dir.path())), expected);
  }
};

QTEST_GUILESS_MAIN(StartFoldersTest)
#include "start_folders_test.moc"
