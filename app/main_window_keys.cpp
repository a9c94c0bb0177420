// The keyboard side of the main window: the shortcuts of the table, the tab order and the names
// screen readers say.
#include <QAbstractButton>
#include <QAction>
#include <QSlider>
#include <QTreeWidget>

#include "app/main_window.h"
#include "app/preview_widget.h"
#include "app/shortcut_table.h"
#include "app/title_bar_widget.h"
#include "app/toolbar_widget.h"
#include "edit/tool_pages_widget.h"
#include "sources/photo_grid_widget.h"
#include "styles/template_grid_widget.h"

namespace {

// A button the mouse could press now: shown in the window and enabled. A shortcut does what the
// button does and nothing when the button is not there (Save before a photo and a template).
bool Pressable(const QWidget* window, const QAbstractButton* button) {
  return button != nullptr && button->isVisibleTo(window) && button->isEnabled();
}

}  // namespace

void MainWindow::WireKeys() {
  for (const WindowShortcut& shortcut : WindowShortcuts()) {
    auto* action = new QAction(shortcut.what, this);
    action->setObjectName(shortcut.name);
    action->setShortcut(shortcut.keys);
    if (shortcut.command == WindowCommand::DeletePhotos) {
      // Delete belongs to the photo area: in a text field the key deletes text.
      action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
      photos_->addAction(action);
    } else {
      action->setShortcutContext(Qt::WindowShortcut);
      addAction(action);
    }
    if (!shortcut.button.isEmpty())
      if (auto* target = findChild<QWidget*>(shortcut.button))
        target->setToolTip(
            TooltipWithKeys(target->toolTip().isEmpty() ? shortcut.what : target->toolTip(), shortcut.keys));
    connect(action, &QAction::triggered, this,
            [this, command = shortcut.command, button = shortcut.button] { RunCommand(command, button); });
  }
  // Tab follows the window's areas: toolbar, photos, templates, preview and tools.
  setTabOrder(toolbar_, photos_);
  setTabOrder(photos_, templates_);
  setTabOrder(templates_, pages_);
}

void MainWindow::RunCommand(WindowCommand command, const QString& button_name) {
  auto* button = button_name.isEmpty() ? nullptr : findChild<QAbstractButton*>(button_name);
  switch (command) {
    case WindowCommand::Undo:
      Guarded([this] { OnUndo(); });
      return;
    case WindowCommand::Redo:
      Guarded([this] { OnRedo(); });
      return;
    case WindowCommand::Manual:
      OpenManualPage(QStringLiteral("index.html"));
      return;
    case WindowCommand::OpenPhotoFolder:
      Guarded([this] { photos_->Open(); });
      return;
    case WindowCommand::Print:
      // The Print button opens its menu; the key prints at once, as the menu's first item does.
      if (Pressable(this, button)) Q_EMIT toolbar_->PrintRequested();
      return;
    case WindowCommand::Save:
    case WindowCommand::AddBatch:
    case WindowCommand::TurnRight:
    case WindowCommand::TurnLeft:
    case WindowCommand::Mirror:
    case WindowCommand::DeletePhotos:
      if (Pressable(this, button)) button->click();
      return;
  }
}
