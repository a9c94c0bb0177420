// The shortcut table.
#include "app/shortcut_table.h"

const QList<WindowShortcut>& WindowShortcuts() {
  static const QList<WindowShortcut> kTable = {
      {WindowCommand::OpenPhotoFolder, QKeySequence(Qt::CTRL | Qt::Key_O), QStringLiteral("OpenFolderAction"),
       QStringLiteral("PhotoOpenButton"), QStringLiteral("choose the photo folder")},
      {WindowCommand::Save, QKeySequence(Qt::CTRL | Qt::Key_S), QStringLiteral("SaveAction"),
       QStringLiteral("SaveButton"), QStringLiteral("save the framed photo")},
      {WindowCommand::Print, QKeySequence(Qt::CTRL | Qt::Key_P), QStringLiteral("PrintAction"),
       QStringLiteral("PrintButton"), QStringLiteral("print it")},
      {WindowCommand::Undo, QKeySequence(Qt::CTRL | Qt::Key_Z), QStringLiteral("UndoAction"), QString(),
       QStringLiteral("undo the last edit of the photo shown")},
      {WindowCommand::Redo, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QStringLiteral("RedoAction"),
       QString(), QStringLiteral("redo it")},
      {WindowCommand::AddBatch, QKeySequence(Qt::CTRL | Qt::Key_B), QStringLiteral("AddBatchAction"),
       QStringLiteral("Batch"), QStringLiteral("add the photo and its edits to the batch list")},
      {WindowCommand::TurnRight, QKeySequence(Qt::CTRL | Qt::Key_R), QStringLiteral("TurnRightAction"),
       QStringLiteral("FlatButton14"), QStringLiteral("turn the photo a quarter to the right")},
      {WindowCommand::TurnLeft, QKeySequence(Qt::CTRL | Qt::Key_L), QStringLiteral("TurnLeftAction"),
       QStringLiteral("FlatButton16"), QStringLiteral("turn it a quarter to the left")},
      {WindowCommand::Mirror, QKeySequence(Qt::CTRL | Qt::Key_M), QStringLiteral("MirrorAction"),
       QStringLiteral("FlatButton13"), QStringLiteral("mirror it")},
      {WindowCommand::Crop, QKeySequence(Qt::CTRL | Qt::Key_K), QStringLiteral("CropAction"),
       QStringLiteral("FlatButton15"), QStringLiteral("crop it")},
      {WindowCommand::Resize, QKeySequence(Qt::CTRL | Qt::Key_E), QStringLiteral("ResizeAction"),
       QStringLiteral("FlatButton28"), QStringLiteral("set the size of saved pictures")},
      {WindowCommand::AddText, QKeySequence(Qt::CTRL | Qt::Key_T), QStringLiteral("AddTextAction"),
       QStringLiteral("FlatButton20"), QStringLiteral("write and place a caption")},
      {WindowCommand::Manual, QKeySequence(Qt::Key_F1), QStringLiteral("ManualAction"),
       QStringLiteral("Label10"), QStringLiteral("open the manual")},
      {WindowCommand::DeletePhotos, QKeySequence(Qt::Key_Delete), QStringLiteral("DeleteAction"),
       QStringLiteral("PhotoDeleteButton"), QStringLiteral("delete the selected photos (after asking)")},
  };
  return kTable;
}

QString TooltipWithKeys(const QString& tooltip, const QKeySequence& keys) {
  if (keys.isEmpty()) return tooltip;
  const QString text = keys.toString(QKeySequence::NativeText);
  return tooltip.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(tooltip, text);
}
