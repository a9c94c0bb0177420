// New templates from the style editor, and the texture palette it opens.
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "styles/new_style_dialog.h"
#include "styles/style_editor_harness.h"
#include "styles/texture_picker_widget.h"
#include "support/test_support.h"

using testing_support::BandStyle;
using testing_support::Harness;
using testing_support::kCategory;
using testing_support::ReadFile;

namespace {

// Types name into the new style dialog and presses OK, the editor's working style being stored.
void NewStyle(Harness& h, const QString& name) {
  NewStyleDialog* dialog = h.Editor()->NewStyle();
  QTimer::singleShot(0, dialog, [dialog, name] {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("Edit1"));
    edit->setText(name);
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Button6")), Qt::LeftButton);
    if (dialog->isVisible()) dialog->reject();
  });
  h.Click(QStringLiteral("Button3"));
}

QString Folder(const Harness& h) { return h.folder.CategoryFolder(kCategory); }

}  // namespace

class NewStyleTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void NinthTemplateLandsOnPageOneCellZero() {
    Harness h(8, 2);
    QCOMPARE(h.Find<QLineEdit>("Edit1")->text(), QString("New Styles"));
    h.Type("FrameSize", "11");
    NewStyle(h, "Ninth");
    QVERIFY(h.dialogs.errors.isEmpty());
    TemplateGridWidget* grid = h.window->Templates();
    QCOMPARE(grid->Count(), 9);
    QCOMPARE(grid->SelectedIndex(), 8);
    QCOMPARE(grid->Page(), 1);
    QCOMPARE(grid->CurrentGridCell(), 0);
    QCOMPARE(grid->CellPath(0), Folder(h) + "/Ninth.jpg");
    QVERIFY(!h.Find("Back2")->isVisible());
    QCOMPARE(grid->ListView()->topLevelItem(8)->text(0), QString("Ninth"));
    QCOMPARE(h.window->State().edit.template_path, Folder(h) + "/Ninth.jpg");
    FrameStyle stored;
    ReadFrameStyle(Folder(h) + "/Ninth.ini", stored);
    QCOMPARE(stored, h.Editor()->WorkingStyle());
    QCOMPARE(stored.frame_size, 11);
    QCOMPARE(h.window->State().style, BandStyle());  // New Style leaves the current style
    // The name stays for the next opening, and the editor's Save now writes the new template.
    QCOMPARE(h.Find<QLineEdit>("Edit1")->text(), QString("Ninth"));
    h.Type("FrameSize", "12");
    h.Click("Button1");
    ReadFrameStyle(Folder(h) + "/Ninth.ini", stored);
    QCOMPARE(stored.frame_size, 12);
    QCOMPARE(h.Stored(1).frame_size, 20);
  }

  // Blanks at the ends of a name are trimmed: the template is "Gold", not "  Gold .ini".
  void BlanksAroundANameAreTrimmed() {
    Harness h;
    NewStyle(h, "  Gold ");
    QVERIFY(h.dialogs.notices.isEmpty());
    QVERIFY(QFileInfo::exists(Folder(h) + "/Gold.ini"));
    QVERIFY(QFileInfo::exists(Folder(h) + "/Gold.jpg"));
    QCOMPARE(h.window->Templates()->ListView()->topLevelItem(1)->text(0), QString("Gold"));
    QCOMPARE(h.window->State().edit.template_path, Folder(h) + "/Gold.jpg");
  }

  void NewTemplateSurvivesARestart() {
    Harness h;
    NewStyle(h, "Keeper");
    auto window = std::make_unique<MainWindow>(*h.config, h.dialogs, h.cache, 1);
    QCOMPARE(window->Templates()->Count(), 2);
    QCOMPARE(window->Templates()->Rows()[0].path, Folder(h) + "/Keeper.jpg");
  }

  // Refused names write nothing and list nothing.
  void RefusedNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty") << ""
                           << "Please input Frame Name!"
                           << ""
                           << "";
    QTest::newRow("blanks only") << "   "
                                 << "Please input Frame Name!"
                                 << ""
                                 << "";
    QTest::newRow("existing name between blanks") << "  t01 "
                                                  << ""
                                                  << "The file has already existed"
                                                  << "";
    QTest::newRow("settings file exists") << "t01"
                                          << ""
                                          << "The file has already existed"
                                          << "";
    QTest::newRow("picture without settings") << "Lone"
                                              << ""
                                              << "The file has already existed"
                                              << "";
    QTest::newRow("parent folder") << "../Escape"
                                   << ""
                                   << ""
                                   << "Unable to write to";
    QTest::newRow("dot dot") << ".."
                             << ""
                             << ""
                             << "Unable to write to";
    QTest::newRow("sub-folder") << "a/b"
                                << ""
                                << ""
                                << "Unable to write to";
  }
  void RefusedNames() {
    QFETCH(QString, name);
    QFETCH(QString, notice);
    QFETCH(QString, note);
    QFETCH(QString, error);
    Harness h;
    QImage lone(70, 70, QImage::Format_RGB32);
    lone.fill(Qt::blue);
    QVERIFY(lone.save(Folder(h) + "/Lone.png"));
    const QByteArray lone_bytes = ReadFile(Folder(h) + "/Lone.png");
    const QByteArray t01 = ReadFile(h.Settings());
    const QStringList before = QDir(h.folder.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const QStringList folder_before = QDir(Folder(h)).entryList(QDir::Files);
    NewStyle(h, name);
    QCOMPARE(h.dialogs.notices, notice.isEmpty() ? QStringList() : QStringList{notice});
    QCOMPARE(h.dialogs.notes, note.isEmpty() ? QStringList() : QStringList{note});
    QCOMPARE(h.dialogs.errors.size(), error.isEmpty() ? 0 : 1);
    if (!error.isEmpty()) QVERIFY(h.dialogs.errors[0].startsWith(error));
    QCOMPARE(QDir(Folder(h)).entryList(QDir::Files), folder_before);
    QCOMPARE(QDir(h.folder.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QCOMPARE(QDir(h.folder.Path() + "/DATA/Mask").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{kCategory});
    QCOMPARE(ReadFile(Folder(h) + "/Lone.png"), lone_bytes);
    QCOMPARE(ReadFile(h.Settings()), t01);
    QCOMPARE(h.window->Templates()->Count(), 1);
    QCOMPARE(h.window->State().edit.template_path, Folder(h) + "/t01.jpg");
  }

  void MissingCategoryFolderWritesNothing() {
    Harness h;
    QVERIFY(QDir(Folder(h)).removeRecursively());
    NewStyle(h, "Nowhere");
    QCOMPARE(h.dialogs.errors.size(), 1);
    QVERIFY(h.dialogs.errors[0].startsWith("Unable to write to"));
    QCOMPARE(h.window->Templates()->Count(), 1);
  }

  // A settings file whose picture cannot be written would never be listed: it is taken back.
  void PictureThatCannotBeWrittenLeavesNoSettingsFile() {
    Harness h;
    QVERIFY(QDir().mkpath(Folder(h) + "/Blocked.jpg"));  // a folder where the picture should go
    NewStyle(h, "Blocked");
    QCOMPARE(h.dialogs.errors.size(), 1);
    QVERIFY(h.dialogs.errors[0].startsWith("Unable to write to"));
    QVERIFY(!QFileInfo::exists(Folder(h) + "/Blocked.ini"));
    QCOMPARE(h.window->Templates()->Count(), 1);
  }

  void PaletteHoldsEveryTileAtItsPitch() {
    Harness h;
    TexturePickerWidget* picker = h.Editor()->TexturePicker();
    QCOMPARE(picker->size(), QSize(288, 180));
    const TextureList& tiles = testing_support::ShippedTextures();
    for (int j : {0, 6, 7, 10, 78}) {
      auto* tile = picker->findChild<QLabel*>(QStringLiteral("Tile%1").arg(j));
      QVERIFY(tile);
      QCOMPARE(tile->geometry(), QRect((j % 7) * 33, (j / 7) * 33, 32, 32));
      QCOMPARE(tile->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
               tiles.Tile(j).convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
    QVERIFY(!picker->findChild<QLabel*>(QStringLiteral("Tile79")));
  }

  void FramePickerChangesOnlyTheFrameTexture() {
    Harness h;
    h.Editor()->move(40, 30);
    h.Editor()->show();
    TexturePickerWidget* picker = h.Editor()->TexturePicker();
    QVERIFY(!picker->isVisible());
    h.Click("FrameText");
    QVERIFY(picker->isVisible());
    QCOMPARE(picker->Tag(), 0);
    QCOMPARE(picker->pos(), h.Editor()->frameGeometry().topLeft() + QPoint(150, 197));
    QVERIFY(h.Find<QRadioButton>("FrameColorText")->isChecked());
    const QRgb plain = h.PreviewBandPixel();
    QTest::mouseClick(picker->findChild<QLabel*>("Tile10"), Qt::LeftButton);
    auto* selection = picker->findChild<QLabel*>("Shape1");
    QVERIFY(selection->isVisibleTo(picker));
    QCOMPARE(selection->pos(), QPoint(99, 33));
    QCOMPARE(h.Editor()->WorkingStyle().frame_text, 10);
    QCOMPARE(h.Editor()->WorkingStyle().back_text, 0);
    QVERIFY(picker->isVisible());  // several tiles can be tried in a row
    QTest::mouseClick(picker->findChild<QLabel*>("Tile40"), Qt::LeftButton);
    QCOMPARE(h.Editor()->WorkingStyle().frame_text, 40);
    QVERIFY(h.PreviewBandPixel() != plain);
    QCOMPARE(h.Find<QPushButton>("FrameText")->property("tile").toInt(), 40);
    QCOMPARE(h.Find<QPushButton>("BackText")->property("tile").toInt(), 0);

    h.Find<QCheckBox>("BackDraw")->setChecked(true);
    h.Click("BackText");
    QCOMPARE(picker->Tag(), 1);
    QVERIFY(!selection->isVisibleTo(picker));  // opening hides the frame
    QVERIFY(h.Find<QRadioButton>("BackColorText")->isChecked());
    QTest::mouseClick(picker->findChild<QLabel*>("Tile3"), Qt::LeftButton);
    QCOMPARE(h.Editor()->WorkingStyle().back_text, 3);
    QCOMPARE(h.Editor()->WorkingStyle().frame_text, 40);

    QTest::mouseClick(picker->findChild<QPushButton*>("FlatButton1"), Qt::LeftButton);  // "X"
    QVERIFY(!picker->isVisible());
    h.Editor()->reject();
  }

  void PaletteHidesWhenItLosesActivation() {
    Harness h;
    h.Editor()->show();
    TexturePickerWidget* picker = h.Editor()->TexturePicker();
    picker->Open(0, QPoint(10, 10));
    QVERIFY(picker->isVisible());
    h.Editor()->activateWindow();
    QEvent deactivated(QEvent::ActivationChange);
    QApplication::sendEvent(picker, &deactivated);
    QVERIFY(!picker->isVisible());
    h.Editor()->reject();
  }
};

QTEST_MAIN(NewStyleTest)
#include "new_style_test.moc"
