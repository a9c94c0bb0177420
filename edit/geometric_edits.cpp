// Geometric edits: orientation replay, folding of a full history, crop rewrite.
#include "edit/geometric_edits.h"

#include <algorithm>
#include <climits>
#include <cstdint>

int ReplayOrientation(const RotateFlipList& list) {
  int n = 1;
  for (int i = 0; i < list.count; ++i) {
    const int code = list.codes[static_cast<std::size_t>(i)];
    if (n <= 4) {
      if (code == kMirror)
        n += 4;
      else if (code == kTurnClockwise)
        n = n == 4 ? 1 : n + 1;
      else if (code == kTurnCounterClockwise)
        n = n == 1 ? 4 : n - 1;
    } else {
      // Mirrored, a turn runs the other way round.
      if (code == kMirror)
        n -= 4;
      else if (code == kTurnCounterClockwise)
        n = n == 8 ? 5 : n + 1;
      else if (code == kTurnClockwise)
        n = n == 5 ? 8 : n - 1;
    }
  }
  return n;
}

QList<int> ShortestCodes(int orientation) {
  switch (orientation) {
    case 2:
      return {kTurnClockwise};
    case 3:
      return {kTurnClockwise, kTurnClockwise};
    case 4:
      return {kTurnCounterClockwise};
    case 5:
      return {kMirror};
    case 6:
      return {kTurnClockwise, kMirror};
    case 7:
      return {kTurnClockwise, kTurnClockwise, kMirror};
    case 8:
      return {kTurnCounterClockwise, kMirror};
    default:
      return {};
  }
}

void RecordGeometricEdit(RotateFlipList& list, int code) {
  if (list.count >= RotateFlipList::kCapacity) {
    const QList<int> folded = ShortestCodes(ReplayOrientation(list));
    list.Clear();
    for (int c : folded) list.Append(c);
  }
  list.Append(code);
}

CropRect RewriteCrop(const CropRect& crop, int code, int width, int height) {
  if (crop.IsEmpty()) return crop;
  switch (code) {
    case kMirror:
      return {width - crop.x - crop.width, crop.y, crop.width, crop.height};
    case kTurnCounterClockwise:
      return {crop.y, width - crop.x - crop.width, crop.height, crop.width};
    case kTurnClockwise:
      return {height - crop.y - crop.height, crop.x, crop.height, crop.width};
    default:
      return crop;
  }
}

void ApplyGeometricEdit(EditState& state, int code) {
  RecordGeometricEdit(state.rotate_flip, code);
  if (code == kMirror) state.mirror_switch = state.mirror_switch == 1 ? 0 : 1;
  state.crop = RewriteCrop(state.crop, code, state.photo_width, state.photo_height);
  if (code != kMirror) std::swap(state.photo_width, state.photo_height);
}

int ConstrainedSide(int typed, int other_start, int this_start) {
  if (this_start == 0) return 0;
  const std::int64_t side = static_cast<std::int64_t>(typed) * other_start / this_start;
  return static_cast<int>(std::clamp<std::int64_t>(side, INT_MIN, INT_MAX));
}
