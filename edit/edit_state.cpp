// Resets of the edit state.
#include "edit/edit_state.h"

#include <algorithm>

bool RotateFlipList::Append(GeometricEdit code) {
  // A full history refuses further codes rather than writing past the record.
  if (count >= kCapacity) return false;
  codes[static_cast<std::size_t>(count)] = code;
  ++count;
  return true;
}

void ResetPhotoEdits(EditState& state) {
  state.photo_drag_anchor = QPoint(1, 1);
  state.photo_offset = QPoint(1, 1);
  state.crop = CropRect{};
  state.rotate_flip.Clear();
  state.tone_matrix = ToneMatrix::Identity();
}

void ResetPlacement(EditState& state) {
  state.photo_drag_anchor = QPoint(1, 1);
  state.photo_offset = QPoint(1, 1);
  state.tone_matrix = ToneMatrix::Identity();
}

float FitFactor(int photo_width, int photo_height, int side_length) {
  return static_cast<float>(std::max(photo_width, photo_height)) / static_cast<float>(side_length);
}
