// The photo on screen changes on disk: the preview follows it, and Save renders what is shown.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>

#include "app/main_window.h"
#include "app/preview_widget.h"
#include "sources/photo_grid_widget.h"
#include "support/app_folder_fixture.h"
#include "support/scripted_dialogs.h"

using testing_support::AppFolderFixture;
using testing_support::ReadFile;
using testing_support::RunLumisto;
using testing_support::ScriptedDialogs;

namespace {

struct Harness {
  explicit Harness(const AppFolderFixture& folder, const QString& temp_root)
      : config(folder.Path()),
        cache(QString()),
        window(std::make_unique<MainWindow>(config, dialogs, cache, 1, temp_root)) {}
  void Click(const QString& name) const {
    QWidget* w = window->findChild<QWidget*>(name);
    if (!w) qFatal("no control named %s", qPrintable(name));
    QTest::mouseClick(w, Qt::LeftButton);
  }
  // The colour in the middle of the working photo, which is all one colour.
  QRgb ShownColour() const {
    const QImage& photo = window->State().working_photo;
    return photo.pixel(photo.width() / 2, photo.height() / 2) | 0xFF000000;
  }
  bool SaveButtonShown() const {
    return !window->findChild<QWidget*>(QStringLiteral("SaveButton"))->isHidden();
  }

  Config config;
  ScriptedDialogs dialogs;
  ThumbnailCache cache;
  std::unique_ptr<MainWindow> window;
};

// Writes a photo of one colour the way the action says another program would.
bool Put(const QString& path, const QString& how, QColor colour, QSize size) {
  QImage photo(size, QImage::Format_RGB32);
  photo.fill(colour);
  if (how == QLatin1String("in place")) return photo.save(path, "PNG");
  const QString part = path + QStringLiteral(".part.png");
  return photo.save(part, "PNG") &&
         std::rename(QFile::encodeName(part).constData(), QFile::encodeName(path).constData()) == 0;
}

}  // namespace

class MainWindowPhotoWatchTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir temp_;

 private Q_SLOTS:
  // Rewritten or replaced with a photo of the same size: the new picture, the edits kept; another
  // size: the new picture with its edits started afresh. Save then frames what the preview shows.
  void ChangedPhotoRefreshesThePreview_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("turns_after");
    QTest::newRow("rewritten in place, same size") << "in place" << QSize(120, 80) << 1;
    QTest::newRow("replaced by a rename, same size") << "rename" << QSize(120, 80) << 1;
    QTest::newRow("replaced by another size") << "rename" << QSize(90, 90) << 0;
  }
  void ChangedPhotoRefreshesThePreview() {
    QFETCH(QString, how);
    QFETCH(QSize, size);
    QFETCH(int, turns_after);
    AppFolderFixture folder;
    folder.WriteConfig(QStringLiteral("A"));
    const QString photo = folder.AddPhoto(QStringLiteral("photo.png"), QColor(220, 30, 30), QSize(120, 80));
    folder.AddTemplates(QStringLiteral("A"), 1);
    Harness h(folder, temp_.path());
    h.Click(QStringLiteral("Hot1"));
    h.Click(QStringLiteral("Hot51"));
    h.Click(QStringLiteral("FlatButton14"));  // a quarter turn
    QCOMPARE(h.ShownColour(), qRgb(220, 30, 30));

    QVERIFY(Put(photo, how, QColor(30, 30, 220), size));
    QTRY_COMPARE(h.ShownColour(), qRgb(30, 30, 220));
    QCOMPARE(h.window->State().edit.rotate_flip.count, turns_after);
    QVERIFY(!h.window->Preview()->StartPictureVisible());
    QVERIFY(h.dialogs.notices.isEmpty());

    const QString gui = temp_.filePath(QStringLiteral("watch-gui.png"));
    const QString cli = temp_.filePath(QStringLiteral("watch-cli.png"));
    QFile::remove(gui);
    h.dialogs.save_files = {gui};
    h.Click(QStringLiteral("SaveButton"));
    QVERIFY2(h.dialogs.errors.isEmpty(), qPrintable(h.dialogs.errors.join(u'\n')));
    QStringList args{QStringLiteral("render"), photo,
                     folder.CategoryFolder(QStringLiteral("A")) + QStringLiteral("/t01.ini"), cli};
    if (turns_after) args << QStringLiteral("--cw");
    const auto result = RunLumisto(args);
    QVERIFY2(result.exit_code == 0, result.err.constData());
    QVERIFY(ReadFile(gui) == ReadFile(cli));
  }

  // Deleted: the preview goes back to its start picture, Save hides and a notice says why; the
  // photo put back is shown again.
  void DeletedPhotoIsSaidToBeGone() {
    AppFolderFixture folder;
    folder.WriteConfig(QStringLiteral("A"));
    const QString photo = folder.AddPhoto(QStringLiteral("photo.png"), QColor(220, 30, 30), QSize(120, 80));
    folder.AddTemplates(QStringLiteral("A"), 1);
    Harness h(folder, temp_.path());
    h.Click(QStringLiteral("Hot1"));
    h.Click(QStringLiteral("Hot51"));
    QVERIFY(h.SaveButtonShown());

    QVERIFY(QFile::remove(photo));
    QTRY_COMPARE(h.dialogs.notices,
                 QStringList{QStringLiteral("The photo photo.png is gone: it was deleted or moved away.")});
    QVERIFY(h.window->Preview()->StartPictureVisible());
    QVERIFY(!h.SaveButtonShown());
    QVERIFY(h.window->State().edit.photo_path.isEmpty());
    // No photo is chosen: a template click does not bring Save back.
    QCOMPARE(h.window->Photos()->SelectedIndex(), -1);
    h.Click(QStringLiteral("Hot51"));
    QVERIFY(!h.SaveButtonShown());

    QVERIFY(Put(photo, QStringLiteral("rename"), QColor(30, 220, 30), QSize(120, 80)));
    QTRY_COMPARE(h.ShownColour(), qRgb(30, 220, 30));
    QVERIFY(!h.window->Preview()->StartPictureVisible());
    QCOMPARE(h.window->State().edit.photo_path, photo);
    QCOMPARE(h.window->Photos()->SelectedIndex(), 0);
    QVERIFY(h.SaveButtonShown());
  }
};

QTEST_MAIN(MainWindowPhotoWatchTest)
#include "main_window_photo_watch_test.moc"
