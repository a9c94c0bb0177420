// The photo grid in the main window: pages, blank cells, counters, list view, Open and Delete.
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

#include "app/main_window.h"
#include "app/preview_widget.h"
#include "base/config.h"
#include "base/ini_file.h"
#include "browse/thumbnail_page.h"
#include "sources/photo_grid_widget.h"
#include "support/app_folder_fixture.h"
#include "support/scripted_dialogs.h"

using testing_support::AppFolderFixture;
using testing_support::ScriptedDialogs;

namespace {

struct Harness {
  explicit Harness(const AppFolderFixture& folder)
      : config(folder.Path()),
        cache(folder.Path() + QStringLiteral("/thumbs")),
        window(std::make_unique<MainWindow>(config, dialogs, cache, 1)) {}

  template <typename T = QWidget>
  T* Find(const QString& name) const {
    T* widget = window->findChild<T*>(name);
    if (!widget) qFatal("no control named %s", qPrintable(name));
    return widget;
  }
  QString Counter() const { return Find<QLabel>(QStringLiteral("Label8"))->text(); }
  void ClickCell(int number) const {
    QTest::mouseClick(Find(QStringLiteral("Hot%1").arg(number)), Qt::LeftButton);
  }
  void Click(const QString& name) const { QTest::mouseClick(Find(name), Qt::LeftButton); }
  // Open, then "Photo folder..." in its menu.
  void OpenFolder() const {
    Click(QStringLiteral("PhotoOpenButton"));
    QMenu* menu = window->Photos()->SourceMenu();
    if (!menu->isVisible()) qFatal("Open shows no menu");
    menu->findChild<QAction*>(QStringLiteral("DirItem"))->trigger();
    menu->hide();
  }
  bool CellEnabled(int number) const { return Find(QStringLiteral("Image%1").arg(number))->isEnabled(); }
  // What the cell shows on screen (a disabled cell must still look white, not greyed).
  QRgb CellCentre(int number) const { return CellImage(number).pixel(35, 35); }
  QImage CellImage(int number) const {
    return Find(QStringLiteral("Image%1").arg(number))
        ->grab()
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
  }
  // Waits until the thumbnails of the page and of the page read ahead are all prepared.
  bool Settled() const {
    return QTest::qWaitFor([this] { return !window->Photos()->ThumbnailsPending(); }, 5000);
  }

  Config config;
  ScriptedDialogs dialogs;
  ThumbnailCache cache;
  std::unique_ptr<MainWindow> window;
};

}  // namespace

class PhotoGridTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void PagesOfEightAndNine_data() {
    QTest::addColumn<int>("photos");
    QTest::addColumn<int>("page_after_down");
    QTest::addColumn<int>("enabled_after_down");
    QTest::newRow("eight: one page, Down changes nothing") << 8 << 0 << 8;
    QTest::newRow("nine: page 1 holds one") << 9 << 1 << 1;
  }
  void PagesOfEightAndNine() {
    QFETCH(int, photos);
    QFETCH(int, page_after_down);
    QFETCH(int, enabled_after_down);
    AppFolderFixture folder;
    folder.AddPhotos(photos);
    Harness h(folder);
    QCOMPARE(h.Counter(), QString::number(photos));
    for (int cell = 1; cell <= 8; ++cell) QVERIFY(h.CellEnabled(cell));
    QTRY_COMPARE(h.CellCentre(1), testing_support::PhotoColour(1).rgb());

    // The next page was read ahead: Down shows it whole at once.
    QVERIFY(h.Settled());
    h.Click(QStringLiteral("PhotoDownButton"));
    QCOMPARE(h.window->Photos()->CellsWaiting(), 0);
    QCOMPARE(h.window->Photos()->Page(), page_after_down);
    for (int cell = 1; cell <= 8; ++cell) QCOMPARE(h.CellEnabled(cell), cell <= enabled_after_down);
    QCOMPARE(h.CellCentre(1), testing_support::PhotoColour(page_after_down * 8 + 1).rgb());
    if (enabled_after_down < 8) QCOMPARE(h.CellCentre(8), qRgb(255, 255, 255));

    h.Click(QStringLiteral("PhotoUpButton"));
    QCOMPARE(h.window->Photos()->Page(), 0);
    h.Click(QStringLiteral("PhotoUpButton"));
    QCOMPARE(h.window->Photos()->Page(), 0);
  }

  void CellClickChoosesAndCounts() {
    AppFolderFixture folder;
    folder.AddPhotos(12);
    Harness h(folder);
    QVERIFY(!h.Find(QStringLiteral("Back1"))->isVisible());
    h.Click(QStringLiteral("PhotoDownButton"));
    h.ClickCell(1);  // photo 9 of 12
    QCOMPARE(h.Counter(), QStringLiteral("9/12"));
    QCOMPARE(h.window->State().edit.photo_path, folder.PhotoFolder() + QStringLiteral("/p09.png"));
    QCOMPARE(h.window->Photos()->SelectedIndex(), 8);
    // The selection frame rings the cell three pixels wide, centred on it like the hover frame.
    QCOMPARE(h.Find(QStringLiteral("Back1"))->geometry().adjusted(2, 2, -2, -2),
             QRect(h.Find(QStringLiteral("Hot1"))->pos(), QSize(72, 72)));
    QVERIFY(!h.Find(QStringLiteral("Back1"))->isHidden());
    QVERIFY(!h.window->Preview()->StartPictureVisible());
    // A blank cell does nothing at all.
    h.ClickCell(6);
    QCOMPARE(h.Counter(), QStringLiteral("9/12"));
    QCOMPARE(h.window->Photos()->SelectedIndex(), 8);
    // Paging hides the selection frame.
    h.Click(QStringLiteral("PhotoUpButton"));
    QVERIFY(h.Find(QStringLiteral("Back1"))->isHidden());
  }

  void WorkingPhotoFollowsTheFitRule() {
    AppFolderFixture folder;
    folder.AddPhoto(QStringLiteral("wide.png"), Qt::blue, QSize(600, 400));
    Harness h(folder);
    h.ClickCell(1);
    QCOMPARE(h.window->State().working_photo.size(), QSize(313, 208));
    QCOMPARE(h.window->State().edit.fit_factor, 600.0f / 315.0f);
    QCOMPARE(h.window->State().edit.photo_width, 600);
  }

  void UndecodablePhotoIsNotTaken() {
    AppFolderFixture folder;
    folder.AddPhotos(2);
    testing_support::WriteFile(folder.PhotoFolder() + QStringLiteral("/broken.jpg"), "no jpeg here");
    Harness h(folder);
    QTRY_COMPARE(h.CellImage(1), BrokenThumbnailCell());  // listed first (jpg), drawn as broken
    h.ClickCell(2);                                       // p01.png
    const EditState before = h.window->State().edit;
    h.ClickCell(1);
    QCOMPARE(h.dialogs.notices, QStringList({QStringLiteral("Unable to read broken.jpg")}));
    QCOMPARE(h.window->State().edit, before);
    QCOMPARE(h.window->Photos()->SelectedIndex(), 1);
    QCOMPARE(h.Counter(), QStringLiteral("2/3"));
  }

  void ListViewUpAndDownAtBothEnds() {
    AppFolderFixture folder;
    folder.AddPhotos(3);
    Harness h(folder);
    h.Click(QStringLiteral("PhotoViewButton"));
    QVERIFY(!h.Find(QStringLiteral("Panel3"))->isHidden());
    QVERIFY(!h.Find(QStringLiteral("Label4"))->isHidden());

    h.Click(QStringLiteral("PhotoUpButton"));  // none selected: nothing
    QCOMPARE(h.window->Photos()->SelectedIndex(), -1);
    h.Click(QStringLiteral("PhotoDownButton"));  // none selected: the first
    QCOMPARE(h.window->Photos()->SelectedIndex(), 0);
    QCOMPARE(h.Counter(), QStringLiteral("1/3"));
    h.Click(QStringLiteral("PhotoUpButton"));  // at the first: nothing
    QCOMPARE(h.window->Photos()->SelectedIndex(), 0);
    h.Click(QStringLiteral("PhotoDownButton"));
    h.Click(QStringLiteral("PhotoDownButton"));
    QCOMPARE(h.window->Photos()->SelectedIndex(), 2);
    QCOMPARE(h.window->State().edit.photo_path, folder.PhotoFolder() + QStringLiteral("/p03.png"));
    h.Click(QStringLiteral("PhotoDownButton"));  // at the last: nothing
    QCOMPARE(h.window->Photos()->SelectedIndex(), 2);
    QCOMPARE(h.window->Photos()->SelectedRows(), QList<int>({2}));
    h.Click(QStringLiteral("PhotoUpButton"));
    QCOMPARE(h.Counter(), QStringLiteral("2/3"));
    QCOMPARE(h.window->Photos()->Page(), 0);  // stepping never pages

    h.Click(QStringLiteral("PhotoViewButton"));
    QVERIFY(h.Find(QStringLiteral("Panel3"))->isHidden());
  }

  void ListClickChoosesOnlyASingleRow() {
    AppFolderFixture folder;
    folder.AddPhotos(4);
    Harness h(folder);
    h.Click(QStringLiteral("PhotoViewButton"));
    auto* list = h.Find<QTreeWidget>(QStringLiteral("ListView1"));
    QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    const QRect row1 = list->visualItemRect(list->topLevelItem(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row1.center());
    QCOMPARE(h.Counter(), QStringLiteral("2/4"));
    const QRect row3 = list->visualItemRect(list->topLevelItem(3));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, row3.center());
    QCOMPARE(h.window->Photos()->SelectedRows(), QList<int>({1, 3}));
    QCOMPARE(h.Counter(), QStringLiteral("2/4"));  // two rows: no choice
    // Back in thumbnail view only the current photo stays selected.
    h.Click(QStringLiteral("PhotoViewButton"));
    QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(h.window->Photos()->SelectedRows(), QList<int>({1}));
  }

  void DeleteSeveralRowsInListView() {
    AppFolderFixture folder;
    folder.AddPhotos(5);
    Harness h(folder);
    h.Click(QStringLiteral("PhotoViewButton"));
    auto* list = h.Find<QTreeWidget>(QStringLiteral("ListView1"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(0)).center());
    for (int row : {2, 4})
      QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                        list->visualItemRect(list->topLevelItem(row)).center());
    QCOMPARE(h.window->Photos()->SelectedRows(), QList<int>({0, 2, 4}));

    h.dialogs.answers = {false};
    h.Click(QStringLiteral("PhotoDeleteButton"));
    QCOMPARE(h.dialogs.questions, QStringList({QStringLiteral("Are you sure you want to delete it?")}));
    QCOMPARE(h.window->Photos()->Count(), 5);

    h.dialogs.answers = {true};
    h.Click(QStringLiteral("PhotoDeleteButton"));
    QCOMPARE(QDir(folder.PhotoFolder()).entryList(QDir::Files), QStringList({"p02.png", "p04.png"}));
    QCOMPARE(h.window->Photos()->Count(), 2);
    QCOMPARE(h.window->Photos()->SelectedIndex(), -1);
    QCOMPARE(h.Counter(), QStringLiteral("2"));
    QCOMPARE(h.Find<QLabel>(QStringLiteral("Label1"))->text(), QStringLiteral("2"));
    QVERIFY(!h.CellEnabled(3));
  }

  void DeleteWithNothingSelectedDoesNotAsk() {
    AppFolderFixture folder;
    folder.AddPhotos(2);
    Harness h(folder);
    h.dialogs.answers = {true};
    h.Click(QStringLiteral("PhotoDeleteButton"));
    QVERIFY(h.dialogs.questions.isEmpty());
    QCOMPARE(QDir(folder.PhotoFolder()).entryList(QDir::Files).size(), 2);
  }

  // Deleting the photo in the preview leaves nothing to save: the start picture comes back and
  // the output buttons go. Deleting another photo changes neither.
  void DeletingTheCurrentPhotoClearsThePreview_data() {
    QTest::addColumn<bool>("current");
    QTest::newRow("the current photo") << true;
    QTest::newRow("another photo") << false;
  }
  void DeletingTheCurrentPhotoClearsThePreview() {
    QFETCH(bool, current);
    AppFolderFixture folder;
    folder.WriteConfig(QStringLiteral("A"));
    folder.AddPhotos(3);
    folder.AddTemplates(QStringLiteral("A"), 1);
    Harness h(folder);
    h.ClickCell(2);
    QTest::mouseClick(h.Find(QStringLiteral("Hot51")), Qt::LeftButton);
    QVERIFY(!h.Find(QStringLiteral("SaveButton"))->isHidden());
    if (!current) {
      // In the list view: the other two photos selected, the current one not (two rows choose nothing).
      h.Click(QStringLiteral("PhotoViewButton"));
      auto* list = h.Find<QTreeWidget>(QStringLiteral("ListView1"));
      for (int row : {0, 2, 1})
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          list->visualItemRect(list->topLevelItem(row)).center());
      QCOMPARE(h.window->Photos()->SelectedRows(), QList<int>({0, 2}));
    }
    h.dialogs.answers = {true};
    h.Click(QStringLiteral("PhotoDeleteButton"));
    QCOMPARE(QFileInfo::exists(folder.PhotoFolder() + QStringLiteral("/p02.png")), !current);
    QCOMPARE(h.window->Preview()->StartPictureVisible(), current);
    QCOMPARE(h.Find(QStringLiteral("SaveButton"))->isHidden(), current);
    QCOMPARE(h.Find(QStringLiteral("EmailButton"))->isHidden(), current);
    QCOMPARE(h.window->State().edit.photo_path.isEmpty(), current);
  }

  // Turning the page while thumbnails load: the later page wins, and no thumbnail of the page
  // left is ever painted onto the new one.
  void PagingWhileThumbnailsLoad() {
    AppFolderFixture folder;
    folder.AddPhotos(24, QSize(900, 600));
    Harness h(folder);
    QCOMPARE(h.window->Photos()->CellsWaiting(), 8);  // the window is there before its thumbnails
    QCOMPARE(h.CellCentre(1), kPlaceholderColour);
    h.Click(QStringLiteral("PhotoDownButton"));
    h.Click(QStringLiteral("PhotoDownButton"));
    QCOMPARE(h.window->Photos()->Page(), 2);
    QCOMPARE(h.Counter(), QStringLiteral("24"));
    // Clicks work while the thumbnails load.
    h.ClickCell(3);
    QCOMPARE(h.Counter(), QStringLiteral("19/24"));
    QVERIFY(h.Settled());
    QCOMPARE(h.window->Photos()->CellsWaiting(), 0);
    for (int cell = 1; cell <= 8; ++cell)
      QCOMPARE(h.CellCentre(cell), testing_support::PhotoColour(16 + cell).rgb());
  }

  // An undecodable file shows the broken glyph, and the list its size as 0x0, even when its
  // header gave a size at the scan.
  void BrokenFileGlyphAndSize() {
    AppFolderFixture folder;
    folder.AddPhotos(1);
    const QByteArray header_only(
        "\xFF\xD8\xFF\xC0\x00\x11\x08\x0F\xA0\x17\x70\x03\x01\x22\x00\x02"
        "\x11\x01\x03\x11\x01\xFF\xD9",
        23);
    testing_support::WriteFile(folder.PhotoFolder() + QStringLiteral("/cut.jpg"), header_only);
    Harness h(folder);
    auto* list = h.Find<QTreeWidget>(QStringLiteral("ListView1"));
    QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("6000x4000"));  // from the header
    QTRY_COMPARE(h.CellImage(1), BrokenThumbnailCell());
    QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("0x0"));
    QVERIFY(h.CellEnabled(1));
    QCOMPARE(h.CellCentre(2), testing_support::PhotoColour(1).rgb());
    h.ClickCell(1);
    QCOMPARE(h.dialogs.notices, QStringList({QStringLiteral("Unable to read cut.jpg")}));
  }

  void EmptyFolderShowsAHint() {
    AppFolderFixture folder;
    Harness h(folder);
    auto* hint = h.Find<QLabel>(QStringLiteral("Panel3EmptyHint"));
    QVERIFY(!hint->isHidden());
    QCOMPARE(hint->text(), QStringLiteral("No photos in this folder"));
    QTemporaryDir other;
    QImage photo(30, 20, QImage::Format_RGB32);
    photo.fill(Qt::yellow);
    QVERIFY(photo.save(other.filePath(QStringLiteral("x.bmp"))));
    h.dialogs.folders = {other.path()};
    h.OpenFolder();
    QVERIFY(hint->isHidden());
  }

  void OpenRemembersOnlyAFolderWithPhotos() {
    AppFolderFixture folder;
    folder.AddPhotos(9);
    QTemporaryDir other;
    QImage photo(30, 20, QImage::Format_RGB32);
    photo.fill(Qt::yellow);
    QVERIFY(photo.save(other.filePath(QStringLiteral("x.bmp"))));
    QTemporaryDir empty;
    Harness h(folder);
    h.Click(QStringLiteral("PhotoDownButton"));

    h.dialogs.folders = {other.path()};
    h.OpenFolder();
    QCOMPARE(h.dialogs.folder_titles, QStringList({QStringLiteral("Please choose directory")}));
    QCOMPARE(h.window->Photos()->Page(), 0);
    QCOMPARE(h.Counter(), QStringLiteral("1"));
    QCOMPARE(h.config.PhotoFolder(), other.path());

    h.dialogs.folders = {empty.path()};
    h.OpenFolder();
    QCOMPARE(h.dialogs.notices, QStringList({QStringLiteral("No Image")}));
    QCOMPARE(h.config.PhotoFolder(), other.path());  // unchanged
    QVERIFY(!h.CellEnabled(1));

    h.OpenFolder();  // cancelled, the list is still empty
    QCOMPARE(h.dialogs.notices.size(), 2);
  }

  void ScrollButtonsStepElevenPixels() {
    AppFolderFixture folder;
    folder.AddPhotos(40);
    Harness h(folder);
    h.window->show();
    h.Click(QStringLiteral("PhotoViewButton"));
    QScrollBar* bar = h.Find<QTreeWidget>(QStringLiteral("ListView1"))->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 30);
    h.Click(QStringLiteral("FlatButton7"));
    QCOMPARE(bar->value(), 11);
    h.Click(QStringLiteral("FlatButton6"));
    QCOMPARE(bar->value(), 0);
    h.Click(QStringLiteral("FlatButton6"));  // at the top the list stays
    QCOMPARE(bar->value(), 0);

    // Holding the button runs the repeat timer until release.
    auto* timer = h.Find<QTimer>(QStringLiteral("Timer4"));
    QCOMPARE(timer->interval(), 60);
    QTest::mousePress(h.Find(QStringLiteral("FlatButton7")), Qt::LeftButton);
    QVERIFY(timer->isActive());
    QTRY_VERIFY(bar->value() >= 22);
    QTest::mouseRelease(h.Find(QStringLiteral("FlatButton7")), Qt::LeftButton);
    QVERIFY(!timer->isActive());
    QCOMPARE(bar->value() % 11, 0);
  }
};

QTEST_MAIN(PhotoGridTest)
#include "photo_grid_test.moc"
