// The window from the keyboard: the shortcut table driven through key events, the grids' keys, and
// undo and redo of the photo's edits restoring the preview to the byte.
#include <QAbstractButton>
#include <QAction>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/main_state.h"
#include "app/main_window.h"
#include "app/shortcut_table.h"
#include "app/toolbar_widget.h"
#include "browse/grid_keys.h"
#include "sources/photo_grid_widget.h"
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
        window(std::make_unique<MainWindow>(config, dialogs, cache, 1)) {
    window->show();
    window->activateWindow();
  }
  template <typename T = QWidget>
  T* Find(const QString& name) const {
    T* widget = window->findChild<T*>(name);
    if (!widget) qFatal("no control named %s", qPrintable(name));
    return widget;
  }
  void Click(const QString& name) const { QTest::mouseClick(Find(name), Qt::LeftButton); }
  void Keys(QKeyCombination keys, QWidget* to = nullptr) const {
    QTest::keyClick(to != nullptr ? to : window.get(), keys.key(), keys.keyboardModifiers());
  }
  // What the preview is drawn from, as bytes: the composite and the caption layer.
  QByteArray Picture() const {
    const QImage composite = RenderPreviewComposite(window->State());
    const QImage& caption = window->State().caption_layer;
    return QByteArray(reinterpret_cast<const char*>(composite.constBits()), composite.sizeInBytes()) +
           QByteArray(reinterpret_cast<const char*>(caption.constBits()), caption.sizeInBytes());
  }

  Config config;
  ScriptedDialogs dialogs;
  ThumbnailCache cache;
  std::unique_ptr<MainWindow> window;
};

}  // namespace

class MainWindowKeysTest : public QObject {
  Q_OBJECT

 private:
  AppFolderFixture folder_;

 private Q_SLOTS:
  void initTestCase() {
    folder_.WriteConfig(QStringLiteral("A"));
    folder_.AddPhotos(12, QSize(90, 60));
    folder_.AddTemplates(QStringLiteral("A"), 3);
  }

  void GridKeyTargets_data() {
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("target");
    QTest::newRow("first key lands on the first") << -1 << 12 << int(Qt::Key_Right) << 0;
    QTest::newRow("right") << 2 << 12 << int(Qt::Key_Right) << 3;
    QTest::newRow("right stops at the end") << 11 << 12 << int(Qt::Key_Right) << 11;
    QTest::newRow("left stops at the start") << 0 << 12 << int(Qt::Key_Left) << 0;
    QTest::newRow("down one row of four") << 1 << 12 << int(Qt::Key_Down) << 5;
    QTest::newRow("up one row") << 5 << 12 << int(Qt::Key_Up) << 1;
    QTest::newRow("page down") << 3 << 12 << int(Qt::Key_PageDown) << 11;
    QTest::newRow("page up") << 9 << 12 << int(Qt::Key_PageUp) << 1;
    QTest::newRow("home") << 9 << 12 << int(Qt::Key_Home) << 0;
    QTest::newRow("end") << 0 << 12 << int(Qt::Key_End) << 11;
    QTest::newRow("empty grid") << -1 << 0 << int(Qt::Key_Right) << -1;
    QTest::newRow("another key") << 3 << 12 << int(Qt::Key_A) << -1;
  }
  void GridKeyTargets() {
    QFETCH(int, current);
    QFETCH(int, count);
    QFETCH(int, key);
    QFETCH(int, target);
    QCOMPARE(GridKeyTarget(current, count, key), target);
  }

  // Each shortcut does what its button (or menu item) does, and the button's tooltip names the keys.
  void ShortcutsDriveTheCommands_data() {
    QTest::addColumn<QKeyCombination>("keys");
    QTest::addColumn<QString>("button");  // the button whose click the keys make
    QTest::addColumn<QString>("effect");  // or what the keys make happen otherwise
    QTest::newRow("Ctrl+R turns right") << (Qt::CTRL | Qt::Key_R) << "FlatButton14"
                                        << "";
    QTest::newRow("Ctrl+L turns left") << (Qt::CTRL | Qt::Key_L) << "FlatButton16"
                                       << "";
    QTest::newRow("Ctrl+M mirrors") << (Qt::CTRL | Qt::Key_M) << "FlatButton13"
                                    << "";
    QTest::newRow("Ctrl+T writes a caption") << (Qt::CTRL | Qt::Key_T) << "FlatButton20"
                                             << "";
    QTest::newRow("Ctrl+B adds to the batch") << (Qt::CTRL | Qt::Key_B) << "Batch"
                                              << "";
    QTest::newRow("Ctrl+S saves") << (Qt::CTRL | Qt::Key_S) << "SaveButton"
                                  << "";
    QTest::newRow("Delete in the photo grid") << QKeyCombination(Qt::Key_Delete) << "PhotoDeleteButton"
                                              << "";
    QTest::newRow("Ctrl+P prints") << (Qt::CTRL | Qt::Key_P) << ""
                                   << "print";
    QTest::newRow("Ctrl+O chooses the folder") << (Qt::CTRL | Qt::Key_O) << ""
                                               << "folder";
    QTest::newRow("F1 opens the manual") << QKeyCombination(Qt::Key_F1) << ""
                                         << "manual";
  }
  void ShortcutsDriveTheCommands() {
    QFETCH(QKeyCombination, keys);
    QFETCH(QString, button);
    QFETCH(QString, effect);
    Harness h(folder_);
    QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
    h.Click(QStringLiteral("Hot51"));
    h.Click(QStringLiteral("Hot1"));
    auto* toolbar = h.window->findChild<ToolbarWidget*>();
    QSignalSpy print(toolbar, &ToolbarWidget::PrintRequested);
    std::unique_ptr<QSignalSpy> clicked;
    if (!button.isEmpty()) {
      auto* target = h.Find<QAbstractButton>(button);
      clicked = std::make_unique<QSignalSpy>(target, &QAbstractButton::clicked);
      QVERIFY2(target->toolTip().endsWith(QStringLiteral("(%1)").arg(QKeySequence(keys).toString())),
               qPrintable(target->toolTip()));
    }
    // Delete belongs to the photo grid: from elsewhere it does nothing.
    if (keys.key() == Qt::Key_Delete) {
      h.window->Templates()->setFocus();
      h.Keys(keys, h.window->Templates());
      QCOMPARE(clicked->size(), 0);
      h.window->Photos()->setFocus();
    }
    h.Keys(keys, QApplication::focusWidget());
    if (clicked) QCOMPARE(clicked->size(), 1);
    if (effect == QLatin1String("print")) QCOMPARE(print.size(), 1);
    if (effect == QLatin1String("folder"))
      QCOMPARE(h.dialogs.folder_titles, QStringList{QStringLiteral("Please choose directory")});
    if (effect == QLatin1String("manual"))
      QVERIFY2(h.dialogs.notices.value(h.dialogs.notices.size() - 1)
                   .startsWith(QStringLiteral("The manual is missing")),
               qPrintable(h.dialogs.notices.join(u'|')));
  }

  // Tab goes through the areas in order: photo grid, its buttons, template grid, its buttons, tools.
  void TabFollowsTheAreas() {
    Harness h(folder_);
    QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
    QStringList order;
    for (int i = 0; i < 30 && QApplication::focusWidget() != nullptr; ++i) {
      QWidget* focus = QApplication::focusWidget();
      order.append(focus->objectName().isEmpty() ? QString::fromLatin1(focus->metaObject()->className())
                                                 : focus->objectName());
      QTest::keyClick(focus, Qt::Key_Tab);
    }
    const QStringList areas = {"PhotoGridWidget", "PhotoOpenButton", "PhotoViewButton", "TemplateGridWidget",
                               "FlatButton13"};
    qsizetype last = -1;
    for (const QString& area : areas) {
      const qsizetype at = order.indexOf(area);
      QVERIFY2(at > last, qPrintable(order.join(u' ')));
      last = at;
    }
  }

  // Every action of the window is one row of the table: nothing bound twice.
  void EveryShortcutIsOnce() {
    QSet<QString> seen;
    for (const WindowShortcut& shortcut : WindowShortcuts()) {
      QVERIFY(!shortcut.keys.isEmpty());
      QVERIFY2(!seen.contains(shortcut.keys.toString()), qPrintable(shortcut.keys.toString()));
      seen.insert(shortcut.keys.toString());
    }
  }

  // Arrows move the place in the photo grid (the page follows it), Return chooses as a click does.
  void GridFromTheKeyboard() {
    Harness h(folder_);
    QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
    PhotoGridWidget* photos = h.window->Photos();
    photos->setFocus();
    // With the keyboard the grid shows its place on the first photo; the keys move it.
    QCOMPARE(photos->KeyIndex(), 0);
    for (int i = 0; i < 2; ++i) h.Keys(QKeyCombination(Qt::Key_Right), photos);
    h.Keys(QKeyCombination(Qt::Key_Down), photos);
    QCOMPARE(photos->KeyIndex(), 6);
    h.Keys(QKeyCombination(Qt::Key_Return), photos);
    QCOMPARE(h.window->State().edit.photo_path, photos->Rows()[6].path);
    h.Keys(QKeyCombination(Qt::Key_PageDown), photos);
    QCOMPARE(photos->Page(), 1);
    h.Keys(QKeyCombination(Qt::Key_End), photos);
    h.Keys(QKeyCombination(Qt::Key_Enter), photos);
    QCOMPARE(h.window->State().edit.photo_path, photos->Rows()[11].path);
    QCOMPARE(photos->SelectedIndex(), 11);
  }

  // Turn, mirror, tone, caption and template choice, undone step by step to the photo as chosen
  // and redone to the last edit, each step showing exactly the picture it showed before.
  void UndoAndRedoEveryStep() {
    Harness h(folder_);
    QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
    h.Click(QStringLiteral("Hot51"));
    h.Click(QStringLiteral("Hot1"));
    QList<QByteArray> pictures{h.Picture()};
    QList<EditState> edits{h.window->State().edit};
    const auto record = [&] {
      pictures.append(h.Picture());
      edits.append(h.window->State().edit);
    };
    h.Keys(Qt::CTRL | Qt::Key_R);
    record();
    h.Keys(Qt::CTRL | Qt::Key_M);
    record();
    QWidget* knob = h.Find(QStringLiteral("B1"));
    h.Keys(QKeyCombination(Qt::Key_Right), knob);
    h.Keys(QKeyCombination(Qt::Key_Right), knob);
    record();  // the first key gave a step too
    h.Click(QStringLiteral("FlatButton20"));
    h.Find<QPlainTextEdit>(QStringLiteral("Memo1"))->setPlainText(QStringLiteral("Hello"));
    h.Click(QStringLiteral("FlatButton19"));
    record();
    h.Click(QStringLiteral("Hot52"));
    record();
    QCOMPARE(h.window->History().Steps(), 7);
    // The history holds the first knob step as well: one more key passes over it.
    for (int i = pictures.size() - 2; i >= 0; --i) {
      h.Keys(Qt::CTRL | Qt::Key_Z);
      if (i == 2) h.Keys(Qt::CTRL | Qt::Key_Z);  // past the first knob step
      QCOMPARE(h.window->State().edit, edits[i]);
      QVERIFY2(h.Picture() == pictures[i], qPrintable(QStringLiteral("step %1").arg(i)));
    }
    // Undo-all: byte for byte the photo as freshly chosen.
    h.Keys(Qt::CTRL | Qt::Key_Z);
    QVERIFY(h.Picture() == pictures[0]);
    for (int i = 1; i < pictures.size(); ++i) {
      h.Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
      if (i == 3) h.Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
      QCOMPARE(h.window->State().edit, edits[i]);
      QVERIFY(h.Picture() == pictures[i]);
    }
    // An edit after undoing drops what could have been redone.
    h.Keys(Qt::CTRL | Qt::Key_Z);
    h.Keys(Qt::CTRL | Qt::Key_L);
    h.Keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    QVERIFY(h.window->State().edit.rotate_flip != edits.last().rotate_flip);
    // A new photo starts a fresh history.
    h.Click(QStringLiteral("Hot2"));
    QCOMPARE(h.window->History().Steps(), 1);
    const QByteArray chosen = h.Picture();
    h.Keys(Qt::CTRL | Qt::Key_Z);
    QVERIFY(h.Picture() == chosen);
  }
};

QTEST_MAIN(MainWindowKeysTest)
#include "main_window_keys_test.moc"
