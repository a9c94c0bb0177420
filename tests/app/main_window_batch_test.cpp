// The batch list in the window: adding one and several entries, editing and updating an entry,
// deleting, renaming, batch save with its questions, and a saved list rendered by the command line.
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
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
#include "support/dialog_script.h"
#include "support/scripted_dialogs.h"
#include "support/test_support.h"

using testing_support::AppFolderFixture;
using testing_support::DialogScript;
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
    const DialogScript rename(QStringLiteral("TForm2"), [&](QDialog* dialog) {
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
    END_DIALOG_SCRIPT(rename);
    QVERIFY(checked);
    QStringList names;
    for (const BatchEntry& e : h.Store().Entries()) names << e.output_name;
    QCOMPARE(names, (QStringList{"p01.png", "IMG_99.png", "IMG_100.png", "IMG_101.png"}));
    // Cancel changes nothing.
    const DialogScript cancel(QStringLiteral("TForm2"), [](QDialog* dialog) {
      dialog->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setEditText(QStringLiteral("x#.jpg"));
      QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("CancelButton")), Qt::LeftButton);
    });
    h.Click(QStringLiteral("FlatButton12"));
    END_DIALOG_SCRIPT(cancel);
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
    for (const QString& q : h.dialogs.warnings)
      QCOMPARE(q, QStringLiteral("Are you sure you want to cover this file?"));
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
