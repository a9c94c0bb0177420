// Drag and drop on the window: photos and folders open as on the command line, template settings
// files dropped on the template area join the category shown.
#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/main_window.h"
#include "sources/photo_grid_widget.h"
#include "styles/template_grid_widget.h"
#include "support/app_folder_fixture.h"
#include "support/scripted_dialogs.h"

using testing_support::AppFolderFixture;
using testing_support::ScriptedDialogs;

namespace {

// Drops files at pos (window coordinates) as a file manager does; true when the window took them.
bool Drop(MainWindow& window, const QStringList& paths, QPoint pos) {
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& path : paths) urls.append(QUrl::fromLocalFile(path));
  data.setUrls(urls);
  QDragEnterEvent enter(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(pos), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &drop);
  return drop.isAccepted();
}

const QPoint kOnPreview(500, 200);
const QPoint kOnTemplates(150, 420);

}  // namespace

class MainWindowDropTest : public QObject {
  Q_OBJECT

 private:
  AppFolderFixture folder_;
  QTemporaryDir elsewhere_;

 private Q_SLOTS:
  void initTestCase() {
    folder_.WriteConfig(QStringLiteral("A"));
    folder_.AddPhotos(4);
    folder_.AddTemplates(QStringLiteral("A"), 2);
    QImage photo(30, 20, QImage::Format_RGB32);
    photo.fill(Qt::blue);
    QVERIFY(photo.save(elsewhere_.filePath(QStringLiteral("x.tif")), "TIFF"));
    FrameStyle style;
    style.back_draw = 1;
    style.back_size = 7;
    style.back_opacity = 255;
    style.back_color = 0x0000FF;
    style.blend_opacity = 255;
    WriteFrameStyle(elsewhere_.filePath(QStringLiteral("Dropped.ini")), style);
  }

  void PhotosFromTwoFoldersOpenAsASelection() {
    Config config(folder_.Path());
    ScriptedDialogs dialogs;
    ThumbnailCache cache{QString()};
    MainWindow window(config, dialogs, cache, 1);
    const QStringList photos = {elsewhere_.filePath(QStringLiteral("x.tif")),
                                folder_.PhotoFolder() + QStringLiteral("/p02.png")};
    QVERIFY(Drop(window, photos, kOnPreview));
    QVERIFY(window.Photos()->ShowsSelection());
    QCOMPARE(window.Photos()->Selection(), photos);
    // A folder dropped shows the folder.
    QVERIFY(Drop(window, {folder_.PhotoFolder()}, kOnPreview));
    QCOMPARE(window.Photos()->CurrentFolder(), folder_.PhotoFolder());
    QCOMPARE(window.Photos()->Count(), 4);
    // A settings file dropped away from the template area is no photo: said, nothing changes.
    QVERIFY(Drop(window, {elsewhere_.filePath(QStringLiteral("Dropped.ini"))}, kOnPreview));
    QCOMPARE(window.Photos()->Count(), 4);
    QCOMPARE(dialogs.errors.size() + dialogs.notices.size() > 0, true);
  }

  void TemplateDroppedJoinsTheCategory() {
    Config config(folder_.Path());
    ScriptedDialogs dialogs;
    ThumbnailCache cache{QString()};
    MainWindow window(config, dialogs, cache, 1);
    const QString dropped = elsewhere_.filePath(QStringLiteral("Dropped.ini"));
    const QString target = folder_.CategoryFolder(QStringLiteral("A")) + QStringLiteral("/Dropped.ini");
    QCOMPARE(window.Templates()->Count(), 2);
    QVERIFY(Drop(window, {dropped}, kOnTemplates));
    QCOMPARE(window.Templates()->Count(), 3);
    FrameStyle read;
    ReadFrameStyle(target, read);
    QCOMPARE(read.back_size, 7);
    QVERIFY(dialogs.questions.isEmpty());
    // The same name again is asked; No keeps the template, Yes replaces it.
    FrameStyle changed = read;
    changed.back_size = 12;
    WriteFrameStyle(dropped, changed);
    dialogs.answers = {false};
    QVERIFY(Drop(window, {dropped}, kOnTemplates));
    QCOMPARE(dialogs.questions.size(), 1);
    ReadFrameStyle(target, read);
    QCOMPARE(read.back_size, 7);
    dialogs.answers = {true};
    QVERIFY(Drop(window, {dropped}, kOnTemplates));
    ReadFrameStyle(target, read);
    QCOMPARE(read.back_size, 12);
    QCOMPARE(window.Templates()->Count(), 3);
  }
};

QTEST_MAIN(MainWindowDropTest)
#include "main_window_drop_test.moc"
