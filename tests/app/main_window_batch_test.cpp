// The batch list in the window: adding one and several entries, editing and updating an entry,
// deleting, renaming, batch save with its questions, and a saved list rendered by the command line.
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

#include "app/main_window.h"
#include "base/config.h"
#include "batch/batch_page_widget.h"
#include "sources/photo_grid_widget.h"
#include "styles/template_grid_widget.h"
#include "support/app_folder_fixture.h"
#include "support/scripted_dialogs.h"
#include "support/test_support.h"

using testing_support::AppFolderFixture;
using testing_support::ReadFile;
using testing_support::RunLumisto;
using testing_support::ScriptedDialogs;
using testing_support::WriteFile;

namespace {

struct Harness {
  explicit Harness(const AppFolderFixture& folder)
      : config(folder.Path()),
        cache(QString()),
        window(std::make_unique<MainWindow>(config, dialogs, cache, 1)) {}

  template <typename T = QWidget>
  T* Find(const QString& name) const {
    T* widget = window->findChild<T*>(name);
    if (!widget) qFatal("no control named %s", qPrintable(name));
    return widget;
  }
  void Click(const QString& name) const { QTest::mouseClick(Find(name), Qt::LeftButton); }
  QTreeWidget* List() const { return window->Batch()->List(); }
  const BatchStore& Store() const { return window->State().batch; }
  int Page() const { return Find<QStackedWidget>(QStringLiteral("PageControl3"))->currentIndex(); }
  QString Text(int row, int column) const { return List()->topLevelItem(row)->text(column); }

  // Photo cell, template cell 1, an optional edit button, then Add Batch.
  void AddEntry(int photo_cell, const char* edit = nullptr) {
    Click(QStringLiteral("Hot%1").arg(photo_cell));
    Click(QStringLiteral("Hot51"));
    if (edit) Click(QLatin1String(edit));
    Click(QStringLiteral("Batch"));
  }
  // Five photos selected in the photo list, then a click on template cell 1.
  void AddSeveral(const QList<int>& photo_rows, bool answer) {
    if (!window->Photos()->IsListView()) Click(QStringLiteral("PhotoViewButton"));
    QTreeWidget* photos = window->Photos()->ListView();
    photos->clearSelection();
    for (const int row : photo_rows) photos->topLevelItem(row)->setSelected(true);
    dialogs.answers = {answer};
    Click(QStringLiteral("Hot51"));
  }
  void Select(const QList<int>& rows) const { window->Batch()->SelectRows(rows); }

  Config config;
  ScriptedDialogs dialogs;
  ThumbnailCache cache;
  std::unique_ptr<MainWindow> window;
};

AppFolderFixture& Folder() {
  static AppFolderFixture folder = [] {
    AppFolderFixture f;
    f.WriteConfig(QStringLiteral("A"));
    f.AddPhotos(6, QSize(90, 60));
    f.AddPhoto(QStringLiteral("wide.png"), Qt::red, QSize(600, 400));
    f.AddTemplates(QStringLiteral("A"), 3);
    return f;
  }();
  return folder;
}

// An application folder whose category "Color" holds four of the shipped templates (their sizes are
// those of the preview: Scale=1), and photos large enough for the frames to be enlarged.
AppFolderFixture& ShippedFolder() {
  static AppFolderFixture folder = [] {
    AppFolderFixture f;
    f.WriteConfig(QStringLiteral("Color"));
    f.AddPhotos(4, QSize(480, 320));
    const QString shipped = QStringLiteral(LUMISTO_SOURCE_DIR "/assets/DATA/Mask/Color/");
    QDir().mkpath(f.CategoryFolder(QStringLiteral("Color")));
    for (const char* name : {"Black Edge", "Blush", "Double Mat", "Floating Print"})
      for (const char* ext : {".ini", ".jpg"}) {
        const QString file = QLatin1String(name) + QLatin1String(ext);
        QFile::copy(shipped + file, f.CategoryFolder(QStringLiteral("Color")) + u'/' + file);
      }
    return f;
  }();
  return folder;
}

// Drags a tone knob by dx along its track.
void DragKnob(QWidget* knob, int dx) {
  const QPoint start(8, 8);
  QTest::mousePress(knob, Qt::LeftButton, {}, start);
  QTest::mouseMove(knob, start + QPoint(dx, 0));
  QTest::mouseRelease(knob, Qt::LeftButton, {}, start + QPoint(dx, 0));
}

QMap<QString, QByteArray> FilesIn(const QString& folder) {
  QMap<QString, QByteArray> files;
  for (const QString& name : QDir(folder).entryList(QDir::Files))
    files[name] = ReadFile(folder + u'/' + name);
  return files;
}

QString PhotoPath(int n) {
  return Folder().PhotoFolder() + QStringLiteral("/p%1.png").arg(n, 2, 10, QChar(u'0'));
}

}  // namespace

class MainWindowBatchTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void DeletingTheMiddleEntryKeepsTheOthersEdits() {
    Harness h(Folder());
    h.AddEntry(1, "FlatButton14");  // quarter turn clockwise
    QCOMPARE(h.Page(), MainWindow::kBatchPage);
    h.AddEntry(2, "FlatButton13");  // mirror
    h.AddEntry(3, "FlatButton16");  // quarter turn counter-clockwise
    QCOMPARE(h.List()->topLevelItemCount(), 3);
    QCOMPARE(h.Text(2, 0), QStringLiteral("p03.png"));
    QCOMPARE(h.Text(2, 1), h.window->Templates()->Rows()[0].caption);
    QCOMPARE(h.Text(2, 2), QStringLiteral("90x60"));
    h.Select({1});
    h.Click(QStringLiteral("FlatButton10"));
    QCOMPARE(h.List()->topLevelItemCount(), 2);
    h.Select({1});
    h.Click(QStringLiteral("BatchEditButton"));
    QCOMPARE(h.Page(), MainWindow::kSinglPage);
    QCOMPARE(h.window->State().edit.photo_path, PhotoPath(3));
    QCOMPARE(h.window->State().edit.rotate_flip.count, 1);
    QCOMPARE(h.window->State().edit.rotate_flip.codes[0], GeometricEdit::TurnCounterClockwise);
    // Turned a quarter: the working photo stands upright.
    QCOMPARE(h.window->State().working_photo.size(), QSize(208, 313));
    QCOMPARE(h.window->State().edit.photo_width, 60);
    QVERIFY(h.window->BatchUpdateMode());
  }

  void SeveralPhotosWithOneTemplate() {
    Harness h(Folder());
    h.AddSeveral({0, 1, 2, 3, 4}, true);
    QCOMPARE(h.dialogs.questions, QStringList{QStringLiteral("Add to batch box?")});
    QCOMPARE(h.Store().Count(), 5);
    QCOMPARE(h.Page(), MainWindow::kBatchPage);
    const QString templ = h.window->Templates()->Rows()[0].path;
    FrameStyle style;
    ReadFrameStyle(Folder().CategoryFolder(QStringLiteral("A")) + QStringLiteral("/t01.ini"), style);
    for (int i = 0; i < 5; ++i) {
      QCOMPARE(h.Store().At(i), [&] {
        BatchEntry e = NeutralBatchEntry(PhotoPath(i + 1), templ, style);
        e.frame_name = h.window->Templates()->Rows()[0].caption;
        e.size_text = QStringLiteral("90x60");
        return e;
      }());
    }
    QVERIFY(h.window->Photos()->SelectedRows().isEmpty());
    QCOMPARE(h.window->Templates()->SelectedIndex(), -1);
    // No: nothing is added and the template is not taken.
    h.AddSeveral({0, 1}, false);
    QCOMPARE(h.Store().Count(), 5);
    QCOMPARE(h.window->Templates()->SelectedIndex(), -1);
    QVERIFY(h.window->State().edit.template_path.isEmpty());
  }

  void EditAnotherPhotoAndUpdate() {
    Harness h(Folder());
    h.AddEntry(1);
    h.AddEntry(2);
    h.Select({1});
    h.Click(QStringLiteral("BatchEditButton"));
    QCOMPARE(h.Find<QPushButton>(QStringLiteral("Batch"))->text(), QStringLiteral("Updata"));
    h.Click(QStringLiteral("Hot7"));  // wide.png, 600 x 400
    QCOMPARE(h.Text(1, 0), QStringLiteral("wide.png"));
    QCOMPARE(h.Text(1, 2), QStringLiteral("600x400"));
    h.Click(QStringLiteral("FlatButton14"));
    h.Click(QStringLiteral("Batch"));
    QCOMPARE(h.Store().Count(), 2);
    QCOMPARE(h.Store().At(1).edit.photo_path, Folder().PhotoFolder() + QStringLiteral("/wide.png"));
    QCOMPARE(h.Store().At(1).edit.rotate_flip.count, 1);
    QCOMPARE(h.Store().At(0).edit.photo_path, PhotoPath(1));
    // Update mode ends once the entry is stored.
    QCOMPARE(h.Find<QPushButton>(QStringLiteral("Batch"))->text(), QStringLiteral("Add Batch"));
    QVERIFY(!h.window->BatchUpdateMode());
  }

  void ClickLoadsTheEntryAndTemplateClickRetemplates() {
    Harness h(Folder());
    h.AddEntry(1, "FlatButton14");
    h.AddEntry(2);
    h.Select({0});
    QTest::mouseClick(h.List()->viewport(), Qt::LeftButton, {},
                      h.List()->visualItemRect(h.List()->topLevelItem(0)).center());
    QCOMPARE(h.Store().Current(), 0);
    QCOMPARE(h.window->State().edit.rotate_flip.count, 1);
    // On the Batch page a template click goes to the first selected entry, style included.
    h.Click(QStringLiteral("Hot53"));
    QCOMPARE(h.Text(0, 1), h.window->Templates()->Rows()[2].caption);
    QCOMPARE(h.Store().At(0).style.back_size, 3 + 3);
    QCOMPARE(h.Store().At(1).style.back_size, 3 + 1);
  }

  void InPlaceRename() {
    Harness h(Folder());
    h.AddEntry(1);
    QTreeWidgetItem* item = h.List()->topLevelItem(0);
    item->setText(0, QStringLiteral("Ålesund.jpg"));
    QCOMPARE(h.Store().At(0).output_name, QStringLiteral("Ålesund.jpg"));
    for (const QString& bad : {QString(), QStringLiteral("../up.jpg"), QStringLiteral("a/b.jpg")}) {
      item->setText(0, bad);
      QCOMPARE(h.Store().At(0).output_name, QStringLiteral("Ålesund.jpg"));
      QCOMPARE(item->text(0), QStringLiteral("Ålesund.jpg"));
    }
    QCOMPARE(h.dialogs.notices.size(), 3);

    // A second, slow click on the selected row edits its output name, and only that column.
    h.AddEntry(2);
    const auto click_column = [&](int row, int column) {
      const QRect cell = h.List()->visualRect(h.List()->model()->index(row, column));
      QTest::mouseClick(h.List()->viewport(), Qt::LeftButton, {}, cell.center());
    };
    h.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
    click_column(1, 0);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    click_column(1, 0);
    QTRY_VERIFY(h.List()->findChild<QLineEdit*>() != nullptr &&
                h.List()->findChild<QLineEdit*>()->isVisible());
    QCOMPARE(h.List()->currentIndex().column(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    click_column(1, 1);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QVERIFY(h.List()->findChild<QLineEdit*>() == nullptr || !h.List()->findChild<QLineEdit*>()->isVisible());
  }

  void RenameSeries() {
    Harness h(Folder());
    h.AddSeveral({0, 1, 2, 3}, true);
    h.Select({1, 2, 3});
    bool checked = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = h.window->findChild<QDialog*>(QStringLiteral("TForm2"));
      QVERIFY(dialog && dialog->isVisible());
      QCOMPARE(dialog->size(), QSize(335, 391));
      auto* list = dialog->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
      QCOMPARE(list->topLevelItemCount(), 3);
      QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("p02.png"));
      QCOMPARE(list->topLevelItem(2)->text(1), QStringLiteral("0003.jpg"));
      dialog->findChild<QSpinBox*>(QStringLiteral("UpDown1"))->setValue(9);
      QCOMPARE(list->topLevelItem(2)->text(1), QStringLiteral("0011.jpg"));
      // A name that an unselected row already has is refused; the dialog stays.
      dialog->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setEditText(QStringLiteral("p0#.png"));
      dialog->findChild<QSpinBox*>(QStringLiteral("UpDown1"))->setValue(1);
      QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("OkButton")), Qt::LeftButton);
      QVERIFY(dialog->isVisible());
      QCOMPARE(h.dialogs.notices.last(), QStringLiteral("Two rows would be written as \"p01.png\"."));
      dialog->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setEditText(QStringLiteral("IMG_##.png"));
      dialog->findChild<QSpinBox*>(QStringLiteral("UpDown1"))->setValue(99);
      QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("OkButton")), Qt::LeftButton);
      checked = true;
    });
    h.Click(QStringLiteral("FlatButton12"));
    QVERIFY(checked);
    QStringList names;
    for (const BatchEntry& e : h.Store().Entries()) names << e.output_name;
    QCOMPARE(names, (QStringList{"p01.png", "IMG_99.png", "IMG_100.png", "IMG_101.png"}));
    // Cancel changes nothing.
    QTimer::singleShot(0, [&] {
      auto* dialog = h.window->findChild<QDialog*>(QStringLiteral("TForm2"));
      dialog->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setEditText(QStringLiteral("x#.jpg"));
      QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("CancelButton")), Qt::LeftButton);
    });
    h.Click(QStringLiteral("FlatButton12"));
    QCOMPARE(h.Store().At(1).output_name, QStringLiteral("IMG_99.png"));
  }

  void BatchSave_data() {
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QStringList>("captions");  // empty: the photos' names
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QList<int>>("left_selected");
    const QStringList all{"p01.png", "p02.png", "p03.png", "p04.png", "p05.png"};
    QTest::newRow("none selected: all")
        << QList<int>{} << QStringList{} << QStringList{} << QList<bool>{} << all << 0 << QList<int>{};
    QTest::newRow("rows 2 and 3") << QList<int>{1, 2} << QStringList{} << QStringList{} << QList<bool>{}
                                  << QStringList{"p02.png", "p03.png"} << 0 << QList<int>{};
    QTest::newRow("same caption twice asks once")
        << QList<int>{} << QStringList{"a.png", "b.png", "a.png", "c.png", "d.png"} << QStringList{}
        << QList<bool>{true} << QStringList{"a.png", "b.png", "c.png", "d.png"} << 1 << QList<int>{};
    QTest::newRow("No keeps the old file") << QList<int>{} << QStringList{} << QStringList{"p02.png"}
                                           << QList<bool>{false} << all << 1 << QList<int>{};
  }
  void BatchSave() {
    QFETCH(QList<int>, selected);
    QFETCH(QStringList, captions);
    QFETCH(QStringList, existing);
    QFETCH(QList<bool>, answers);
    QFETCH(QStringList, written);
    QFETCH(int, questions);
    QFETCH(QList<int>, left_selected);
    Harness h(Folder());
    h.AddSeveral({0, 1, 2, 3, 4}, true);
    for (qsizetype i = 0; i < captions.size(); ++i)
      h.List()->topLevelItem(static_cast<int>(i))->setText(0, captions[i]);
    QTemporaryDir out;
    for (const QString& name : existing) QVERIFY(WriteFile(out.filePath(name), "old"));
    h.Select(selected);
    h.dialogs.questions.clear();
    h.dialogs.answers = answers;
    h.dialogs.folders = {out.path()};
    h.Click(QStringLiteral("BatchSave"));
    QCOMPARE(h.dialogs.folder_titles, QStringList{QStringLiteral("Please choose directory")});
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), written);
    QCOMPARE(h.dialogs.warnings.size(), questions);
    // The question names the file on a line of its own.
    for (const QString& q : h.dialogs.warnings) {
      QVERIFY2(
          q.startsWith(QStringLiteral("Are you sure you want to cover this file?\n") + out.path() + u'/'),
          qPrintable(q));
      QCOMPARE(q.count(u'\n'), 1);
    }
    for (const QString& name : existing)
      if (!answers.value(0, true)) QCOMPARE(ReadFile(out.filePath(name)), QByteArray("old"));
    QCOMPARE(h.window->Batch()->SelectedRows(), left_selected);
    QVERIFY2(h.dialogs.notices.last().startsWith(QStringLiteral("Batch save: ")),
             qPrintable(h.dialogs.notices.last()));
    // The written files are whole pictures of the photo's size.
    for (const QString& name : QDir(out.path()).entryList(QDir::Files))
      if (!existing.contains(name)) QCOMPARE(QImage(out.filePath(name)).size(), QSize(90, 60));
  }

  void SaveOnTheBatchPageSavesOneSelectedEntry() {
    Harness h(Folder());
    h.AddSeveral({0, 1, 2}, true);
    QTemporaryDir out;
    h.Select({0, 2});
    h.Find<QWidget>(QStringLiteral("SaveButton"))->show();
    h.Click(QStringLiteral("SaveButton"));
    QVERIFY(h.dialogs.folder_titles.isEmpty());  // two selected: nothing
    h.Select({2});
    h.dialogs.folders = {out.path()};
    h.Click(QStringLiteral("SaveButton"));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{"p03.png"});
  }

  void DoubleClickEditsTheEntry() {
    Harness h(Folder());
    h.AddEntry(1);
    h.AddEntry(2, "FlatButton13");
    QTreeWidgetItem* item = h.List()->topLevelItem(1);
    h.Select({1});
    const QPoint at = h.List()->visualItemRect(item).center();
    // A double click is a press and release, then the second press.
    QTest::mouseClick(h.List()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(h.List()->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(h.Page(), MainWindow::kSinglPage);
    QVERIFY(h.window->BatchUpdateMode());
    QCOMPARE(h.window->State().edit.photo_path, PhotoPath(2));
    QCOMPARE(h.window->State().edit.mirror_switch, 0);
    QTRY_COMPARE(h.window->State().display_mode, DisplayMode::Normal);
  }

  void BatchSaveWithoutFolderWritesNothing() {
    Harness h(Folder());
    h.AddEntry(1);
    h.Click(QStringLiteral("BatchSave"));
    QCOMPARE(h.dialogs.folder_titles.size(), 1);
    QVERIFY(h.dialogs.notices.isEmpty());
  }

  // Four photos, each given its own turn, tone and caption in the editor and added one after
  // another (New between them), with the shipped templates: the window's Batch save, the saved list
  // run by `lumisto batch`, the list opened again and batch saved, all write what `lumisto render`
  // writes of each entry; `batch add` then `batch` writes what `render` writes without edits.
  void FourEditedEntriesGiveTheSameFilesEveryWay() {
    Harness h(ShippedFolder());
    QTemporaryDir work;
    const QString work_path = work.path();
    struct Made {
      QString photo, templ;
      QStringList flags;  // the render command's flags for the same edits
    };
    QList<Made> made;
    const QStringList turns[] = {
        {"FlatButton14"}, {"FlatButton13"}, {"FlatButton16"}, {"FlatButton14", "FlatButton14"}};
    const QStringList turn_flags[] = {{"--cw"}, {"--mirror"}, {"--ccw"}, {"--cw", "--cw"}};
    for (int i = 0; i < 4; ++i) {
      if (i > 0) {
        h.Click(QStringLiteral("BatchNewButton"));
        QCOMPARE(h.Page(), MainWindow::kSinglPage);
        QVERIFY(!h.window->BatchUpdateMode());
        QVERIFY(h.window->Batch()->SelectedRows().isEmpty());
      }
      h.Click(QStringLiteral("Hot%1").arg(i + 1));
      h.Click(QStringLiteral("Hot%1").arg(51 + i));
      for (const QString& turn : turns[i]) h.Click(turn);
      DragKnob(h.Find(QStringLiteral("B1")), 4 * i - 6);
      DragKnob(h.Find(QStringLiteral("B3")), 10 - 3 * i);
      h.Click(QStringLiteral("FlatButton20"));
      QTest::keyClicks(h.Find(QStringLiteral("Memo1")), QStringLiteral("Entry %1").arg(i + 1));
      h.Click(QStringLiteral("FlatButton19"));
      const EditState& e = h.window->State().edit;
      const QString knobs = QStringLiteral("%1,%2,%3")
                                .arg(h.Find(QStringLiteral("B1"))->x())
                                .arg(h.Find(QStringLiteral("B2"))->x())
                                .arg(h.Find(QStringLiteral("B3"))->x());
      made.append(
          {e.photo_path, e.template_path,
           turn_flags[i] +
               QStringList{"--knobs", knobs, "--caption", e.caption.text, "--caption-at",
                           QStringLiteral("%1,%2").arg(e.caption.position.x()).arg(e.caption.position.y())}});
      h.Click(QStringLiteral("Batch"));
      QCOMPARE(h.Page(), MainWindow::kBatchPage);
      QCOMPARE(h.Store().Count(), i + 1);
      // The row names what the entry holds.
      QCOMPARE(h.Text(i, 0), QFileInfo(e.photo_path).fileName());
      QCOMPARE(h.Text(i, 1), h.window->Templates()->Rows()[i].caption);
      QCOMPARE(h.Text(i, 2), QStringLiteral("480x320"));
    }
    QVERIFY2(h.dialogs.errors.isEmpty(), qPrintable(h.dialogs.errors.join(u'\n')));

    const QString job = work_path + QStringLiteral("/job.ini");
    h.dialogs.job_files = {job};
    h.window->Batch()->SaveList();
    for (const char* folder : {"window", "reopened"}) QVERIFY(QDir(work_path).mkpath(QLatin1String(folder)));
    h.dialogs.folders = {work_path + QStringLiteral("/window")};
    h.Click(QStringLiteral("BatchSave"));
    const auto command = RunLumisto({"batch", job, "--out", work_path + QStringLiteral("/command")});
    QVERIFY2(command.exit_code == 0, command.err.constData());
    Harness reopened(ShippedFolder());
    reopened.dialogs.job_files = {job};
    reopened.window->Batch()->OpenList();
    QCOMPARE(reopened.Store().Count(), 4);
    reopened.dialogs.folders = {work_path + QStringLiteral("/reopened")};
    reopened.Click(QStringLiteral("BatchSave"));
    QCOMPARE(reopened.dialogs.notices.last(), QStringLiteral("Batch save: 4 written, 0 skipped, 0 failed."));
    QCOMPARE(h.dialogs.notices.last(), QStringLiteral("Batch save: 4 written, 0 skipped, 0 failed."));
    const QString added_job = work_path + QStringLiteral("/added.ini");
    for (const Made& m : made)
      QCOMPARE(RunLumisto({"batch", "add", added_job, "--template", m.templ, m.photo}).exit_code, 0);
    QCOMPARE(RunLumisto({"batch", added_job, "--out", work_path + QStringLiteral("/added")}).exit_code, 0);

    for (const Made& m : made) {
      const QString name = QFileInfo(m.photo).fileName();
      const QString single = work_path + QStringLiteral("/single-") + name;
      const auto render = RunLumisto(QStringList{"render", m.photo, m.templ, single} + m.flags);
      QVERIFY2(render.exit_code == 0, render.err.constData());
      const QString plain = work_path + QStringLiteral("/plain-") + name;
      QCOMPARE(RunLumisto({"render", m.photo, m.templ, plain}).exit_code, 0);
      const QByteArray expected = ReadFile(single);
      QVERIFY(!expected.isEmpty());
      for (const char* way : {"window", "command", "reopened"})
        QVERIFY2(ReadFile(work_path + u'/' + QLatin1String(way) + u'/' + name) == expected,
                 qPrintable(QStringLiteral("%1 differs in %2").arg(name, QLatin1String(way))));
      QVERIFY2(ReadFile(work_path + QStringLiteral("/added/") + name) == ReadFile(plain), qPrintable(name));
    }
    // The frames follow the photo: a shipped template's band is wider than its preview pixels.
    QVERIFY(ReadFile(work_path + QStringLiteral("/window/p01.png")) !=
            ReadFile(work_path + QStringLiteral("/plain-p01.png")));
  }

  // Edit ties the editor to a row; Updata stores into it, names its new template in the Frame
  // column and ends update mode, so the next Add Batch appends again.
  void UpdataEndsUpdateModeAndRenamesTheRow() {
    Harness h(Folder());
    h.AddEntry(1);
    h.Select({0});
    h.Click(QStringLiteral("BatchEditButton"));
    QVERIFY(h.window->BatchUpdateMode());
    h.Click(QStringLiteral("Hot52"));  // another template on the Singl page
    h.Click(QStringLiteral("Batch"));
    QVERIFY(!h.window->BatchUpdateMode());
    QCOMPARE(h.Store().Count(), 1);
    QCOMPARE(h.Text(0, 1), h.window->Templates()->Rows()[1].caption);
    QCOMPARE(h.Store().At(0).edit.template_path, h.window->Templates()->Rows()[1].path);
    QCOMPARE(h.Store().At(0).style.back_size, 3 + 2);
    // New: back to the editor, nothing selected, and the next Add Batch appends.
    h.Click(QStringLiteral("BatchNewButton"));
    QCOMPARE(h.Store().Current(), -1);
    h.AddEntry(3);
    QCOMPARE(h.Store().Count(), 2);
    QCOMPARE(h.Store().At(0).edit.photo_path, PhotoPath(1));
  }

  // A plain click inside a selection of several rows selects that row alone and edits nothing, so
  // a following Delete removes that one entry.
  void ClickInsideASelectionSelectsOneRow() {
    Harness h(Folder());
    h.AddSeveral({0, 1, 2, 3}, true);
    h.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
    h.Select({0, 1, 2});
    const QRect cell = h.List()->visualRect(h.List()->model()->index(1, 0));
    QTest::mouseClick(h.List()->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QCOMPARE(h.window->Batch()->SelectedRows(), QList<int>{1});
    QVERIFY(h.List()->findChild<QLineEdit*>() == nullptr || !h.List()->findChild<QLineEdit*>()->isVisible());
    h.Click(QStringLiteral("FlatButton10"));
    QCOMPARE(h.Store().Count(), 3);
    QCOMPARE(h.Store().At(1).edit.photo_path, PhotoPath(3));
  }

  // An output that is a photo or template of the list is refused before anything is written.
  void BatchSaveNeverReplacesAnInput_data() {
    QTest::addColumn<QString>("folder");   // "photos" or "templates"
    QTest::addColumn<QString>("caption");  // output name of row 1, empty: the photo's own
    QTest::addColumn<QString>("named");
    QTest::newRow("its own photo") << "photos" << QString() << "is the photo of its own entry 1";
    QTest::newRow("another entry's photo") << "photos"
                                           << "p02.png"
                                           << "is the photo of entry 2";
    QTest::newRow("a template's picture") << "templates"
                                          << "t01.jpg"
                                          << "template";
    QTest::newRow("a template's settings") << "templates"
                                           << "t01.ini"
                                           << "template";
  }
  void BatchSaveNeverReplacesAnInput() {
    QFETCH(QString, folder);
    QFETCH(QString, caption);
    QFETCH(QString, named);
    AppFolderFixture own;
    own.WriteConfig(QStringLiteral("A"));
    own.AddPhotos(3, QSize(30, 20));
    own.AddTemplates(QStringLiteral("A"), 1);
    Harness h(own);
    h.AddSeveral({0, 1, 2}, true);
    if (!caption.isEmpty()) h.List()->topLevelItem(0)->setText(0, caption);
    const QString out =
        folder == QLatin1String("photos") ? own.PhotoFolder() : own.CategoryFolder(QStringLiteral("A"));
    const QMap<QString, QByteArray> before = FilesIn(out);
    h.dialogs.answers = {true, true, true};
    h.dialogs.folders = {out};
    h.Click(QStringLiteral("BatchSave"));
    QVERIFY(h.dialogs.warnings.isEmpty());
    QVERIFY2(h.dialogs.notices.last().startsWith(QStringLiteral("Nothing was written")) &&
                 h.dialogs.notices.last().contains(named),
             qPrintable(h.dialogs.notices.last()));
    QCOMPARE(FilesIn(out), before);
  }

  // Closing the window with entries asks first: No keeps the window and its list.
  void ClosingWithEntriesAsks() {
    Harness h(Folder());
    h.window->show();
    h.AddEntry(1);
    h.dialogs.questions.clear();
    h.dialogs.answers = {false};
    QVERIFY(!h.window->close());
    QVERIFY(h.window->isVisible());
    QCOMPARE(h.dialogs.questions.size(), 1);
    QVERIFY2(h.dialogs.questions[0].contains(QStringLiteral("1 entry")), qPrintable(h.dialogs.questions[0]));
    QCOMPARE(h.Store().Count(), 1);
    h.dialogs.answers = {true};
    QVERIFY(h.window->close());
    // An empty list closes without a word.
    Harness empty(Folder());
    empty.window->show();
    QVERIFY(empty.window->close());
    QVERIFY(empty.dialogs.questions.isEmpty());
  }

  void SavedListRendersTheSameFilesOnTheCommandLine() {
    Harness h(Folder());
    h.AddEntry(1, "FlatButton14");
    h.AddEntry(2, "FlatButton13");
    h.AddEntry(7, "FlatButton16");
    QTemporaryDir work;
    const QString job = work.filePath(QStringLiteral("job.ini"));
    h.dialogs.job_files = {job};
    h.window->Batch()->SaveList();
    h.dialogs.folders = {work.filePath(QStringLiteral("window"))};
    QVERIFY(QDir().mkpath(work.filePath(QStringLiteral("window"))));
    h.Click(QStringLiteral("BatchSave"));
    const auto result = RunLumisto({"batch", job, "--out", work.filePath(QStringLiteral("command"))});
    QVERIFY2(result.exit_code == 0, result.err.constData());
    const QStringList names{"p01.png", "p02.png", "wide.png"};
    QCOMPARE(QDir(work.filePath(QStringLiteral("command"))).entryList(QDir::Files), names);
    for (const QString& name : names)
      QCOMPARE(ReadFile(work.filePath(QStringLiteral("command/") + name)),
               ReadFile(work.filePath(QStringLiteral("window/") + name)));
    QCOMPARE(QImage(work.filePath(QStringLiteral("window/p01.png"))).size(), QSize(60, 90));

    // Opened again, the list is the same; a photo that is gone marks its row.
    Harness other(Folder());
    QVERIFY(WriteFile(job, ReadFile(job).replace("p02.png", "gone.png")));
    other.dialogs.job_files = {job};
    other.window->Batch()->OpenList();
    QCOMPARE(other.Store().Count(), 3);
    QCOMPARE(other.Store().At(0), h.Store().At(0));
    QCOMPARE(other.List()->topLevelItem(1)->toolTip(0), QStringLiteral("photo missing"));
    QVERIFY(other.List()->topLevelItem(0)->toolTip(0).isEmpty());
  }
};

QTEST_MAIN(MainWindowBatchTest)
#include "main_window_batch_test.moc"
