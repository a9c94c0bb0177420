// Undo and redo of the edits of the photo on screen.
#pragma once

#include <QImage>
#include <QList>

#include "edit/edit_state.h"
#include "edit/live_compositor.h"
#include "styles/frame_style.h"

// Everything the preview of one photo is drawn from after an edit: the edit state (turns, mirror,
// crop, output size, tone, caption, template path), the current style, and the pictures made from
// them. Restoring a snapshot restores the preview exactly.
struct EditSnapshot {
  EditState edit;
  FrameStyle style;
  QImage working_photo;
  QImage caption_layer;
  CustomFrames custom_frames;
};

// The steps of one photo's edits, oldest first. A new photo starts a fresh history; an edit after
// some undos drops the steps that could have been redone, as desktop programs do.
class EditHistory {
 public:
  // The most steps kept (the first, the photo as chosen, counts): the oldest edits go first.
  static constexpr int kMaxSteps = 200;

  // A fresh history whose first step is the photo as chosen.
  void Start(EditSnapshot chosen);
  // The state after an edit. Nothing is recorded when it equals the current step (an edit that
  // changed nothing, or a dialog left with OK and no change).
  void Record(EditSnapshot after);
  bool CanUndo() const { return current_ > 0; }
  bool CanRedo() const { return current_ + 1 < steps_.size(); }
  // The step to show, or null when there is none; the position moves only when there is one.
  const EditSnapshot* Undo();
  const EditSnapshot* Redo();
  // The photo the history belongs to (empty before the first Start).
  QString PhotoPath() const { return steps_.isEmpty() ? QString() : steps_.first().edit.photo_path; }
  int Steps() const { return static_cast<int>(steps_.size()); }

 private:
  QList<EditSnapshot> steps_;
  qsizetype current_ = -1;
};
