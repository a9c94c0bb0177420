// The main window as a whole: its named controls, shape, output buttons, the faded preview, drags
// on the preview and the title band.
#include <QApplication>
#include <QDesktopServices>
#include <QDirIterator>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <memory>

#include "app/main_window.h"
#include "app/preview_widget.h"
#include "app/toolbar_widget.h"
#include "app/window_shape.h"
#include "base/config.h"
#include "compose/preview.h"
#include "support/app_folder_fixture.h"
#include "support/scripted_dialogs.h"
#include "widgets/flat_button_widget.h"
#include "widgets/skin_art.h"

using testing_support::AppFolderFixture;
using testing_support::ScriptedDialogs;

namespace {

// Takes the URLs the window hands to the desktop instead of starting a browser.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> urls;

 public Q_SLOTS:
  void Open(const QUrl& url) { urls.append(url); }
};

struct Harness {
  explicit Harness(const AppFolderFixture& folder)
      : config(folder.Path()),
        cache(QString()),
        window(std::make_unique<MainWindow>(config, dialogs, cache, 1)) {}

  // Shows the window; the message about unusable start folders, which follows, goes to start_notices.
  void Show() {
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCoreApplication::processEvents();
    start_notices = std::exchange(dialogs.notices, {});
  }

  template <typename T = QWidget>
  T* Find(const QString& name) const {
    T* widget = window->findChild<T*>(name);
    if (!widget) qFatal("no control named %s", qPrintable(name));
    return widget;
  }
  void Click(const QString& name) const { QTest::mouseClick(Find(name), Qt::LeftButton); }
  bool OutputButtonsShown() const {
    return !Find(QStringLiteral("SaveButton"))->isHidden() &&
           !Find(QStringLiteral("PrintButton"))->isHidden() &&
           !Find(QStringLiteral("EmailButton"))->isHidden();
  }

  Config config;
  ScriptedDialogs dialogs;
  ThumbnailCache cache;
  std::unique_ptr<MainWindow> window;
  QStringList start_notices;
};

AppFolderFixture& Folder() {
  static AppFolderFixture folder = [] {
    AppFolderFixture f;
    f.WriteConfig(QStringLiteral("A"));
    f.AddPhotos(3);
    f.AddPhoto(QStringLiteral("wide.png"), Qt::red, QSize(600, 400));
    f.AddTemplates(QStringLiteral("A"), 3);
    return f;
  }();
  return folder;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void NamedControlsWhereThePartsPutThem_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("window_rect");
    QTest::newRow("drag bar") << "Movebar" << QRect(17, 14, 697, 33);
    QTest::newRow("help") << "Label10" << QRect(714, 21, 21, 19);
    QTest::newRow("minimise") << "Label11" << QRect(738, 21, 21, 19);
    QTest::newRow("close") << "Label12" << QRect(761, 21, 21, 19);
    QTest::newRow("toolbar") << "ScrollBox2" << QRect(62, 52, 696, 57);
    QTest::newRow("system button") << "SystemButton" << QRect(71, 55, 57, 51);
    QTest::newRow("print button") << "PrintButton" << QRect(664, 55, 57, 51);
    QTest::newRow("photo cell 3") << "Image3" << QRect(218, 142, 70, 70);
    QTest::newRow("photo cell 5") << "Image5" << QRect(51, 220, 70, 70);
    QTest::newRow("photo hot label 1") << "Hot1" << QRect(50, 142, 70, 70);
    QTest::newRow("photo list panel") << "Panel3" << QRect(46, 123, 360, 173);
    QTest::newRow("photo Open") << "PhotoOpenButton" << QRect(51, 304, 53, 27);
    QTest::newRow("photo View") << "PhotoViewButton" << QRect(323, 304, 53, 27);
    QTest::newRow("template cell 8") << "Image58" << QRect(302, 458, 70, 70);
    QTest::newRow("template list panel") << "Panel4" << QRect(46, 360, 363, 173);
    QTest::newRow("template Open") << "Button23" << QRect(51, 541, 44, 27);
    QTest::newRow("template Delete") << "FlatButton11" << QRect(111, 541, 44, 27);
    QTest::newRow("template Edit") << "FlatButton27" << QRect(168, 541, 44, 27);
    QTest::newRow("template Up") << "FlatButton9" << QRect(224, 541, 44, 27);
    QTest::newRow("template Down") << "FlatButton8" << QRect(280, 541, 44, 27);
    QTest::newRow("main pages") << "PageControl3" << QRect(405, 89, 377, 497);
    QTest::newRow("preview") << "Screen" << QRect(430, 110, 315, 315);
    QTest::newRow("start picture") << "Image9" << QRect(430, 110, 315, 315);
  }
  void NamedControlsWhereThePartsPutThem() {
    QFETCH(QString, name);
    QFETCH(QRect, window_rect);
    Harness h(Folder());
    QWidget* control = h.Find(name);
    QCOMPARE(QRect(control->mapTo(h.window.get(), QPoint(0, 0)), control->size()), window_rect);
  }

  void LaterControlsAreLaidOut_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::newRow("mirror") << "FlatButton13"
                            << "<=>"
                            << "Filp Horizontal";
    QTest::newRow("turn left") << "FlatButton16"
                               << "<="
                               << "Rotate 90 CW";
    QTest::newRow("turn right") << "FlatButton14"
                                << "=>"
                                << "Rotate 90 CWW";
    QTest::newRow("resize") << "FlatButton28"
                            << "#"
                            << "Resize";
    QTest::newRow("crop") << "FlatButton15"
                          << "[ ]"
                          << "Crop";
    QTest::newRow("text") << "FlatButton20"
                          << "A"
                          << "Add Text";
    QTest::newRow("add batch") << "Batch"
                               << "Add Batch"
                               << "Add Batch to save";
    QTest::newRow("brightness knob") << "B2"
                                     << "B"
                                     << "Brightness";
    QTest::newRow("contrast knob") << "B1"
                                   << "C"
                                   << "Contrast";
    QTest::newRow("saturation knob") << "B3"
                                     << "H"
                                     << "Hue";
    QTest::newRow("text OK") << "FlatButton19"
                             << "OK"
                             << "";
    QTest::newRow("photo list up") << "FlatButton6"
                                   << "^"
                                   << "";
    QTest::newRow("template list down") << "FlatButton21"
                                        << "ˇ"
                                        << "";
    QTest::newRow("batch list up") << "FlatButton30"
                                   << "^"
                                   << "";
    QTest::newRow("photo Open") << "PhotoOpenButton"
                                << "Open"
                                << "Open picture directory";
    QTest::newRow("photo Delete") << "PhotoDeleteButton"
                                  << "Delete"
                                  << "Delete file";
    QTest::newRow("photo View") << "PhotoViewButton"
                                << "View"
                                << "Change the mode of showing ";
    QTest::newRow("template Open") << "Button23"
                                   << "Open"
                                   << "Open Template directory";
    QTest::newRow("template Edit") << "FlatButton27"
                                   << "Edit"
                                   << "";
    QTest::newRow("batch delete") << "FlatButton10"
                                  << "Delete"
                                  << "";
    QTest::newRow("rename") << "FlatButton12"
                            << "Rename"
                            << "";
  }
  void LaterControlsAreLaidOut() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    Harness h(Folder());
    auto* button = h.Find<QAbstractButton>(name);
    QCOMPARE(button->text(), caption);
    // The hint as it stands; a button with a shortcut names its keys after it: "Rotate 90 CW (Ctrl+L)".
    const QString tip = button->toolTip();
    QVERIFY2(tip == hint || (tip.startsWith(hint + QStringLiteral(" (")) && tip.endsWith(u')')),
             qPrintable(tip));
  }

  void StartState() {
    Harness h(Folder());
    QCOMPARE(h.window->size(), QSize(800, 600));
    QVERIFY(h.window->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(h.window->mask(), ShapeRegion(SkinShape()));
    QVERIFY(!h.OutputButtonsShown());
    QVERIFY(h.window->Preview()->StartPictureVisible());
    QCOMPARE(h.Find<QStackedWidget>(QStringLiteral("PageControl3"))->currentIndex(), MainWindow::kSinglPage);
    QCOMPARE(h.Find<QStackedWidget>(QStringLiteral("PageControl4"))->currentIndex(), 0);
    for (const char* timer : {"Timer3", "Timer4", "Timer5", "Timer6", "Timer8", "Timer9"})
      QCOMPARE(h.Find<QTimer>(QLatin1String(timer))->interval(), 60);
    // Every photo, template and tool-tray button finds its glyph among the compiled-in pictures.
    for (const char* button : {"PhotoOpenButton", "PhotoDeleteButton", "PhotoUpButton", "PhotoDownButton",
                               "PhotoViewButton", "Button23", "FlatButton11", "FlatButton27", "FlatButton9",
                               "FlatButton8", "TemplateViewButton", "FlatButton13", "FlatButton16",
                               "FlatButton14", "FlatButton28", "FlatButton15", "FlatButton20", "Batch"})
      QVERIFY2(h.Find<FlatButtonWidget>(QLatin1String(button))->HasGlyph(), button);
    // So do the three knobs, beside their tracks and clear of the knob panel.
    const QRect knob_panel = h.Find(QStringLiteral("Panel9"))->geometry();
    for (const char* glyph : {"Glyph_brightness", "Glyph_contrast", "Glyph_saturation"}) {
      auto* label = h.Find<QLabel>(QLatin1String(glyph));
      QVERIFY2(!label->pixmap().isNull(), glyph);
      QVERIFY2(!label->geometry().intersects(knob_panel), glyph);
    }
  }

  void PhotoAndTemplateFadeIntoThePreview() {
    Harness h(Folder());
    const ScreenFade& fade = h.window->Preview()->Fade();
    QSignalSpy ticks(&fade, &ScreenFade::SurfaceChanged);
    QSignalSpy finished(&fade, &ScreenFade::FadeFinished);
    h.Click(QStringLiteral("Hot4"));  // wide.png, 600 x 400
    QVERIFY(!h.OutputButtonsShown());
    h.Click(QStringLiteral("Hot51"));
    QVERIFY(h.OutputButtonsShown());
    QTRY_COMPARE(finished.count(), 1);
    // The template's click came during the photo's fade and finished it: five ticks in all.
    QCOMPARE(ticks.count(), 5);
    QCOMPARE(fade.Surface(), fade.ScreenBitmap());
    // Letterboxed: white above, the framed photo across the middle.
    QCOMPARE(fade.Surface().pixel(157, 20), qRgb(255, 255, 255));
    QVERIFY(fade.Surface().pixel(157, 157) != qRgb(255, 255, 255));
    QCOMPARE(h.window->State().working_photo.size(), QSize(313, 208));

    // Another photo keeps the buttons; the tone knobs go back to the start on a cell click.
    h.Click(QStringLiteral("Hot1"));
    QVERIFY(h.OutputButtonsShown());
  }

  void ToneKnobsResetOnACellClick() {
    Harness h(Folder());
    h.Find(QStringLiteral("B1"))->move(70, 30);
    h.Click(QStringLiteral("Hot2"));
    QCOMPARE(h.Find(QStringLiteral("B1"))->x(), 42);
  }

  void DragsOnThePreview() {
    Harness h(Folder());
    QWidget* screen = h.Find(QStringLiteral("Screen"));
    QTest::mousePress(screen, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(screen, QPoint(130, 90));
    QTest::mouseRelease(screen, Qt::LeftButton, {}, QPoint(130, 90));
    QCOMPARE(h.window->State().edit.photo_drag_anchor, QPoint(99, 99));
    QCOMPARE(h.window->State().edit.photo_offset, QPoint(31, -9));
    // A press stops a running fade.
    h.Click(QStringLiteral("Hot1"));
    QVERIFY(h.window->Preview()->Fade().IsRunning());
    QTest::mousePress(screen, Qt::RightButton, {}, QPoint(5, 5));
    QVERIFY(!h.window->Preview()->Fade().IsRunning());
    QTest::mouseRelease(screen, Qt::RightButton, {}, QPoint(5, 5));
  }

  // Unusable folders are named once when the window starts, not left as silently empty grids.
  void StartMessageNamesTheUnusableFolder() {
    {
      Harness h(Folder());  // only category A holds templates; Color and Cool are named and missing
      QCOMPARE(h.dialogs.notices, QStringList());  // not before the window is on screen
      h.Show();
      // One message for both.
      QCOMPARE(h.start_notices,
               QStringList{QStringLiteral(
                               "The template folder %1 does not exist\nThe template folder %2 does not exist")
                               .arg(QDir::toNativeSeparators(Folder().CategoryFolder("Color")),
                                    QDir::toNativeSeparators(Folder().CategoryFolder("Cool")))});
    }
    AppFolderFixture complete;
    complete.WriteConfig(QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"));
    for (const char* category : {"A", "B", "C"}) complete.AddTemplates(QLatin1String(category), 1);
    Harness h(complete);
    h.Show();
    QCOMPARE(h.start_notices, QStringList());
    QDir(complete.PhotoFolder()).removeRecursively();
    Harness without_photos(complete);
    without_photos.Show();
    QCOMPARE(without_photos.start_notices,
             QStringList{QStringLiteral("The photo folder %1 does not exist")
                             .arg(QDir::toNativeSeparators(complete.PhotoFolder()))});
  }

  void TitleBand() {
    Harness h(Folder());
    h.window->move(100, 50);
    h.Show();
    QWidget* bar = h.Find(QStringLiteral("Movebar"));
    const QPoint start = h.window->pos();
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(bar, QPoint(40, 10));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(40, 10));
    QCOMPARE(h.window->pos(), start + QPoint(30, 0));

    h.Click(QStringLiteral("Label10"));  // no manual in this folder: said so, nothing else
    QCOMPARE(h.dialogs.notices.size(), 1);
    QVERIFY(h.dialogs.notices.first().startsWith(QStringLiteral("The manual is missing: ")));
    QVERIFY(h.window->isVisible());
    h.Click(QStringLiteral("Label12"));
    QVERIFY(!h.window->isVisible());
  }

  // "?" and the System menu's items open pages of the shipped manual in the desktop's browser.
  void ManualPages_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("page");
    QTest::newRow("?") << QString() << "index.html";
    QTest::newRow("Help Contents") << "Help Contents"
                                   << "index.html";
    QTest::newRow("Demo Video") << "Demo Video"
                                << "tour.html";
    QTest::newRow("Home Page") << "Home Page"
                               << "index.html";
    QTest::newRow("Submit My Question") << "Submit My Question"
                                        << "questions.html";
  }
  void ManualPages() {
    QFETCH(QString, item);
    QFETCH(QString, page);
    AppFolderFixture folder;
    const QString shipped = QStringLiteral(LUMISTO_SOURCE_DIR "/assets/help");
    QDir().mkpath(folder.Path() + QStringLiteral("/help"));
    for (const QString& name : QDir(shipped).entryList(QDir::Files))
      QVERIFY(QFile::copy(shipped + u'/' + name, folder.Path() + QStringLiteral("/help/") + name));
    Harness h(folder);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "Open");
    if (item.isEmpty()) {
      h.Click(QStringLiteral("Label10"));
    } else {
      QMenu* menu = h.window->findChild<ToolbarWidget*>()->SystemMenu();
      const QList<QAction*> actions = menu->actions();
      const auto found =
          std::find_if(actions.begin(), actions.end(), [&](QAction* a) { return a->text() == item; });
      QVERIFY(found != actions.end());
      (*found)->trigger();
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(catcher.urls,
             QList<QUrl>({QUrl::fromLocalFile(folder.Path() + QStringLiteral("/help/") + page)}));
    QVERIFY(h.dialogs.notices.isEmpty());
  }

  // Every page the manual links to ships with it.
  void ManualLinksResolve() {
    const QDir shipped(QStringLiteral(LUMISTO_SOURCE_DIR "/assets/help"));
    const QStringList pages = shipped.entryList({QStringLiteral("*.html")}, QDir::Files);
    QVERIFY(pages.contains(QStringLiteral("index.html")));
    const QRegularExpression link(QStringLiteral(R"((?:href|src)="([^"#:]+)(?:#[^"]*)?")"));
    for (const QString& page : pages) {
      QFile file(shipped.filePath(page));
      QVERIFY(file.open(QIODevice::ReadOnly));
      const QString text = QString::fromUtf8(file.readAll());
      for (auto match = link.globalMatch(text); match.hasNext();) {
        const QString target = match.next().captured(1);
        QVERIFY2(shipped.exists(target), qPrintable(page + QStringLiteral(" links to ") + target));
      }
    }
  }

  // The list views wear the skin's colours: a selected row is the flat buttons' green, not the
  // platform's highlight blue.
  void ListHighlightWearsTheSkin() {
    Harness h(Folder());
    h.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(h.window.get()));
    h.Click(QStringLiteral("PhotoViewButton"));
    auto* list = h.Find<QTreeWidget>(QStringLiteral("ListView1"));
    const QRect row = list->visualItemRect(list->topLevelItem(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    // Away from the text: the middle of the row's right half of column 1, past the size text.
    const QImage shot = list->viewport()->grab().toImage();
    const QRgb selected = shot.pixel(row.left() + 300, row.center().y());
    // The style draws the selection a shade off the sheet's colour; a few levels either way.
    QVERIFY2(qAbs(qRed(selected) - 190) <= 6 && qAbs(qGreen(selected) - 230) <= 6 &&
                 qAbs(qBlue(selected) - 150) <= 6,
             qPrintable(QString::number(selected, 16)));
    // The platform's own highlight (the application palette, which the window's sheet leaves alone).
    QVERIFY(selected != QApplication::palette().color(QPalette::Active, QPalette::Highlight).rgb());
    QVERIFY(selected != QApplication::style()->standardPalette().color(QPalette::Highlight).rgb());
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
