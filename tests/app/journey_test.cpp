// Whole user stories through the real main window with the shipped templates, each ending in a
// file that must equal, byte for byte, what `lumisto render` writes for the same photo, template
// and edits; and the window's print of a large picture, measured on the page.
#include <QAction>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <optional>

#include "app/main_state.h"
#include "app/main_window.h"
#include "app/open_request.h"
#include "app/preview_widget.h"
#include "app/user_data_folder.h"
#include "edit/tone_knobs.h"
#include "output/output_commands.h"
#include "sources/photo_grid_widget.h"
#include "styles/style_editor_dialog.h"
#include "styles/template_grid_widget.h"
#include "styles/template_library.h"
#include "support/app_folder_fixture.h"
#include "support/dialog_script.h"
#include "support/pdf_probe.h"
#include "support/scripted_dialogs.h"

using testing_support::AppFolderFixture;
using testing_support::ReadFile;
using testing_support::RunLumisto;
using testing_support::ScriptedDialogs;

namespace {

// The shipped "Color" category; its first page holds templates with and without a drop shadow.
const QString kCategory = QStringLiteral("Color");

QString ShippedSettings(const QString& name) {
  return QStringLiteral(LUMISTO_SOURCE_DIR "/assets/DATA/Mask/Color/") + name + QStringLiteral(".ini");
}

// A photo with detail everywhere, so a wrong crop, turn or tone changes bytes.
QImage Gradient(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width(); ++x)
      image.setPixel(x, y, qRgb(x * 255 / size.width(), y * 255 / size.height(), (x + y) % 200));
  return image;
}

struct Journey {
  explicit Journey(const QString& temp_root) {
    folder.WriteConfig(kCategory);
    QDir().mkpath(folder.CategoryFolder(kCategory));
    const QDir shipped(QStringLiteral(LUMISTO_SOURCE_DIR "/assets/DATA/Mask/Color"));
    for (const QString& file : shipped.entryList(QDir::Files)) {
      QFile::copy(shipped.filePath(file), folder.CategoryFolder(kCategory) + u'/' + file);
      QFile(folder.CategoryFolder(kCategory) + u'/' + file)
          .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    Gradient(QSize(900, 600)).save(Photo(1), "JPEG", 92);
    Gradient(QSize(500, 700)).save(Photo(2), "JPEG", 92);
    config = std::make_unique<Config>(folder.Path());
    window = std::make_unique<MainWindow>(config_ref(), dialogs, cache, 1, temp_root);
  }
  const Config& config_ref() const { return *config; }
  QString Photo(int i) const { return folder.PhotoFolder() + QStringLiteral("/photo%1.jpg").arg(i); }
  // The settings file of the template in use.
  QString Current() const { return TemplateSettingsPath(window->State().edit.template_path); }

  template <typename T = QWidget>
  T* Find(const QString& name) const {
    T* widget = window->findChild<T*>(name);
    if (!widget) qFatal("no control named %s", qPrintable(name));
    return widget;
  }
  void Click(const QString& name) const { QTest::mouseClick(Find(name), Qt::LeftButton); }
  void DragKnob(const QString& name, int dx) const {
    QWidget* w = Find(name);
    const QPoint start(8, 8);
    QTest::mousePress(w, Qt::LeftButton, {}, start);
    QTest::mouseMove(w, start + QPoint(dx, 0));
    QTest::mouseRelease(w, Qt::LeftButton, {}, start + QPoint(dx, 0));
  }
  QString Knobs() const {
    return QStringLiteral("%1,%2,%3")
        .arg(Find(QStringLiteral("B1"))->x())
        .arg(Find(QStringLiteral("B2"))->x())
        .arg(Find(QStringLiteral("B3"))->x());
  }
  // Runs a modal dialog of the window: act is called once it shows.
  template <typename Act>
  void WithDialog(const char* name, const QString& button, Act act) const {
    const testing_support::DialogScript script(QLatin1String(name), [act](QDialog* dialog) { act(dialog); });
    Click(button);
    QVERIFY2(script.Ran(), name);
  }
  // Saves through the window's Save button.
  QString Save(const QString& out) {
    dialogs.save_files = {out};
    Click(QStringLiteral("SaveButton"));
    return out;
  }
  const EditState& Edit() const { return window->State().edit; }

  AppFolderFixture folder;
  ScriptedDialogs dialogs;
  ThumbnailCache cache{QString()};
  std::unique_ptr<Config> config;
  std::unique_ptr<MainWindow> window;
};

}  // namespace

class JourneyTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir temp_;
  QTemporaryDir out_;

  // The window's file and the command line's, byte for byte.
  void ExpectSameAsRender(const QString& gui, QStringList render_args, const Journey& j) {
    QVERIFY2(j.dialogs.errors.isEmpty(), qPrintable(j.dialogs.errors.join(u'\n')));
    const QString cli = gui + QStringLiteral(".cli.") + QFileInfo(gui).suffix();
    render_args.insert(0, QStringLiteral("render"));
    render_args.insert(3, cli);
    const auto result = RunLumisto(render_args);
    QVERIFY2(result.exit_code == 0, result.err.constData());
    const QByteArray window_bytes = ReadFile(gui);
    QVERIFY(!window_bytes.isEmpty());
    QVERIFY2(window_bytes == ReadFile(cli), qPrintable(render_args.join(u' ')));
  }

 private Q_SLOTS:
  // The whole single photo from the keyboard alone: choose the photo and a template, turn, crop in
  // the dialog, turn two knobs, write and place a caption, Save; the file equals the command line's.
  // Then undone step by step, each step showing again exactly what it showed, down to the photo as
  // chosen.
  void KeyboardAloneThenUndone() {
    Journey j(temp_.path());
    j.window->show();
    j.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(j.window.get()));
    const auto focus_name = [] {
      QWidget* focus = QApplication::focusWidget();
      if (focus == nullptr) return QString();
      return focus->objectName().isEmpty() ? QString::fromLatin1(focus->metaObject()->className())
                                           : focus->objectName();
    };
    const auto key = [](QKeyCombination keys) {
      QWidget* focus = QApplication::focusWidget();
      QVERIFY(focus != nullptr);
      QTest::keyClick(focus, keys.key(), keys.keyboardModifiers());
    };
    // Tab until the control named name has the keyboard.
    const auto tab_to = [&](const QString& name) {
      for (int i = 0; i < 60 && focus_name() != name; ++i) key(QKeyCombination(Qt::Key_Tab));
      QCOMPARE(focus_name(), name);
    };
    const auto picture = [&j] {
      const QImage composite = RenderPreviewComposite(j.window->State());
      const QImage& caption = j.window->State().caption_layer;
      return QByteArray(reinterpret_cast<const char*>(composite.constBits()), composite.sizeInBytes()) +
             QByteArray(reinterpret_cast<const char*>(caption.constBits()), caption.sizeInBytes());
    };
    // What each step of the history showed, recorded as the keys make the steps.
    QList<QByteArray> pictures;
    QList<EditState> edits;
    const auto record = [&] {
      while (pictures.size() < j.window->History().Steps()) {
        pictures.append(picture());
        edits.append(j.Edit());
      }
    };

    // The photo grid has the keyboard at start, on its first photo.
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(j.window->Photos()));
    key(QKeyCombination(Qt::Key_Return));
    QCOMPARE(j.Edit().photo_path, j.Photo(1));
    record();
    tab_to(QStringLiteral("TemplateGridWidget"));
    key(QKeyCombination(Qt::Key_Right));
    key(QKeyCombination(Qt::Key_Return));
    QVERIFY(!j.Edit().template_path.isEmpty());
    record();
    key(Qt::CTRL | Qt::Key_R);
    QCOMPARE(j.Edit().rotate_flip.count, 1);
    record();
    // Crop: the right and bottom edges in by 30 and 20 pixels of the view, then the selection
    // moved 10 right and 5 down; Return keeps it.
    {
      const testing_support::DialogScript script(QStringLiteral("TCropForm"), [](QDialog* dialog) {
        QWidget* view = dialog->focusWidget();
        QVERIFY(view != nullptr);
        QCOMPARE(view->objectName(), QStringLiteral("ScrollBox1"));
        for (int i = 0; i < 3; ++i)
          QTest::keyClick(view, Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier);
        for (int i = 0; i < 2; ++i)
          QTest::keyClick(view, Qt::Key_Up, Qt::ShiftModifier | Qt::ControlModifier);
        QTest::keyClick(view, Qt::Key_Right, Qt::ControlModifier);
        for (int i = 0; i < 5; ++i) QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Return);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
      });
      key(Qt::CTRL | Qt::Key_K);
      END_DIALOG_SCRIPT(script);
    }
    // The window has the keyboard again once the dialog is gone (the window manager's part, which
    // the offscreen platform leaves undone).
    j.window->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(j.window.get()));
    const CropRect crop = j.Edit().crop;
    QVERIFY(!crop.IsEmpty() && crop.x > 0 && crop.y > 0);
    record();
    // Tone: Page Up and Right on the contrast knob, Page Down on the hue knob.
    tab_to(QStringLiteral("B1"));
    key(QKeyCombination(Qt::Key_PageUp));
    record();
    key(QKeyCombination(Qt::Key_Right));
    record();
    tab_to(QStringLiteral("B3"));
    key(QKeyCombination(Qt::Key_PageDown));
    record();
    const QString knobs = j.Knobs();
    QCOMPARE(knobs, QStringLiteral("53,42,32"));
    // Caption: Ctrl+T puts the keyboard in its text; Tab goes to the picture, where the arrows
    // move it; Tab on to OK, Space presses it.
    key(Qt::CTRL | Qt::Key_T);
    QCOMPARE(focus_name(), QStringLiteral("Memo1"));
    for (const QChar c : QStringLiteral("Summer")) {
      QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
      record();
    }
    QCOMPARE(j.Edit().caption.text, QStringLiteral("Summer"));
    const QPointF start = j.Edit().caption.position;
    key(QKeyCombination(Qt::Key_Tab));
    QCOMPARE(focus_name(), QStringLiteral("Screen"));
    for (int i = 0; i < 3; ++i) key(Qt::SHIFT | Qt::Key_Right);
    key(QKeyCombination(Qt::Key_Up));
    QCOMPARE(j.Edit().caption.position, start + QPointF(30, -1));
    tab_to(QStringLiteral("FlatButton19"));
    key(QKeyCombination(Qt::Key_Space));
    QCOMPARE(j.window->State().display_mode, DisplayMode::Normal);
    record();
    QCOMPARE(pictures.size(), 14);  // chosen, template, turn, crop, three knob keys, six letters, the place

    const QString gui = out_.filePath(QStringLiteral("keys.png"));
    j.dialogs.save_files = {gui};
    key(Qt::CTRL | Qt::Key_S);
    const CaptionSettings& c = j.Edit().caption;
    ExpectSameAsRender(
        gui,
        {j.Photo(1), j.Current(), QStringLiteral("--cw"), QStringLiteral("--crop"),
         QStringLiteral("%1,%2,%3,%4").arg(crop.x).arg(crop.y).arg(crop.width).arg(crop.height),
         QStringLiteral("--knobs"), knobs, QStringLiteral("--caption"), c.text,
         QStringLiteral("--caption-at"), QStringLiteral("%1,%2").arg(c.position.x()).arg(c.position.y())},
        j);
    if (QTest::currentTestFailed()) return;

    // Undone one key at a time: each earlier step as it was, the last the photo as chosen.
    for (qsizetype i = pictures.size() - 2; i >= 0; --i) {
      key(Qt::CTRL | Qt::Key_Z);
      QCOMPARE(j.Edit(), edits[i]);
      QVERIFY2(picture() == pictures[i], qPrintable(QStringLiteral("step %1").arg(i)));
    }
    QCOMPARE(j.Knobs(), QStringLiteral("42,42,42"));
    QVERIFY(j.Edit().crop.IsEmpty());
    QCOMPARE(j.Edit().rotate_flip.count, 0);
    // Nothing further back: another undo leaves the photo as chosen.
    key(Qt::CTRL | Qt::Key_Z);
    QVERIFY(picture() == pictures[0]);
  }

  // Installed: the shipped templates are read where the installation keeps them. An edit of one is
  // saved as the user's own copy, which then stands in its place; deleting that copy brings the
  // shipped one back, and a shipped template itself cannot be deleted. Nothing under the
  // installation is ever written.
  void InstalledTemplatesAreReadInPlace() {
    AppFolderFixture shipped;
    shipped.WriteConfig(kCategory);
    QDir().mkpath(shipped.CategoryFolder(kCategory));
    const QDir source(QStringLiteral(LUMISTO_SOURCE_DIR "/assets/DATA/Mask/Color"));
    for (const QString& file : source.entryList(QDir::Files))
      QVERIFY(QFile::copy(source.filePath(file), shipped.CategoryFolder(kCategory) + u'/' + file));
    QDir().mkpath(shipped.PhotoFolder());
    Gradient(QSize(300, 200)).save(shipped.PhotoFolder() + QStringLiteral("/photo1.jpg"), "JPEG", 92);
    QVERIFY(testing_support::WriteFile(shipped.Path() + QStringLiteral("/INSTALLED"), "installed\n"));
    const auto tree = [&shipped] {
      QStringList entries;
      QDirIterator it(shipped.Path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                      QDirIterator::Subdirectories);
      while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        entries
            << QStringLiteral("%1 %2 %3 %4")
                   .arg(info.filePath())
                   .arg(info.size())
                   .arg(info.lastModified().toMSecsSinceEpoch())
                   .arg(QString::fromLatin1(
                       QCryptographicHash::hash(ReadFile(info.filePath()), QCryptographicHash::Md5).toHex()));
      }
      entries.sort();
      return entries;
    };
    const QStringList before = tree();

    QTemporaryDir home;
    const QString user = home.filePath(QStringLiteral(".local/share/lumisto"));
    SeedUserDataFolder(shipped.Path(), user);
    const Config config(user, shipped.Path());
    ScriptedDialogs dialogs;
    ThumbnailCache cache{QString()};
    MainWindow window(config, dialogs, cache, 1, temp_.path());
    const auto find = [&window](const QString& name) {
      QWidget* widget = window.findChild<QWidget*>(name);
      if (!widget) qFatal("no control named %s", qPrintable(name));
      return widget;
    };
    const auto click = [&find](const QString& name) { QTest::mouseClick(find(name), Qt::LeftButton); };
    TemplateGridWidget* templates = window.Templates();
    const int shipped_count =
        static_cast<int>(QDir(shipped.CategoryFolder(kCategory)).entryList({QStringLiteral("*.jpg")}).size());
    QCOMPARE(templates->Count(), shipped_count);

    click(QStringLiteral("Hot1"));
    click(QStringLiteral("Hot52"));
    const QString shipped_picture = window.State().edit.template_path;
    QVERIFY2(shipped_picture.startsWith(shipped.Path()), qPrintable(shipped_picture));
    const QString name = QFileInfo(shipped_picture).fileName();
    const QString own_picture = QDir(config.TemplateFolder(TemplateCategory::Color)).filePath(name);

    // The style editor's Save: the user's copy, which the grid and the window now use.
    {
      const testing_support::DialogScript script(QStringLiteral("TFrameSetup"), [](QDialog* dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
      });
      click(QStringLiteral("FlatButton27"));
      END_DIALOG_SCRIPT(script);
    }
    QVERIFY2(dialogs.errors.isEmpty(), qPrintable(dialogs.errors.join(u'\n')));
    QCOMPARE(ReadFile(TemplateSettingsPath(own_picture)), ReadFile(TemplateSettingsPath(shipped_picture)));
    QVERIFY(QFileInfo::exists(own_picture));
    QCOMPARE(window.State().edit.template_path, own_picture);
    QCOMPARE(templates->Count(), shipped_count);
    QCOMPARE(templates->Rows()[1].path, own_picture);
    QCOMPARE(tree(), before);

    // Deleting the user's copy brings the shipped template back.
    dialogs.answers = {true};
    click(QStringLiteral("Hot52"));
    click(QStringLiteral("FlatButton11"));
    QVERIFY(!QFileInfo::exists(own_picture) && !QFileInfo::exists(TemplateSettingsPath(own_picture)));
    QCOMPARE(templates->Count(), shipped_count);
    QCOMPARE(templates->Rows()[1].path, shipped_picture);
    // A shipped template stays, and says why.
    dialogs.answers = {true};
    click(QStringLiteral("Hot52"));
    click(QStringLiteral("FlatButton11"));
    QCOMPARE(dialogs.errors.size(), 1);
    QVERIFY2(dialogs.errors[0].endsWith(QStringLiteral("comes with Lumisto and cannot be deleted")),
             qPrintable(dialogs.errors[0]));
    QCOMPARE(templates->Count(), shipped_count);
    QCOMPARE(tree(), before);
  }

  // Photo, template, knobs, another template (the tone goes, and the knobs with it), back, knobs
  // again, Save.
  void ToneAcrossTemplates() {
    Journey j(temp_.path());
    j.Click(QStringLiteral("Hot1"));
    j.Click(QStringLiteral("Hot52"));
    j.DragKnob(QStringLiteral("B2"), 15);
    j.DragKnob(QStringLiteral("B3"), -12);
    j.Click(QStringLiteral("Hot53"));
    QCOMPARE(j.Knobs(), QStringLiteral("42,42,42"));
    QVERIFY(j.Edit().tone_matrix.IsIdentity());
    j.Click(QStringLiteral("Hot52"));
    j.DragKnob(QStringLiteral("B1"), 9);
    const QString knobs = j.Knobs();
    QCOMPARE(knobs, QStringLiteral("51,42,42"));
    const QString gui = j.Save(out_.filePath(QStringLiteral("tone.png")));
    ExpectSameAsRender(gui, {j.Photo(1), j.Current(), QStringLiteral("--knobs"), knobs}, j);
  }

  // Crop, then Resize on its start values (which are the crop's, so nothing changes), Save.
  void CropThenResizeOnTheStartValues() {
    Journey j(temp_.path());
    j.Click(QStringLiteral("Hot1"));
    j.Click(QStringLiteral("Hot51"));
    j.WithDialog("TCropForm", QStringLiteral("FlatButton15"), [](QDialog* dialog) {
      QWidget* corner = dialog->findChild<QWidget*>(QStringLiteral("Image8"));
      QTest::mousePress(corner, Qt::LeftButton, {}, QPoint(16, 16));
      QTest::mouseMove(corner, QPoint(16, 16) + QPoint(-150, -60));
      QTest::mouseRelease(corner, Qt::LeftButton, {}, QPoint(16, 16) + QPoint(-150, -60));
      QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("OkButton")), Qt::LeftButton);
    });
    const CropRect crop = j.Edit().crop;
    QVERIFY(!crop.IsEmpty());
    QString shown;
    j.WithDialog("TSizeForm", QStringLiteral("FlatButton28"), [&shown](QDialog* dialog) {
      shown = dialog->findChild<QLineEdit*>(QStringLiteral("Edit1"))->text() + u'x' +
              dialog->findChild<QLineEdit*>(QStringLiteral("Edit2"))->text();
      QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("OkButton")), Qt::LeftButton);
    });
    QCOMPARE(shown, QStringLiteral("%1x%2").arg(crop.width).arg(crop.height));
    QCOMPARE(j.Edit().output_width, 0);
    const QString gui = j.Save(out_.filePath(QStringLiteral("crop.png")));
    ExpectSameAsRender(
        gui,
        {j.Photo(1), j.Current(), QStringLiteral("--crop"),
         QStringLiteral("%1,%2,%3,%4").arg(crop.x).arg(crop.y).arg(crop.width).arg(crop.height)},
        j);
  }

  // Turn, crop, caption, output size; then the next photo (turns and crop go, the caption and the
  // output size stay, and the window says the size does not fit this photo), Save.
  void EditsThenTheNextPhoto() {
    Journey j(temp_.path());
    j.Click(QStringLiteral("Hot1"));
    j.Click(QStringLiteral("Hot54"));
    j.Click(QStringLiteral("FlatButton14"));
    j.WithDialog("TCropForm", QStringLiteral("FlatButton15"), [](QDialog* dialog) {
      QWidget* corner = dialog->findChild<QWidget*>(QStringLiteral("Image1"));
      QTest::mousePress(corner, Qt::LeftButton, {}, QPoint(16, 16));
      QTest::mouseMove(corner, QPoint(16, 16) + QPoint(40, 70));
      QTest::mouseRelease(corner, Qt::LeftButton, {}, QPoint(16, 16) + QPoint(40, 70));
      QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("OkButton")), Qt::LeftButton);
    });
    j.Click(QStringLiteral("FlatButton20"));
    QTest::keyClicks(j.Find(QStringLiteral("Memo1")), QStringLiteral("Summer"));
    j.Click(QStringLiteral("FlatButton19"));
    j.WithDialog("TSizeForm", QStringLiteral("FlatButton28"), [](QDialog* dialog) {
      auto* width = dialog->findChild<QLineEdit*>(QStringLiteral("Edit1"));
      auto* height = dialog->findChild<QLineEdit*>(QStringLiteral("Edit2"));
      width->clear();
      QTest::keyClicks(width, QStringLiteral("640"));
      height->clear();
      QTest::keyClicks(height, QStringLiteral("480"));
      QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("OkButton")), Qt::LeftButton);
    });
    QCOMPARE(j.Find<QLabel>(QStringLiteral("OutputSizeLabel"))->text(), QStringLiteral("640 x 480"));
    j.Click(QStringLiteral("Hot2"));
    QVERIFY(j.Edit().crop.IsEmpty());
    QCOMPARE(j.Edit().rotate_flip.count, 0);
    QCOMPARE(j.Edit().caption.text, QStringLiteral("Summer"));
    QVERIFY(!j.Find<QLabel>(QStringLiteral("OutputShapeNotice"))->isHidden());  // 500 x 700 is no 4:3
    const QString gui = j.Save(out_.filePath(QStringLiteral("next.png")));
    const CaptionSettings& c = j.Edit().caption;
    ExpectSameAsRender(gui,
                       {j.Photo(2), j.Current(), QStringLiteral("--size"), QStringLiteral("640x480"),
                        QStringLiteral("--caption"), c.text, QStringLiteral("--caption-at"),
                        QStringLiteral("%1,%2").arg(c.position.x()).arg(c.position.y())},
                       j);
  }

  // The style editor opened and saved untouched leaves the settings file as it was, and Save
  // still matches the command line with that template.
  void StyleEditorUntouchedSave() {
    Journey j(temp_.path());
    j.Click(QStringLiteral("Hot1"));
    j.Click(QStringLiteral("Hot52"));
    const QString settings = j.Current();
    const QByteArray before = ReadFile(settings);
    QCOMPARE(before, ReadFile(ShippedSettings(QFileInfo(settings).completeBaseName())));
    j.WithDialog("TFrameSetup", QStringLiteral("FlatButton27"), [](QDialog* dialog) {
      QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    });
    QVERIFY2(j.dialogs.errors.isEmpty(), qPrintable(j.dialogs.errors.join(u'\n')));
    QCOMPARE(ReadFile(settings), before);
    const QString gui = j.Save(out_.filePath(QStringLiteral("editor.png")));
    ExpectSameAsRender(gui, {j.Photo(1), j.Current()}, j);
  }

  // Print of a picture larger than the page, to a PDF: the whole picture is on the page, at its
  // top-left corner, in its own shape.
  void PrintOfALargePicture() {
    Journey j(temp_.path());
    Gradient(QSize(3000, 2000)).save(j.Photo(3), "JPEG", 90);
    j.window->OpenVisit(OpenRequest{j.folder.PhotoFolder(), {j.Photo(3)}});
    j.Click(QStringLiteral("Hot51"));
    QPrinter& printer = j.window->Output().Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const QString pdf = out_.filePath(QStringLiteral("print.pdf"));
    printer.setOutputFileName(pdf);
    j.dialogs.print_answers = {true};
    j.window->findChild<QAction*>(QStringLiteral("Print1"))->trigger();
    QVERIFY2(j.dialogs.errors.isEmpty(), qPrintable(j.dialogs.errors.join(u'\n')));
    const std::optional<QRectF> box = testing_support::PdfImageBox(ReadFile(pdf));
    QVERIFY(box);
    const QRectF paper = printer.pageLayout().paintRect(QPageLayout::Point);
    // In points from the page's top-left corner: the printable area's corner, the area's full
    // width (a 3:2 picture on a portrait page), the picture's shape kept within a point.
    QVERIFY2(qAbs(box->left() - paper.left()) < 1 && qAbs(box->top() - paper.top()) < 1,
             qPrintable(QStringLiteral("%1,%2").arg(box->left()).arg(box->top())));
    QVERIFY2(qAbs(box->width() - paper.width()) < 1.5,
             qPrintable(QStringLiteral("%1 of %2").arg(box->width()).arg(paper.width())));
    QVERIFY(qAbs(box->height() - box->width() * 2 / 3) < 1.5);
  }
};

QTEST_MAIN(JourneyTest)
#include "journey_test.moc"
