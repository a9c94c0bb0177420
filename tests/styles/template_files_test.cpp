// A template's files: the names a new template may take, and writing its settings and picture.
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include "base/lumisto_error.h"
#include "imaging/image_io.h"
#include "styles/template_files.h"
#include "styles/template_library.h"
#include "support/test_support.h"

using testing_support::MaxChannelDifference;
using testing_support::WriteFile;

Q_DECLARE_METATYPE(NewTemplateProblem)

class TemplateFilesTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(WriteFile(dir_.filePath("Gold.ini"), "[Frames]\n"));
    QVERIFY(WriteFile(dir_.filePath("Orphan.jpg"), "picture"));
    QVERIFY(WriteFile(dir_.filePath("Loud.PNG"), "picture"));
    QVERIFY(WriteFile(dir_.filePath("Notes.txt"), "text"));
  }

  void NewName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<NewTemplateProblem>("problem");
    QTest::newRow("free") << "Silver" << NewTemplateProblem::kNone;
    QTest::newRow("empty") << "" << NewTemplateProblem::kEmptyName;
    QTest::newRow("settings file exists") << "Gold" << NewTemplateProblem::kAlreadyExists;
    QTest::newRow("picture without settings") << "Orphan" << NewTemplateProblem::kAlreadyExists;
    QTest::newRow("picture in capitals") << "Loud" << NewTemplateProblem::kAlreadyExists;
    QTest::newRow("other file of that name") << "Notes" << NewTemplateProblem::kNone;
    QTest::newRow("case differs") << "gold" << NewTemplateProblem::kNone;
    QTest::newRow("slash") << "../Gold2" << NewTemplateProblem::kUnsafeName;
    QTest::newRow("backslash") << "a\\b" << NewTemplateProblem::kUnsafeName;
    QTest::newRow("dot") << "." << NewTemplateProblem::kUnsafeName;
    QTest::newRow("dot dot") << ".." << NewTemplateProblem::kUnsafeName;
    QTest::newRow("dots inside are fine") << "a..b" << NewTemplateProblem::kNone;
    QTest::newRow("long name") << QString(200, u'n') << NewTemplateProblem::kNone;
  }
  void NewName() {
    QFETCH(QString, name);
    QFETCH(NewTemplateProblem, problem);
    QCOMPARE(CheckNewTemplateName(dir_.path(), name), problem);
    QCOMPARE(CheckNewTemplateName(dir_.path() + u'/', name), problem);
  }

  void WritesSettingsAndALosslessPicture() {
    FrameStyle style;
    style.back_draw = 1;
    style.back_size = 9;
    QImage picture(70, 70, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 70; ++y)
      for (int x = 0; x < 70; ++x) picture.setPixel(x, y, qRgb(x * 3, y * 3, (x + y) % 256));
    const QString settings = dir_.filePath("Fresh.ini");
    WriteTemplateFiles(settings, style, picture);
    FrameStyle read;
    ReadFrameStyle(settings, read);
    QCOMPARE(read, style);
    const LoadedImage loaded = LoadImage(dir_.filePath("Fresh.jpg"));
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QCOMPARE(MaxChannelDifference(loaded.image, picture), 0);  // the grid shows exactly what was drawn
  }

  void PictureNameFollowsTheSettingsFile_data() {
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QString>("picture");
    QTest::newRow("plain") << "/m/Gold.ini"
                           << "/m/Gold.jpg";
    QTest::newRow("dot in the name") << "/m/Mr. Gold.ini"
                                     << "/m/Mr. Gold.jpg";
    QTest::newRow("dot in the folder") << "/m.d/Gold"
                                       << "/m.d/Gold.jpg";
  }
  void PictureNameFollowsTheSettingsFile() {
    QFETCH(QString, settings);
    QFETCH(QString, picture);
    QCOMPARE(TemplatePicturePath(settings), picture);
  }

  void MissingFolderFailsBeforeAnyPicture() {
    const QString settings = dir_.filePath("nowhere/Fresh.ini");
    QImage picture(70, 70, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::red);
    QString error;
    try {
      WriteTemplateFiles(settings, FrameStyle(), picture);
    } catch (const LumistoError& e) {
      error = e.Message();
    }
    QVERIFY2(error.startsWith("Unable to write to"), qPrintable(error));
    QVERIFY(!QFileInfo::exists(dir_.filePath("nowhere/Fresh.jpg")));
  }
};

QTEST_GUILESS_MAIN(TemplateFilesTest)
#include "template_files_test.moc"
