// Template folder scan, captions, settings files and deletion with companions.
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "styles/template_library.h"
#include "support/test_support.h"

using testing_support::WriteFile;

class TemplateLibraryTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void Captions_data() {
    QTest::addColumn<QString>("file_name");
    QTest::addColumn<int>("group");
    QTest::addColumn<QString>("caption");
    QTest::newRow("jpg loses its extension for a space") << "Gold.jpg" << int(PictureGroup::Jpg) << "Gold ";
    QTest::newRow("upper-case JPG too") << "Gold.JPG" << int(PictureGroup::Jpg) << "Gold ";
    QTest::newRow("png keeps its name") << "Gold.png" << int(PictureGroup::Png) << "Gold.png";
    QTest::newRow("bmp keeps its name") << "Old.Wood.bmp" << int(PictureGroup::Bmp) << "Old.Wood.bmp";
  }
  void Captions() {
    QFETCH(QString, file_name);
    QFETCH(int, group);
    QFETCH(QString, caption);
    QCOMPARE(TemplateCaption(file_name, static_cast<PictureGroup>(group)), caption);
  }

  void SettingsFileReplacesTheExtension_data() {
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("settings");
    QTest::newRow("jpg") << "/a/Mask/0/Gold.jpg"
                         << "/a/Mask/0/Gold.ini";
    QTest::newRow("png shares it") << "/a/Mask/0/Gold.png"
                                   << "/a/Mask/0/Gold.ini";
    QTest::newRow("only the last extension") << "/a/Mask/0/Old.Wood.gif"
                                             << "/a/Mask/0/Old.Wood.ini";
    QTest::newRow("dot in a folder name") << "/a/b.c/Gold.jpg"
                                          << "/a/b.c/Gold.ini";
  }
  void SettingsFileReplacesTheExtension() {
    QFETCH(QString, picture);
    QFETCH(QString, settings);
    QCOMPARE(TemplateSettingsPath(picture), settings);
  }

  void ScanListsPicturesOnly() {
    QTemporaryDir dir;
    QImage picture(70, 70, QImage::Format_RGB32);
    picture.fill(Qt::green);
    QVERIFY(picture.save(dir.filePath(QStringLiteral("Gold.jpg"))));
    QVERIFY(picture.save(dir.filePath(QStringLiteral("Gold.png"))));
    QVERIFY(WriteFile(dir.filePath(QStringLiteral("Gold.ini")), "[Frames]\n"));
    QVERIFY(WriteFile(dir.filePath(QStringLiteral("Lonely.ini")), "[Frames]\n"));
    QVERIFY(WriteFile(dir.filePath(QStringLiteral("Broken.bmp")), "junk"));

    const QList<ListRow> rows = ScanTemplateFolder(dir.path());
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0].caption, QStringLiteral("Gold "));
    QCOMPARE(SizeText(rows[0].size), QStringLiteral("70x70"));
    QCOMPARE(rows[1].caption, QStringLiteral("Broken.bmp"));
    QCOMPARE(SizeText(rows[1].size), QStringLiteral("0x0"));
    QCOMPARE(rows[2].caption, QStringLiteral("Gold.png"));
    QVERIFY(ScanTemplateFolder(dir.filePath(QStringLiteral("missing"))).isEmpty());
  }

  void DeleteRemovesPictureCompanionAndSettings() {
    QTemporaryDir dir;
    for (const char* name : {"Gold.jpg", "Gold.lmz", "Gold.ini", "Gold.png", "Silver.jpg"})
      QVERIFY(WriteFile(dir.filePath(QLatin1String(name)), "x"));
    DeleteTemplateFiles(dir.filePath(QStringLiteral("Gold.jpg")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), QStringList({"Gold.png", "Silver.jpg"}));
    // Missing companions are skipped without complaint.
    DeleteTemplateFiles(dir.filePath(QStringLiteral("Silver.jpg")));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), QStringList({"Gold.png"}));
  }
};

QTEST_GUILESS_MAIN(TemplateLibraryTest)
#include "template_library_test.moc"
