// Save, print and e-mail from the window: same bytes as the command line, no file left behind.
#include <QDialog>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/main_window.h"
#include "app/preview_widget.h"
#include "base/config.h"
#include "imaging/image_io.h"
#include "output/input_files.h"
#include "output/output_commands.h"
#include "sources/photo_grid_widget.h"
#include "styles/template_grid_widget.h"
#include "support/app_folder_fixture.h"
#include "support/dialog_script.h"
#include "support/scripted_dialogs.h"

using testing_support::AppFolderFixture;
using testing_support::DialogScript;
using testing_support::ReadFile;
using testing_support::RunLumisto;
using testing_support::ScriptedDialogs;
using testing_support::WriteFile;

namespace {

struct Harness {
  Harness(const AppFolderFixture& folder, const QString& temp_root)
      : config(folder.Path()),
        cache(QString()),
        window(std::make_unique<MainWindow>(config, dialogs, cache, 1, temp_root)) {}
  void Click(const QString& name) const {
    QWidget* w = window->findChild<QWidget*>(name);
    if (!w) qFatal("no control named %s", qPrintable(name));
    QTest::mouseClick(w, Qt::LeftButton);
  }
  // Chooses the one photo and the one template.
  void ChooseBoth() const {
    Click(QStringLiteral("Hot1"));
    Click(QStringLiteral("Hot51"));
  }

  Config config;
  ScriptedDialogs dialogs;
  ThumbnailCache cache;
  std::unique_ptr<MainWindow> window;
};

}  // namespace

class OutputCommandsTest : public QObject {
  Q_OBJECT

 private:
  AppFolderFixture folder_;
  QTemporaryDir temp_;
  QTemporaryDir out_;
  QString photo_;
  QString settings_;

 private Q_SLOTS:
  void initTestCase() {
    folder_.WriteConfig(QStringLiteral("A"));
    // A photo with a gradient, so turns and mirrors change the bytes.
    QImage photo(320, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 320; ++x) photo.setPixel(x, y, qRgb(x * 255 / 320, y * 255 / 200, 90));
    photo_ = folder_.PhotoFolder() + QStringLiteral("/photo.png");
    QVERIFY(photo.save(photo_));
    // The photo's own information, in XMP (which PNG files carry).
    QProcess exiftool;
    exiftool.start(QStringLiteral("exiftool"), {QStringLiteral("-q"), QStringLiteral("-overwrite_original"),
                                                QStringLiteral("-XMP-dc:Description=At the lake"), photo_});
    QVERIFY(exiftool.waitForFinished(30000) && exiftool.exitCode() == 0);
    folder_.AddTemplates(QStringLiteral("A"), 1);
    settings_ = folder_.CategoryFolder(QStringLiteral("A")) + QStringLiteral("/t01.ini");
  }

  void SaveGivesTheBytesOfTheCommandLine() {
    Harness h(folder_, temp_.path());
    h.ChooseBoth();
    h.Click(QStringLiteral("FlatButton14"));  // "=>": a quarter turn clockwise
    h.Click(QStringLiteral("FlatButton14"));
    h.Click(QStringLiteral("FlatButton13"));  // "<=>": mirror
    // The resize dialog is modal: fill and accept it once it shows.
    const DialogScript resize(QStringLiteral("TSizeForm"), [](QDialog* dialog) {
      dialog->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("160"));
      dialog->findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(QStringLiteral("100"));
      QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("OkButton")), Qt::LeftButton);
    });
    h.Click(QStringLiteral("FlatButton28"));
    END_DIALOG_SCRIPT(resize);
    QCOMPARE(h.window->State().edit.output_width, 160);

    for (const char* ext : {"png", "jpg", "bmp", "tif", "gif", "webp", "avif", "jxl"}) {
      const QString gui = out_.filePath(QStringLiteral("gui.%1").arg(QLatin1String(ext)));
      const QString cli = out_.filePath(QStringLiteral("cli.%1").arg(QLatin1String(ext)));
      h.dialogs.save_files = {gui};
      h.Click(QStringLiteral("SaveButton"));
      QVERIFY2(h.dialogs.errors.isEmpty(), qPrintable(h.dialogs.errors.join(u'\n')));
      const auto result = RunLumisto(
          {QStringLiteral("render"), photo_, settings_, cli, QStringLiteral("--cw"), QStringLiteral("--cw"),
           QStringLiteral("--mirror"), QStringLiteral("--size"), QStringLiteral("160x100")});
      QCOMPARE(result.exit_code, 0);
      QVERIFY(!ReadFile(gui).isEmpty());
      QVERIFY2(ReadFile(gui) == ReadFile(cli), ext);
    }
    // Turned twice and mirrored: the red end of the gradient comes back to the left, upside down.
    const QImage saved(out_.filePath(QStringLiteral("gui.png")));
    QCOMPARE(saved.size(), QSize(160, 100));
    QVERIFY(qRed(saved.pixel(20, 50)) < qRed(saved.pixel(140, 50)));
    QVERIFY(qGreen(saved.pixel(80, 20)) > qGreen(saved.pixel(80, 80)));
  }

  void SaveKeepsThePhotosInformationAsTheBoxSays_data() {
    QTest::addColumn<QByteArray>("setting");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QList<bool>>("answer");  // empty: the box left as shown
    QTest::addColumn<bool>("kept");
    QTest::addColumn<QString>("stored");
    QTest::newRow("keep, left ticked") << QByteArray("keep") << true << QList<bool>{} << true << "keep";
    QTest::newRow("strip, left clear") << QByteArray("strip") << false << QList<bool>{} << false << "strip";
    QTest::newRow("keep, cleared") << QByteArray("keep") << true << QList<bool>{false} << false << "strip";
    QTest::newRow("strip, ticked") << QByteArray("strip") << false << QList<bool>{true} << true << "keep";
    // Without the place is still keeping: ticked, and left so.
    QTest::newRow("nolocation, left ticked")
        << QByteArray("nolocation") << true << QList<bool>{true} << true << "nolocation";
  }
  void SaveKeepsThePhotosInformationAsTheBoxSays() {
    QFETCH(QByteArray, setting);
    QFETCH(bool, shown);
    QFETCH(QList<bool>, answer);
    QFETCH(bool, kept);
    QFETCH(QString, stored);
    Harness h(folder_, temp_.path());
    h.config.SetOutputMetadata(setting == "strip"        ? MetadataPolicy::Strip
                               : setting == "nolocation" ? MetadataPolicy::NoLocation
                                                         : MetadataPolicy::Keep);
    h.ChooseBoth();
    // A new file each time: Save asks before it replaces one.
    const QString out =
        out_.filePath(QStringLiteral("information-%1.jpg").arg(stored + QString::number(answer.size())));
    h.dialogs.save_files = {out};
    h.dialogs.keep_box_answers = answer;
    h.Click(QStringLiteral("SaveButton"));
    QVERIFY2(h.dialogs.errors.isEmpty(), qPrintable(h.dialogs.errors.join(u'\n')));
    QCOMPARE(h.dialogs.keep_boxes_shown, QList<bool>{shown});
    QCOMPARE(ReadFile(out).contains("At the lake"), kept);
    QCOMPARE(MetadataPolicyName(h.config.OutputMetadata()), stored);
    h.config.SetOutputMetadata(MetadataPolicy::Keep);
  }

  void CounterClockwiseButtonTurnsLeft() {
    Harness h(folder_, temp_.path());
    h.ChooseBoth();
    h.Click(QStringLiteral("FlatButton16"));  // "<=": a quarter turn counter-clockwise
    QCOMPARE(h.window->State().edit.rotate_flip.count, 1);
    QCOMPARE(h.window->State().edit.rotate_flip.codes[0], GeometricEdit::TurnCounterClockwise);
    QCOMPARE(QSize(h.window->State().edit.photo_width, h.window->State().edit.photo_height), QSize(200, 320));
    const QString gui = out_.filePath(QStringLiteral("left.png"));
    const QString cli = out_.filePath(QStringLiteral("left-cli.png"));
    h.dialogs.save_files = {gui};
    h.Click(QStringLiteral("SaveButton"));
    QVERIFY2(h.dialogs.errors.isEmpty(), qPrintable(h.dialogs.errors.join(u'\n')));
    QCOMPARE(
        RunLumisto({QStringLiteral("render"), photo_, settings_, cli, QStringLiteral("--ccw")}).exit_code, 0);
    QVERIFY(ReadFile(gui) == ReadFile(cli));
    // Turned left, the red right-hand end of the gradient is on top and the green bottom on the right.
    const QImage saved(gui);
    QCOMPARE(saved.size(), QSize(200, 320));
    QVERIFY(qRed(saved.pixel(100, 40)) > qRed(saved.pixel(100, 280)));
    QVERIFY(qGreen(saved.pixel(170, 160)) > qGreen(saved.pixel(30, 160)));
  }

  void CancelledSaveWritesNothing() {
    Harness h(folder_, temp_.path());
    h.ChooseBoth();
    const QStringList before = QDir(out_.path()).entryList(QDir::Files);
    h.Click(QStringLiteral("SaveButton"));  // the script has no file name: cancelled
    QCOMPARE(QDir(out_.path()).entryList(QDir::Files), before);
  }

  void EditsNeedAPhoto() {
    Harness h(folder_, temp_.path());
    h.Click(QStringLiteral("FlatButton14"));
    h.Click(QStringLiteral("FlatButton28"));  // no dialog opens: it would block here
    QCOMPARE(h.window->State().edit.rotate_flip.count, 0);
  }

  void PrintToPdfLeavesNoPrintFile_data() {
    QTest::addColumn<bool>("confirm");
    QTest::newRow("printed") << true;
    QTest::newRow("cancelled") << false;
  }
  void PrintToPdfLeavesNoPrintFile() {
    QFETCH(bool, confirm);
    Harness h(folder_, temp_.path());
    h.ChooseBoth();
    const QString pdf = out_.filePath(QStringLiteral("print-%1.pdf").arg(confirm));
    h.window->Output().Printer().setOutputFormat(QPrinter::PdfFormat);
    h.window->Output().Printer().setOutputFileName(pdf);
    h.dialogs.print_answers = {confirm};
    h.window->findChild<QAction*>(QStringLiteral("Print1"))->trigger();
    QCOMPARE(h.dialogs.print_dialogs, 1);
    QVERIFY(h.dialogs.errors.isEmpty());
    QCOMPARE(QFileInfo::exists(pdf), confirm);
    if (confirm) QVERIFY(ReadFile(pdf).contains("/Subtype /Image"));
    QVERIFY(!QFileInfo::exists(folder_.Path() + QStringLiteral("/print.jpg")));
    QVERIFY(!QFileInfo::exists(temp_.filePath(QStringLiteral("print.jpg"))));
  }

  void FailedPrintIsReported() {
    Harness h(folder_, temp_.path());
    h.ChooseBoth();
    // A PDF printer whose file cannot be created cannot start the document.
    h.window->Output().Printer().setOutputFormat(QPrinter::PdfFormat);
    h.window->Output().Printer().setOutputFileName(out_.filePath(QStringLiteral("missing/folder/print.pdf")));
    h.dialogs.print_answers = {true};
    h.window->findChild<QAction*>(QStringLiteral("Print1"))->trigger();
    QCOMPARE(h.dialogs.errors.size(), 1);
    QVERIFY2(h.dialogs.errors[0].startsWith(QStringLiteral("Unable to print")),
             qPrintable(h.dialogs.errors[0]));
    QVERIFY(!QFileInfo::exists(temp_.filePath(QStringLiteral("print.jpg"))));
  }

  void EmailHandsTheAttachmentOverAndCleansUpAtExit() {
    QTemporaryDir bin;
    const QString log = bin.filePath(QStringLiteral("args.log"));
    QVERIFY(WriteFile(bin.filePath(QStringLiteral("xdg-email")),
                      "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > " + log.toUtf8() + ".part && mv " +
                          log.toUtf8() + ".part " + log.toUtf8() + "\n"));
    QFile::setPermissions(bin.filePath(QStringLiteral("xdg-email")), QFile::ExeOwner | QFile::ReadOwner);
    QString folder;
    {
      Harness h(folder_, temp_.path());
      h.window->Output().SetMailProgram(bin.filePath(QStringLiteral("xdg-email")));
      h.ChooseBoth();
      h.Click(QStringLiteral("EmailButton"));
      QTRY_VERIFY(QFileInfo::exists(log));
      const QList<QByteArray> args = ReadFile(log).trimmed().split('\n');
      QCOMPARE(args.value(1), QByteArray("--attach"));
      const QString attachment = QString::fromUtf8(args.value(2));
      QCOMPARE(QFileInfo(attachment).fileName(), QString("mail.jpg"));
      // The mail program reads the file after the hand-off: it is still there, a real JPEG.
      QCOMPARE(QImageReader(attachment).format(), QByteArray("jpeg"));
      QVERIFY(!QFileInfo::exists(folder_.Path() + QStringLiteral("/mail.jpg")));
      folder = h.window->Output().Scratch().Folder();
      QVERIFY(attachment.startsWith(folder));
    }
    QVERIFY(!QFileInfo::exists(folder));  // gone with the program
  }

  // Save onto a file that exists: the photo being framed and the template's picture get their own
  // question, any other file the general one; No leaves the file's bytes as they were and opens the
  // save dialog again; a file written into the folder the grid shows gets a new thumbnail.
  void SaveOverAFileAsksFirst_data() {
    QTest::addColumn<QString>("target");       // "photo", "template", "other", "new"
    QTest::addColumn<QList<bool>>("answers");  // to the questions, in turn
    QTest::addColumn<QString>("question");     // the one question asked
    QTest::addColumn<bool>("written");
    const QString photo = ReplaceInputQuestion(InputKind::Photo);
    const QString other = ReplaceFileQuestion(QStringLiteral("p02.png"));
    QTest::newRow("the photo framed, No") << "photo" << QList<bool>{false} << photo << false;
    QTest::newRow("the photo framed, Yes") << "photo" << QList<bool>{true} << photo << true;
    QTest::newRow("the template's picture, No")
        << "template" << QList<bool>{false} << ReplaceInputQuestion(InputKind::TemplatePicture) << false;
    QTest::newRow("the template's picture, Yes")
        << "template" << QList<bool>{true} << ReplaceInputQuestion(InputKind::TemplatePicture) << true;
    QTest::newRow("another photo, No") << "other" << QList<bool>{false} << other << false;
    QTest::newRow("another photo, Yes") << "other" << QList<bool>{true} << other << true;
    QTest::newRow("a new name") << "new" << QList<bool>{} << QString() << true;
  }
  void SaveOverAFileAsksFirst() {
    QFETCH(QString, target);
    QFETCH(QList<bool>, answers);
    QFETCH(QString, question);
    QFETCH(bool, written);
    AppFolderFixture folder;
    folder.WriteConfig(QStringLiteral("A"));
    folder.AddPhotos(2, QSize(160, 100));
    folder.AddTemplates(QStringLiteral("A"), 1);
    const QString path = target == QLatin1String("photo") ? folder.PhotoFolder() + QStringLiteral("/p01.png")
                         : target == QLatin1String("other")
                             ? folder.PhotoFolder() + QStringLiteral("/p02.png")
                         : target == QLatin1String("template")
                             ? folder.CategoryFolder(QStringLiteral("A")) + QStringLiteral("/t01.jpg")
                             : folder.PhotoFolder() + QStringLiteral("/new.png");
    const QByteArray before = ReadFile(path);
    Harness h(folder, temp_.path());
    h.ChooseBoth();
    // The grid's thumbnails are in place before anything is written.
    const char* cell_name = target == QLatin1String("other")      ? "Image2"
                            : target == QLatin1String("template") ? "Image51"
                                                                  : "Image1";
    auto* cell = h.window->findChild<QLabel*>(QLatin1String(cell_name));
    QTRY_VERIFY(!h.window->Photos()->ThumbnailsPending() && h.window->Photos()->CellsWaiting() == 0);
    QTRY_VERIFY(!h.window->Templates()->ThumbnailsPending() && h.window->Templates()->CellsWaiting() == 0);
    const QImage thumbnail = cell->pixmap().toImage();

    h.dialogs.save_files = {path};
    h.dialogs.answers = answers;
    h.Click(QStringLiteral("SaveButton"));
    QVERIFY2(h.dialogs.errors.isEmpty(), qPrintable(h.dialogs.errors.join(u'\n')));
    // Asked once, with the warning icon; the answer No opened the save dialog again (cancelled here).
    QCOMPARE(h.dialogs.questions, question.isEmpty() ? QStringList() : QStringList{question});
    QCOMPARE(h.dialogs.warnings, h.dialogs.questions);
    if (!written) {
      QVERIFY(ReadFile(path) == before);
      return;
    }
    QVERIFY(ReadFile(path) != before);
    QVERIFY(!QImage(path).isNull());
    if (target == QLatin1String("new")) return;
    // The cell of the file written shows its new picture, the template's green margin around it.
    QTRY_VERIFY(cell->pixmap().toImage() != thumbnail);
    // Drawn again, the page still says which photo is chosen.
    QCOMPARE(h.window->findChild<QLabel*>(QStringLiteral("Label8"))->text(), QStringLiteral("1/2"));
  }

  // A No to the question about the photo, then another name: the other name is written.
  void NoToThePhotoThenAnotherName() {
    AppFolderFixture folder;
    folder.WriteConfig(QStringLiteral("A"));
    folder.AddPhotos(1, QSize(160, 100));
    folder.AddTemplates(QStringLiteral("A"), 1);
    const QString photo = folder.PhotoFolder() + QStringLiteral("/p01.png");
    const QByteArray before = ReadFile(photo);
    Harness h(folder, temp_.path());
    h.ChooseBoth();
    const QString other = out_.filePath(QStringLiteral("instead.png"));
    h.dialogs.save_files = {photo, other};
    h.dialogs.answers = {false};
    h.Click(QStringLiteral("SaveButton"));
    QCOMPARE(h.dialogs.questions, QStringList{ReplaceInputQuestion(InputKind::Photo)});
    QVERIFY(ReadFile(photo) == before);
    QVERIFY(QFileInfo::exists(other));
  }

  // A photo called print.jpg lying in the application folder: printing writes and deletes its print
  // file elsewhere, and the photo stays.
  void PrintNeverWritesOverThePhoto_data() {
    QTest::addColumn<bool>("confirm");
    QTest::newRow("printed") << true;
    QTest::newRow("cancelled") << false;
  }
  void PrintNeverWritesOverThePhoto() {
    QFETCH(bool, confirm);
    AppFolderFixture folder;
    const QString photo = folder.Path() + QStringLiteral("/print.jpg");
    QVERIFY(testing_support::SolidFrame(qRgb(200, 40, 40), QSize(64, 48)).save(photo));
    const QByteArray before = ReadFile(photo);
    Config config(folder.Path());
    ScriptedDialogs dialogs;
    OutputCommands commands(config, dialogs, testing_support::ShippedTextures(), temp_.path());
    commands.Printer().setOutputFormat(QPrinter::PdfFormat);
    commands.Printer().setOutputFileName(out_.filePath(QStringLiteral("photo-print-%1.pdf").arg(confirm)));
    dialogs.print_answers = {confirm};
    EditState edit;
    edit.photo_path = photo;
    commands.Print(edit, FrameStyle{});
    QCOMPARE(dialogs.print_dialogs, 1);
    QVERIFY(ReadFile(photo) == before);
  }
};

QTEST_MAIN(OutputCommandsTest)
#include "output_commands_test.moc"
