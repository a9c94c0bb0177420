// The window's keyboard shortcuts: one table for the actions, the tooltips and the manual.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

enum class WindowCommand {
  OpenPhotoFolder,
  Save,
  Print,
  Undo,
  Redo,
  AddBatch,
  TurnRight,
  TurnLeft,
  Mirror,
  Crop,
  Resize,
  AddText,
  Manual,
  DeletePhotos,
};

struct WindowShortcut {
  WindowCommand command;
  QKeySequence keys;
  QString name;    // the action's objectName
  QString button;  // objectName of the button whose tooltip names the keys (empty: none)
  QString what;    // what the keys do, for the manual
};

// Every shortcut of the main window, in the order the manual lists them. Delete acts only while
// the photo grid has the keyboard focus, so it never takes a key from a text field.
const QList<WindowShortcut>& WindowShortcuts();

// A tooltip with its keys: "Save file (Ctrl+S)"; the tooltip alone when keys is empty.
QString TooltipWithKeys(const QString& tooltip, const QKeySequence& keys);
