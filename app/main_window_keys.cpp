// The keyboard side of the main window: the shortcuts of the table, the tab order and the names
// screen readers say.
#include <QAbstractButton>
#include <QAction>
#include <QSlider>
#include <QTreeWidget>

#include "app/main_window.h"
#include "app/preview_widget.h"
#include "app/screen_view.h"
#include "app/shortcut_table.h"
#include "app/title_bar_widget.h"
#include "app/toolbar_widget.h"
#include "base/screen_size.h"
#include "edit/screen_drag.h"
#include "edit/tone_knobs.h"
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
  NameControlsForScreenReaders();
  // While a caption is placed arrows on the picture move it.
  connect(preview_->Screen(), &ScreenView::ArrowMoved, this, [this](QPoint delta) {
    if (ScreenArrowMove(state_.edit, state_.display_mode, delta, kScreenSize) == DragChange::CaptionPosition)
      RebuildCaption();
  });
  // Tab follows the window's areas as they are made: the photo grid and its buttons, the
  // template grid and its buttons, the preview's tools, the title band and the toolbar.
  // The photos are where the work starts: their grid has the keyboard first.
  photos_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::NameControlsForScreenReaders() {
  // Buttons say their caption; glyph buttons and the knobs' tracks, which have none, the hint the
  // mouse shows (without its keys). The hint, keys and all, is the description.
  for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
    const QString hint = button->toolTip();
    if (button->accessibleName().isEmpty() && button->text().remove(u'&').trimmed().isEmpty()) {
      const qsizetype keys = hint.lastIndexOf(QLatin1String(" ("));
      QString name = keys > 0 ? hint.left(keys) : hint;
      // A track lies under its knob, which has the same hint.
      if (button->width() > 4 * button->height()) name += QStringLiteral(" track");
      button->setAccessibleName(name);
    }
    if (button->accessibleDescription().isEmpty() && !hint.isEmpty()) button->setAccessibleDescription(hint);
  }
  // The knobs say their name; their place on the track is kept in their description as they move.
  for (const char* knob : {"B1", "B2", "B3"})
    if (auto* button = findChild<QAbstractButton*>(QLatin1String(knob))) {
      button->setAccessibleName(button->toolTip());
      button->setAccessibleDescription(
          QStringLiteral("position %1 of %2").arg(button->x()).arg(kToneKnobMax));
    }
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
    case WindowCommand::Crop:
    case WindowCommand::Resize:
    case WindowCommand::AddText:
    case WindowCommand::DeletePhotos:
      if (Pressable(this, button)) button->click();
      return;
  }
}
