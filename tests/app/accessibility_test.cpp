// What a screen reader finds: every control of the window that takes a click or a key carries a
// name, walked through Qt's accessibility tree (the tree AT-SPI exports).
#include <QAccessible>
#include <QTest>
#include <memory>

#include "app/main_window.h"
#include "support/app_folder_fixture.h"
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
