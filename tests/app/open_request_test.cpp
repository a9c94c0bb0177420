// Opening photos from outside: which arguments are a visit, the message to a running window, a
// second start handing over to the first, and the window showing what it was given.
#include <QLocalServer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "app/instance_link.h"
#include "app/main_window.h"
#include "app/open_request.h"
#include "base/config.h"
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
  }

  void ArgumentsThatAreAVisit() {
    const QString dir = elsewhere_.path();
    const auto photo = OpenRequestFor({QStringLiteral("a.jpg")}, dir);
    QVERIFY(photo.has_value());
    QCOMPARE(photo->folder, dir);
    QCOMPARE(photo->photos, QStringList{dir + QStringLiteral("/a.jpg")});

    const auto several = OpenRequestFor({dir + QStringLiteral("/b.jpg"), QStringLiteral("a.jpg")}, dir);
    QVERIFY(several.has_value());
    QCOMPARE(several->photos, (QStringList{dir + QStringLiteral("/b.jpg"), dir + QStringLiteral("/a.jpg")}));

    const auto folder = OpenRequestFor({folder_.PhotoFolder()}, dir);
    QVERIFY(folder.has_value());
    QCOMPARE(folder->folder, folder_.PhotoFolder());
    QVERIFY(folder->photos.isEmpty());
    // A photo outside the folder shown is not selected in it.
    const auto mixed = OpenRequestFor({folder_.PhotoFolder(), QStringLiteral("a.jpg")}, dir);
    QVERIFY(mixed->photos.isEmpty());
  }

  void ArgumentsForTheCommandLine_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("none") << QStringList{};
    QTest::newRow("a command") << QStringList{"render", "a.jpg", "t.ini", "out.jpg"};
    QTest::newRow("an option") << QStringList{"--help"};
    QTest::newRow("a missing photo") << QStringList{"missing.jpg"};
    QTest::newRow("not a photo") << QStringList{"notes.txt"};
    QTest::newRow("a photo and a missing one") << QStringList{"a.jpg", "c.jpg"};
    QTest::newRow("empty") << QStringList{""};
  }
  void ArgumentsForTheCommandLine() {
    QFETCH(QStringList, args);
    QVERIFY(!OpenRequestFor(args, elsewhere_.path()).has_value());
  }

  void MessageRoundTrip() {
    const OpenRequest request{QStringLiteral("/ph/ü tos"),
                              {QStringLiteral("/ph/ü tos/a.jpg"), QStringLiteral("/ph/ü tos/b c.png")}};
    QCOMPARE(DecodeOpenRequest(EncodeOpenRequest(request)), std::optional<OpenRequest>(request));
    QCOMPARE(DecodeOpenRequest(EncodeOpenRequest(OpenRequest{})), std::optional<OpenRequest>(OpenRequest{}));
    QVERIFY(!DecodeOpenRequest("hello").has_value());
    QVERIFY(!DecodeOpenRequest("lumisto-open 1\n/a\n/elsewhere/x.jpg").has_value());
    QVERIFY(!DecodeOpenRequest("lumisto-open 1\n\n/a/x.jpg").has_value());
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
    QVERIFY(second.waitForFinished(60000));
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
    QCOMPARE(window.Photos()->Count(), 2);
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
};

QTEST_MAIN(OpenRequestTest)
#include "open_request_test.moc"
