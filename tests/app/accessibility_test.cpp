// What a screen reader finds: every control of the window that takes a click or a key carries a
// name, walked through Qt's accessibility tree (the tree AT-SPI exports).
#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QTest>
#include <memory>

#include "app/main_window.h"
#include "support/app_folder_fixture.h"
#include "support/dialog_script.h"
#include "support/scripted_dialogs.h"

using testing_support::AppFolderFixture;
using testing_support::ScriptedDialogs;

namespace {

bool Interactive(QAccessible::Role role) {
  switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::Dial:
    case QAccessible::EditableText:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::Table:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::Link:
      return true;
    default:
      return false;
  }
}

// Unnamed interactive controls under node, as "objectName (role)".
void Walk(QAccessibleInterface* node, QStringList& unnamed, int& visited) {
  if (node == nullptr || node->state().invisible) return;
  ++visited;
  if (Interactive(node->role()) && node->text(QAccessible::Name).trimmed().isEmpty()) {
    const QObject* object = node->object();
    unnamed.append(QStringLiteral("%1 (%2)")
                       .arg(object != nullptr ? object->objectName() : QStringLiteral("?"))
                       .arg(int(node->role())));
  }
  for (int i = 0; i < node->childCount(); ++i) Walk(node->child(i), unnamed, visited);
}

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

 private:
  AppFolderFixture folder_;

 private Q_SLOTS:
  void initTestCase() {
    folder_.WriteConfig(QStringLiteral("A"));
    folder_.AddPhotos(3);
    folder_.AddTemplates(QStringLiteral("A"), 2);
  }

  void EveryControlHasAName() {
    Config config(folder_.Path());
    ScriptedDialogs dialogs;
    ThumbnailCache cache{QString()};
    MainWindow window(config, dialogs, cache, 1);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QAccessible::setActive(true);
    QStringList unnamed;
    int visited = 0;
    Walk(QAccessible::queryAccessibleInterface(&window), unnamed, visited);
    QVERIFY(visited > 40);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
  }

  // Each dialog opens from the keyboard, has the keyboard somewhere once open, names every control a
  // screen reader meets, and Escape closes it as Cancel.
  void DialogsFromTheKeyboard_data() {
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("opener");  // a shortcut, or the button Tab reaches and Space presses
    QTest::addColumn<QString>("inner");   // a dialog opened from inside the first one, by its button
    QTest::newRow("crop") << "TCropForm"
                          << "Ctrl+K"
                          << "";
    QTest::newRow("output size") << "TSizeForm"
                                 << "Ctrl+E"
                                 << "";
    QTest::newRow("style editor") << "TFrameSetup"
                                  << "FlatButton27"
                                  << "";
    QTest::newRow("new style, from the style editor") << "TFrameSetup"
                                                      << "FlatButton27"
                                                      << "Button3:TStyleForm";
  }
  void DialogsFromTheKeyboard() {
    QFETCH(QString, dialog);
    QFETCH(QString, opener);
    QFETCH(QString, inner);
    Config config(folder_.Path());
    ScriptedDialogs dialogs;
    ThumbnailCache cache{QString()};
    MainWindow window(config, dialogs, cache, 1);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QAccessible::setActive(true);
    // A photo and a template, chosen with the keyboard: Return in the photo grid, then in the
    // template grid.
    const auto focus_name = [] {
      QWidget* focus = QApplication::focusWidget();
      if (focus == nullptr) return QString();
      return focus->objectName().isEmpty() ? QString::fromLatin1(focus->metaObject()->className())
                                           : focus->objectName();
    };
    const auto tab_to = [&focus_name](const QString& name) {
      for (int i = 0; i < 80 && focus_name() != name; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      return focus_name() == name;
    };
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(tab_to(QStringLiteral("TemplateGridWidget")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!window.State().edit.template_path.isEmpty());

    // What a dialog must offer; true when it did.
    const auto check = [](QDialog* shown, QStringList& problems) {
      if (shown->focusWidget() == nullptr)
        problems << shown->objectName() + QStringLiteral(": no keyboard focus");
      QStringList unnamed;
      int visited = 0;
      Walk(QAccessible::queryAccessibleInterface(shown), unnamed, visited);
      if (visited < 3) problems << shown->objectName() + QStringLiteral(": nothing walked");
      if (!unnamed.isEmpty())
        problems << shown->objectName() + QStringLiteral(": unnamed ") + unnamed.join(u' ');
      QWidget* focus = shown->focusWidget() != nullptr ? shown->focusWidget() : shown;
      QTest::keyClick(focus, Qt::Key_Escape);
      if (shown->isVisible() || shown->result() != QDialog::Rejected)
        problems << shown->objectName() + QStringLiteral(": Escape did not cancel");
    };
    QStringList problems;
    const QString inner_button = inner.section(u':', 0, 0), inner_dialog = inner.section(u':', 1, 1);
    const testing_support::DialogScript script(dialog, [&](QDialog* shown) {
      if (!inner.isEmpty()) {
        QWidget* button = shown->findChild<QWidget*>(inner_button);
        if (button == nullptr) {
          problems << QStringLiteral("no ") + inner_button;
          return;
        }
        // Tab inside the dialog until its button has the keyboard; Space presses it.
        QWidget* focus = shown->focusWidget() != nullptr ? shown->focusWidget() : shown;
        for (int i = 0; i < 120 && shown->focusWidget() != button; ++i) {
          QTest::keyClick(focus, Qt::Key_Tab);
          focus = shown->focusWidget() != nullptr ? shown->focusWidget() : shown;
        }
        if (shown->focusWidget() != button) {
          problems << inner_button + QStringLiteral(" not reached with Tab");
          return;
        }
        const testing_support::DialogScript nested(inner_dialog,
                                                   [&](QDialog* second) { check(second, problems); });
        QTest::keyClick(button, Qt::Key_Space);
        if (!nested.Ran()) problems << inner_dialog + QStringLiteral(" never showed");
      }
      check(shown, problems);
    });
    if (opener.startsWith(QLatin1String("Ctrl+"))) {
      const QKeySequence keys(opener);
      QTest::keyClick(QApplication::focusWidget(), keys[0].key(), keys[0].keyboardModifiers());
    } else {
      QVERIFY(tab_to(opener));
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    }
    END_DIALOG_SCRIPT(script);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
  }

  // The grids' cells say the file names they show; the knobs say their place.
  void CellsAndKnobsSayWhatTheyHold() {
    Config config(folder_.Path());
    ScriptedDialogs dialogs;
    ThumbnailCache cache{QString()};
    MainWindow window(config, dialogs, cache, 1);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QAccessible::setActive(true);
    QAccessibleInterface* cell = QAccessible::queryAccessibleInterface(window.findChild<QWidget*>("Hot1"));
    QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("p01.png"));
    QAccessibleInterface* empty = QAccessible::queryAccessibleInterface(window.findChild<QWidget*>("Hot8"));
    QCOMPARE(empty->text(QAccessible::Name), QStringLiteral("empty cell"));
    QAccessibleInterface* knob = QAccessible::queryAccessibleInterface(window.findChild<QWidget*>("B1"));
    QCOMPARE(knob->text(QAccessible::Name), QStringLiteral("Contrast"));
    QVERIFY(knob->text(QAccessible::Description).startsWith(QStringLiteral("position ")));
  }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
