// The edit history of the photo on screen.
#include "app/edit_history.h"

namespace {

// Two steps are one when the edits and the style are: the pictures are made from them.
bool SameStep(const EditSnapshot& a, const EditSnapshot& b) { return a.edit == b.edit && a.style == b.style; }

}  // namespace

void EditHistory::Start(EditSnapshot chosen) {
  steps_.clear();
  steps_.append(std::move(chosen));
  current_ = 0;
}

void EditHistory::Record(EditSnapshot after) {
  if (steps_.isEmpty()) {
    Start(std::move(after));
    return;
  }
  if (SameStep(steps_[current_], after)) return;
  steps_.resize(current_ + 1);
  steps_.append(std::move(after));
  if (steps_.size() > kMaxSteps) steps_.removeFirst();
  current_ = steps_.size() - 1;
}

const EditSnapshot* EditHistory::Undo() {
  if (!CanUndo()) return nullptr;
  return &steps_[--current_];
}

const EditSnapshot* EditHistory::Redo() {
  if (!CanRedo()) return nullptr;
  return &steps_[++current_];
}
