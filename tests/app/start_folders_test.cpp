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
    QTest::newRow("shown category without pictures")
        << "DATA/Mask/Texture/Wood.jpg"
        << "The template folder %1/DATA/Mask/Texture holds no templates";
    // Not shown at start: its grid says so when it is chosen.
    QTest::newRow("other category without pictures") << "DATA/Mask/Cool/Ice.jpg"
                                                     << "";
  }
  // Only folders the configuration names are looked at, and every problem is said in one message.
  void OnlyNamedFoldersOnce_data() {
    QTest::addColumn<QString>("templates");  // the [Template] section
    QTest::addColumn<QString>("message");
    QTest::newRow("Template2 and Template3 left out") << "Template1=Texture\n"
                                                      << "";
    QTest::newRow("Template3 is 0") << "Template1=Texture\nTemplate2=Color\nTemplate3=0\n"
                                    << "";
    QTest::newRow("two named folders missing") << "Template1=Texture\nTemplate2=Gone\nTemplate3=Lost\n"
                                               << "The template folder %1/DATA/Mask/Gone does not exist\n"
                                                  "The template folder %1/DATA/Mask/Lost does not exist";
  }
  void OnlyNamedFoldersOnce() {
    QFETCH(QString, templates);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QVERIFY(
        WriteFile(dir.filePath("Config.ini"), ("[Photo]\nTemplate=0\n[Template]\n" + templates).toUtf8()));
    QVERIFY(QDir(dir.path()).mkpath("DATA/Photo"));
    for (const char* name : {"Texture/Wood.jpg", "Color/Red.jpg"})
      QVERIFY(WriteFile(dir.filePath(QStringLiteral("DATA/Mask/") + name), "picture"));
    QCOMPARE(StartFolderProblem(Config(dir.path())), message.isEmpty() ? QString() : message.arg(dir.path()));
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
