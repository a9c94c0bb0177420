// The template grid in the main window: categories, choosing, captions, list view and Delete.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "app/main_window.h"
#include "app/preview_widget.h"
#include "base/config.h"
#include "styles/template_grid_widget.h"
#include "support/app_folder_fixture.h"
#include "support/scripted_dialogs.h"

using testing_support::AppFolderFixture;
using testing_support::ScriptedDialogs;

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
  QString Counter() const { return Find<QLabel>(QStringLiteral("Label9"))->text(); }
  void ClickCell(int number) const {
    QTest::mouseClick(Find(QStringLiteral("Hot%1").arg(number)), Qt::LeftButton);
  }
  void Click(const QString& name) const { QTest::mouseClick(Find(name), Qt::LeftButton); }
  bool CellEnabled(int number) const { return Find(QStringLiteral("Image%1").arg(number))->isEnabled(); }
  void ChooseCategory(int tag) const { Find<QAction>(QStringLiteral("Class%1").arg(tag))->trigger(); }
  TemplateGridWidget* Grid() const { return window->Templates(); }

  Config config;
  ScriptedDialogs dialogs;
  ThumbnailCache cache;
  std::unique_ptr<MainWindow> window;
};

}  // namespace

class TemplateGridTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void StartsWithCategoryOne() {
    AppFolderFixture folder;
    folder.WriteConfig(QStringLiteral("Frames A"));
    folder.AddTemplates(QStringLiteral("Frames A"), 9);
    Harness h(folder);
    QCOMPARE(h.Grid()->Category(), TemplateCategory::Texture);
    QCOMPARE(h.Counter(), QStringLiteral("9"));
    h.Click(QStringLiteral("FlatButton8"));
    QCOMPARE(h.Grid()->Page(), 1);
    QVERIFY(h.CellEnabled(51));
    for (int cell = 52; cell <= 58; ++cell) QVERIFY(!h.CellEnabled(cell));
    h.Click(QStringLiteral("FlatButton8"));
    QCOMPARE(h.Grid()->Page(), 1);
  }

  void ChoosingAppliesTheStyle() {
    AppFolderFixture folder;
    folder.WriteConfig(QStringLiteral("A"));
    folder.AddTemplates(QStringLiteral("A"), 12);
    Harness h(folder);
    h.ClickCell(55);  // template 5 of 12
    QCOMPARE(h.Counter(), QStringLiteral("5/12"));
    QCOMPARE(h.window->State().style.back_size, 8);
    QCOMPARE(h.window->State().edit.template_path,
             folder.CategoryFolder(QStringLiteral("A")) + QStringLiteral("/t05.jpg"));
    QVERIFY(!h.window->Preview()->StartPictureVisible());
    QVERIFY(!h.Find(QStringLiteral("Back2"))->isHidden());
    QVERIFY(h.dialogs.notices.isEmpty());
  }

  void CaptionsAndSharedSettings() {
    AppFolderFixture folder;
    folder.WriteConfig(QStringLiteral("A"));
    folder.AddTemplates(QStringLiteral("A"), 1);
    const QString base = folder.CategoryFolder(QStringLiteral("A"));
    QVERIFY(QFile::rename(base + QStringLiteral("/t01.jpg"), base + QStringLiteral("/Gold.jpg")));
    QVERIFY(QFile::rename(base + QStringLiteral("/t01.ini"), base + QStringLiteral("/Gold.ini")));
    QVERIFY(QFile::copy(base + QStringLiteral("/Gold.jpg"), base + QStringLiteral("/Gold.png")));
    Harness h(folder);
    auto* list = h.Find<QTreeWidget>(QStringLiteral("ListView2"));
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("Gold "));
    QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("Gold.png"));
    QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("70x70"));
    h.ClickCell(52);  // Gold.png reads Gold.ini
    QCOMPARE(h.window->State().style.back_size, 4);
    QVERIFY(h.dialogs.notices.isEmpty());
  }

  void PictureWithoutSettingsSaysNoFile() {
    AppFolderFixture folder;
    folder.WriteConfig(QStringLiteral("A"));
    folder.AddTemplates(QStringLiteral("A"), 2);
    QFile::remove(folder.CategoryFolder(QStringLiteral("A")) + QStringLiteral("/t02.ini"));
    Harness h(folder);
    h.ClickCell(51);
    const FrameStyle style = h.window->State().style;
    h.ClickCell(52);
    QCOMPARE(h.dialogs.notices, QStringList({QStringLiteral("no file")}));
    QCOMPARE(h.window->State().style, style);
    QCOMPARE(h.Counter(), QStringLiteral("2/2"));
  }

  void BrokenSettingsReachTheGeneralHandler() {
    AppFolderFixture folder;
    folder.WriteConfig(QStringLiteral("A"));
    folder.AddTemplates(QStringLiteral("A"), 1);
    testing_support::WriteFile(folder.CategoryFolder(QStringLiteral("A")) + QStringLiteral("/t01.ini"),
                               "[Frames]\nBlendOpacity=lots\n");
    Harness h(folder);
    h.ClickCell(51);
    QCOMPARE(h.dialogs.errors.size(), 1);
    QVERIFY(h.dialogs.errors.first().contains(QStringLiteral("lots")));
    // The window goes on working.
    h.ChooseCategory(1);
    QCOMPARE(h.Counter(), QStringLiteral("1"));
  }

  void CategoryMenuWithAMissingFolder() {
    AppFolderFixture folder;
    folder.WriteConfig(QStringLiteral("A"), QStringLiteral("Missing"));
    folder.AddTemplates(QStringLiteral("A"), 3);
    Harness h(folder);
    auto* menu = h.Find<QMenu>(QStringLiteral("PopupMenu1"));
    QStringList captions;
    for (QAction* item : menu->actions()) captions << item->text();
    QCOMPARE(captions, QStringList({"Texture", "Color", "Cool"}));

    h.ClickCell(51);
    const FrameStyle style = h.window->State().style;
    h.ChooseCategory(2);
    QCOMPARE(h.dialogs.notices, QStringList({QStringLiteral("No Image")}));
    QCOMPARE(h.Grid()->Category(), TemplateCategory::Color);
    QCOMPARE(h.Grid()->Count(), 0);
    QCOMPARE(h.Counter(), QStringLiteral("0"));
    for (int cell = 51; cell <= 58; ++cell) QVERIFY(!h.CellEnabled(cell));
    QVERIFY(h.Find(QStringLiteral("Back2"))->isHidden());
    QCOMPARE(h.window->State().style, style);

    h.ChooseCategory(1);
    QCOMPARE(h.Counter(), QStringLiteral("3"));
    QCOMPARE(h.Grid()->SelectedIndex(), -1);
  }

  void ListViewUpAndDown() {
    AppFolderFixture folder;
    folder.WriteConfig(QStringLiteral("A"));
    folder.AddTemplates(QStringLiteral("A"), 2);
    Harness h(folder);
    h.Click(QStringLiteral("TemplateViewButton"));
    QVERIFY(!h.Find(QStringLiteral("Panel4"))->isHidden());
    h.Click(QStringLiteral("FlatButton9"));  // Up with none selected
    QCOMPARE(h.Grid()->SelectedIndex(), -1);
    h.Click(QStringLiteral("FlatButton8"));
    QCOMPARE(h.Grid()->SelectedIndex(), 0);
    QCOMPARE(h.Counter(), QStringLiteral("1/2"));
    h.Click(QStringLiteral("FlatButton8"));
    h.Click(QStringLiteral("FlatButton8"));  // at the last: nothing
    QCOMPARE(h.Grid()->SelectedIndex(), 1);
    QCOMPARE(h.window->State().style.back_size, 5);
    h.Click(QStringLiteral("FlatButton9"));
    QCOMPARE(h.Counter(), QStringLiteral("1/2"));
  }

  void DeleteTakesCompanionsAndKeepsThePage() {
    AppFolderFixture folder;
    folder.WriteConfig(QStringLiteral("A"));
    folder.AddTemplates(QStringLiteral("A"), 9);
    const QString base = folder.CategoryFolder(QStringLiteral("A"));
    testing_support::WriteFile(base + QStringLiteral("/t09.lmz"), "x");
    Harness h(folder);
    h.Click(QStringLiteral("FlatButton11"));  // nothing selected: not even a question
    QVERIFY(h.dialogs.questions.isEmpty());

    h.Click(QStringLiteral("FlatButton8"));
    h.ClickCell(51);  // t09, the only one of page 1
    h.dialogs.answers = {true};
    h.Click(QStringLiteral("FlatButton11"));
    QCOMPARE(h.dialogs.questions, QStringList({QStringLiteral("Are you sure you want to delete it?")}));
    for (const char* gone : {"/t09.jpg", "/t09.ini", "/t09.lmz"})
      QVERIFY(!QFile::exists(base + QLatin1String(gone)));
    QCOMPARE(h.Grid()->Count(), 8);
    QCOMPARE(h.Grid()->Page(), 1);  // the emptied page stays until Up
    QVERIFY(!h.CellEnabled(51));
    h.Click(QStringLiteral("FlatButton9"));
    QVERIFY(h.CellEnabled(58));
  }
};

QTEST_MAIN(TemplateGridTest)
#include "template_grid_test.moc"
