// Opening photos from outside: which arguments are a visit, the message to a running window, a
// second start handing over to the first, and the window showing what it was given.
#include <unistd.h>

#include <QLabel>
#include <QLocalServer>
#include <QMap>
#include <QMimeDatabase>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "app/instance_link.h"
#include "app/main_window.h"
#include "app/open_request.h"
#include "base/config.h"
#include "base/folder_listing.h"
#include "imaging/format_tools.h"
#include "sources/photo_grid_widget.h"
#include "support/app_folder_fixture.h"
#include "support/scripted_dialogs.h"

using testing_support::AppFolderFixture;
using testing_support::ReadFile;
using testing_support::ScriptedDialogs;

class OpenRequestTest : public QObject {
  Q_OBJECT

 private:
  AppFolderFixture folder_;
  QTemporaryDir elsewhere_;

 private Q_SLOTS:
  void initTestCase() {
    folder_.WriteConfig(QStringLiteral("A"));
    folder_.AddPhotos(12);
    folder_.AddTemplates(QStringLiteral("A"), 2);
    QImage photo(30, 20, QImage::Format_RGB32);
    photo.fill(Qt::blue);
    QVERIFY(photo.save(elsewhere_.filePath(QStringLiteral("b.jpg"))));
    QVERIFY(photo.save(elsewhere_.filePath(QStringLiteral("a.jpg"))));
    QVERIFY(testing_support::WriteFile(elsewhere_.filePath(QStringLiteral("notes.txt")), "x"));
    QVERIFY(testing_support::WriteFile(elsewhere_.filePath(QStringLiteral("fake.jpg")), "not a picture"));
    QVERIFY(photo.save(elsewhere_.filePath(QStringLiteral("c.tif")), "TIFF"));
    QVERIFY(photo.save(elsewhere_.filePath(QStringLiteral("d.jpeg")), "JPEG"));
    QVERIFY(photo.save(elsewhere_.filePath(QStringLiteral("E.JPG")), "JPEG"));
    QVERIFY(photo.save(elsewhere_.filePath(QStringLiteral("noext")), "PNG"));
    QVERIFY(QDir(elsewhere_.path()).mkdir(QStringLiteral("other")));
    QVERIFY(photo.save(elsewhere_.filePath(QStringLiteral("other/f.jpg")), "JPEG"));
  }

  // The opening rules: what the arguments open, and what they fail with.
  void OpeningRules_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("folder");  // relative to the working folder; "@" the photo folder
    QTest::addColumn<QStringList>("photos");
    QTest::addColumn<bool>("selection");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("warnings");
    const int open = int(OpenArguments::Outcome::Open);
    const int failure = int(OpenArguments::Outcome::Failure);
    const int unknown = int(OpenArguments::Outcome::UnknownCommand);
    QTest::newRow("one photo visits its folder")
        << QStringList{"a.jpg"} << open << "." << QStringList{"a.jpg"} << false << "" << 0;
    QTest::newRow("two of one folder, in the order given")
        << QStringList{"b.jpg", "./a.jpg"} << open << "." << QStringList{"b.jpg", "a.jpg"} << false << ""
        << 0;
    QTest::newRow("a folder") << QStringList{"@"} << open << "@" << QStringList{} << false << "" << 0;
    QTest::newRow("a folder and a photo elsewhere")
        << QStringList{"@", "a.jpg"} << open << "@" << QStringList{} << false << "" << 0;
    QTest::newRow("TIFF by content") << QStringList{"c.tif"} << open << "" << QStringList{"c.tif"} << true
                                     << "" << 0;
    QTest::newRow(".jpeg and .JPG") << QStringList{"d.jpeg", "E.JPG"} << open << ""
                                    << QStringList{"d.jpeg", "E.JPG"} << true << "" << 0;
    QTest::newRow("a PNG without extension")
        << QStringList{"noext"} << open << "" << QStringList{"noext"} << true << "" << 0;
    QTest::newRow("several folders") << QStringList{"a.jpg", "other/f.jpg", "a.jpg"} << open << ""
                                     << QStringList{"a.jpg", "other/f.jpg"} << true << "" << 0;
    QTest::newRow("not a photo is skipped")
        << QStringList{"notes.txt", "a.jpg"} << open << "." << QStringList{"a.jpg"} << false << "" << 1;
    QTest::newRow("a JPEG name on text is no photo")
        << QStringList{"fake.jpg"} << failure << "" << QStringList{} << false << "nothing to open" << 1;
    QTest::newRow("missing photo") << QStringList{"missing.jpg"} << failure << "" << QStringList{} << false
                                   << "no such file: missing.jpg" << 0;
    QTest::newRow("missing after a photo") << QStringList{"a.jpg", "c.jpg"} << failure << "" << QStringList{}
                                           << false << "no such file: c.jpg" << 0;
    QTest::newRow("missing word after a photo") << QStringList{"a.jpg", "readme"} << failure << ""
                                                << QStringList{} << false << "no such file: readme" << 0;
    QTest::newRow("a word that is nothing")
        << QStringList{"rendr"} << unknown << "" << QStringList{} << false << "unknown command 'rendr'" << 0;
  }
  void OpeningRules() {
    QFETCH(QStringList, args);
    QFETCH(int, outcome);
    QFETCH(QString, folder);
    QFETCH(QStringList, photos);
    QFETCH(bool, selection);
    QFETCH(QString, message);
    QFETCH(int, warnings);
    const QString dir = elsewhere_.path();
    for (QString& arg : args)
      if (arg == QLatin1String("@")) arg = folder_.PhotoFolder();
    const OpenArguments read = ReadOpenArguments(args, dir);
    QCOMPARE(int(read.outcome), outcome);
    QCOMPARE(read.message, message);
    QCOMPARE(read.warnings.size(), warnings);
    if (read.outcome != OpenArguments::Outcome::Open) return;
    const QString expected_folder =
        folder == QLatin1String("@") ? folder_.PhotoFolder() : (folder.isEmpty() ? QString() : dir);
    QCOMPARE(read.request.folder, expected_folder);
    QStringList expected_photos;
    for (const QString& photo : photos) expected_photos.append(dir + u'/' + photo);
    QCOMPARE(read.request.photos, expected_photos);
    QCOMPARE(read.request.selection, selection);
  }

  // "Open with Lumisto" is offered for exactly the types the desktop entry lists: each one, written
  // by Qt's own encoder under a name without extension, opens.
  void EveryDesktopTypeOpens() {
    // Read by hand: an INI reader takes the ';' between the types for a comment.
    QStringList types;
    const QByteArray entry =
        ReadFile(QStringLiteral(LUMISTO_SOURCE_DIR "/assets/desktop/org.lumisto.Lumisto.desktop"));
    for (const QByteArray& line : entry.split('\n'))
      if (line.startsWith("MimeType="))
        types = QString::fromUtf8(line.mid(9)).split(u';', Qt::SkipEmptyParts);
    QCOMPARE(types.size(), 10);
    // Formats Qt does not write come from their own tools, as a phone or a web page makes them.
    const QMap<QString, std::pair<QString, QStringList>> tools = {
        {"image/heic", {"heif-enc", {"@in", "-o", "@out"}}},
        {"image/heif", {"heif-enc", {"@in", "-o", "@out"}}},
        {"image/avif", {"avifenc", {"@in", "@out"}}},
        {"image/webp", {"cwebp", {"@in", "-o", "@out"}}},
        {"image/jxl", {"cjxl", {"@in", "@out"}}}};
    QTemporaryDir dir;
    QImage photo(24, 16, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    for (const QString& type : types) {
      const QByteArray format = QMimeDatabase().mimeTypeForName(type).preferredSuffix().toLatin1();
      // No extension: the content alone says what the file is.
      const QString path = dir.filePath(QString(type).replace(u'/', u'-'));
      if (tools.contains(type)) {
        const QString png = dir.filePath(QStringLiteral("source.png"));
        const QString made = dir.filePath(QStringLiteral("made.") + QString::fromLatin1(format));
        QVERIFY(photo.save(png));
        QStringList args = tools[type].second;
        args.replaceInStrings(QStringLiteral("@in"), png).replaceInStrings(QStringLiteral("@out"), made);
        QVERIFY2(format_tools::RunTool(tools[type].first, args), qPrintable(type));
        QVERIFY(QFile::rename(made, path));
      } else if (format == "gif")  // Qt writes no GIF: the shipped sample stands in for it.
        QVERIFY(QFile::copy(QStringLiteral(LUMISTO_SOURCE_DIR "/assets/DATA/Photo/") +
                                QDir(QStringLiteral(LUMISTO_SOURCE_DIR "/assets/DATA/Photo"))
                                    .entryList({QStringLiteral("*.gif")})
                                    .value(0),
                            path));
      else
        QVERIFY2(photo.save(path, format.constData()), qPrintable(type));
      const OpenArguments read = ReadOpenArguments({path}, dir.path());
      QVERIFY2(read.outcome == OpenArguments::Outcome::Open && read.request.photos == QStringList{path},
               qPrintable(type));
    }
  }

  // A plain word that names an existing folder opens it.
  void AWordNamingAFolderOpensIt() {
    const auto request = OpenRequestFor({QStringLiteral("other")}, elsewhere_.path());
    QVERIFY(request.has_value());
    QCOMPARE(request->folder, elsewhere_.filePath(QStringLiteral("other")));
  }

  void MessageRoundTrip() {
    const OpenRequest request{QStringLiteral("/ph/ü tos"),
                              {QStringLiteral("/ph/ü tos/a.jpg"), QStringLiteral("/ph/ü tos/b c.png")}};
    QCOMPARE(DecodeOpenRequest(EncodeOpenRequest(request)), std::optional<OpenRequest>(request));
    const OpenRequest set{QString(), {QStringLiteral("/a/x.tif"), QStringLiteral("/b/y.jpg")}, true};
    QCOMPARE(DecodeOpenRequest(EncodeOpenRequest(set)), std::optional<OpenRequest>(set));
    QCOMPARE(DecodeOpenRequest(EncodeOpenRequest(OpenRequest{})), std::optional<OpenRequest>(OpenRequest{}));
    QVERIFY(!DecodeOpenRequest("hello").has_value());
    QVERIFY(!DecodeOpenRequest("lumisto-open 2\nfolder\n/a\n/elsewhere/x.jpg").has_value());
    QVERIFY(!DecodeOpenRequest("lumisto-open 2\nfolder\n\n/a/x.jpg").has_value());
    QVERIFY(!DecodeOpenRequest("lumisto-open 2\nselection\n\nrelative.jpg").has_value());
    QVERIFY(!DecodeOpenRequest("lumisto-open 2\nselection\n\n").has_value());
  }

  // One window per user, application folder and display: a second start finds the first window's
  // socket only with the same folder (however written) on the same display.
  void OneWindowPerFolderAndDisplay_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("wayland");
    QTest::addColumn<bool>("same");
    QTest::newRow("the same folder and display") << "/home/u/lumisto"
                                                 << ":0"
                                                 << "" << true;
    QTest::newRow("the folder written another way") << "/home/u/x/../lumisto/"
                                                    << ":0"
                                                    << "" << true;
    QTest::newRow("--home another folder") << "/home/u/other"
                                           << ":0"
                                           << "" << false;
    QTest::newRow("another X display") << "/home/u/lumisto"
                                       << ":1"
                                       << "" << false;
    QTest::newRow("a Wayland display") << "/home/u/lumisto"
                                       << ":0"
                                       << "wayland-0" << false;
  }
  void OneWindowPerFolderAndDisplay() {
    QFETCH(QString, folder);
    QFETCH(QString, display);
    QFETCH(QString, wayland);
    QFETCH(bool, same);
    const QByteArray saved[4] = {qgetenv("LUMISTO_INSTANCE"), qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY"),
                                 qgetenv("XDG_RUNTIME_DIR")};
    qunsetenv("LUMISTO_INSTANCE");
    qputenv("XDG_RUNTIME_DIR", "/run/user/1000");
    qputenv("DISPLAY", ":0");
    qunsetenv("WAYLAND_DISPLAY");
    const QString first = InstanceSocketName(QStringLiteral("/home/u/lumisto"));
    qputenv("DISPLAY", display.toUtf8());
    if (!wayland.isEmpty()) qputenv("WAYLAND_DISPLAY", wayland.toUtf8());
    const QString second = InstanceSocketName(folder);
    const char* names[4] = {"LUMISTO_INSTANCE", "DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"};
    for (int i = 0; i < 4; ++i)
      if (saved[i].isNull())
        qunsetenv(names[i]);
      else
        qputenv(names[i], saved[i]);
    // In the user's own runtime folder, named for the user.
    QVERIFY2(first.startsWith(QStringLiteral("/run/user/1000/lumisto-%1-").arg(getuid())), qPrintable(first));
    QCOMPARE(first == second, same);
  }

  // The test plays the running window; the real program is the second start.
  void SecondStartHandsOverToTheFirst() {
    const QString name = QStringLiteral("lumisto-test-%1").arg(QCoreApplication::applicationPid());
    InstanceServer server;
    QVERIFY(server.Listen(name));
    QSignalSpy opened(&server, &InstanceServer::OpenRequested);
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LUMISTO_INSTANCE"), name);
    env.insert(QStringLiteral("LUMISTO_HOME"), folder_.Path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(env);
    second.setWorkingDirectory(elsewhere_.path());
    second.start(QStringLiteral(LUMISTO_EXE), {QStringLiteral("a.jpg"), QStringLiteral("b.jpg")});
    QTRY_COMPARE_WITH_TIMEOUT(opened.size(), 1, 60000);
    // waitForFinished answers false for a process that has already ended.
    QVERIFY(second.state() == QProcess::NotRunning || second.waitForFinished(60000));
    QCOMPARE(second.exitCode(), 0);
    const auto request = opened[0][0].value<OpenRequest>();
    QCOMPARE(request.folder, elsewhere_.path());
    QCOMPARE(request.photos.size(), 2);
  }

  void OnePhotoIsChosenAndPreviewed() {
    const QByteArray config_before = ReadFile(folder_.Path() + QStringLiteral("/Config.ini"));
    Config config(folder_.Path());
    ScriptedDialogs dialogs;
    ThumbnailCache cache{QString()};
    MainWindow window(config, dialogs, cache, 1);
    const QString photo = elsewhere_.filePath(QStringLiteral("a.jpg"));
    window.OpenVisit(OpenRequest{elsewhere_.path(), {photo}});
    QCOMPARE(window.State().edit.photo_path, photo);
    QCOMPARE(window.Photos()->Count(), ListPictures(elsewhere_.path()).size());
    QCOMPARE(window.Photos()->SelectedIndex(), window.Photos()->IndexOfPath(photo));
    // A visit: the photo folder of Config.ini stays.
    QCOMPARE(ReadFile(folder_.Path() + QStringLiteral("/Config.ini")), config_before);
    QVERIFY(dialogs.errors.isEmpty() && dialogs.notices.isEmpty());
  }

  void SeveralPhotosAreSelectedInTheList() {
    Config config(folder_.Path());
    ScriptedDialogs dialogs;
    ThumbnailCache cache{QString()};
    MainWindow window(config, dialogs, cache, 1);
    const QString folder = folder_.PhotoFolder();
    const QStringList photos = {folder + QStringLiteral("/p03.png"), folder + QStringLiteral("/p10.png"),
                                folder + QStringLiteral("/p11.png")};
    window.OpenVisit(OpenRequest{folder, photos});
    QVERIFY(window.Photos()->IsListView());
    QCOMPARE(window.Photos()->SelectedRows(), (QList<int>{2, 9, 10}));
    QCOMPARE(window.Photos()->Page(), 0);
    QVERIFY(window.State().edit.photo_path.isEmpty());  // nothing chosen yet: ready for a template click
  }

  // Photos from several folders: the grid shows exactly them, and the header says "selection".
  // Delete removes the one file and the grid keeps showing what is left of the set.
  void ASelectionShowsItsPhotosAndDeleteKeepsIt() {
    QTemporaryDir other;
    QImage photo(40, 30, QImage::Format_RGB32);
    photo.fill(Qt::red);
    const QStringList set = {other.filePath(QStringLiteral("a.tif")),
                             other.filePath(QStringLiteral("b.jpeg")),
                             folder_.AddPhoto(QStringLiteral("zz.png"), Qt::green, QSize(20, 20))};
    QVERIFY(photo.save(set[0], "TIFF") && photo.save(set[1], "JPEG"));
    Config config(folder_.Path());
    ScriptedDialogs dialogs;
    ThumbnailCache cache{QString()};
    MainWindow window(config, dialogs, cache, 1);
    window.OpenVisit(OpenRequest{QString(), set, true});
    QCOMPARE(window.Photos()->Count(), 3);
    QStringList shown;
    for (const ListRow& row : window.Photos()->Rows()) shown.append(row.path);
    QCOMPARE(shown, set);
    auto* header = window.findChild<QLabel*>(QStringLiteral("PhotoFolderLabel"));
    QCOMPARE(header->text(), QStringLiteral("selection"));
    window.Photos()->SetSelectedIndex(1);
    dialogs.answers = {true};
    window.Photos()->Delete();
    QVERIFY(!QFileInfo::exists(set[1]));
    QVERIFY(QFileInfo::exists(set[0]) && QFileInfo::exists(set[2]));
    QCOMPARE(window.Photos()->Count(), 2);
    QCOMPARE(window.Photos()->Rows()[1].path, set[2]);
    QCOMPARE(header->text(), QStringLiteral("selection"));
    QVERIFY(QFile::remove(set[2]));
  }

  // Delete in a folder opened from outside rescans that folder, never the photo folder of Config.ini.
  void DeleteStaysInTheFolderShown() {
    QTemporaryDir shown_folder;
    QImage photo(40, 30, QImage::Format_RGB32);
    photo.fill(Qt::red);
    for (const char* name : {"x1.jpg", "x2.jpg", "x3.jpg"})
      QVERIFY(photo.save(shown_folder.filePath(QLatin1String(name)), "JPEG"));
    Config config(folder_.Path());
    ScriptedDialogs dialogs;
    ThumbnailCache cache{QString()};
    MainWindow window(config, dialogs, cache, 1);
    const int configured = static_cast<int>(QDir(folder_.PhotoFolder()).entryList(QDir::Files).size());
    window.OpenVisit(OpenRequest{shown_folder.path(), {}});
    auto* header = window.findChild<QLabel*>(QStringLiteral("PhotoFolderLabel"));
    QCOMPARE(header->text(), QFileInfo(shown_folder.path()).fileName());
    QCOMPARE(header->toolTip(), QDir::toNativeSeparators(shown_folder.path()));
    window.Photos()->SetSelectedIndex(0);
    dialogs.answers = {true};
    window.Photos()->Delete();
    QCOMPARE(window.Photos()->CurrentFolder(), shown_folder.path());
    QCOMPARE(window.Photos()->Count(), 2);
    QVERIFY(!QFileInfo::exists(shown_folder.filePath(QStringLiteral("x1.jpg"))));
    // A second Delete removes from the folder shown too; the configured folder keeps every file.
    window.Photos()->SetSelectedIndex(0);
    dialogs.answers = {true};
    window.Photos()->Delete();
    QCOMPARE(window.Photos()->Count(), 1);
    QCOMPARE(window.Photos()->Rows()[0].path, shown_folder.filePath(QStringLiteral("x3.jpg")));
    QCOMPARE(static_cast<int>(QDir(folder_.PhotoFolder()).entryList(QDir::Files).size()), configured);
  }
};

QTEST_MAIN(OpenRequestTest)
#include "open_request_test.moc"
